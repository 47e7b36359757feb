#pragma once

#include "editor/PasswordDialog.h"

class QLabel;
class QLineEdit;
class QTimer;
class QuestionDocument;
namespace ProtectedFile {
struct Notice;
}

// Asks for the password of the loaded protected file. When there is nothing
// to unlock the form closes by itself as soon as it is shown.
class frmProtect : public PasswordDialog {
    Q_OBJECT
  public:
    explicit frmProtect(QuestionDocument& document, QWidget* parent = nullptr);

    // Shows the form modally; if the file is still locked when it closes,
    // shows `stillLocked` (exclamation). True when the file is unlocked.
    static bool unlockOrWarn(QWidget* parent, QuestionDocument& document,
                             const ProtectedFile::Notice& stillLocked);

    void Form_Load() override;
    void cmdOK_Click() override;
    void Timer1_Timer();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtPassword = nullptr;
    QTimer* Timer1 = nullptr;

  private:
    QuestionDocument& document_;
};
