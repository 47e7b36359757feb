// Takes the user guide's pictures of the program's windows, drawn by the
// program itself off screen: make_screenshots [examples folder] [output
// folder], by default "examples" and "docs/screenshots" in the current
// folder. Settings and learner files go to a folder of its own.
#include "data/QuestionDocument.h"
#include "editor/frmPasswd.h"
#include "editor/frmProp.h"
#include "editor/frmProtect.h"
#include "editor/frmSakusei.h"
#include "learner/Learners.h"
#include "formats/RoundLog.h"
#include "platform/AppSetup.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "learner/MarkDefinitions.h"
#include "shell/frmMain.h"
#include "shell/frmResults.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {
QString output;
bool allWritten = true;

void settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

void take(QWidget* window, const char* name) {
    settle();
    const QString path = output + "/" + name;
    if (window->grab().save(path)) {
        std::printf("make_screenshots: %s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "make_screenshots: cannot write %s\n", qPrintable(path));
        allWritten = false;
    }
}

// A class that has learnt the sample for a while: each learner's right
// answers and answers per question (none for "-"), and the current learner's
// rounds over two weeks.
void writeClass(const QString& folder, const QString& fileId) {
    const std::pair<const char*, const char*> learners[] = {
        {"ごんべえ", "5:6 1:4 0:3 3:3 2:5 - 4:5 1:2"},
        {"あおい", "3:3 2:4 1:4 2:2 1:3 2:2 3:3 0:2"},
        {"けんた", "2:4 0:3 1:5 1:1 2:2 - 1:3 1:3"},
        {"さくら", "4:4 3:3 2:4 - 3:4 1:1 2:2 2:3"}};
    const char* levels = "13413-24";
    for (const auto& [name, counts] : learners) {
        LearnerRecords records;
        const QStringList perQuestion = QString(counts).split(' ');
        for (int q = 0; q < perQuestion.size(); ++q) {
            if (perQuestion[q] == "-")
                continue;
            const QStringList c = perQuestion[q].split(':');
            records.add(recordKey(fileId, QString("kmQ0%1").arg(q + 1)),
                        {c[0], c[1], levels[q] == '-' ? QString() : QString(QChar(levels[q]))});
        }
        saveLearnerFile(learnerFilePath(folder, QString::fromUtf8(name)), records);
    }
    const int asked[] = {8, 5, 8, 4, 8, 3, 8};
    const int right[] = {3, 2, 5, 2, 6, 3, 7};
    QByteArray log;
    for (int round = 0; round < 7; ++round)
        log += composeRoundLine({QDateTime(QDate(2026, 11, 20), QTime(19, 5))
                                     .addDays(round * 2 + round % 2)
                                     .addSecs(round * 1500),
                                 fileId, asked[round], right[round]});
    QFile file(roundLogPath(folder, QString::fromUtf8("ごんべえ")));
    if (file.open(QIODevice::WriteOnly))
        file.write(log);
}

// The row of the answering page that shows this choice, 0 when none does.
int choiceRow(const frmMain& window, const QString& text) {
    for (auto it = window.txtKaitou.begin(); it != window.txtKaitou.end(); ++it) {
        if (it.key() > 0 && it.value()->text() == text)
            return it.key();
    }
    return 0;
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 3) {
        std::fprintf(stderr, "usage: make_screenshots [examples folder] [output folder]\n");
        return 2;
    }
    const QString examples = QDir(arguments.value(1, "examples")).absolutePath();
    output = QDir(arguments.value(2, "docs/screenshots")).absolutePath();
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "make_screenshots: cannot create %s\n", qPrintable(output));
        return 1;
    }

    QTemporaryDir folder;
    QStandardPaths::setTestModeEnabled(true);
    ProgramFolder::overrideForTests(folder.path());
    SettingsStore::useFileForTests(folder.filePath("settings.ini"));
    QFile::copy(examples + "/" + MarkDefinitionFileName, folder.filePath(MarkDefinitionFileName));
    Dialogs::setAnswerUnqueuedByDefault(true);

    frmMain window;
    window.findChild<QAction*>("mnuSetupRandom")->setChecked(false);
    window.findChild<QAction*>("mnuSetup1Click")->setChecked(false);
    window.show();
    window.openFile(examples + "/sample.kmd");

    // The first question answered rightly.
    window.cmdStart->click();
    settle();
    window.txtKaitou_Click(choiceRow(window, QString::fromUtf8("富士山")));
    window.cmdKaitou_Click();
    take(&window, "main-answered.png");
    window.SSTab1->setCurrentIndex(0);
    take(&window, "main-list.png");

    // The results window over a class's learner files and a round log.
    writeClass(folder.path() + "/", window.session().learner().fileId());
    window.loadUserData();
    {
        frmResults results(window.resultsData(), &window);
        results.show();
        take(&results, "results.png");
        results.tabResults->setCurrentIndex(1);
        take(&results, "results-progress.png");
        results.tabResults->setCurrentIndex(2);
        take(&results, "results-class.png");
    }

    window.mnuToolSakusei_Click();
    frmSakusei* editor = window.sakusei();
    take(editor, "editor.png");
    {
        frmProp properties(window.document(), editor, editor);
        properties.show();
        take(&properties, "properties.png");
    }

    // The protected twin, opened in run mode, which asks for no password.
    editor->hide();
    window.openFile(examples + "/sample.kme");
    {
        frmProtect protect(window.document(), &window);
        protect.show();
        take(&protect, "password-unlock.png");
    }
    {
        frmPasswd password(window.document(), &window);
        password.show();
        take(&password, "password-protect.png");
    }
    return allWritten ? 0 : 1;
}
