// Other programs' files through the editor's import and export commands,
// each beside opening 10,000 questions from a question file through the real
// windows:
//   importing an Anki package of 10,000 notes with 100,000 reviews, the
//     history taken too: 100,000 answer-log lines, the learner file written
//     and the schedules read again (goal: at most 2× opening), beside its
//     floor: unzipping,
//     decompressing and reading the notes with libzip, zstd and SQLite alone
//   exporting the 10,000 questions as Moodle XML and as GIFT, and importing
//     those files into an empty file
// A run that takes in fewer questions than it should fails.

#include "BenchSupport.h"

#include "AnkiPackageMaker.h"
#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "platform/AppSetup.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sqlite3.h>
#include <zip.h>
#include <zstd.h>

namespace {

// Notes as a learner's deck holds them: a styled front with an entity and a
// sound, a plain back; ten reviews of each card over a year.
AnkiPackageMaker::Collection deck(int notes) {
    AnkiPackageMaker::Collection c;
    c.version = AnkiPackageMaker::Version::Anki21b;
    const QString front = QString::fromUtf8(
        "<div>次の語の<b>意味</b>を答えなさい&nbsp;(%1)</div><div><i>日本の歴史と地理</i>"
        "</div>[sound:word%1.mp3]");
    for (int n = 0; n < notes; ++n) {
        const qint64 id = 1500000000000 + n;
        c.notes.append({id, c.basicType, {front.arg(n), QString::fromUtf8("答え%1").arg(n)}});
        c.cards.append({id + 1, id, 2, 2, 400 + n % 30, 10});
        for (int r = 0; r < 10; ++r)
            c.reviews.append({1600000000000 + qint64(n) * 10 + r, id + 1, 1 + r % 4, 1});
    }
    return c;
}

// The floor of the import: the notes' fields out of the package, without
// making questions of them.
int readNotesAlone(const QByteArray& package) {
    zip_error_t error;
    zip_source_t* source =
        zip_source_buffer_create(package.constData(), zip_uint64_t(package.size()), 0, &error);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_stat_t stat;
    zip_stat(zip, "collection.anki21b", 0, &stat);
    QByteArray compressed(qsizetype(stat.size), Qt::Uninitialized);
    zip_file_t* file = zip_fopen(zip, "collection.anki21b", 0);
    zip_fread(file, compressed.data(), stat.size);
    zip_fclose(file);
    zip_discard(zip);
    QByteArray database(
        qsizetype(ZSTD_getFrameContentSize(compressed.constData(), size_t(compressed.size()))),
        Qt::Uninitialized);
    ZSTD_decompress(database.data(), size_t(database.size()), compressed.constData(),
                    size_t(compressed.size()));
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_deserialize(db, "main", reinterpret_cast<unsigned char*>(database.data()),
                        database.size(), database.size(), SQLITE_DESERIALIZE_READONLY);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT mid, flds FROM notes ORDER BY id", -1, &statement, nullptr);
    int notes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW)
        notes += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)),
                                   sqlite3_column_bytes(statement, 1))
                     .size() > 0;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return notes;
}

// The import's own dialog is answered as soon as it shows, the history
// chosen where the file has one.
void acceptNextDialog() {
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            auto* history = dialog->findChild<QCheckBox*>(QStringLiteral("chkHistory"));
            if (history && history->isEnabled())
                history->setChecked(true);
            dialog->accept();
        } else {
            acceptNextDialog();
        }
    });
}

// Lines of the learner's answer log.
qsizetype loggedAnswers() {
    const AppGlobals& g = appGlobals();
    QFile log(answerLogPath(g.programFolder, g.learnerName));
    return log.open(QIODevice::ReadOnly) ? log.readAll().count('\n') : 0;
}

// Each run brings the history to a learner who has none yet.
void forgetLearner() {
    const AppGlobals& g = appGlobals();
    QFile::remove(answerLogPath(g.programFolder, g.learnerName));
    QFile::remove(learnerFilePath(g.programFolder, g.learnerName));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    BenchProgram program;
    QTemporaryDir& dir = program.dir;
    frmMain& main = *program.main;
    frmSakusei* editor = program.editor;
    const QString& empty = program.empty;
    constexpr int n = 10000;
    const QString path = dir.filePath("q.kmd");
    writeBytes(path, QuestionFile::plainFileBytes(questionFileText(n)));
    const double openMs = fastest([&] { openInRunMode(main, path); });

    printRatioTableHead();
    const auto report = [openMs](const char* work, double ms, const char* goal) {
        std::printf("| %s | %d | %.0f | %.0f | %.2f | %s |\n", work, n, ms, openMs, ms / openMs,
                    goal);
        std::fflush(stdout);
    };
    bool failed = false;
    const auto imported = [&](const char* what) {
        if (main.document().count() != n) {
            std::fprintf(stderr, "%s: took in %d of %d\n", what, main.document().count(), n);
            failed = true;
        }
    };

    const QByteArray package = AnkiPackageMaker::package(deck(n));
    const QString apkg = dir.filePath("deck.apkg");
    writeBytes(apkg, package);
    const double ankiMs = fastest(
        [&] {
            acceptNextDialog();
            editor->importFile(apkg);
        },
        [&] {
            openInRunMode(main, empty);
            forgetLearner();
        });
    imported("Anki");
    if (loggedAnswers() != 10 * n) {
        std::fprintf(stderr, "Anki: logged %lld of %d reviews\n", qlonglong(loggedAnswers()),
                     10 * n);
        failed = true;
    }
    report("import an Anki package with its history (100,000 reviews)", ankiMs, "≤ 2.0");
    int notes = 0;
    const double floorMs = fastest([&] { notes = readNotesAlone(package); });
    if (notes != n)
        failed = true;
    report("of which libzip, zstd and SQLite read the notes", floorMs, "");

    openInRunMode(main, path);
    for (const auto& [name, command, file] :
         {std::tuple{"Moodle XML", &frmSakusei::mnuFileExportMoodle_Click, "quiz.xml"},
          std::tuple{"GIFT", &frmSakusei::mnuFileExportGift_Click, "quiz.txt"}}) {
        const QString out = dir.filePath(QString::fromUtf8(file));
        const double exportMs = fastest([&, command = command] {
            Dialogs::setNextFileName(out);
            (editor->*command)();
        });
        report(qPrintable(QStringLiteral("export to %1").arg(QString::fromUtf8(name))), exportMs,
               "");
        const double importMs =
            fastest([&] { editor->importFile(out); }, [&] { openInRunMode(main, empty); });
        imported(name);
        report(qPrintable(QStringLiteral("import from %1").arg(QString::fromUtf8(name))), importMs,
               "");
        openInRunMode(main, path);
    }
    main.sakusei()->hide();
    return failed ? 1 : 0;
}
