#include "shell/frmMain.h"

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    setWindowTitle(QString::fromUtf8("くう・めも (ver0.00)"));
}
