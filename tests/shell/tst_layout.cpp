#include "platform/ListView.h"
#include "platform/TwipsGeometry.h"
#include "shell/frmMain.h"

#include "support/TestEnv.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace Twips;

namespace {
QRect twipsOf(QWidget* w) {
    return {leftOf(w), topOf(w), widthOf(w), heightOf(w)};
}
} // namespace

class TestLayout : public QObject {
    Q_OBJECT
  private slots:
    void designClientSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("tab strip") << "SSTab1" << QRect(0, 0, 10095, 5670);
        QTest::newRow("question list") << "lstMondai" << QRect(120, 480, 9855, 4695);
        QTest::newRow("question text") << "Frame1" << QRect(120, 360, 9855, 1935);
        QTest::newRow("divider") << "Picture1" << QRect(-10095, 2295, 30285, 15);
    }
    void designClientSize() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        TestEnv env;
        frmMain window;
        window.show();
        auto* widget = window.findChild<QWidget*>(name);
        const int outer = fromPixels(window.frameGeometry().width());
        QRect expected = geometry;
        if (name == "Picture1") // spans three outer widths, starting one to the left
            expected = QRect(-outer, geometry.top(), 3 * outer, geometry.height());
        QCOMPARE(twipsOf(widget), expected);
    }

    // The due count stands in the tab strip's free end, right of the tabs,
    // and leaves the pages where they were: the strip is no taller for it.
    void dueCountInTheTabStrip() {
        TestEnv env;
        frmMain window;
        window.show();
        QTabBar* tabs = window.SSTab1->tabBar();
        const QRect due = window.lblDue->geometry();
        QVERIFY(window.lblDue->isVisible());
        QVERIFY(due.left() >= tabs->geometry().right());
        QVERIFY(due.right() < window.SSTab1->width());
        QVERIFY(due.height() <= tabs->height());
        QVERIFY(window.lblDue->fontMetrics().horizontalAdvance(u8("復習 999問")) <= due.width());
        QTabWidget plain;
        for (int page = 0; page < window.SSTab1->count(); ++page)
            plain.addTab(new QWidget, window.SSTab1->tabText(page));
        plain.resize(window.SSTab1->size());
        plain.show();
        QCOMPARE(window.SSTab1->currentWidget()->geometry(), plain.currentWidget()->geometry());
    }

    void answerPageRows() {
        TestEnv env;
        frmMain window;
        window.show();
        const int tabHeight = heightOf(window.SSTab1);
        const QRect frame2 = twipsOf(window.Frame2);
        QCOMPARE(tabHeight - (frame2.top() + frame2.height()), 840);
        QCOMPARE(topOf(window.cmdHint), frame2.top() + frame2.height() + 102);
        for (QWidget* w : std::initializer_list<QWidget*>{window.txtInput, window.cmdKaitou,
                                                          window.cmdMae, window.cmdTsugi})
            QCOMPARE(topOf(w), topOf(window.cmdHint));
    }

    // Texts wider than their designed place are still seen whole: the mark
    // prompt in a smaller font, the statistics in wider columns.
    void textsSeenWhole() {
        TestEnv env;
        frmMain window;
        window.show();
        window.SSTab1->setTabEnabled(1, true);
        window.SSTab1->setCurrentIndex(1);
        window.lblMark->show(); // as after an answer
        const QLabel* mark = window.lblMark;
        QVERIFY(mark->fontMetrics().horizontalAdvance(mark->text()) <= mark->width());
        // Only as much smaller as it must be.
        QFont larger = mark->font();
        larger.setPointSizeF(larger.pointSizeF() + 0.5);
        QVERIFY(QFontMetrics(larger).horizontalAdvance(mark->text()) > mark->width());
        for (int column = 1; column <= 3; ++column)
            QVERIFY(window.lstMondai->columnWidth(column) >
                    window.lstMondai->fontMetrics().horizontalAdvance("100.0%"));
    }

    // A drag of the divider moves the boundary to where the mouse is let go;
    // the question text keeps that height when the window is resized.
    void dividerDrag() {
        TestEnv env;
        frmMain window;
        window.show();
        window.SSTab1->setTabEnabled(1, true);
        window.SSTab1->setCurrentIndex(1);
        QWidget* page = window.Picture1->parentWidget();
        const int frame1Height = heightOf(window.Frame1);
        const int frame2Top = topOf(window.Frame2);
        const int frame2Bottom = frame2Top + heightOf(window.Frame2);
        const QPoint grip(200, window.Frame1->geometry().bottom() + 2);
        const QPoint drop = grip + QPoint(0, toPixels(510));

        QTest::mousePress(page, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, drop, page->mapToGlobal(drop), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page, &move);
        QVERIFY(window.Picture2->isVisible());
        QTest::mouseRelease(page, Qt::LeftButton, {}, drop);
        QVERIFY(!window.Picture2->isVisible());
        const int moved = fromPixels(drop.y()) - (topOf(window.Frame1) + frame1Height);
        QCOMPARE(heightOf(window.Frame1), frame1Height + moved);
        QCOMPARE(topOf(window.Frame2), fromPixels(drop.y()) + 105);
        // The layout after the drop puts the bar right under the question text.
        QCOMPARE(topOf(window.Picture1), fromPixels(drop.y()));
        QCOMPARE(topOf(window.Frame2) + heightOf(window.Frame2), frame2Bottom);
        QVERIFY(window.Timer1->isActive());
        QCOMPARE(window.Timer1->interval(), 500);

        window.resize(window.width(), window.height() + toPixels(600));
        QCOMPARE(heightOf(window.Frame1), frame1Height + moved);
        QCOMPARE(topOf(window.Frame2), fromPixels(drop.y()) + 105);
        QCOMPARE(topOf(window.Frame2) + heightOf(window.Frame2), frame2Bottom + 600);
        QTRY_VERIFY(!window.Timer1->isActive());
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
