// The learning session driven through the main window, as a learner does:
// clicks, digit keys and Enter.
#include "data/QuestionRecord.h"
#include "editor/frmSakusei.h"
#include "formats/LearnerFile.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/RichTextBox.h"
#include "platform/TwipsGeometry.h"
#include "session/Shuffle.h"
#include "shell/frmMain.h"
#include "shell/frmMessage.h"

#include "support/Controls.h"
#include "support/FileMenu.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <memory>

namespace {
QString rtf(const QString& text) {
    return "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset128 "
           "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs18 " +
           text + "\\par\r\n}\r\n";
}

struct Question {
    QString key;
    char type = '1';
    QStringList choices; // "+" before a right choice
    QString hint;
    QString explanation;
};

QByteArray questionFile(const QList<Question>& questions) {
    QString text = "<kuMemo-data>\r\n";
    for (const Question& q : questions) {
        RecordFields fields;
        fields.key = q.key;
        fields.questionRtf = rtf("Question " + q.key);
        fields.type = QChar(q.type);
        for (QString choice : q.choices) {
            const bool correct = choice.startsWith('+');
            fields.choices.append({correct, rtf(correct ? choice.mid(1) : choice)});
        }
        fields.hintRtf = rtf(q.hint);
        fields.explanationRtf = rtf(q.explanation);
        text += composeRecord(fields) + "\r\n";
    }
    return Codepage::encode(text + "</kuMemo-data>\r\n");
}

QList<Question> questionsKeyed(const QStringList& keys) {
    QList<Question> questions;
    for (const QString& key : keys)
        questions.append({key, '1', {"+yes", "no"}, {}, {}});
    return questions;
}

const QColor blue(102, 102, 255);
const QColor pink(255, 192, 192);

QColor base() {
    return QApplication::palette().color(QPalette::Base);
}

// A started program with a question file open, shuffling before a round
// switched off so that the round follows the file.
struct Session {
    TestEnv env;
    std::unique_ptr<frmMain> window;

    explicit Session(const QList<Question>& questions, bool oneClick = false,
                     const QString& learnerFile = {}) {
        env.writeFile(u8("ごんべえ.kmu"), Codepage::encode(learnerFile));
        env.writeFile("kuMemo-ini.txt", Codepage::encode(u8("Level=1:◎\r\nLevel=2:○\r\n"
                                                            "Level=3:△\r\nLevel=4:×\r\n"
                                                            "Correct=1\r\nWrong=4\r\n")));
        env.writeFile("q.kmd", questionFile(questions));
        window = std::make_unique<frmMain>();
        window->mnuSetupRandom->setChecked(false);
        window->mnuSetup1Click->setChecked(oneClick);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        Dialogs::setNextFileName(env.path("q.kmd"));
        window->mnuFileOpen_Click();
        Random::seed(7);
    }

    void start() { QTest::mouseClick(window->cmdStart, Qt::LeftButton); }
    RichTextBox* choice(int i) const {
        return window->findChild<RichTextBox*>(QString("txtKaitou(%1)").arg(i));
    }
    QLabel* mark(int i) const { return window->findChild<QLabel*>(QString("lblChk(%1)").arg(i)); }
    // The row on the page that shows this choice.
    int rowOf(const QString& text) const {
        for (int i = 1; choice(i); ++i) {
            if (choice(i)->text() == text)
                return i;
        }
        return 0;
    }
    QStringList shownChoices() const {
        QStringList texts;
        for (int i = 1; mark(i); ++i)
            texts << choice(i)->text();
        return texts;
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(window->txtInput, Qt::Key(key), modifiers);
    }
    // The key goes up where the focus is by then.
    void enter() const {
        QTest::keyPress(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
    }
    QString shownKey() const { return window->round().shownKey(); }
    frmSakusei* editor() const { return window->sakusei(); }
    // Selects a question in the editor's list, as a click there does.
    void selectInEditor(const QString& key) const {
        editor()->lstMondai->setSelectedRow(editor()->lstMondai->find(key));
        editor()->lstMondai_Click();
    }
    void deleteInEditor(const QString& key) const {
        selectInEditor(key);
        Dialogs::setNextAnswer(Dialogs::Answer::Yes);
        QTest::mouseClick(editor()->cmdDel, Qt::LeftButton);
    }
    // Stores the editor's fields with this text and, when given, this key.
    void storeInEditor(const QString& text, const QString& key = {}) const {
        editor()->txtMondai->setText(text);
        if (!key.isEmpty())
            editor()->txtKey->setText(key);
        QTest::mouseClick(editor()->cmdAdd, Qt::LeftButton);
    }
    QStringList columns(int row) const { return statisticsColumns(window->lstMondai, row); }
    QString focusName() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
    // The focus in the window once it is active again after a modal window
    // (the test platform leaves that to the test).
    QString focusAfterModal() const {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return {};
        return focusName();
    }
};

// The verdict line as shown: its text, boldness and colour.
QString verdictOf(RichTextBox* box, bool* bold, QColor* colour) {
    const QTextBlock first = box->document()->begin();
    const QTextCharFormat format = first.begin().fragment().charFormat();
    *bold = format.fontWeight() == QFont::Bold;
    *colour = format.foreground().color();
    return first.text();
}

// Closes every hint window with Enter (or the key given) as soon as "閉じる"
// has the focus, noting what it showed.
struct MessageWatcher {
    QStringList shown;
    QTimer timer;
    explicit MessageWatcher(Qt::Key closeKey = Qt::Key_Return) {
        QObject::connect(&timer, &QTimer::timeout, [this, closeKey] {
            auto* form = qobject_cast<frmMessage*>(QApplication::activeModalWidget());
            if (!form || !form->Command1->hasFocus())
                return;
            shown << form->RichTextBox1->text();
            QTest::keyClick(form->Command1, closeKey);
        });
        timer.start(5);
    }
};
} // namespace

class TestSession : public QObject {
    Q_OBJECT
  private slots:
    // The verdict, the marks and colours of the choices and the row's
    // statistics, for choices picked by digit key (single) or click
    // (multiple) and judged with Enter.
    void judgingChoices_data() {
        QTest::addColumn<char>("type");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QStringList>("picked");
        QTest::addColumn<bool>("right");
        QTest::addColumn<QStringList>("marks");   // after judging, per choice in file order
        QTest::addColumn<QStringList>("colours"); // b blue, p pink, w window
        QTest::addColumn<QStringList>("columns");
        const QStringList rightRow{"     1", "     1", "100.0%", "", u8("○")};
        const QStringList wrongRow{"     0", "     1", "  0.0%", "", u8("×")};
        QTest::newRow("single, right")
            << '1' << QStringList{"a", "+b", "c"} << QStringList{"b"} << true
            << QStringList{u8("×→"), u8("○→"), u8("×→")} << QStringList{"w", "b", "w"} << rightRow;
        QTest::newRow("single, wrong")
            << '1' << QStringList{"a", "+b", "c"} << QStringList{"c"} << false
            << QStringList{u8("×→"), u8("○→"), u8("×→")} << QStringList{"w", "b", "p"} << wrongRow;
        QTest::newRow("multiple, a right one missing")
            << '2' << QStringList{"+a", "+b", "c"} << QStringList{"a"} << false
            << QStringList{u8("○→"), u8("○→"), u8("×→")} << QStringList{"b", "b", "w"} << wrongRow;
        QTest::newRow("multiple, a wrong one chosen twice is not chosen")
            << '2' << QStringList{"+a", "b"} << QStringList{"a", "b", "b"} << true
            << QStringList{u8("○→"), u8("×→")} << QStringList{"b", "w"} << rightRow;
        QTest::newRow("no right choices, nothing chosen")
            << '2' << QStringList{"a", "b"} << QStringList{} << true
            << QStringList{u8("×→"), u8("×→")} << QStringList{"w", "w"} << rightRow;
    }
    void judgingChoices() {
        QFETCH(char, type);
        QFETCH(QStringList, choices);
        QFETCH(QStringList, picked);
        QFETCH(bool, right);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, colours);
        QFETCH(QStringList, columns);
        Session s({{"k1", type, choices, {}, {}}, {"k2", '1', {"+x"}, {}, {}}});
        s.start();
        QCOMPARE(s.window->lblMsg->text(), type == '1' ? u8("回答を１つ選んで下さい。")
                                                       : u8("回答を選んで下さい。（複数回答）"));
        for (const QString& text : picked) {
            if (type == '1')
                s.key(Qt::Key_0 + s.rowOf(text));
            else
                QTest::mouseClick(s.choice(s.rowOf(text))->viewport(), Qt::LeftButton);
            QCOMPARE(s.focusName(), QString("txtInput"));
        }
        QCOMPARE(s.window->defaultButton(), s.window->cmdKaitou);
        s.enter();

        bool bold = false;
        QColor colour;
        QCOMPARE(verdictOf(s.window->txtMondai, &bold, &colour),
                 right ? u8("【正解しました】") : u8("【不正解でした】"));
        QVERIFY(bold);
        QCOMPARE(colour, right ? QColor(0, 0, 255) : QColor(255, 0, 0));
        QVERIFY(s.window->txtMondai->text().endsWith("\r\nQuestion k1"));
        for (int i = 0; i < choices.size(); ++i) {
            const QString text = choices[i].startsWith('+') ? choices[i].mid(1) : choices[i];
            const int row = s.rowOf(text);
            QCOMPARE(s.mark(row)->text(), marks[i]);
            const QColor expected = colours[i] == "b" ? blue : colours[i] == "p" ? pink : base();
            QCOMPARE(s.choice(row)->backColor(), expected);
        }
        QCOMPARE(s.columns(1), columns);
        QCOMPARE(s.window->cmdKaitou->text(), u8("次問題"));
        QVERIFY(!s.window->cmdKaisetsu->isHidden());
        QVERIFY(!s.window->lblMark->isHidden());
        QCOMPARE(s.focusName(), QString("cmbMark"));
        // The mark proposed for a first answer.
        QCOMPARE(s.window->cmbMark->currentText(), right ? u8("◎") : u8("×"));

        s.enter();
        QCOMPARE(s.shownKey(), QString("k2"));
        QVERIFY(s.choice(1)->isVisible() && s.mark(1)->isVisible());
        QVERIFY(s.window->findChild<QLineEdit*>("txtKey(1)")->isVisible());
        QCOMPARE(s.window->cmdKaitou->text(), u8("回 答"));
        QVERIFY(s.window->cmbMark->isHidden());
        QVERIFY(s.window->cmdKaisetsu->isHidden());
        QCOMPARE(s.columns(1).at(3), right ? u8("◎") : u8("×"));
    }

    // Typed answers are compared whole: nothing is trimmed or folded.
    void typedAnswers_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("right");
        QTest::newRow("the answer") << "Tokyo" << true;
        QTest::newRow("a trailing blank") << "Tokyo " << false;
        QTest::newRow("full-width letters") << u8("Ｔｏｋｙｏ") << false;
        QTest::newRow("another case") << "tokyo" << false;
    }
    void typedAnswers() {
        QFETCH(QString, typed);
        QFETCH(bool, right);
        Session s({{"k1", '3', {"+Tokyo"}, {}, {}}});
        s.start();
        QCOMPARE(s.window->lblMsg->text(), u8("答えを入力して下さい。"));
        RichTextBox* entry = s.choice(1);
        QCOMPARE(s.mark(1)->text(), u8("[レ]"));
        QCOMPARE(entry->text(), QString());
        QCOMPARE(s.focusName(), QString("txtKaitou(1)"));
        typeText(entry, typed);
        // The first Enter leaves the box, the second judges.
        s.enter();
        QCOMPARE(entry->text(), typed);
        QCOMPARE(s.focusName(), QString("txtInput"));
        QCOMPARE(s.window->cmdKaitou->text(), u8("回 答"));
        s.enter();

        bool bold = false;
        QColor colour;
        QCOMPARE(verdictOf(s.window->txtMondai, &bold, &colour),
                 right ? u8("【正解しました】") : u8("【不正解でした】"));
        QCOMPARE(entry->text(), u8("入力：") + typed);
        QCOMPARE(entry->backColor(), right ? blue : pink);
        RichTextBox* answer = s.choice(2);
        QVERIFY(answer && answer->isVisible());
        QCOMPARE(answer->text(), u8("正解：Tokyo"));
        QCOMPARE(answer->backColor(), blue);
        const QRect box = Twips::rectOf(entry);
        QCOMPARE(Twips::rectOf(answer),
                 QRect(box.left(), box.top() + box.height() / 2, box.width(), box.height() / 2));
        QCOMPARE(s.columns(1).at(4), right ? u8("○") : u8("×"));

        // A window resized now keeps the page whole.
        s.window->resize(s.window->size() + QSize(30, 30));
        QCOMPARE(s.choice(2), answer);

        // The round is over; the question left on its page is judged
        // again with the same answer box.
        s.enter();
        QCOMPARE(s.window->SSTab1->currentIndex(), 0);
        s.window->SSTab1->setCurrentIndex(1);
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QCOMPARE(s.window->cmdKaitou->text(), u8("次問題"));
        QCOMPARE(s.window->findChildren<RichTextBox*>("txtKaitou(2)").size(), 1);
    }

    // With the setting on, a single choice and Enter in a typed answer are
    // judged by themselves a moment later; a multiple choice never is.
    void oneClick_data() {
        QTest::addColumn<bool>("setting");
        QTest::addColumn<char>("type");
        QTest::addColumn<bool>("judged");
        QTest::newRow("on, single") << true << '1' << true;
        QTest::newRow("on, multiple") << true << '2' << false;
        QTest::newRow("on, typed") << true << '3' << true;
        QTest::newRow("off, single") << false << '1' << false;
        QTest::newRow("off, typed") << false << '3' << false;
    }
    void oneClick() {
        QFETCH(bool, setting);
        QFETCH(char, type);
        QFETCH(bool, judged);
        Session s({{"k1", type, {"+a", "b"}, {}, {}}, {"k2", '1', {"+x", "y"}, {}, {}}}, setting);
        s.start();
        if (type == '3') {
            // A click in the entry box is no answer.
            QTest::mouseClick(s.choice(1)->viewport(), Qt::LeftButton);
            QCOMPARE(s.focusName(), QString("txtKaitou(1)"));
            typeText(s.choice(1), "a");
            QTest::keyClick(s.choice(1), Qt::Key_Return);
        } else {
            QTest::mouseClick(s.choice(s.rowOf("a"))->viewport(), Qt::LeftButton);
        }
        const QString judgedCaption = u8("次問題");
        if (judged)
            QTRY_COMPARE(s.window->cmdKaitou->text(), judgedCaption);
        QTest::qWait(50);
        QCOMPARE(s.window->cmdKaitou->text() == judgedCaption, judged);
        if (!judged || type == '3')
            return;
        // A click after judging redraws the marks, then goes on.
        QTest::mouseClick(s.choice(s.rowOf("b"))->viewport(), Qt::LeftButton);
        QCOMPARE(s.mark(s.rowOf("b"))->text(), u8("[レ]"));
        QCOMPARE(s.mark(s.rowOf("a"))->text(), u8("[　]"));
        QTRY_COMPARE(s.shownKey(), QString("k2"));
        QCOMPARE(s.columns(1).at(1), QString("     1"));
    }

    // The digit keys reach the first nine rows, also from the keypad,
    // without Shift or Ctrl.
    void digitKeys_data() {
        QTest::addColumn<int>("choices");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("selected");
        QTest::newRow("9 of twelve") << 12 << int(Qt::Key_9) << 0 << 9;
        QTest::newRow("keypad 3") << 4 << int(Qt::Key_3) << int(Qt::KeypadModifier) << 3;
        QTest::newRow("shift 3") << 4 << int(Qt::Key_3) << int(Qt::ShiftModifier) << 0;
        QTest::newRow("5 of four") << 4 << int(Qt::Key_5) << 0 << 0;
        QTest::newRow("0") << 12 << int(Qt::Key_0) << 0 << 0;
    }
    void digitKeys() {
        QFETCH(int, choices);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, selected);
        QStringList texts;
        for (int i = 1; i <= choices; ++i)
            texts << "c" + QString::number(i);
        Session s({{"k1", '1', texts, {}, {}}});
        s.start();
        QCOMPARE(s.window->findChild<QLineEdit*>(QString("txtKey(%1)").arg(choices))->text(),
                 QString("(%1)").arg(choices));
        s.key(key, Qt::KeyboardModifiers(modifiers));
        for (int i = 1; i <= choices; ++i) {
            QCOMPARE(s.mark(i)->text(), i == selected ? u8("[レ]") : u8("[　]"));
            QCOMPARE(s.choice(i)->backColor(), i == selected ? pink : base());
        }
        QCOMPARE(s.focusName(), QString("txtInput"));
        QCOMPARE(s.window->txtInput->text(), QString());
    }

    // Ctrl+H shows the hint at any time, Ctrl+K the explanation only once
    // the question is judged; the window closes with Enter and the focus
    // comes back where it was, to the key box after a click on the button.
    void hintAndExplanation() {
        Session s(
            {{"k1", '1', {"+a", "b"}, "the hint", "the explanation"}, {"k2", '1', {"+a"}, {}, {}}});
        MessageWatcher watcher;
        s.start();
        s.key(Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(watcher.shown, QStringList());
        s.key(Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(watcher.shown, QStringList{"the hint"});
        QCOMPARE(s.focusAfterModal(), QString("txtInput"));
        QTest::mouseClick(s.window->cmdHint, Qt::LeftButton);
        QCOMPARE(watcher.shown.size(), 2);
        QCOMPARE(s.focusAfterModal(), QString("txtInput"));
        s.enter();
        QCOMPARE(s.focusName(), QString("cmbMark"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(watcher.shown, (QStringList{"the hint", "the hint", "the explanation"}));
        QCOMPARE(s.focusAfterModal(), QString("cmbMark"));
        QCOMPARE(s.window->cmdKaitou->text(), u8("次問題"));

        // Without a hint the button is off and Ctrl+H shows nothing; the
        // focus stays where it was. So does Ctrl+K without an explanation.
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QCOMPARE(s.shownKey(), QString("k2"));
        QVERIFY(!s.window->cmdHint->isEnabled());
        s.key(Qt::Key_H, Qt::ControlModifier);
        s.enter();
        QCOMPARE(s.focusName(), QString("cmbMark"));
        for (const Qt::Key key : {Qt::Key_H, Qt::Key_K}) {
            QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
            QCOMPARE(s.focusName(), QString("cmbMark"));
        }
        QCOMPARE(watcher.shown.size(), 3);
    }

    // Ctrl+H while typing an answer: once the hint window is closed, with
    // Enter or Esc, the typing goes on in the answer box and Enter judges
    // what was typed. Without a hint the box keeps the focus.
    void hintWhileTyping_data() {
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("closeKey");
        QTest::newRow("closed with Enter") << "the hint" << int(Qt::Key_Return);
        QTest::newRow("closed with Esc") << "the hint" << int(Qt::Key_Escape);
        QTest::newRow("no hint") << QString() << int(Qt::Key_Return);
    }
    void hintWhileTyping() {
        QFETCH(QString, hint);
        QFETCH(int, closeKey);
        Session s({{"k1", '3', {"+Tokyo"}, hint, {}}});
        MessageWatcher watcher{Qt::Key(closeKey)};
        s.start();
        typeText(s.choice(1), "To");
        QTest::keyClick(s.choice(1), Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(watcher.shown, hint.isEmpty() ? QStringList() : QStringList{hint});
        QCOMPARE(s.focusAfterModal(), QString("txtKaitou(1)"));
        typeText(QApplication::focusWidget(), "kyo");
        s.enter();
        s.enter();
        bool bold = false;
        QColor colour;
        QCOMPARE(verdictOf(s.window->txtMondai, &bold, &colour), u8("【正解しました】"));
        QCOMPARE(s.columns(1), (QStringList{"     1", "     1", "100.0%", "", u8("○")}));
        const LearnerRecords& records = s.window->session().learner().records();
        const int record = records.find(recordKey(makeFileId("q.kmd"), "k1"));
        QVERIFY(record);
        QCOMPARE(records.record(record).correct.trimmed(), QString("1"));
    }

    void messageWindow() {
        TestEnv env;
        frmMessage form;
        form.show();
        QCOMPARE(form.windowTitle(), u8("くう・めも - ヒント/解説表示"));
        QCOMPARE(form.Command1->text(), u8("閉じる"));
        form.resize(Twips::toPixels(6000), Twips::toPixels(3000));
        QCOMPARE(Twips::rectOf(form.RichTextBox1), QRect(0, 0, 6000, 3000 - 375));
        QCOMPARE(Twips::rectOf(form.Command1), QRect(6000 - 975, 3000 - 390, 975, 375));
    }

    // "→" skips without answering and stops at the last row; the round
    // then comes back to the first unanswered row. "←" stops at the first.
    void movingThroughTheRows() {
        Session s(questionsKeyed({"k1", "k2", "k3"}));
        s.start();
        QStringList shown{s.shownKey()};
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(s.window->cmdTsugi, Qt::LeftButton);
            shown << s.shownKey();
        }
        QCOMPARE(shown, (QStringList{"k1", "k2", "k3", "k3"}));
        QCOMPARE(s.window->lblPosition->text(), QString("3 / 3"));
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QCOMPARE(s.shownKey(), QString("k1"));
        QTest::mouseClick(s.window->cmdMae, Qt::LeftButton);
        QCOMPARE(s.shownKey(), QString("k1"));
        QTest::mouseClick(s.window->cmdTsugi, Qt::LeftButton);
        QTest::mouseClick(s.window->cmdMae, Qt::LeftButton);
        QCOMPARE(s.shownKey(), QString("k1"));
        QCOMPARE(s.columns(1).at(4), QString());
        QCOMPARE(s.columns(3).at(4), u8("×"));

        // n of N follows the list: a row taken out before the shown one
        // moves it up.
        QTest::mouseClick(s.window->cmdTsugi, Qt::LeftButton);
        QCOMPARE(s.window->lblPosition->text(), QString("2 / 3"));
        s.window->lstMondai->setRowSelected(1, true);
        QTest::keyClick(s.window->lstMondai, Qt::Key_Delete);
        QCOMPARE(s.window->lblPosition->text(), QString("1 / 2"));
    }

    // The last answer ends the round on the list page, the wrongly
    // answered questions one Enter away, and the learner file holds what
    // the list shows.
    void endOfARound() {
        const QString id = "<u-" + makeFileId("q.kmd") + ":";
        Session s(questionsKeyed({"k1", "k2", "k3"}), false, id + "k2 value='4:5:2'/>\r\n");
        s.window->mnuSetupRandom->setChecked(true);
        Clock::fixForTests(QDateTime(QDate(2026, 12, 7), QTime(18, 30, 5)));
        QSignalSpy ended(&s.window->round(), &Round::ended);
        s.start();
        QVERIFY(!s.window->mnuChangeUser->isEnabled());
        // Each answer's line is in the answer log when its verdict shows.
        const QString answerLog = s.env.path(u8("ごんべえ.kma"));
        QList<int> linesAtVerdict;
        int question = 0;
        connect(s.window->txtMondai->document(), &QTextDocument::contentsChanged, this, [&] {
            if (linesAtVerdict.size() == question &&
                s.window->txtMondai->document()->toPlainText().startsWith(u8("【")))
                linesAtVerdict << int(fileBytes(answerLog).count('\n'));
        });
        // The answers: k1 right with a mark typed that is none, k2 wrong
        // with its own mark kept, k3 right with a mark chosen.
        QStringList keys;
        for (question = 0; question < 3; ++question) {
            const QString key = s.shownKey();
            keys << key;
            QCOMPARE(s.window->lblPosition->text(), QString("%1 / 3").arg(question + 1));
            QCOMPARE(s.window->lblRoundResult->text(), QString());
            if (key != "k2")
                s.key(Qt::Key_0 + s.rowOf("yes"));
            s.enter();
            if (key == "k1") {
                s.window->cmbMark->clearEditText();
                typeText(s.window->cmbMark, "zz");
            }
            if (key == "k3")
                s.window->cmbMark->setCurrentText(u8("△"));
            s.enter();
        }
        QCOMPARE(linesAtVerdict, (QList<int>{1, 2, 3}));
        const QByteArray time = QDateTime(QDate(2026, 12, 7), QTime(18, 30, 5))
                                    .toUTC()
                                    .toString("yyyy-MM-ddTHH:mm:ssZ")
                                    .toLatin1();
        QByteArray logged;
        for (const QString& key : keys)
            logged += time + '\t' + makeFileId("q.kmd").toLatin1() + '\t' + key.toLatin1() +
                      (key == "k2" ? "\t1\r\n" : "\t3\r\n");
        QCOMPARE(fileBytes(answerLog), logged);
        QCOMPARE(s.window->SSTab1->currentIndex(), 0);
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.at(0), (QVariantList{3, 2}));
        QCOMPARE(s.window->cmbFilter->currentText(), u8("今回間違えた問題だけ選ぶ"));
        QCOMPARE(s.focusName(), QString("cmdDoFilter"));
        QCOMPARE(s.window->lblRoundResult->text(), u8("今回 3問中 2問正解 (66.7%)"));
        // The round log gets the round, the learner file nothing of it.
        QCOMPARE(
            fileBytes(s.env.path(u8("ごんべえ.kmr"))),
            Codepage::encode(u8("2026/12/07(月) 18:30:05\t") + makeFileId("q.kmd") + "\t3\t2\r\n"));
        Clock::fixForTests({});
        // A typed text is no new mark.
        QCOMPARE(s.window->cmbMark->count(), 4);
        QMap<QString, QStringList> shown;
        for (int row = 1; row <= 3; ++row)
            shown[s.window->lstMondai->key(row)] = s.columns(row);
        QCOMPARE(shown["k1"], (QStringList{"     1", "     1", "100.0%", "", u8("○")}));
        QCOMPARE(shown["k2"], (QStringList{"     4", "     6", " 66.7%", u8("○"), u8("×")}));
        QCOMPARE(shown["k3"], (QStringList{"     1", "     1", "100.0%", u8("△"), u8("○")}));
        // Enter runs the preselected filter: the wrong one alone stays.
        s.enter();
        QCOMPARE(s.window->lstMondai->count(), 1);
        QCOMPARE(s.window->lstMondai->key(1), QString("k2"));
        QFile file(s.env.path(u8("ごんべえ.kmu")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList lines = Codepage::decode(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, (QStringList{id + "k1 value='1:1:'/>", id + "k2 value='4:6:2'/>",
                                     id + "k3 value='1:1:3'/>"}));
        // Another file shows nothing of this file's round.
        s.env.writeFile("other.kmd", questionFile(questionsKeyed({"m1"})));
        Dialogs::setNextFileName(s.env.path("other.kmd"));
        s.window->mnuFileOpen_Click();
        QCOMPARE(s.window->lblRoundResult->text(), QString());
    }

    // Rounds on three days: the due count beside the question count follows
    // each judged answer, the day, the due filter, another learner and
    // another file. Day 1: k1 right, k2 wrong, k3 right; due again after 2,
    // 1 and 2 days. Day 2: k2 alone is due and answered right, due again
    // after 2 days. Day 4: all three are due.
    void dueCountOverThreeDays() {
        Session s(questionsKeyed({"k1", "k2", "k3"}));
        const auto day = [](int d) { return QDateTime(QDate(2026, 12, d), QTime(9, 0), Qt::UTC); };
        const auto due = [&s] { return s.window->lblDue->text(); };
        const auto answer = [&s](bool right) {
            if (right)
                s.key(Qt::Key_0 + s.rowOf("yes"));
            s.enter();
        };
        Clock::fixForTests(day(1));
        QCOMPARE(due(), u8("復習 0問"));
        QVERIFY(s.window->lblDue->isVisible());
        s.start();
        QVERIFY(!s.window->lblDue->isVisible());
        for (const bool right : {true, false, true}) {
            answer(right);
            s.enter();
        }
        QCOMPARE(s.window->SSTab1->currentIndex(), 0);
        QVERIFY(s.window->lblDue->isVisible());
        QCOMPARE(due(), u8("復習 0問"));

        // The list page left open: the count is shown anew when k2 falls
        // due, a day after its answer.
        auto* timer = s.window->findChild<QTimer*>("tmrDue");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 86400 * 1000);
        Clock::fixForTests(day(2));
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QCOMPARE(due(), u8("復習 1問"));
        s.window->cmbFilter->setEditText(u8("復習の時期が来た問題だけ選ぶ"));
        QTest::mouseClick(s.window->cmdDoFilter, Qt::LeftButton);
        QCOMPARE(s.window->lstMondai->count(), 1);
        s.start();
        QCOMPARE(s.shownKey(), QString("k2"));
        answer(true);
        QCOMPARE(due(), u8("復習 0問"));

        // The list page, shown again at the round's end, is counted anew.
        Clock::fixForTests(day(4));
        s.enter();
        QCOMPARE(s.window->SSTab1->currentIndex(), 0);
        QCOMPARE(due(), u8("復習 3問"));
        QVERIFY(s.window->switchLearner(u8("ななし")));
        QCOMPARE(due(), u8("復習 0問"));
        QVERIFY(s.window->switchLearner(u8("ごんべえ")));
        QCOMPARE(due(), u8("復習 3問"));
        s.env.writeFile("other.kmd", questionFile(questionsKeyed({"k1"})));
        Dialogs::setNextFileName(s.env.path("other.kmd"));
        s.window->mnuFileOpen_Click();
        QCOMPARE(due(), u8("復習 0問"));
        Clock::fixForTests({});
    }

    // A round left for another file, opened or handed over by a second
    // start, has its answers in the learner file at once (or says why not,
    // once); it is no finished round, not even when the other file's
    // questions are then all answered.
    void leftRoundFilesItsAnswers_data() {
        QTest::addColumn<bool>("handed");
        QTest::addColumn<bool>("writable");
        QTest::newRow("opened") << false << true;
        QTest::newRow("handed over") << true << true;
        QTest::newRow("opened, learner file not writable") << false << false;
    }
    void leftRoundFilesItsAnswers() {
        QFETCH(bool, handed);
        QFETCH(bool, writable);
        const QString id = "<u-" + makeFileId("q.kmd") + ":";
        const QString learnerFile = u8("ごんべえ.kmu");
        Session s(questionsKeyed({"k1", "k2", "k3"}));
        s.start();
        if (!writable) {
            QFile::remove(s.env.path(learnerFile));
            QDir(s.env.folder()).mkdir(learnerFile);
        }
        for (int i = 0; i < 4; ++i)
            s.enter();
        QCOMPARE(s.shownKey(), QString("k3"));
        Dialogs::clearRecords();
        s.env.writeFile("other.kmd", questionFile(questionsKeyed({"m1"})));
        if (handed) {
            s.window->openHandedFile(s.env.path("other.kmd"));
        } else {
            Dialogs::setNextFileName(s.env.path("other.kmd"));
            s.window->mnuFileOpen_Click();
        }
        QCOMPARE(s.window->document().path(), s.env.path("other.kmd"));
        if (writable) {
            QCOMPARE(
                fileBytes(s.env.path(learnerFile)),
                Codepage::encode(id + "k1 value='0:1:4'/>\r\n" + id + "k2 value='0:1:4'/>\r\n"));
            QVERIFY(Dialogs::shownMessages().isEmpty());
        } else {
            QCOMPARE(Dialogs::shownMessages().size(), 1);
            QCOMPARE(Dialogs::shownMessages().at(0).title, u8("保存中止"));
            QVERIFY(Dialogs::shownMessages().at(0).text.startsWith(
                u8("回答者ﾃﾞｰﾀﾌｧｲﾙに書き込めませんでした。")));
        }
        s.window->SSTab1->setCurrentIndex(1);
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QCOMPARE(s.shownKey(), QString("m1"));
        s.enter();
        s.enter();
        QCOMPARE(s.window->SSTab1->currentIndex(), 0);
        QCOMPARE(s.window->lblRoundResult->text(), QString());
        QVERIFY(!QFile::exists(s.env.path(u8("ごんべえ.kmr"))));
    }

    // Saved under a new name in the middle of a round, the file is another
    // to the learner's records: the answers given stay filed under the old
    // name, and the new name's results go on from what the learner file
    // holds for it. The same name in another folder is the same file to
    // them: the round goes on.
    void savedUnderANewName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("held"); // the new name's record of the first question
        QTest::addColumn<QString>("shownKey");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("filed"); // the first question's, "old:" or "new:" name
        QTest::newRow("a name never answered")
            << "renamed.kmd" << QString() << QString() << QStringList{"", "", "", "", ""}
            << QStringList{"new:0:1:", "old:0:1:4"};
        QTest::newRow("a name answered before")
            << "renamed.kmd"
            << "3:4:2" << QString() << QStringList{"     3", "     4", " 75.0%", u8("○"), ""}
            << QStringList{"new:3:5:2", "old:0:1:4"};
        QTest::newRow("the same name in another folder")
            << "sub/sample.kmd" << QString() << "kmQ02"
            << QStringList{"     0", "     1", "  0.0%", u8("×"), u8("×")}
            << QStringList{"old:0:2:4"};
    }
    void savedUnderANewName() {
        QFETCH(QString, name);
        QFETCH(QString, held);
        QFETCH(QString, shownKey);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, filed);
        const QString oldId = "<u-" + makeFileId("sample.kmd") + ":";
        const QString newId = "<u-" + makeFileId(name) + ":";
        Session s(questionsKeyed({"k1"}), false,
                  held.isEmpty() ? QString() : newId + "kmQ01 value='" + held + "'/>\r\n");
        QVERIFY(QFile::copy(KUMEMO_EXAMPLES "/sample.kmd", s.env.path("sample.kmd")));
        QDir(s.env.folder()).mkdir("sub");
        Dialogs::setNextFileName(s.env.path("sample.kmd"));
        s.window->mnuFileOpen_Click();
        s.start();
        QCOMPARE(s.shownKey(), QString("kmQ01"));
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QCOMPARE(s.shownKey(), QString("kmQ02"));

        s.window->mnuToolSakusei_Click();
        saveQuestionFileAs(s.editor(), s.env.path(name));
        QCOMPARE(s.window->document().path(), s.env.path(name));
        control<QAction>(s.editor(), "mnuModeRead")->trigger();
        QCOMPARE(s.shownKey(), shownKey);
        QCOMPARE(s.columns(1), shown);
        s.window->SSTab1->setCurrentIndex(0);
        s.start();
        QCOMPARE(s.shownKey(), QString("kmQ01"));
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        s.window->close();
        QStringList lines = Codepage::decode(fileBytes(s.env.path(u8("ごんべえ.kmu"))))
                                .split("\r\n", Qt::SkipEmptyParts);
        lines.sort();
        QStringList expected;
        for (const QString& record : filed)
            expected << (record.startsWith("old:") ? oldId : newId) + "kmQ01 value='" +
                            record.mid(4) + "'/>";
        expected.sort();
        QCOMPARE(lines, expected);
    }

    // "スタート" in the middle of a round begins it afresh; what was
    // answered is in the learner file first.
    void restartKeepsTheAnswers() {
        Session s(questionsKeyed({"k1", "k2"}));
        s.start();
        s.enter();
        s.enter();
        QCOMPARE(s.columns(1).at(4), u8("×"));
        s.window->SSTab1->setCurrentIndex(0);
        s.start();
        QCOMPARE(s.shownKey(), QString("k1"));
        QCOMPARE(s.columns(1), (QStringList{"     0", "     1", "  0.0%", u8("×"), ""}));
        s.window->close();
        QFile file(s.env.path(u8("ごんべえ.kmu")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 "<u-" + makeFileId("q.kmd").toLatin1() + ":k1 value='0:1:4'/>\r\n");
    }

    // A double-click shows a question also before the first round, without
    // starting one.
    void doubleClickBeforeARound() {
        Session s(questionsKeyed({"k1", "k2"}));
        ListView* list = s.window->lstMondai;
        list->setSubItem(1, 5, u8("○"));
        const QRect second = list->visualRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(s.shownKey(), QString("k2"));
        QCOMPARE(s.window->SSTab1->currentIndex(), 1);
        QVERIFY(s.window->mnuChangeUser->isEnabled());
        QCOMPARE(list->subItem(1, 5), u8("○"));
    }

    void deleteRemovesTheSelectedRows_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Delete") << int(Qt::Key_Delete);
        QTest::newRow("Backspace") << int(Qt::Key_Backspace);
    }
    void deleteRemovesTheSelectedRows() {
        QFETCH(int, key);
        Session s(questionsKeyed({"k1", "k2", "k3", "k4", "k5"}));
        ListView* list = s.window->lstMondai;
        for (int row : {1, 3, 5})
            list->setRowSelected(row, true);
        QTest::keyClick(list, Qt::Key(key));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->key(1), QString("k2"));
        QCOMPARE(list->key(2), QString("k4"));
        QCOMPARE(s.window->lblNum->text(), u8("2件"));
        QCOMPARE(s.window->sakusei()->lstMondai->count(), 5);
    }

    // A file opened from the editor shows the learner's results as one
    // opened in run mode does, and an answer adds to them.
    void openFromTheEditorJoinsTheResults() {
        const QString id = "<u-" + makeFileId("q.kmd") + ":";
        Session s(questionsKeyed({"k1", "k2"}), false, id + "k1 value='4:5:1'/>\r\n");
        Dialogs::setNextFileName(s.env.path("q.kmd"));
        s.editor()->mnuFileOpen_Click();
        QCOMPARE(s.columns(1), (QStringList{"     4", "     5", " 80.0%", u8("◎"), ""}));
        s.start();
        s.enter();
        QCOMPARE(s.columns(1), (QStringList{"     4", "     6", " 66.7%", u8("◎"), u8("×")}));
    }

    // The answer goes to the question shown, whatever the editor selects,
    // and the editor's unstored fields stay as the author left them.
    void answerGoesToTheShownQuestion() {
        Session s(questionsKeyed({"k1", "k2"}));
        s.editor()->txtMondai->setText("draft");
        s.start();
        QCOMPARE(s.editor()->txtMondai->text(), QString("draft"));
        s.selectInEditor("k2");
        s.enter();
        QCOMPARE(s.columns(1).at(1), QString("     1"));
        QCOMPARE(s.columns(2).at(1), QString());
        s.enter();
        QCOMPARE(s.shownKey(), QString("k2"));
    }

    // A question removed in the editor leaves the run list and the round;
    // the shown one leaves the page with nothing to judge, and the round
    // goes on to its end. The editor's fields no longer show it.
    void removedQuestionLeavesTheRound() {
        Session s(questionsKeyed({"k1", "k2", "k3"}));
        s.start();
        s.deleteInEditor("k2");
        QCOMPARE(s.editor()->txtKey->text(), QString());
        QCOMPARE(s.editor()->cmdAdd->text(), u8("この問題を追加する"));
        QCOMPARE(s.window->lstMondai->count(), 2);
        QCOMPARE(s.window->lblNum->text(), u8("2件"));
        s.deleteInEditor("k1");
        QVERIFY(!s.mark(1));
        QVERIFY(!s.window->cmdHint->isEnabled());
        QCOMPARE(s.window->txtMondai->text(), QString());
        s.enter();
        QCOMPARE(s.shownKey(), QString("k3"));
        s.enter();
        s.enter();
        QCOMPARE(s.window->SSTab1->currentIndex(), 0);
        QCOMPARE(s.columns(1).at(1), QString("     1"));
    }

    // A stored question reaches the run list: a changed one keeps its row
    // and results, a new one comes with its results, after "全ﾌｨﾙﾀ解除"
    // when the list was narrowed.
    void storedQuestionsReachTheRunList() {
        const QString id = "<u-" + makeFileId("q.kmd") + ":";
        Session s(questionsKeyed({"k1", "k2"}), false,
                  id + "k1 value='4:5:1'/>\r\n" + id + "k9 value='2:2:'/>\r\n");
        ListView* list = s.window->lstMondai;
        s.selectInEditor("k1");
        s.storeInEditor("Changed");
        QCOMPARE(list->text(1), QString("Changed"));
        QCOMPARE(s.columns(1), (QStringList{"     4", "     5", " 80.0%", u8("◎"), ""}));
        s.storeInEditor("New", "k9");
        QCOMPARE(list->key(3), QString("k9"));
        QCOMPARE(list->text(3), QString("New"));
        QCOMPARE(s.columns(3), (QStringList{"     2", "     2", "100.0%", "", ""}));
        QCOMPARE(s.window->lblNum->text(), u8("3件"));
        list->setRowSelected(2, true);
        QTest::keyClick(list, Qt::Key_Delete);
        s.storeInEditor("Later", "k8");
        QCOMPARE(list->find("k8"), 0);
        QTest::mouseClick(s.window->cmdFilterOff, Qt::LeftButton);
        QCOMPARE(list->find("k8"), 4);
    }

    // Another file opened in the middle of a round leaves nothing of the
    // old question to answer: "回 答" judges none of the new file's.
    void anotherFileEndsTheShownQuestion() {
        Session s(questionsKeyed({"k1", "k2"}));
        s.start();
        s.env.writeFile("other.kmd", questionFile(questionsKeyed({"m1"})));
        Dialogs::setNextFileName(s.env.path("other.kmd"));
        s.window->mnuFileOpen_Click();
        QCOMPARE(s.window->SSTab1->currentIndex(), 0);
        QCOMPARE(s.shownKey(), QString());
        QCOMPARE(s.window->lblPosition->text(), QString());
        QVERIFY(!s.mark(1));
        s.window->SSTab1->setCurrentIndex(1);
        QTest::mouseClick(s.window->cmdKaitou, Qt::LeftButton);
        QCOMPARE(s.columns(1).at(1), QString());
        QCOMPARE(s.shownKey(), QString("m1"));
        QCOMPARE(s.window->cmdKaitou->text(), u8("回 答"));
    }

    // A cancelled open keeps the round's results; the next round's first
    // question opens unanswered even after a judged one was left.
    void cancelledOpenChangesNothing() {
        Session s(questionsKeyed({"k1", "k2"}));
        s.start();
        s.enter();
        s.enter();
        s.enter();
        QCOMPARE(s.window->cmdKaitou->text(), u8("次問題"));
        Dialogs::setNextFileName(QString());
        s.window->mnuFileOpen_Click();
        QCOMPARE(s.columns(1).at(4), u8("×"));
        QCOMPARE(s.window->SSTab1->currentIndex(), 1);
        s.window->SSTab1->setCurrentIndex(0);
        s.start();
        QCOMPARE(s.window->cmdKaitou->text(), u8("回 答"));
        QVERIFY(s.window->cmbMark->isHidden());
    }

    // A shuffle reorders a list sorted by a column: sorting stays off until
    // the next click on a heading.
    void shuffleAfterASort_data() {
        QTest::addColumn<bool>("byStart");
        QTest::newRow("ﾗﾝﾀﾞﾑ順") << false;
        QTest::newRow("shuffled スタート") << true;
    }
    void shuffleAfterASort() {
        QFETCH(bool, byStart);
        const QStringList keys{"k1", "k2", "k3", "k4", "k5"};
        Session s(questionsKeyed(keys));
        s.window->mnuSetupRandom->setChecked(true);
        s.window->lstMondai_ColumnClick(1);
        Random::seed(3);
        const QStringList expected = inOrder(keys, shuffleOrder(int(keys.size())));
        QVERIFY(expected != keys);
        Random::seed(3);
        QTest::mouseClick(byStart ? s.window->cmdStart : s.window->cmdRandom, Qt::LeftButton);
        QStringList shown;
        for (int row = 1; row <= s.window->lstMondai->count(); ++row)
            shown << s.window->lstMondai->key(row);
        QCOMPARE(shown, expected);
        QVERIFY(!s.window->lstMondai->isSorted());
    }

    // Enter on the list page starts a round, on the answering page it
    // answers.
    void pagesSwitchTheDefaultButton() {
        Session s(questionsKeyed({"k1"}));
        QCOMPARE(s.window->defaultButton(), s.window->cmdStart);
        s.enter();
        QCOMPARE(s.window->SSTab1->currentIndex(), 1);
        QVERIFY(s.window->Picture1->isVisible());
        QCOMPARE(s.window->defaultButton(), s.window->cmdKaitou);
        // A click on the page's own tab brings the focus back to answering.
        QTest::mouseClick(s.window->cmdMae, Qt::LeftButton);
        QCOMPARE(s.focusName(), QString("cmdMae"));
        QTabBar* tabs = s.window->SSTab1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(s.focusName(), QString("txtInput"));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(s.window->defaultButton(), s.window->cmdKaitou);
        s.window->SSTab1->setCurrentIndex(0);
        QCOMPARE(s.window->defaultButton(), s.window->cmdStart);
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
