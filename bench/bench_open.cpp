// Opening and saving large question files through the real windows, beside
// the lower bound of decoding the same bytes with iconv (CP932 to UTF-8).
// Writes its own files of 1,000, 10,000 and 50,000 questions in the Windows
// rich text control's dialect: Japanese text with styled runs, four choices,
// a hint and an explanation each.
//
//   bench_open            the table of times and ratios, then each filter and
//                         each column sort on the 10,000 questions beside
//                         opening them, with a learner's results for all,
//                         storing one question in the editor and showing it,
//                         judging, and their schedule from an answer log
//   bench_open --size N   one size only, in this process (for a profiler)
//   bench_open --write F  leaves files of 10,000 questions in folder F (password pw)
//   bench_open --memory   the peak memory of opening 10,000 questions, in a
//                         process of its own (started by the run above)

#include "data/AppGlobals.h"
#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "editor/frmSakusei.h"
#include "formats/ProtectedFile.h"
#include "formats/QuestionFile.h"
#include "formats/LearnerFile.h"
#include "learner/Learners.h"
#include "learner/QuestionFilter.h"
#include "learner/Schedule.h"
#include "platform/AppSetup.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/RichTextBox.h"
#include "shell/frmMain.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iconv.h>

namespace {

QByteArray iconvDecode(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    QByteArray out(bytes.size() * 2, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* to = out.data();
    size_t outLeft = size_t(out.size());
    iconv(cd, &in, &inLeft, &to, &outLeft);
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

long kilobytes(const char* field) {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    return 0;
}

// Joining the open file's 10,000 questions with a learner file of 100,000
// records, and saving those records, beside the time of opening the file.
QString learnerWork(frmMain& main, double openMs) {
    LearnerRecords records;
    const QString id = makeFileId(main.document().path());
    for (int i = 0; i < 100000; ++i) {
        const QString key = i < main.lstMondai->count() ? recordKey(id, main.lstMondai->key(i + 1))
                                                        : recordKey("F00D", QString::number(i));
        records.add(key, {QString::number(i % 7), QString::number(i % 7 + 3), "1"});
    }
    saveLearnerFile(main.session().learnerFile(), records);
    main.loadUserData();
    const double joinMs = fastest([&] { main.matchUserData(); });
    const double saveMs = fastest([&] { main.saveUserData(); });
    return QString::asprintf("joining 10,000 questions with 100,000 learner records: %.0f ms "
                             "(%.3f× opening)\nsaving 100,000 learner records: %.0f ms (%.3f× "
                             "opening)\n",
                             joinMs, joinMs / openMs, saveMs, saveMs / openMs);
}

// Searching the editor's list of 10,000 questions for a text none holds,
// from the first row down to the last, beside the time of opening the file.
QString searchWork(frmMain& main, double openMs) {
    ListView* list = main.sakusei()->lstMondai;
    const double ms = fastest([&] { main.sakusei()->mnuSearchList->trigger(); },
                              [&] {
                                  list->setSelectedRow(1);
                                  Dialogs::setNextInput(QString::fromUtf8("見つからない言葉"));
                              });
    return QString::asprintf("searching %d questions for a text none holds: %.1f ms (%.3f× "
                             "opening)\n",
                             list->count(), ms, ms / openMs);
}

// Sorting the editor's list of 10,000 questions in file order by a click on
// its header, beside the time of opening the file: the file's order follows.
QString editorSortWork(frmMain& main, const QString& path, double openMs) {
    frmSakusei* editor = main.sakusei();
    const double ms =
        fastest([&] { editor->lstMondai_ColumnClick(1); }, [&] { openInRunMode(main, path); });
    const QuestionDocument& document = main.document();
    for (int row = 1; row <= editor->lstMondai->count(); ++row)
        if (editor->lstMondai->key(row) != document.at(row - 1).key) {
            std::fprintf(stderr, "the file's order is not the list's\n");
            break;
        }
    return QString::asprintf("sorting the editor's list of %d questions: %.1f ms (%.4f× "
                             "opening)\n",
                             editor->lstMondai->count(), ms, ms / openMs);
}

// Storing one question in the editor with 10,000 open, and showing it in
// run mode, beside the time of opening the file: the run list follows the
// one stored question, it is not filled again.
QString storeWork(frmMain& main, double openMs) {
    frmSakusei* editor = main.sakusei();
    const QString key = questionKey(5000);
    int version = 0;
    const double ms = fastest(
        [&] {
            editor->cmdAdd_Click();
            main.showQuestion(main.lstMondai->find(key));
            QApplication::processEvents();
        },
        [&] {
            editor->lstMondai->setSelectedRow(editor->lstMondai->find(key));
            editor->lstMondai_Click();
            editor->txtMondai->setText(QString::fromUtf8("書き直した問題 ") +
                                       QString::number(++version));
        },
        9);
    if (main.lstMondai->text(main.lstMondai->find(key)) != editor->lstMondai->text(
                                                                editor->lstMondai->find(key)))
        std::fprintf(stderr, "the run list did not follow the stored question\n");
    return QString::asprintf("storing one of %d questions in the editor and showing it in run "
                             "mode: %.1f ms (%.4f× opening)\n",
                             main.lstMondai->count(), ms, ms / openMs);
}

// Answering questions of the 10,000 in a round: judging the shown one and
// going on to the next, beside the time of opening the file.
// The answer's line in the log, written under the learner file's lock, is
// timed apart as well: most of its cost is the lock's file on the disk.
QString judgingWork(frmMain& main, double openMs) {
    main.cmdFilterOff_Click();
    main.cmdStart_Click();
    const double ms = fastest([&] {
        main.cmdKaitou_Click();
        main.cmdKaitou_Click();
        QApplication::processEvents();
    });
    const QString folder = appGlobals().programFolder, learner = appGlobals().learnerName;
    const AnswerLine line{Clock::now().toSecsSinceEpoch(), makeFileId(main.document().path()),
                          main.lstMondai->key(1), Grade::Right};
    const double lineMs = fastest([&] { logAnswer(folder, learner, line); });
    return QString::asprintf("judging one of %d questions and showing the next: %.2f ms (%.4f× "
                             "opening), of which the answer's log line under the learner "
                             "file's lock %.2f ms\n",
                             main.lstMondai->count(), ms, ms / openMs, lineMs);
}

// The schedule of the 10,000 questions from an answer log of 200,000
// lines, and the due filter on them through the window, beside opening the
// file. The log's year ends the day before the clock's.
QString scheduleWork(frmMain& main, double openMs) {
    const QString id = makeFileId(main.document().path());
    QStringList keys;
    for (int q = 0; q < main.document().count(); ++q)
        keys << main.document().at(q).key;
    const QString path = answerLogPath(appGlobals().programFolder, appGlobals().learnerName);
    writeBytes(path, answerLog(keys, 200000, id));
    Clock::fixForTests(QDateTime(QDate(2027, 1, 1), QTime(9, 0), Qt::UTC));
    const double scheduleMs = fastest(
        [&] { replaySchedules(loadAnswerLog(path, id)); }, [] {}, 9);
    const AnswerLogRead read = loadAnswerLog(path, id);
    const double readMs = fastest([&] { loadAnswerLog(path, id); }, [] {}, 9);
    const double replayMs = fastest([&] { replaySchedules(read); }, [] {}, 9);
    main.loadUserData(); // the window's session reads the log
    main.cmbFilter->setEditText(QString::fromUtf8("復習の時期が来た問題だけ選ぶ"));
    const double filterMs = fastest(
        [&] {
            main.cmdDoFilter_Click();
            QApplication::processEvents();
        },
        [&] { main.cmdFilterOff_Click(); }, 9);
    const int due = main.lstMondai->count();
    main.cmdFilterOff_Click();
    Clock::fixForTests(QDateTime());
    return QString::asprintf("the schedule of %d questions from 200,000 log lines and the due "
                             "filter on them (%d due): %.1f + %.1f ms (%.3f× opening; goal ≤ "
                             "0.2×); the log read alone %.1f ms, the replay alone %.1f ms\n",
                             int(keys.size()), due, scheduleMs, filterMs,
                             (scheduleMs + filterMs) / openMs, readMs, replayMs);
}

int measureMemory(const QString& folder) {
    frmMain main;
    main.show();
    QApplication::processEvents();
    const long before = kilobytes("VmRSS:");
    openInRunMode(main, folder + "/q10000.kmd");
    const long peak = kilobytes("VmHWM:");
    std::printf("%ld\n", peak - before);
    return 0;
}

// Each filter and each column sort on the questions of `path` with a
// learner's results for every question: counts, rates, three marks and
// this round's results. Each starts from the full, unsorted list and counts
// the list's new layout too.
void measureChoosing(const QString& folder, const QString& path, int questions, double openMs) {
    writeBytes(folder + "/kuMemo-ini.txt", "Level=1:A\r\nLevel=2:B\r\nLevel=3:C\r\n");
    // A learner file of these records alone, whatever was saved before: a
    // save adds to the counts a file holds.
    LearnerRecords records;
    const QString id = makeFileId(path);
    for (int q = 0; q < questions; ++q) {
        const bool own = q == 0 || q % 2 == 1;
        records.add(recordKey(id, questionKey(q)),
                    own ? LearnerRecord{QString::number(q % 4), QString::number(q % 4 + q % 3),
                                        q % 5 ? QString::number(q % 5 % 4) : QString()}
                        : LearnerRecord{QString::number(q % 7), QString::number(q % 7 + 3), "1"});
    }
    const QString learnerPath = folder + QString::fromUtf8("/ごんべえ.kmu");
    QFile::remove(learnerPath);
    saveLearnerFile(learnerPath, records);

    frmMain main;
    main.show();
    openInRunMode(main, path);
    const auto fullList = [&main] {
        main.cmdFilterOff_Click();
        for (int row = 1; row <= main.lstMondai->count(); row += 2)
            main.round().judge(main.lstMondai->key(row), row % 3 != 0);
        QApplication::processEvents();
    };
    const auto report = [openMs](const QString& what, double ms, int rows) {
        std::printf("| %s | %d | %.1f | %.3f |\n", qPrintable(what), rows, ms, ms / openMs);
    };
    std::printf("\n%d questions, opening %.0f ms\n\n", questions, openMs);
    std::printf("| filter or sort | rows left | ms | ×open |\n|---|---:|---:|---:|\n");
    // Cheap steps on a busy machine: the best of many runs tells their cost.
    constexpr int Runs = 9;
    for (const QString& filter : filterItems({"A", "B", "C"})) {
        const double ms = fastest(
            [&] {
                main.cmbFilter->setEditText(filter);
                main.cmdDoFilter_Click();
                QApplication::processEvents();
            },
            fullList, Runs);
        report(filter, ms, main.lstMondai->count());
    }
    for (int column = 1; column <= main.lstMondai->columnCount(); ++column) {
        const QString sort = QString::fromUtf8("sort ") + main.lstMondai->columnHeader(column - 1);
        const auto click = [&] {
            main.lstMondai_ColumnClick(column);
            QApplication::processEvents();
        };
        const double up = fastest(click, fullList, Runs);
        report(sort, up, main.lstMondai->count());
        const auto sorted = [&] {
            fullList();
            click();
        };
        const double down = fastest(click, sorted, Runs);
        report(sort + QString::fromUtf8(", again"), down, main.lstMondai->count());
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    QTemporaryDir dir;
    const bool memoryOnly = app.arguments().contains("--memory");
    const QString folder = memoryOnly ? app.arguments().last() : dir.path();
    useFolderForBench(folder);
    if (memoryOnly)
        return measureMemory(folder);
    // "--write FOLDER" leaves a plain and a protected file of 10,000
    // questions there, to try the program with.
    const qsizetype writeArgument = app.arguments().indexOf("--write");
    if (writeArgument > 0) {
        const QString target = app.arguments().value(writeArgument + 1);
        const QString text = questionFileText(10000);
        writeBytes(target + "/q10000.kmd", QuestionFile::plainFileBytes(text));
        writeBytes(target + "/q10000.kme", ProtectedFile::compose("pw", text));
        return 0;
    }

    // Each size runs in a process of its own, so that the heap left by one
    // size does not weigh on the next.
    const qsizetype sizeArgument = app.arguments().indexOf("--size");
    if (sizeArgument > 0) {
        const int n = app.arguments().value(sizeArgument + 1).toInt();
        const QString text = questionFileText(n);
        const QString plain = dir.filePath(QStringLiteral("q%1.kmd").arg(n));
        const QString protectedPath = dir.filePath(QStringLiteral("q%1.kme").arg(n));
        const QByteArray bytes = QuestionFile::plainFileBytes(text);
        writeBytes(plain, bytes);
        writeBytes(protectedPath, ProtectedFile::compose("pw", text));

        const double iconvMs = fastest([&] { iconvDecode(bytes); });
        frmMain main;
        main.show();
        const double openMs = fastest([&] { openInRunMode(main, plain); });
        const double protectedMs = fastest([&] { openInRunMode(main, protectedPath); });
        openInRunMode(main, plain);
        const double saveMs = fastest([&] { main.sakusei()->mnuFileSave_Click(); });
        std::printf("| %d | %.1f | %.0f | %.0f | %.2f | %.0f | %.2f | %.0f | %.2f |\n", n,
                    bytes.size() / 1e6, iconvMs, openMs, openMs / iconvMs, protectedMs,
                    protectedMs / openMs, saveMs, saveMs / openMs);
        if (n == 10000) {
            const QString sorting = editorSortWork(main, plain, openMs);
            openInRunMode(main, plain);
            // Peak memory in a fresh process, so earlier work does not count.
            QProcess child;
            child.start(app.applicationFilePath(), {"--memory", dir.path()});
            child.waitForFinished(-1);
            const long kb = child.readAllStandardOutput().trimmed().toLong();
            std::printf("peak memory opening 10,000 questions: %.0f MB for a %.1f MB file "
                        "(%.2f× the file)\n%s",
                        kb / 1024.0, bytes.size() / 1e6, kb * 1024.0 / bytes.size(),
                        qPrintable(learnerWork(main, openMs) + searchWork(main, openMs) +
                                   storeWork(main, openMs) + sorting +
                                   judgingWork(main, openMs) + scheduleWork(main, openMs)));
            measureChoosing(dir.path(), plain, n, openMs);
        }
        main.sakusei()->hide();
        return 0;
    }

    std::printf("| questions | file MB | iconv ms | open ms | open/iconv | protected ms | "
                "protected/open | save ms | save/open |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    QStringList notes;
    QMap<int, double> openMs;
    for (const int n : {1000, 10000, 50000}) {
        QProcess child;
        child.start(app.applicationFilePath(), {"--size", QString::number(n)});
        child.waitForFinished(-1);
        // The child's first table row is its size's; what follows are notes.
        bool rowSeen = false;
        for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split('\n')) {
            if (!rowSeen && line.startsWith('|')) {
                std::printf("%s\n", qPrintable(line));
                openMs[n] = line.split('|').value(4).trimmed().toDouble();
                rowSeen = true;
            } else if (rowSeen) {
                notes << line;
            }
        }
        std::fflush(stdout);
    }
    std::printf("\nopening 50,000 questions costs %.2f× opening 10,000\n%s\n",
                openMs.value(50000) / openMs.value(10000), qPrintable(notes.join('\n').trimmed()));
    return 0;
}
