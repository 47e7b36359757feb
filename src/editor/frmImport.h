#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// Asked before cards with two sides are taken in: which side is the
// question, and, when the file tells how the learner answered them,
// whether that comes along.
class frmImport : public QDialog {
    Q_OBJECT
  public:
    frmImport(const QString& path, const QString& formatName, bool hasHistory,
              QWidget* parent = nullptr);

    struct Choice {
        bool swapSides = false;
        bool withHistory = false;
    };
    // False when the author cancelled; `choice` says what was chosen.
    static bool ask(QWidget* parent, const QString& path, const QString& formatName,
                    bool hasHistory, Choice& choice);

    QLabel* lblFile = nullptr;
    QCheckBox* chkSwap = nullptr;
    QCheckBox* chkHistory = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
