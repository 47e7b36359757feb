#include "platform/AppSetup.h"
#include "platform/ProgramFolder.h"
#include "platform/SingleInstance.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    nameApplication(app);
    // Taken before the start-up makes the program's folder the current one.
    const QString file = commandLineFile(QApplication::arguments());
    // A program already running for this folder opens the file instead,
    // before this one spends time on fonts and translations.
    SingleInstance instance(ProgramFolder::locate());
    if (instance.handedOver(file))
        return 0;
    setupApplication(app);
    frmMain window;
    QObject::connect(&instance, &SingleInstance::fileHandedOver, &window, &frmMain::openHandedFile);
    window.show();
    if (!file.isEmpty())
        window.openFile(file);
    return app.exec();
}
