#include "platform/KeyedTable.h"
#include "platform/RichTextBox.h"
#include "session/Judging.h"
#include "session/Statistics.h"
#include "learner/MarkDefinitions.h"

#include "support/TestEnv.h"

#include <QTest>

Q_DECLARE_METATYPE(AnswerAction)

namespace {
QList<bool> flags(const QString& marks) {
    QList<bool> result;
    for (QChar c : marks)
        result.append(c == QChar(0x25CB)); // ○
    return result;
}

// "Tokyo" in bold red 12 pt ＭＳ ゴシック, as the editor stores it.
const char* const tokyo =
    "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fmodern\\fprq1"
    "\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs24\\cf1\\b Tokyo\\par\r\n}\r\n";

} // namespace

class TestJudging : public QObject {
    Q_OBJECT
  private slots:
    void answerButton_data() {
        QTest::addColumn<bool>("hasRow");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<AnswerAction>("action");
        QTest::newRow("answer") << true << u8("回 答") << AnswerAction::Judge;
        QTest::newRow("next") << true << u8("次問題") << AnswerAction::StoreMarkThenNext;
        QTest::newRow("answer without a question") << false << u8("回 答") << AnswerAction::Next;
        QTest::newRow("next without a question") << false << u8("次問題") << AnswerAction::Next;
    }
    void answerButton() {
        QFETCH(bool, hasRow);
        QFETCH(QString, caption);
        QFETCH(AnswerAction, action);
        QCOMPARE(answerAction(hasRow, caption), action);
    }

    // Right exactly when the selected choices are the right ones.
    void choices_data() {
        QTest::addColumn<QString>("correct");  // ○ right, × wrong
        QTest::addColumn<QString>("selected"); // ○ selected
        QTest::addColumn<bool>("right");
        QTest::addColumn<QString>("marks");
        QTest::newRow("single, right one chosen") << u8("×○×") << u8("×○×") << true << u8("×→○→×→");
        QTest::newRow("single, wrong one chosen")
            << u8("×○×") << u8("○××") << false << u8("×→○→×→");
        QTest::newRow("single, nothing chosen") << u8("○×") << u8("××") << false << u8("○→×→");
        QTest::newRow("multiple, both right ones")
            << u8("○×○") << u8("○×○") << true << u8("○→×→○→");
        QTest::newRow("multiple, a right one missing")
            << u8("○×○") << u8("○××") << false << u8("○→×→○→");
        QTest::newRow("multiple, a wrong one too")
            << u8("○×○") << u8("○○○") << false << u8("○→×→○→");
        QTest::newRow("no right choices, nothing chosen")
            << u8("××") << u8("××") << true << u8("×→×→");
        QTest::newRow("no right choices, one chosen")
            << u8("××") << u8("×○") << false << u8("×→×→");
    }
    void choices() {
        QFETCH(QString, correct);
        QFETCH(QString, selected);
        QFETCH(bool, right);
        QFETCH(QString, marks);
        const JudgedChoices judged = judgeChoices(flags(correct), flags(selected));
        QCOMPARE(judged.right, right);
        QCOMPARE(judged.marks.join(""), marks);
    }

    // The entry box takes the stored answer's format and is emptied, as the
    // answering page prepares it; then the learner types.
    void typedAnswer_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("right");
        QTest::newRow("same text") << QString(tokyo) << "Tokyo" << true;
        QTest::newRow("trailing blank") << QString(tokyo) << "Tokyo " << false;
        QTest::newRow("leading blank") << QString(tokyo) << " Tokyo" << false;
        QTest::newRow("full-width letters") << QString(tokyo) << u8("Ｔｏｋｙｏ") << false;
        QTest::newRow("lower case") << QString(tokyo) << "tokyo" << false;
        QTest::newRow("upper case") << QString(tokyo) << "TOKYO" << false;
        QTest::newRow("nothing typed") << QString(tokyo) << "" << false;
        QTest::newRow("Japanese") << QString("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0"
                                             "\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92"
                                             "\\'a9;}}\\f0\\fs18 \\'93\\'8c\\'8b\\'9e\\par\r\n}")
                                  << u8("東京") << true;
        QTest::newRow("another writer's RTF")
            << QString("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                       "\\plain\\f0\\fs20\\i Tokyo}")
            << "Tokyo" << true;
    }
    void typedAnswer() {
        QFETCH(QString, answer);
        QFETCH(QString, typed);
        QFETCH(bool, right);
        RichTextBox entry;
        entry.setTextRTF(answer);
        entry.setText("");
        typeText(&entry, typed);
        QCOMPARE(entry.text(), typed);
        QCOMPARE(typedAnswerRight(entry.document(), answer), right);
    }

    void typedAnswerInAnotherFormat() {
        RichTextBox entry;
        entry.setTextRTF(tokyo);
        entry.selectAllText();
        QVERIFY(typedAnswerRight(entry.document(), tokyo));
        entry.setSelBold(false);
        QVERIFY(!typedAnswerRight(entry.document(), tokyo));
    }

    void statisticsAfterJudging_data() {
        QTest::addColumn<QStringList>("before"); // columns 2 to 6
        QTest::addColumn<bool>("right");
        QTest::addColumn<QStringList>("after");
        const QString o = u8("○"), x = u8("×"), mark = u8("◎");
        QTest::newRow("first answer, right") << QStringList{"", "", "", "", ""} << true
                                             << QStringList{"     1", "     1", "100.0%", "", o};
        QTest::newRow("first answer, wrong") << QStringList{"", "", "", "", ""} << false
                                             << QStringList{"     0", "     1", "  0.0%", "", x};
        QTest::newRow("right, then wrong in the same round")
            << QStringList{"     1", "     1", "100.0%", mark, o} << false
            << QStringList{"     1", "     2", " 50.0%", mark, x};
        QTest::newRow("two of three") << QStringList{"     1", "     2", " 50.0%", "", x} << true
                                      << QStringList{"     2", "     3", " 66.7%", "", o};
        QTest::newRow("one of three") << QStringList{"     0", "     2", "  0.0%", "", ""} << true
                                      << QStringList{"     1", "     3", " 33.3%", "", o};
        QTest::newRow("a half rounds up") << QStringList{"0", "15", "", "", ""} << true
                                          << QStringList{"     1", "    16", "  6.3%", "", o};
        QTest::newRow("counts read from the learner file")
            << QStringList{"3", "", "", "", ""} << true
            << QStringList{"     4", "     1", "400.0%", "", o};
        QTest::newRow("seven digits unpadded")
            << QStringList{"999999", "999999", "100.0%", "", ""} << true
            << QStringList{"1000000", "1000000", "100.0%", "", o};
    }
    void statisticsAfterJudging() {
        QFETCH(QStringList, before);
        QFETCH(bool, right);
        QFETCH(QStringList, after);
        QCOMPARE(statsAfterJudging(RowStatistics::fromColumns(before), right).columns(), after);
    }

    // Level=1:◎ Level=2:○ Level=3:×, with ◎ for a right and × for a wrong
    // answer unless the file leaves them out.
    void proposedMarkAfterJudging_data() {
        QTest::addColumn<QString>("definitions");
        QTest::addColumn<QString>("rowMark");
        QTest::addColumn<bool>("right");
        QTest::addColumn<QString>("proposed");
        const QString levels = u8("Level=1:◎\r\nLevel=2:○\r\nLevel=3:×\r\n");
        const QString both = levels + "Correct=1\r\nWrong=3\r\n";
        QTest::newRow("right, unmarked") << both << "" << true << u8("◎");
        QTest::newRow("wrong, unmarked") << both << "" << false << u8("×");
        QTest::newRow("right, marked") << both << u8("○") << true << u8("○");
        QTest::newRow("wrong, marked") << both << u8("◎") << false << u8("◎");
        QTest::newRow("no mark for a wrong answer") << levels + "Correct=1\r\n"
                                                    << "" << false << "before";
        QTest::newRow("no mark file") << ""
                                      << "" << true << "before";
    }
    void proposedMarkAfterJudging() {
        QFETCH(QString, definitions);
        QFETCH(QString, rowMark);
        QFETCH(bool, right);
        QFETCH(QString, proposed);
        MarkDefinitions marks;
        readMarkDefinitions(definitions, marks);
        QCOMPARE(proposedMark(rowMark, right, marks.table, "before"), proposed);
    }

    void markStoredOnNext_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored");
        QTest::newRow("a mark") << u8("Ａ") << true;
        QTest::newRow("another mark") << "b" << true;
        QTest::newRow("a mark in another case") << "B" << false;
        QTest::newRow("a level") << "2" << false;
        QTest::newRow("unknown text") << u8("？") << false;
        QTest::newRow("empty") << "" << false;
    }
    void markStoredOnNext() {
        QFETCH(QString, text);
        QFETCH(bool, stored);
        MarkDefinitions marks;
        readMarkDefinitions(u8("Level=1:Ａ\r\nLevel=2:b\r\nCorrect=1\r\n"), marks);
        QCOMPARE(isKnownMark(text, marks.table), stored);
        QVERIFY(!isKnownMark(text, KeyedTable(Qt::CaseInsensitive)));
    }

    void placement() {
        QCOMPARE(answerBoxGeometry(QRect(120, 600, 6000, 1000)), QRect(120, 1100, 6000, 500));
        const MessageLayout window = messageLayout(6015, 3270);
        QCOMPARE(window.text, QRect(0, 0, 6015, 2895));
        QCOMPARE(window.closeButton, QRect(5040, 2880, 975, 375));
    }
};

QTEST_MAIN(TestJudging)
#include "tst_judging.moc"
