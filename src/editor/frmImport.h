#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// Asked before cards with two sides are taken in: which side is the
// question.
class frmImport : public QDialog {
    Q_OBJECT
  public:
    frmImport(const QString& path, const QString& formatName, QWidget* parent = nullptr);

    // False when the author cancelled; `swapSides` says what was chosen.
    static bool ask(QWidget* parent, const QString& path, const QString& formatName,
                    bool& swapSides);

    QLabel* lblFile = nullptr;
    QCheckBox* chkSwap = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
