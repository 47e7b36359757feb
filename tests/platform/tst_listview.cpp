#include "platform/KeyedTable.h"
#include "platform/ListView.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

class TestListView : public QObject {
    Q_OBJECT
  private slots:
    void keysAreUniqueAndRefusedRowsKeepNoKey() {
        ListView list;
        const int a = list.add("a");
        QVERIFY(list.setKey(a, "k1"));
        const int b = list.add("b");
        ListError error;
        QVERIFY(!list.setKey(b, "k1", &error));
        QCOMPARE(error.number, 35602);
        QVERIFY(!error.description.isEmpty());
        QCOMPARE(list.key(b), QString());
        QCOMPARE(list.find("k1"), a);
        QCOMPARE(list.count(), 2);
        // Keys differ by case: both kept.
        QVERIFY(list.setKey(b, "K1"));
        QCOMPARE(list.find("K1"), b);
    }

    void removingRenumbersAndFreesKeys() {
        ListView list;
        for (int i = 1; i <= 6; ++i)
            list.setKey(list.add(QString::number(i)), "k" + QString::number(i));
        // Remove rows 2, 4 and 5, from the last to the first.
        for (int row = list.count(); row >= 1; --row)
            if (row == 2 || row == 4 || row == 5)
                list.remove(row);
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.text(1), QString("1"));
        QCOMPARE(list.text(2), QString("3"));
        QCOMPARE(list.text(3), QString("6"));
        QCOMPARE(list.find("k6"), 3);
        QCOMPARE(list.find("k4"), 0);
        QVERIFY(list.setKey(list.add("again"), "k4"));
    }

    void sortingByTextAndSwitchedOffKeepsOrder() {
        ListView list;
        list.addColumn("a", 1000);
        list.addColumn("b", 1000);
        const QStringList texts{"pear", "Apple", "fig", "banana"};
        const QStringList counts{"    10", "     2", "   100", "     7"};
        for (int i = 0; i < texts.size(); ++i) {
            const int row = list.add(texts[i]);
            list.setSubItem(row, 1, counts[i]);
            list.setKey(row, texts[i]);
        }
        list.setSortKey(1);
        list.setSortOrder(Qt::DescendingOrder);
        list.setSorted(true);
        QCOMPARE(list.text(1), QString("fig"));
        QCOMPARE(list.text(4), QString("Apple"));
        QCOMPARE(list.find("pear"), 2);
        list.setSortKey(0);
        list.setSortOrder(Qt::AscendingOrder);
        QCOMPARE(list.text(1), QString("Apple"));
        QCOMPARE(list.text(2), QString("banana"));
        list.setSorted(false);
        list.add("aaa");
        QCOMPARE(list.text(1), QString("Apple"));
        QCOMPARE(list.text(5), QString("aaa"));
    }

    void lineBreaksKeptButShownOnOneLine() {
        ListView list;
        list.addColumn("a", 1000);
        const int row = list.add("first\r\nsecond");
        QCOMPARE(list.text(row), QString("first\r\nsecond"));
        QCOMPARE(list.topLevelItem(0)->text(0), QString("first second"));
        const QString longText(100000, QChar(u'あ'));
        list.setSubItem(row, 1, longText);
        QCOMPARE(list.subItem(row, 1), longText);
    }

    void selectionAndKeyEvents() {
        ListView list;
        list.addColumn("a", 3000);
        for (int i = 0; i < 3; ++i)
            list.add(QString::number(i));
        QCOMPARE(list.selectedRow(), 0);
        list.setSelectedRow(2);
        QCOMPARE(list.selectedRow(), 2);
        QSignalSpy up(&list, &ListView::keyUp);
        list.show();
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.selectedRow(), 3);
        QTest::keyClick(&list, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        // The modifier keys have key-ups of their own.
        const auto keyF = std::find_if(up.cbegin(), up.cend(), [](const QList<QVariant>& args) {
            return args.at(0).toInt() == Qt::Key_F;
        });
        QVERIFY(keyF != up.cend());
        QCOMPARE(keyF->at(1).toInt(), 3);
    }

    void rowsAppendedInBulkShowWhenItEnds() {
        ListView list;
        list.addColumn("c", 1500);
        list.show();
        {
            const ListView::BulkAppend bulk(&list);
            for (int i = 1; i <= 3; ++i) {
                list.add(QString::number(i));
                QApplication::processEvents();
            }
            QCOMPARE(list.count(), 3);
        }
        QApplication::processEvents();
        const QRect last = list.visualItemRect(list.topLevelItem(2));
        QVERIFY(!last.isEmpty());
        QVERIFY(last.top() > list.visualItemRect(list.topLevelItem(1)).top());
    }

    void keyedTable() {
        KeyedTable table(Qt::CaseInsensitive);
        ListError error;
        QCOMPARE(table.add("keyA", "1"), 1);
        QCOMPARE(table.add("KEYa", "2", {}, &error), 0);
        QCOMPARE(error.number, 35602);
        QCOMPARE(table.count(), 1);
        QCOMPARE(table.textOf("keya"), QString("1"));
        table.add("b", "x", {"y", "z"});
        table.add("c", "p");
        table.remove(1);
        QCOMPARE(table.find("c"), 2);
        QCOMPARE(table.subItem(1, 2), QString("z"));
        table.setSubItem(2, 2, "q");
        QCOMPARE(table.subItem(2, 1), QString());
        QCOMPARE(table.subItem(2, 2), QString("q"));
        QVERIFY(!table.contains("keyA"));
    }
};

QTEST_MAIN(TestListView)
#include "tst_listview.moc"
