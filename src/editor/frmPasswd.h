#pragma once

#include "editor/PasswordDialog.h"

class QLabel;
class QLineEdit;
class QuestionDocument;

// Asks for the password to protect a file with, twice. For a file whose
// password is known the boxes come filled with a placeholder of as many "*"
// as that password has characters; confirming it keeps the password.
class frmPasswd : public PasswordDialog {
    Q_OBJECT
  public:
    explicit frmPasswd(const QuestionDocument& document, QWidget* parent = nullptr);

    // Shows the form modally and returns the password chosen, empty when
    // the form was cancelled.
    static QString askNewPassword(QWidget* parent, const QuestionDocument& document);

    // What OK chose; empty until then.
    QString newPassword() const { return newPassword_; }

    void Form_Load() override;
    void cmdOK_Click() override;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtP1 = nullptr;
    QLineEdit* txtP2 = nullptr;

  private:
    QString placeholder() const;
    const QuestionDocument& document_;
    QString newPassword_;
};
