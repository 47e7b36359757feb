#include "platform/Accessibility.h"
#include "platform/ScreenFit.h"

#include "support/TestEnv.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

class TestAccessibilityInterfaces : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { installAccessibleInterfaces(); }

    // A window's frame within the screen's available area (a 1366x768
    // screen with a 30-pixel panel at its top).
    void windowsFitTheScreen_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("fits: stays") << QRect(100, 80, 700, 500) << QRect(100, 80, 700, 500);
        QTest::newRow("bottom off: moves up")
            << QRect(100, 200, 902, 680) << QRect(100, 88, 902, 680);
        QTest::newRow("right edge off: moves left")
            << QRect(1200, 100, 300, 100) << QRect(1066, 100, 300, 100);
        QTest::newRow("title bar above: moves down")
            << QRect(-20, 0, 400, 300) << QRect(0, 30, 400, 300);
        QTest::newRow("taller than the area: shrinks to it")
            << QRect(50, 100, 800, 900) << QRect(50, 30, 800, 738);
        QTest::newRow("larger both ways") << QRect(5, 5, 2000, 1000) << QRect(0, 30, 1366, 738);
    }
    void windowsFitTheScreen() {
        QFETCH(QRect, frame);
        QFETCH(QRect, fitted);
        QCOMPARE(fitIntoArea(frame, QRect(0, 30, 1366, 738)), fitted);
    }

    // A combo box is said by its label, its current item is its value, and
    // its action opens and closes the item list.
    void comboBox() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* label = new QLabel(u8("種類"));
        auto* box = new QComboBox;
        box->addItems({u8("一"), u8("二")});
        label->setBuddy(box);
        layout->addWidget(label);
        layout->addWidget(box);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(box);
        QCOMPARE(combo->text(QAccessible::Name), u8("種類"));
        QCOMPARE(combo->text(QAccessible::Value), u8("一"));
        QCOMPARE(combo->childCount(), 1);
        QCOMPARE(combo->indexOfChild(combo->child(0)), 0);
        QVERIFY(combo->state().expandable);
        QVERIFY(!combo->state().expanded);
        combo->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QVERIFY(combo->state().expanded);
        combo->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(!combo->state().expanded);
        box->setEditable(true);
        QCOMPARE(combo->childCount(), 2);
        QCOMPARE(combo->child(1)->object(), box->lineEdit());
        QCOMPARE(combo->indexOfChild(combo->child(1)), 1);
        QVERIFY(!combo->child(2));
    }

    // Tabs are said and described as shown, the current one selected; one
    // whose page is gone is no longer valid.
    void tabs() {
        QTabWidget tabs;
        for (const char* page : {"A", "B", "C"})
            tabs.addTab(new QWidget, page);
        tabs.setTabToolTip(1, "about B");
        tabs.tabBar()->setToolTip("the tabs");
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(tabs.tabBar());
        QCOMPARE(strip->text(QAccessible::Name), QString("A"));
        QCOMPARE(strip->text(QAccessible::Description), QString("the tabs"));
        for (int i = 0; i < 3; ++i) {
            QAccessibleInterface* tab = strip->child(i);
            QCOMPARE(strip->indexOfChild(tab), i);
            QCOMPARE(tab->text(QAccessible::Name), tabs.tabText(i));
            QCOMPARE(tab->state().selected, i == 0);
            QVERIFY(tab->isValid());
        }
        QCOMPARE(strip->child(1)->text(QAccessible::Description), QString("about B"));
        QCOMPARE(strip->child(0)->text(QAccessible::Description), QString());
        QAccessibleInterface* last = strip->child(2);
        tabs.removeTab(2);
        QVERIFY(last->state().invalid);
    }
};

QTEST_MAIN(TestAccessibilityInterfaces)
#include "tst_accessibility_interfaces.moc"
