// The main window's layout in twips, and the divider between the question
// text and the answers.
#include "platform/TwipsGeometry.h"
#include "shell/frmMain.h"

#include "platform/ListView.h"
#include "platform/RichTextBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

using namespace Twips;

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize() {
    QWidget* client = centralWidget();
    if (!client || !SSTab1)
        return;
    const int W = widthOf(client);
    const int H = heightOf(client);
    setSize(SSTab1, W, H - 300);
    StatusBar1->setGeometry(0, Twips::toPixels(H - 255), client->width(), Twips::toPixels(255));
    const int tabWidth = widthOf(SSTab1);
    const int tabHeight = heightOf(SSTab1);
    setSize(lstMondai, tabWidth - 240, tabHeight - 975);
    setWidth(Frame1, tabWidth - 240);
    setWidth(Frame2, tabWidth - 240);
    setSize(txtMondai, widthOf(Frame1), heightOf(Frame1));

    int n = 0;
    while (txtKaitou.contains(n + 1))
        ++n;
    for (int i = 1; i <= n; ++i) {
        RichTextBox* box = txtKaitou[i];
        if (i == 1) {
            setTop(box, 0);
            setHeight(box, heightOf(Frame2) / n);
        } else {
            RichTextBox* previous = txtKaitou[i - 1];
            setHeight(box, heightOf(previous));
            setTop(box, topOf(previous) + heightOf(previous) - 10);
        }
        setWidth(box, widthOf(Frame2) - leftOf(box));
        // The right answer of a judged typed answer is a box without a
        // number or a mark.
        if (!txtKey.contains(i))
            continue;
        setTop(txtKey[i], topOf(box));
        setHeight(txtKey[i], heightOf(box));
        setTop(lblChk[i], topOf(box));
    }

    const int outerWidth = Twips::fromPixels(frameGeometry().width());
    const int outerHeight = Twips::fromPixels(frameGeometry().height());
    setWidth(Picture1, 3 * outerWidth);
    setLeft(Picture1, -outerWidth);
    setTop(Picture1, topOf(Frame1) + heightOf(Frame1));
    setHeight(Picture2, 3 * outerHeight);
    setTop(Picture2, -outerHeight);
    setHeight(Frame2, tabHeight - topOf(Frame2) - 840);
    const int rowTop = topOf(Frame2) + heightOf(Frame2) + 102;
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmdHint, txtInput, cmdKaitou, cmbMark, cmdKaisetsu,
                                         lblMark, cmdMae, cmdTsugi, lblPosition})
        setTop(w, rowTop);
    setLeft(txtMsg, leftOf(lstMondai) + (widthOf(lstMondai) - widthOf(txtMsg)) / 2);
    setTop(txtMsg, topOf(lstMondai) + heightOf(lstMondai) / 2 - heightOf(txtMsg));
}

void frmMain::Picture1_DragOver(int x, int) {
    setLeft(Picture2, leftOf(Picture1) + x - widthOf(Picture2) / 2);
    Picture2->show();
}

void frmMain::Picture2_DragDrop(int, int y) {
    Picture2->hide();
    setHeight(Frame1, topOf(Picture2) + y - topOf(Frame1));
    setTop(Frame2, topOf(Picture2) + y + 105);
    setTop(Picture1, topOf(Frame2) - 90);
    Form_Resize();
    Timer1->setInterval(500);
    Timer1->start();
}

void frmMain::Timer1_Timer() {
    Timer1->setInterval(0);
    Timer1->stop();
    Form_Resize();
}

// The divider is a thin bar in the gap between the question text and the
// answers; the whole gap takes the mouse, so the bar is easy to catch.
bool frmMain::dividerEvent(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    QWidget* page = Picture1->parentWidget();
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    const bool overGap = at.y() >= Frame1->geometry().bottom() && at.y() < Frame2->y();
    switch (type) {
    case QEvent::MouseButtonPress:
        if (!overGap || mouse->button() != Qt::LeftButton)
            return false;
        draggingDivider_ = true;
        return true;
    case QEvent::MouseMove:
        if (draggingDivider_)
            Picture1_DragOver(fromPixels(at.x() - Picture1->x()),
                              fromPixels(at.y() - Picture1->y()));
        else
            page->setCursor(overGap ? Qt::SizeVerCursor : Qt::ArrowCursor);
        return draggingDivider_;
    case QEvent::MouseButtonRelease: {
        if (!draggingDivider_)
            return false;
        draggingDivider_ = false;
        const QPoint inDropArea = at - Picture2->pos();
        if (Picture2->isVisible() && Picture2->rect().contains(inDropArea))
            Picture2_DragDrop(fromPixels(inDropArea.x()), fromPixels(inDropArea.y()));
        else
            Picture2->hide();
        return true;
    }
    default:
        return false;
    }
}
