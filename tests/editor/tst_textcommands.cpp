#include "editor/TextCommands.h"

#include "support/TestEnv.h"

#include <QTest>

class TestTextCommands : public QObject {
    Q_OBJECT
  private slots:
    void split_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QStringList>("choices");
        QTest::newRow("two choices") << u8("　ア　A\r\n\r\n　イ　B") << QStringList{"A", "B"};
        QTest::newRow("continued lines joined")
            << u8("　ア　first\r\n　　second\r\n　third\r\nfourth\r\n\r\n　イ　B")
            << QStringList{"firstsecondthirdfourth", "B"};
        QTest::newRow("missing label skipped")
            << u8("　ア　A\r\n\r\n　ウ　C\r\n\r\n　エ　D") << QStringList{"A", "C", "D"};
        QTest::newRow("order of labels, not of text")
            << u8("　イ　B\r\n\r\n　ア　A") << QStringList{"A", "B"};
        QTest::newRow("no labels") << u8("A\r\nB") << QStringList{};
        QTest::newRow("label needs its line start") << u8("x　ア　A") << QStringList{};
        QTest::newRow("all five")
            << u8("　ア　1\r\n\r\n　イ　2\r\n\r\n　ウ　3\r\n\r\n　エ　4\r\n\r\n　オ　5")
            << QStringList{"1", "2", "3", "4", "5"};
    }
    void split() {
        QFETCH(QString, pasted);
        QFETCH(QStringList, choices);
        QCOMPARE(splitPastedChoices(pasted), choices);
    }

    void tidy_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tidied");
        QTest::newRow("two lines") << u8("　　Q1\r\n　next") << "Q1next";
        QTest::newRow("plain breaks") << u8("a\r\nb\r\nc") << "abc";
        QTest::newRow("inner spaces stay") << u8("a　b\r\n　　c") << u8("a　b　c");
        QTest::newRow("only spaces") << u8("　　") << "";
    }
    void tidy() {
        QFETCH(QString, text);
        QFETCH(QString, tidied);
        QCOMPARE(tidyQuestionText(text), tidied);
    }
};

QTEST_MAIN(TestTextCommands)
#include "tst_textcommands.moc"
