#include "platform/AppSetup.h"
#include "shell/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    setupApplication(app);
    frmMain window;
    window.show();
    return app.exec();
}
