#include "platform/ListView.h"
#include "platform/Random.h"
#include "session/Question.h"

#include "support/TestEnv.h"

#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(AnswerType)
Q_DECLARE_METATYPE(PageKey::Kind)

namespace {
QString rtf(const QString& text) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " + text + "\\par\r\n}";
}

RecordFields questionWith(QChar type, int choices) {
    RecordFields question;
    question.type = type;
    for (int i = 1; i <= choices; ++i)
        question.choices.append({i % 2 == 1, rtf("c" + QString::number(i))});
    return question;
}

QList<bool> flags(const QString& marks) {
    QList<bool> result;
    for (QChar c : marks)
        result.append(c == '1');
    return result;
}
} // namespace

class TestQuestion : public QObject {
    Q_OBJECT
  private slots:
    void rowsOfAQuestion_data() {
        QTest::addColumn<QChar>("type");
        QTest::addColumn<int>("choices");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("numbers");
        const QString off = u8("[　]");
        QTest::newRow("single choice")
            << QChar('1') << 3 << u8("回答を１つ選んで下さい。") << QStringList{off, off, off}
            << QStringList{"(1)", "(2)", "(3)"};
        QTest::newRow("multiple choice")
            << QChar('2') << 2 << u8("回答を選んで下さい。（複数回答）") << QStringList{off, off}
            << QStringList{"(1)", "(2)"};
        QTest::newRow("typed answer") << QChar('3') << 1 << u8("答えを入力して下さい。")
                                      << QStringList{u8("[レ]")} << QStringList{"(1)"};
        QTest::newRow("typed answer without stored answer")
            << QChar('3') << 0 << u8("答えを入力して下さい。") << QStringList{u8("[レ]")}
            << QStringList{"(1)"};
        QStringList twelve;
        for (int i = 1; i <= 12; ++i)
            twelve << "(" + QString::number(i) + ")";
        QTest::newRow("twelve choices")
            << QChar('1') << 12 << u8("回答を１つ選んで下さい。") << QStringList(12, off) << twelve;
    }
    void rowsOfAQuestion() {
        QFETCH(QChar, type);
        QFETCH(int, choices);
        QFETCH(QString, prompt);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, numbers);
        const RecordFields question = questionWith(type, choices);
        const QuestionView view = presentQuestion(question);
        QCOMPARE(view.prompt, prompt);
        QStringList shownMarks, shownNumbers;
        for (const ChoiceRow& row : view.rows) {
            shownMarks << row.mark;
            shownNumbers << row.number;
            // A choice's flag moves with its text.
            const auto original =
                std::find_if(question.choices.begin(), question.choices.end(),
                             [&](const RecordChoice& c) { return c.rtf == row.rtf; });
            if (original != question.choices.end())
                QCOMPARE(row.correct, original->correct);
            else
                QVERIFY(choices == 0 && row.rtf.isEmpty());
        }
        QCOMPARE(shownMarks, marks);
        QCOMPARE(shownNumbers, numbers);
    }

    void choicesReshuffledEachTime() {
        const RecordFields question = questionWith('2', 12);
        Random::seed(5);
        const QuestionView first = presentQuestion(question);
        const QuestionView second = presentQuestion(question);
        QStringList firstTexts, secondTexts;
        for (int i = 0; i < 12; ++i) {
            firstTexts << first.rows[i].rtf;
            secondTexts << second.rows[i].rtf;
        }
        QVERIFY(firstTexts != secondTexts);
    }

    void hintAndExplanationOffered_data() {
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("offered");
        QTest::newRow("text") << rtf("see page 3") << true;
        QTest::newRow("RTF of an empty box") << rtf("") << false;
        QTest::newRow("nothing stored") << QString() << false;
    }
    void hintAndExplanationOffered() {
        QFETCH(QString, hint);
        QFETCH(bool, offered);
        RecordFields question = questionWith('1', 2);
        question.hintRtf = hint;
        QCOMPARE(presentQuestion(question).hintEnabled, offered);
        question.hintRtf.clear();
        question.explanationRtf = hint;
        const QuestionView view = presentQuestion(question);
        QCOMPARE(view.explanationEnabled, offered);
        QVERIFY(!view.hintEnabled);
    }

    void click_data() {
        QTest::addColumn<AnswerType>("type");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("after");
        QTest::newRow("single: only the clicked row")
            << AnswerType::Single << "0101" << 3 << "0010";
        QTest::newRow("single: clicked again stays") << AnswerType::Single << "010" << 2 << "010";
        QTest::newRow("multiple: selects") << AnswerType::Multiple << "100" << 3 << "101";
        QTest::newRow("multiple: unselects") << AnswerType::Multiple << "101" << 1 << "001";
        QTest::newRow("multiple: only that row") << AnswerType::Multiple << "0011" << 2 << "0111";
        QTest::newRow("typed: nothing") << AnswerType::Typed << "0" << 1 << "0";
    }
    void click() {
        QFETCH(AnswerType, type);
        QFETCH(QString, before);
        QFETCH(int, row);
        QFETCH(QString, after);
        QCOMPARE(selectionAfterClick(type, flags(before), row), flags(after));
    }

    void oneClickJudging_data() {
        QTest::addColumn<AnswerType>("type");
        QTest::addColumn<bool>("setting");
        QTest::addColumn<bool>("judges");
        QTest::newRow("single, on") << AnswerType::Single << true << true;
        QTest::newRow("single, off") << AnswerType::Single << false << false;
        QTest::newRow("multiple, on") << AnswerType::Multiple << true << false;
        QTest::newRow("typed, on") << AnswerType::Typed << true << true;
        QTest::newRow("typed, off") << AnswerType::Typed << false << false;
    }
    void oneClickJudging() {
        QFETCH(AnswerType, type);
        QFETCH(bool, setting);
        QFETCH(bool, judges);
        QCOMPARE(judgesByItself(type, setting), judges);
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<int>("rows");
        QTest::addColumn<PageKey::Kind>("kind");
        QTest::addColumn<int>("row");
        QTest::newRow("digit 3") << int(Qt::Key_3) << 0 << 4 << PageKey::Choice << 3;
        QTest::newRow("keypad 3") << int(Qt::Key_3) << shiftMask(Qt::KeypadModifier) << 4
                                  << PageKey::Choice << 3;
        QTest::newRow("Shift+3") << int(Qt::Key_3) << 1 << 4 << PageKey::None << 0;
        QTest::newRow("digit 5 of four") << int(Qt::Key_5) << 0 << 4 << PageKey::None << 0;
        QTest::newRow("digit 4 of four") << int(Qt::Key_4) << 0 << 4 << PageKey::Choice << 4;
        QTest::newRow("digit 9 of twelve") << int(Qt::Key_9) << 0 << 12 << PageKey::Choice << 9;
        QTest::newRow("digit 0") << int(Qt::Key_0) << 0 << 12 << PageKey::None << 0;
        QTest::newRow("Ctrl+H") << int(Qt::Key_H) << 2 << 4 << PageKey::Hint << 0;
        QTest::newRow("Ctrl+Shift+H") << int(Qt::Key_H) << 3 << 4 << PageKey::None << 0;
        QTest::newRow("H") << int(Qt::Key_H) << 0 << 4 << PageKey::None << 0;
        QTest::newRow("Ctrl+K") << int(Qt::Key_K) << 2 << 4 << PageKey::Explanation << 0;
        QTest::newRow("Alt+K") << int(Qt::Key_K) << 4 << 4 << PageKey::None << 0;
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(int, shift);
        QFETCH(int, rows);
        QFETCH(PageKey::Kind, kind);
        QFETCH(int, row);
        const PageKey decoded = answerPageKey(key, shift, rows);
        QCOMPARE(decoded.kind, kind);
        QCOMPARE(decoded.row, row);
    }
};

QTEST_MAIN(TestQuestion)
#include "tst_question.moc"
