// Opening the results window beside opening the question file it shows: a
// file of 10,000 questions and a program folder of 30 learners who have all
// answered every one of them, each with a round log of 200 rounds. The
// window is opened from the File menu as a learner opens it, every page's
// charts drawn, and closed; the question file is opened from run mode. The
// best of seven runs counts for each.

#include "BenchSupport.h"

#include "learner/Learners.h"
#include "formats/RoundLog.h"
#include "platform/AppSetup.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "shell/frmResults.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {
constexpr int Questions = 10000;
constexpr int Learners = 30;
constexpr int Rounds = 200;

void writeLearners(const QString& folder, const QString& fileId) {
    for (int learner = 0; learner < Learners; ++learner) {
        const QString name = learner == 0
                                 ? QString::fromUtf8("ごんべえ")
                                 : QStringLiteral("learner%1").arg(learner, 2, 10, QChar('0'));
        LearnerRecords records;
        for (int q = 0; q < Questions; ++q) {
            const int answered = 1 + (q + learner) % 9;
            records.add(recordKey(fileId, questionKey(q)),
                        {QString::number((q * 7 + learner) % (answered + 1)),
                         QString::number(answered), QString::number(1 + q % 3)});
        }
        saveLearnerFile(learnerFilePath(folder, name), records);
        QByteArray log;
        for (int round = 0; round < Rounds; ++round)
            log += composeRoundLine({QDateTime(QDate(2026, 6, 1), QTime(18, 0)).addDays(round / 2),
                                     fileId, 20, (round * 5 + learner) % 21});
        writeBytes(roundLogPath(folder, name), log);
    }
}

// The window from the File menu, every page shown and drawn, then closed.
void openResults(frmMain& main) {
    QTimer::singleShot(0, [] {
        auto* results = qobject_cast<frmResults*>(QApplication::activeModalWidget());
        if (!results) {
            std::fprintf(stderr, "the results window did not open\n");
            return;
        }
        for (int page = 0; page < results->tabResults->count(); ++page) {
            results->tabResults->setCurrentIndex(page);
            results->grab();
        }
        results->accept();
    });
    main.mnuResults->trigger();
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    ProgramFolder::overrideForTests(folder);
    SettingsStore::useFileForTests(folder + "settings.ini");
    Dialogs::setAnswerUnqueuedByDefault(true);
    writeBytes(folder + "kuMemo-ini.txt", "Level=1:A\r\nLevel=2:B\r\nLevel=3:C\r\n");
    const QString path = folder + "q10000.kmd";
    writeBytes(path, QuestionFile::plainFileBytes(questionFileText(Questions)));
    writeLearners(folder, makeFileId(path));

    frmMain main;
    main.show();
    // The machine is shared: the best of several runs tells each cost.
    const double openMs = fastest([&] { openInRunMode(main, path); }, [] {}, 7);
    const double resultsMs = fastest([&] { openResults(main); }, [] {}, 7);
    std::printf("%d questions, %d learners with records for all of them and %d rounds each\n"
                "opening the question file: %.0f ms\n"
                "opening the results window, charts drawn: %.0f ms (%.3f× opening the file)\n",
                Questions, Learners, Rounds, openMs, resultsMs, resultsMs / openMs);
    main.sakusei()->hide();
    return 0;
}
