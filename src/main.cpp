#include "platform/AppSetup.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setupApplication(app);
    // Taken before the start-up makes the program's folder the current one.
    const QString file = commandLineFile(QApplication::arguments());
    frmMain window;
    window.show();
    if (!file.isEmpty())
        window.openFile(file);
    return app.exec();
}
