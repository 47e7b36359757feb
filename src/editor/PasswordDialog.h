#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// What frmProtect and frmPasswd share: the caption, labels and password
// boxes placed in twips, the buttons "O K" and "ｷｬﾝｾﾙ", and Form_Load each
// time the form is shown.
class PasswordDialog : public QDialog {
    Q_OBJECT
  public:
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    virtual void Form_Load() = 0;
    virtual void cmdOK_Click() = 0;
    // Closes; nothing changes.
    void cmdCancel_Click();

  protected:
    PasswordDialog(const QString& formName, int height, QWidget* parent);
    QLabel* addLabel(const QString& name, const QString& text, int top);
    // A box that shows "*" for every character typed.
    QLineEdit* addPasswordBox(const QString& name, int top);
    void addButtons(int top);
    void moveButtons(int top);
    void showEvent(QShowEvent* event) override;
};
