#pragma once

#include <QDialog>
#include <QMap>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class frmMain;

// Switches the learner: a new name typed, or an existing learner (one with
// a learner file) chosen. The main window's records follow the switch.
class frmChangeUser : public QDialog {
    Q_OBJECT
  public:
    explicit frmChangeUser(frmMain& main);

    void Form_Load();
    void Text1_Change();
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();

    QMap<int, QRadioButton*> Option1;
    QLineEdit* Text1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

  private:
    frmMain& main_;
};
