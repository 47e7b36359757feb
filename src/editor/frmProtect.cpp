#include "editor/frmProtect.h"

#include "data/QuestionDocument.h"
#include "formats/ProtectedFile.h"
#include "platform/Dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

frmProtect::frmProtect(QuestionDocument& document, QWidget* parent)
    : PasswordDialog("frmProtect", 1860, parent), document_(document) {
    Label1 = addLabel("Label1", QStringLiteral("このﾌｧｲﾙはﾊﾟｽﾜｰﾄﾞにより保護されています。"), 120);
    Label2 = addLabel("Label2", QStringLiteral("編集・保存をするためにはﾊﾟｽﾜｰﾄﾞの入力が必要です。"),
                      420);
    txtPassword = addPasswordBox("txtPassword", 780);
    Label2->setBuddy(txtPassword);
    addButtons(1260);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    connect(Timer1, &QTimer::timeout, this, &frmProtect::Timer1_Timer);
}

bool frmProtect::unlockOrWarn(QWidget* parent, QuestionDocument& document,
                              const ProtectedFile::Notice& stillLocked) {
    frmProtect form(document, parent);
    form.exec();
    if (!document.isLocked())
        return true;
    Dialogs::message(stillLocked.text, stillLocked.title, Dialogs::Icon::Exclamation);
    return false;
}

void frmProtect::Form_Load() {
    // Nothing to unlock: close as soon as the form has come up.
    if (document_.filePassword().isEmpty() ||
        document_.pendingPassword() != document_.filePassword()) {
        Timer1->setInterval(10);
        Timer1->start();
    }
}

void frmProtect::Timer1_Timer() {
    Timer1->stop();
    reject();
}

void frmProtect::cmdOK_Click() {
    if (!document_.unlock(txtPassword->text())) {
        Dialogs::message(QStringLiteral("ﾊﾟｽﾜｰﾄﾞが違います。"), QStringLiteral("ｴﾗｰ"),
                         Dialogs::Icon::Exclamation);
        txtPassword->setSelection(0, std::min<int>(100, txtPassword->text().size()));
        txtPassword->setFocus();
        return;
    }
    accept();
}
