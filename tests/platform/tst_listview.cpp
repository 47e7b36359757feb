#include "platform/KeyedTable.h"
#include "platform/ListView.h"

#include "support/TestEnv.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

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
        // Rows that are not there are left alone.
        list.setText(0, "none");
        list.setText(4, "none");
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.text(1), QString("1"));
        QCOMPARE(list.text(2), QString("3"));
        QCOMPARE(list.text(3), QString("6"));
        QCOMPARE(list.find("k6"), 3);
        QCOMPARE(list.find("k4"), 0);
        QVERIFY(list.setKey(list.add("again"), "k4"));
    }

    void batchAppendRefusesTakenKeys_data() {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QVector<int>>("refused");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("in order") << false << QVector<int>{3, 5}
                                  << QStringList{"m", "z", "a", "b", "c"}
                                  << QStringList{"k1", "k2", "", "", ""};
        QTest::newRow("sorted") << true << QVector<int>{1, 3}
                                << QStringList{"a", "b", "c", "m", "z"}
                                << QStringList{"", "", "", "k1", "k2"};
    }
    void batchAppendRefusesTakenKeys() {
        QFETCH(bool, sorted);
        ListView list;
        list.setKey(list.add("m"), "k1");
        list.setSorted(sorted);
        // A key taken before the batch, one taken within it, and no key.
        const QVector<int> refused =
            list.appendRows({{"k2", {"z"}}, {"k1", {"a", "sub a"}}, {"", {"b"}}, {"k2", {"c"}}});
        QTEST(refused, "refused");
        QStringList texts, keys;
        for (int row = 1; row <= list.count(); ++row) {
            texts << list.text(row);
            keys << list.key(row);
        }
        QTEST(texts, "texts");
        QTEST(keys, "keys");
        QCOMPARE(list.subItem(texts.indexOf("a") + 1, 1), QString("sub a"));
        QCOMPARE(list.find("k2"), texts.indexOf("z") + 1);
    }

    void keysFollowRowsThroughRemovalsAndSorts() {
        ListView list;
        QVector<ListRowData> rows;
        for (const QChar text : QString("hcfagbed"))
            rows.append({QString("k") + text, {text}});
        list.appendRows(rows);
        // The rows in order, each found by its key.
        const auto rowsAre = [&list](const QString& expected) {
            QString texts;
            for (int row = 1; row <= list.count(); ++row) {
                texts += list.text(row);
                QCOMPARE(list.find("k" + list.text(row)), row);
            }
            QCOMPARE(texts, expected);
        };
        list.remove(2);
        list.remove(6);
        list.remove(4);
        rowsAre("hfabd");
        QCOMPARE(list.find("kg"), 0);
        list.setSorted(true);
        rowsAre("abdfh");
        list.remove(1);
        QCOMPARE(list.add("c"), 2);
        QVERIFY(list.setKey(2, "kc"));
        rowsAre("bcdfh");
        list.setSortOrder(Qt::DescendingOrder);
        rowsAre("hfdcb");
        list.setSorted(false);
        list.remove(5);
        list.remove(1);
        rowsAre("fdc");
        QVERIFY(!list.setKey(1, "kd"));
        QCOMPARE(list.find("kh"), 0);
    }

    // Many rows leave at once; those that stay keep their keys, columns,
    // selection and the current row.
    void removingManyRowsAtOnce() {
        ListView list;
        list.addColumn("a", 1000);
        list.addColumn("b", 1000);
        list.setMultiSelect(true);
        QVector<ListRowData> rows;
        for (const QChar text : QString("abcdefg"))
            rows.append({QString("k") + text, {text, QString("sub ") + text}});
        list.appendRows(rows);
        list.setSelectedRow(3);
        list.setRowSelected(1, true);
        list.setRowSelected(6, true);
        list.setRowSelected(2, true);
        // In any order, twice, or not in the list: each row leaves once.
        list.removeRows({5, 2, 7, 2, 0, 99});
        QString texts;
        for (int row = 1; row <= list.count(); ++row) {
            texts += list.text(row);
            QCOMPARE(list.find("k" + list.text(row)), row);
            QCOMPARE(list.subItem(row, 1), "sub " + list.text(row));
        }
        QCOMPARE(texts, QString("acdf"));
        QCOMPARE(list.find("kb"), 0);
        QVERIFY(list.setKey(list.add("b"), "kb"));
        QCOMPARE(list.selectedRow(), 2);
        const QList<bool> selected{list.isRowSelected(1), list.isRowSelected(2),
                                   list.isRowSelected(3), list.isRowSelected(4)};
        QCOMPARE(selected, (QList<bool>{true, true, false, true}));
    }

    // Rows move whole to the places an order names; an order that does not
    // name every row once changes nothing.
    void reorderingMovesWholeRows_data() {
        QTest::addColumn<QList<int>>("order");
        QTest::addColumn<QString>("texts");
        QTest::newRow("new order") << QList<int>{3, 1, 4, 2} << "cadb";
        QTest::newRow("a row twice") << QList<int>{3, 1, 1, 2} << "abcd";
        QTest::newRow("a row missing") << QList<int>{3, 1, 2} << "abcd";
        QTest::newRow("no such row") << QList<int>{3, 1, 5, 2} << "abcd";
    }
    void reorderingMovesWholeRows() {
        QFETCH(QList<int>, order);
        QFETCH(QString, texts);
        ListView list;
        list.addColumn("a", 1000);
        list.addColumn("b", 1000);
        for (const QChar text : QString("abcd"))
            list.appendRows({{QString("k") + text, {text, QString("sub ") + text}}});
        list.setSelectedRow(1);
        list.reorderRows(order);
        QString shown;
        for (int row = 1; row <= list.count(); ++row) {
            shown += list.text(row);
            QCOMPARE(list.find("k" + list.text(row)), row);
            QCOMPARE(list.subItem(row, 1), "sub " + list.text(row));
        }
        QCOMPARE(shown, texts);
        QCOMPARE(list.text(list.selectedRow()), QString("a"));
        // A list that keeps itself sorted is sorted again.
        list.setSorted(true);
        list.reorderRows({4, 3, 2, 1});
        QCOMPARE(list.text(1), QString("a"));
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
        // A row without the column's text sorts as an empty one.
        list.setSortKey(1);
        list.setSorted(true);
        QCOMPARE(list.text(1), QString("aaa"));
        QCOMPARE(list.text(2), QString("Apple"));
    }

    void lineBreaksKeptButShownOnOneLine() {
        ListView list;
        list.addColumn("a", 1000);
        const int row = list.add("first\r\nsecond");
        QCOMPARE(list.text(row), QString("first\r\nsecond"));
        QCOMPARE(list.model()->index(0, 0).data().toString(), QString("first second"));
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

    void wholeRowsOnly_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("inLayout");
        QTest::addColumn<bool>("biggerFontWhileHidden");
        QTest::newRow("110 high") << 400 << 110 << false << false;
        QTest::newRow("97 high") << 400 << 97 << false << false;
        QTest::newRow("scroll bar below the rows") << 150 << 130 << false << false;
        QTest::newRow("in a layout") << 400 << 110 << true << false;
        QTest::newRow("bigger font while hidden") << 400 << 110 << false << true;
    }
    void wholeRowsOnly() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, inLayout);
        QFETCH(bool, biggerFontWhileHidden);
        QWidget window;
        auto* list = new ListView(&window);
        list->addColumn(u8("正解"), 600);
        list->addColumn(u8("選択肢"), 4200);
        for (int i = 0; i < 10; ++i)
            list->setSubItem(list->add(u8("○")), 1, u8("東京"));
        list->setWholeRows(true);
        if (inLayout)
            (new QVBoxLayout(&window))->addWidget(list);
        else
            list->resize(width, height);
        window.resize(inLayout ? width : 500, inLayout ? height + 22 : 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::processEvents();
        if (biggerFontWhileHidden) {
            const QFont font = list->font();
            list->hide();
            list->setFont(QFont(font.family(), font.pointSize() * 3));
            QApplication::processEvents();
            list->show();
            list->setFont(font);
            QApplication::processEvents();
        }
        const int rowHeight = list->visualRect(list->model()->index(0, 0)).height();
        QVERIFY(rowHeight > 0);
        QCOMPARE(list->viewport()->height() % rowHeight, 0);
        QVERIFY(list->viewport()->height() > 0);
        const int given =
            inLayout ? list->parentWidget()->layout()->contentsRect().height() : height;
        QVERIFY(list->height() > given - rowHeight);
        list->setWholeRows(false);
        QCOMPARE(list->height(), given);
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
