#pragma once

#include <QMainWindow>

// The run-mode window. It owns the program's life: its load does the whole
// start-up, its close the whole shutdown.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
};
