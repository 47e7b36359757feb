#include "learner/QuestionFilter.h"
#include "learner/MarkDefinitions.h"

#include "support/TestEnv.h"

#include <QTest>

class TestMarks : public QObject {
    Q_OBJECT
  private slots:
    void definitions_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("entries"); // "key=value", in table order

        QTest::newRow("three levels")
            << "Level=1:A\r\nLevel=2:B\r\nLevel=3:C\r\nCorrect=1\r\nWrong=3\r\n"
            << QStringList{"A", "B", "C"}
            << QStringList{"key1=A", "strA=1", "key2=B",       "strB=2",
                           "key3=C", "strC=3", "keyCorrect=A", "keyWrong=C"};
        QTest::newRow("correct before its level")
            << "Correct=5\r\nLevel=5:E\r\n"
            << QStringList{"E"} << QStringList{"key5=E", "strE=5"};
        QTest::newRow("lower-case prefix ignored") << "level=1:A\r\nLEVEL=2:B\r\n"
                                                   << QStringList{} << QStringList{};
        QTest::newRow("no colon ignored, empty mark defined")
            << "Level=1\r\nLevel=2:\r\n"
            << QStringList{""} << QStringList{"key2=", "str=2"};
        QTest::newRow("mark text keeps later colons and blanks")
            << "Level=1: a:b \n"
            << QStringList{" a:b "} << QStringList{"key1= a:b ", "str a:b =1"};
        QTest::newRow("repeated level keeps the first, mark still listed")
            << "Level=1:A\r\nLevel=1:B\r\n"
            << QStringList{"A", "B"} << QStringList{"key1=A", "strA=1", "strB=1"};
        QTest::newRow("repeated mark under a new level")
            << "Level=1:A\r\nLevel=2:A\r\n"
            << QStringList{"A", "A"} << QStringList{"key1=A", "strA=1", "key2=A"};
        QTest::newRow("keys compared without case")
            << "Level=x:A\r\nLevel=X:B\r\nHint=X\r\n"
            << QStringList{"A", "B"} << QStringList{"keyx=A", "strA=x", "strB=X", "keyHint=A"};
        QTest::newRow("undefined level referred")
            << "Level=1:A\r\nWrong=2\r\nHint=1\r\n"
            << QStringList{"A"} << QStringList{"key1=A", "strA=1", "keyHint=A"};
    }
    void definitions() {
        QFETCH(QString, file);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, entries);
        MarkDefinitions definitions;
        readMarkDefinitions(file, definitions);
        QCOMPARE(definitions.marks, marks);
        QStringList actual;
        for (int row = 1; row <= definitions.table.count(); ++row)
            actual << definitions.table.key(row) + "=" + definitions.table.text(row);
        QCOMPARE(actual, entries);
    }

    void filterList_data() {
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("markItems");
        QTest::newRow("none") << QStringList{} << QStringList{};
        QTest::newRow("one") << QStringList{"A"} << QStringList{u8("ﾏｰｸが\"A\"を選ぶ")};
        QTest::newRow("three") << QStringList{"A", "B", "C"}
                               << QStringList{u8("ﾏｰｸが\"A\"を選ぶ"), u8("ﾏｰｸが\"B\"以下を選ぶ"),
                                              u8("ﾏｰｸが\"C\"を選ぶ")};
    }
    void filterList() {
        QFETCH(QStringList, marks);
        QFETCH(QStringList, markItems);
        const QStringList fixed{
            u8("ﾗﾝﾀﾞﾑに10問だけ選ぶ"),           u8("ﾗﾝﾀﾞﾑに20問だけ選ぶ"),
            u8("ﾗﾝﾀﾞﾑに50問だけ選ぶ"),           u8("まだ解いていない問題だけ選ぶ"),
            u8("解いたことのある問題だけ選ぶ"),  u8("正答率が100%のものだけ選ぶ"),
            u8("正答率が75%以下のものだけ選ぶ"), u8("正答率が50%以下のものだけ選ぶ"),
            u8("正答率が25%以下のものだけ選ぶ"), u8("正答率が0%のものだけ選ぶ")};
        const QStringList last{u8("今回間違えた問題だけ選ぶ"), u8("復習の時期が来た問題だけ選ぶ"),
                               u8("復習と新しい問題20問を選ぶ")};
        QCOMPARE(filterItems(marks), fixed + markItems + last);
    }

    void fileIsReadInCodePage932() {
        TestEnv env;
        env.writeFile("kuMemo-ini.txt",
                      QByteArray("Level=1:") + QByteArray::fromHex("819b") + "\r\nCorrect=1");
        MarkDefinitions definitions;
        readMarkDefinitionFile(env.folder(), definitions);
        QCOMPARE(definitions.marks, QStringList{u8("○")});
        QCOMPARE(definitions.table.textOf("keyCorrect"), u8("○"));
        MarkDefinitions none;
        readMarkDefinitionFile(env.folder() + "missing/", none);
        QVERIFY(none.marks.isEmpty());
    }
};

QTEST_MAIN(TestMarks)
#include "tst_marks.moc"
