#include "shell/frmMessage.h"

#include "platform/RichTextBox.h"
#include "platform/Texts.h"
#include "platform/TwipsGeometry.h"
#include "platform/Widgets.h"
#include "session/Judging.h"

#include <QPushButton>
#include <QTimer>

frmMessage::frmMessage(QWidget* parent) : QDialog(parent) {
    setObjectName("frmMessage");
    setWindowTitle(u("くう・めも - ヒント/解説表示"));
    setModal(true);
    RichTextBox1 = named(new RichTextBox(this), "RichTextBox1");
    RichTextBox1->setLocked(true);
    RichTextBox1->setAccessibleName(u("ヒント/解説"));
    Command1 = named(new QPushButton(u("閉じる"), this), "Command1");
    connect(Command1, &QPushButton::clicked, this, &frmMessage::Command1_Click);
    // The focus moves to "閉じる" once the window has come up.
    Timer1 = named(new QTimer(this), "Timer1");
    connect(Timer1, &QTimer::timeout, this, &frmMessage::Timer1_Timer);
    Timer1->start(10);
    resize(Twips::toPixels(6015), Twips::toPixels(3270));
}

void frmMessage::showText(QWidget* parent, const QString& rtf, const QString& what) {
    frmMessage form(parent);
    // One caption for both on the screen; a screen reader tells them apart.
    form.setAccessibleName(u("くう・めも - ") + what + u("表示"));
    form.RichTextBox1->setAccessibleName(what);
    form.RichTextBox1->setTextRTF(rtf);
    form.exec();
}

void frmMessage::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmMessage::Form_Resize() {
    const MessageLayout layout =
        messageLayout(Twips::fromPixels(width()), Twips::fromPixels(height()));
    // A window too low for the text keeps the text box as it was.
    if (layout.text.height() >= 0)
        Twips::setRect(RichTextBox1, layout.text);
    Twips::setRect(Command1, layout.closeButton);
}

void frmMessage::Timer1_Timer() {
    Timer1->setInterval(0);
    Timer1->stop();
    Command1->setFocus();
}

void frmMessage::Command1_Click() {
    accept();
}
