#pragma once
// What the benchmarks share: question files of any size in the Windows rich
// text control's dialect, the best of a few timed runs, and opening a file
// as a learner does.

#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "editor/frmSakusei.h"
#include "formats/AnswerLog.h"
#include "formats/QuestionFile.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "shell/frmMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>

namespace {

// A field as the Windows control writes it: code page 932 bytes as \'hh.
inline QString field(const QString& text, const QString& marked) {
    const auto escaped = [](const QString& part) {
        QString out;
        for (const char byte : Codepage::encode(part)) {
            const auto b = static_cast<unsigned char>(byte);
            if (b >= 0x80)
                out += QStringLiteral("\\'%1").arg(b, 2, 16, QChar('0'));
            else
                out += QChar(b);
        }
        return out;
    };
    return "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fmodern"
           "\\fprq1\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}"
           "\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard\\lang1041\\f0"
           "\\fs18 " +
           escaped(text) + "\\cf1\\b " + escaped(marked) + "\\cf0\\b0 " + escaped(text) +
           "\\par\r\n}\r\n";
}

inline QString questionKey(int q) {
    return QStringLiteral("b%1").arg(q, 5, 36, QChar('0'));
}

inline QString questionFileText(int questions) {
    const QString sentence =
        QString::fromUtf8("次の文の下線部の意味として最も適切なものを選びなさい。日本の歴史と地理");
    QStringList records;
    records.reserve(questions);
    for (int q = 0; q < questions; ++q) {
        RecordFields f;
        f.key = questionKey(q);
        f.questionRtf = field(QString::number(q) + sentence.left(20), QString::fromUtf8("重要"));
        for (int c = 0; c < 4; ++c)
            f.choices.append({c == 1, field(sentence.mid(c, 4), QString::fromUtf8("選択"))});
        f.hintRtf = field(sentence.left(6), QString::fromUtf8("ヒント"));
        f.explanationRtf = field(sentence.left(24), QString::fromUtf8("解説"));
        records << composeRecord(f);
    }
    DocumentProperties p;
    p.title = QString::fromUtf8("速さの試験");
    return QuestionFile::compose("1.00", p, records);
}

// An answer log of `lines` lines over the year 2026 for the questions `keys`
// of the file `fileId`, in time order, each line a question drawn at random,
// one answer in ten wrong.
inline QByteArray answerLog(const QStringList& keys, int lines, const QString& fileId) {
    constexpr qint64 Day = 86400;
    const qint64 start = QDateTime(QDate(2026, 1, 1), QTime(9, 0), Qt::UTC).toSecsSinceEpoch();
    std::mt19937_64 random(7);
    QByteArray log;
    log.reserve(qsizetype(lines) * 40);
    for (int i = 0; i < lines; ++i) {
        const qint64 time = start + qint64(i) * 365 * Day / lines;
        const int grade = random() % 10 == 0 ? Grade::Wrong : Grade::Right;
        log += composeAnswerLine({time, fileId, keys.at(int(random() % keys.size())), grade});
    }
    return log;
}

// The shortest of some runs, in milliseconds: the machine is shared.
// `prepare` runs untimed before each run.
inline double fastest(
    const std::function<void()>& work, const std::function<void()>& prepare = [] {}, int runs = 3) {
    double best = 1e18;
    for (int run = 0; run < runs; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// The program's folder and its settings in `folder`, far from the user's;
// dialogs take the answers queued, or their default, without showing.
inline void useFolderForBench(const QString& folder) {
    ProgramFolder::overrideForTests(folder);
    SettingsStore::useFileForTests(folder + "/settings.ini");
    Dialogs::setAnswerUnqueuedByDefault(true);
}

// The program in a folder of its own, its messages answered without being
// shown, and an empty question file beside it.
struct BenchProgram {
    QTemporaryDir dir;
    QString empty;
    std::unique_ptr<frmMain> main;
    frmSakusei* editor = nullptr;

    BenchProgram() {
        useFolderForBench(dir.path());
        main = std::make_unique<frmMain>();
        main->show();
        editor = main->sakusei();
        empty = dir.filePath("empty.kmd");
        writeBytes(empty, QuestionFile::plainFileBytes(QuestionFile::compose("1.00", {}, {})));
    }
};

// The head of a table of works beside the time of opening their file.
inline void printRatioTableHead() {
    std::printf("| work | questions | ms | opening ms | ratio | goal |\n"
                "|---|---:|---:|---:|---:|---:|\n");
}

// Opens from run mode, as a learner does: both lists filled, the editor's
// fields showing the last question.
inline void openInRunMode(frmMain& main, const QString& path) {
    Dialogs::setNextFileName(path);
    main.mnuFileOpen_Click();
    const bool shown = main.lstMondai->count() == main.document().count() &&
                       main.sakusei()->lstMondai->count() == main.document().count();
    if (main.document().path() != path || !shown)
        std::fprintf(stderr, "nothing opened from %s\n", qPrintable(path));
}

} // namespace
