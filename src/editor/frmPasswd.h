#pragma once

#include "editor/PasswordDialog.h"

class QLabel;
class QLineEdit;

// Asks for the password to protect a file with, twice. For a file whose
// password is known the boxes come filled with a placeholder of as many "*"
// as that password has characters; confirming it keeps the password.
class frmPasswd : public PasswordDialog {
    Q_OBJECT
  public:
    explicit frmPasswd(QWidget* parent = nullptr);

    // Empties newPassword and shows the form modally; newPassword is what
    // was chosen, empty when the form was cancelled.
    static QString askNewPassword(QWidget* parent);

    void Form_Load() override;
    void cmdOK_Click() override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtP1 = nullptr;
    QLineEdit* txtP2 = nullptr;

  private:
    QString placeholder() const;
};
