// Opening long question files in the editor, as the menu does: records per
// second for files of 1,000 to 100,000 short questions. Reading should stay
// linear: the rate must not fall as the files grow.

#include "editor/frmSakusei.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray questionFile(int records) {
    QByteArray file = "<kuMemo-data>\r\n<dataprop>\r\n</dataprop>\r\n";
    for (int i = 0; i < records; ++i)
        file += "<Mondai key='k" + QByteArray::number(i) + "'><mondaibun>{\\rtf1 q" +
                QByteArray::number(i) +
                "\\par}</mondaibun><kaitou count=0 type=1></kaitou><hint></hint>"
                "<kaisetsu></kaisetsu></Mondai>\r\n";
    return file + "</kuMemo-data>\r\n\r\n";
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Settings and files of its own, never the user's.
    QTemporaryDir folder;
    QStandardPaths::setTestModeEnabled(true);
    ProgramFolder::overrideForTests(folder.path());
    SettingsStore::useFileForTests(folder.filePath("settings.ini"));
    Dialogs::setAnswerUnqueuedByDefault(true);

    frmMain main;
    main.show();
    main.mnuToolSakusei_Click();
    for (const int records : {1000, 10000, 100000}) {
        const QString path = folder.filePath(QString::number(records) + ".kmd");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(questionFile(records)) < 0)
            return 1;
        file.close();
        QElapsedTimer timer;
        timer.start();
        Dialogs::setNextFileName(path);
        main.sakusei()->mnuFileOpen_Click();
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("%7d records: %6.2f s, %8.0f records/s\n", records, seconds, records / seconds);
    }
    return 0;
}
