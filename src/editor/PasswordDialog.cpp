#include "editor/PasswordDialog.h"

#include "platform/TwipsGeometry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {
constexpr int FormWidth = 4800;
constexpr int Margin = 120;
constexpr int BoxHeight = 300;
constexpr int ButtonWidth = 1215;
constexpr int ButtonHeight = 375;
} // namespace

using Twips::place;

PasswordDialog::PasswordDialog(const QString& formName, int height, QWidget* parent)
    : QDialog(parent) {
    setObjectName(formName);
    setWindowTitle(QStringLiteral("くう・めも - 保護用ﾊﾟｽﾜｰﾄﾞ入力"));
    setModal(true);
    setFixedSize(Twips::toPixels(FormWidth), Twips::toPixels(height));
}

QLabel* PasswordDialog::addLabel(const QString& name, const QString& text, int top) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    place(label, Margin, top, FormWidth - 2 * Margin, 255);
    return label;
}

QLineEdit* PasswordDialog::addPasswordBox(const QString& name, int top) {
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    place(box, Margin, top, FormWidth - 2 * Margin, BoxHeight);
    return box;
}

void PasswordDialog::addButtons(int top) {
    cmdOK = new QPushButton(QStringLiteral("O K"), this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    place(cmdOK, FormWidth - 2 * (ButtonWidth + Margin), top, ButtonWidth, ButtonHeight);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setAutoDefault(false);
    place(cmdCancel, FormWidth - ButtonWidth - Margin, top, ButtonWidth, ButtonHeight);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &PasswordDialog::cmdCancel_Click);
}

void PasswordDialog::moveButtons(int top) {
    Twips::setTop(cmdOK, top);
    Twips::setTop(cmdCancel, top);
}

void PasswordDialog::cmdCancel_Click() {
    reject();
}

void PasswordDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Form_Load();
}
