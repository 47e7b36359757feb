#pragma once

#include "editor/PasswordDialog.h"

class QLabel;
class QLineEdit;
class QuestionDocument;

// Asks for the password to protect a file with, twice. For a file whose
// password is known the boxes come filled with a placeholder of as many "*"
// as that password has characters, selected so that typing replaces it;
// confirming it keeps the password, as a line under the boxes says.
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
    // Shown only while the boxes hold the placeholder.
    QLabel* Label3 = nullptr;
    static QString keepsPasswordNote();
    QLineEdit* txtP1 = nullptr;
    QLineEdit* txtP2 = nullptr;

  private:
    QString placeholder() const;
    const QuestionDocument& document_;
    QString newPassword_;
};
