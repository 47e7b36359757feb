#include "platform/RichTextBox.h"
#include "platform/Texts.h"
#include "platform/Widgets.h"

#include "support/TestEnv.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QVBoxLayout>

class TestRichTextBox : public QObject {
    Q_OBJECT
  private slots:
    void plainTextUsesCrLf() {
        RichTextBox box;
        box.setText("one\r\ntwo\nthree");
        QCOMPARE(box.text(), QString("one\r\ntwo\r\nthree"));
        box.setText(QString());
        QCOMPARE(box.text(), QString());
    }

    void settingTextKeepsTheCaretFormat() {
        RichTextBox box;
        box.setSelFontName(u8("ＭＳ ゴシック"));
        box.setSelBold(true);
        box.setText("abc");
        box.setSelStart(3);
        QTest::keyClicks(&box, "d");
        QCOMPARE(box.text(), QString("abcd"));
        box.setSelStart(0);
        box.setSelLength(4);
        QVERIFY(box.selBold());
        QCOMPARE(box.selFontName(), u8("ＭＳ ゴシック"));
    }

    void selectionPositionsCountCrLfAsTwo() {
        RichTextBox box;
        box.setText("ab\r\ncd");
        box.setSelStart(4);
        box.setSelLength(2);
        QCOMPARE(box.textCursor().selectedText(), QString("cd"));
        QCOMPARE(box.selStart(), 4);
        QCOMPARE(box.selLength(), 2);
        box.selectAllText();
        QCOMPARE(box.selLength(), 6);
    }

    void partlyStyledSelectionReadsAsNotStyled() {
        RichTextBox box;
        box.setText("plain bold");
        box.setSelStart(6);
        box.setSelLength(4);
        box.setSelBold(true);
        box.setSelItalic(true);
        box.setSelUnderline(true);
        QVERIFY(box.selBold());
        QVERIFY(box.selItalic());
        QVERIFY(box.selUnderline());
        box.setSelStart(4);
        box.setSelLength(6);
        QVERIFY(!box.selBold());
        QVERIFY(!box.selItalic());
        QVERIFY(!box.selUnderline());
        box.setSelBold(true); // applies to the whole selection
        QVERIFY(box.selBold());
        box.setSelStart(0);
        box.setSelLength(4);
        QVERIFY(!box.selBold());
        box.setSelFontSize(14);
        QCOMPARE(box.selFontSize(), 14.0);
        box.setSelColor(QColor(255, 0, 0));
        QCOMPARE(box.selColor(), QColor(255, 0, 0));
    }

    void insertTextTakesItsOwnFormat() {
        RichTextBox box;
        box.setText("answer");
        box.setSelStart(0);
        box.insertText(u8("正解\r\n"), true, Qt::red);
        QCOMPARE(box.text(), u8("正解\r\nanswer"));
        box.setSelStart(0);
        box.setSelLength(2);
        QVERIFY(box.selBold());
        QCOMPARE(box.selColor(), QColor(Qt::red));
        box.setSelStart(4);
        box.setSelLength(6);
        QVERIFY(!box.selBold());
    }

    void keyPressCanBeSwallowed() {
        RichTextBox box;
        connect(&box, &RichTextBox::keyPress, [](int& key) {
            if (key == 'x')
                key = 0;
        });
        QSignalSpy ups(&box, &RichTextBox::keyUp);
        QTest::keyClicks(&box, "axb");
        QCOMPARE(box.text(), QString("ab"));
        QCOMPARE(ups.count(), 3);
        ups.clear();
        QTest::keyClick(&box, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(ups.first().at(0).toInt(), int(Qt::Key_Q));
        QCOMPARE(ups.first().at(1).toInt(), 2);
    }

    // Tab leaves the box like any other control; Ctrl+Tab types the tab
    // character, where typing is allowed and no handler swallows it.
    void tabKeys_data() {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("swallowed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        QTest::newRow("Tab") << Qt::KeyboardModifiers() << false << false << "ab"
                             << "after";
        QTest::newRow("Shift+Tab")
            << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << false << "ab"
            << "before";
        QTest::newRow("Ctrl+Tab") << Qt::KeyboardModifiers(Qt::ControlModifier) << false << false
                                  << "a\tb"
                                  << "box";
        QTest::newRow("Ctrl+Tab, locked")
            << Qt::KeyboardModifiers(Qt::ControlModifier) << true << false << "ab"
            << "box";
        QTest::newRow("Ctrl+Tab, swallowed")
            << Qt::KeyboardModifiers(Qt::ControlModifier) << false << true << "ab"
            << "box";
    }
    void tabKeys() {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, locked);
        QFETCH(bool, swallowed);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* box = named(new RichTextBox, "box");
        layout->addWidget(named(new QLineEdit, "before"));
        layout->addWidget(box);
        layout->addWidget(named(new QLineEdit, "after"));
        box->setText("ab");
        box->setSelStart(1);
        box->setLocked(locked);
        connect(box, &RichTextBox::keyPress, [swallowed](int& key) {
            if (swallowed)
                key = 0;
        });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        const Qt::Key key = modifiers & Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab;
        QTest::keyClick(box, key, modifiers);
        QCOMPARE(box->text(), text);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    }
};

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
