#include "editor/frmPasswd.h"

#include "data/QuestionDocument.h"
#include "platform/Dialogs.h"
#include "platform/TwipsGeometry.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {
// The first CR LF of a protected file ends its password, so a password may
// hold no line break (one could be pasted).
void refuseLineBreaks(QLineEdit* box) {
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\r\\n]*")), box));
}
} // namespace

frmPasswd::frmPasswd(const QuestionDocument& document, QWidget* parent)
    : PasswordDialog("frmPasswd", 2100, parent), document_(document) {
    Label1 = addLabel("Label1", QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ保護用ﾊﾟｽﾜｰﾄﾞを入力して下さい。"), 120);
    txtP1 = addPasswordBox("txtP1", 420);
    Label2 = addLabel("Label2", QStringLiteral("確認のためもう一度入力して下さい。"), 840);
    txtP2 = addPasswordBox("txtP2", 1140);
    Label1->setBuddy(txtP1);
    Label2->setBuddy(txtP2);
    refuseLineBreaks(txtP1);
    refuseLineBreaks(txtP2);
    addButtons(1560);
}

QString frmPasswd::askNewPassword(QWidget* parent, const QuestionDocument& document) {
    frmPasswd form(document, parent);
    form.exec();
    return form.newPassword_;
}

QString frmPasswd::placeholder() const {
    if (document_.isLocked() || document_.filePassword().isEmpty())
        return {};
    return QString(document_.filePassword().size(), QLatin1Char('*'));
}

void frmPasswd::Form_Load() {
    const QString stars = placeholder();
    if (stars.isEmpty())
        return;
    // Typing replaces the placeholder, and a line says what it stands for.
    for (QLineEdit* box : {txtP1, txtP2}) {
        box->setText(stars);
        box->selectAll();
    }
    if (Label3)
        return;
    Label3 = addLabel("Label3", keepsPasswordNote(), 1500);
    Label3->show();
    txtP1->setAccessibleDescription(Label3->text());
    moveButtons(1860);
    setFixedHeight(Twips::toPixels(2340));
}

QString frmPasswd::keepsPasswordNote() {
    return QStringLiteral("今のﾊﾟｽﾜｰﾄﾞのままにするときは、このまま O K を押して下さい。");
}

void frmPasswd::cmdOK_Click() {
    const QString title = QStringLiteral("入力ｴﾗｰ");
    if (txtP1->text() != txtP2->text()) {
        Dialogs::message(QStringLiteral("ﾊﾟｽﾜｰﾄﾞ(1度目)とﾊﾟｽﾜｰﾄﾞ(確認)が一致していません。"), title,
                         Dialogs::Icon::Exclamation);
        return;
    }
    if (txtP1->text().isEmpty()) {
        Dialogs::message(QStringLiteral("ﾊﾟｽﾜｰﾄﾞが入力されていません。"), title,
                         Dialogs::Icon::Exclamation);
        return;
    }
    const QString stars = placeholder();
    newPassword_ =
        !stars.isEmpty() && txtP1->text() == stars ? document_.filePassword() : txtP1->text();
    accept();
}
