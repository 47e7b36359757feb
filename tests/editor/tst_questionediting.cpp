#include "data/QuestionRecord.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/RichTextBox.h"

#include "support/EditorFixture.h"
#include "support/FileMenu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
void typeInto(RichTextBox* box, const QString& text) {
    box->setFocus();
    box->selectAllText();
    typeText(box, text);
}

void addChoice(frmSakusei* e, const QString& text, bool correct) {
    typeInto(e->txtKaitou, text);
    e->chkKaitouIsSeikai->setChecked(correct);
    QTest::mouseClick(e->cmdKaitouAdd, Qt::LeftButton);
}

QStringList column(ListView* list, int index) {
    QStringList texts;
    for (int row = 1; row <= list->count(); ++row)
        texts << list->subItem(row, index);
    return texts;
}
} // namespace

class TestQuestionEditing : public QObject {
    Q_OBJECT
  private slots:
    void init() { Random::seed(20261207); }

    void storeAndLoadBackThroughTheWindow() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        // The question with one bold word.
        typeInto(e->txtMondai, u8("日本の首都は"));
        e->txtMondai->setSelBold(true);
        typeText(e->txtMondai, u8("どこ"));
        e->txtMondai->setSelBold(false);
        typeText(e->txtMondai, u8("ですか？"));
        addChoice(e, u8("大阪"), false);
        addChoice(e, u8("東京"), true);
        addChoice(e, u8("京都"), false);
        QCOMPARE(column(e->lstKaitou, 0), (QStringList{u8("×"), u8("○"), u8("×")}));
        typeInto(e->txtHint, u8("東にある都"));
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);

        QCOMPARE(e->lstMondai->count(), 1);
        const QString key = e->lstMondai->key(1);
        QCOMPARE(key.size(), 5);
        for (QChar c : key)
            QVERIFY(keyAlphabet.contains(c));
        QCOMPARE(e->lstMondai->text(1), u8("日本の首都はどこですか？"));
        QCOMPARE(e->txtKey->text(), key);
        QCOMPARE(e->cmdAdd->text(), u8("この問題を修正する"));
        const QString record = e->lstMondai->subItem(1, 1);
        QVERIFY(record.startsWith("<Mondai key='" + key + "'><mondaibun>{\\rtf1"));
        QVERIFY(record.contains("<kaitou count=3 type=1><sentakushi isSeikai=False>"));

        // Another question, then back to the first.
        QTest::mouseClick(e->cmdClear, Qt::LeftButton);
        typeInto(e->txtMondai, "second");
        addChoice(e, "x", true);
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QCOMPARE(e->lstMondai->count(), 2);
        QCOMPARE(e->txtMondai->text(), QString("second"));
        e->lstMondai->setSelectedRow(1);
        e->lstMondai_Click();
        QCOMPARE(e->txtMondai->text(), u8("日本の首都はどこですか？"));
        QCOMPARE(e->txtHint->text(), u8("東にある都"));
        QCOMPARE(column(e->lstKaitou, 1), (QStringList{u8("大阪"), u8("東京"), u8("京都")}));
        QCOMPARE(column(e->lstKaitou, 0), (QStringList{u8("×"), u8("○"), u8("×")}));
        QCOMPARE(e->txtKaitou->text(), u8("京都"));
        // Exactly the bold word is bold.
        e->txtMondai->setSelStart(6);
        e->txtMondai->setSelLength(2);
        QVERIFY(e->txtMondai->selBold());
        e->txtMondai->setSelStart(5);
        e->txtMondai->setSelLength(1);
        QVERIFY(!e->txtMondai->selBold());
        e->txtMondai->setSelStart(8);
        e->txtMondai->setSelLength(1);
        QVERIFY(!e->txtMondai->selBold());

        // Storing it again modifies in place: same key, same position.
        typeInto(e->txtKaisetsu, u8("東京です"));
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QCOMPARE(e->lstMondai->count(), 2);
        QCOMPARE(e->lstMondai->key(1), key);
        QVERIFY(e->lstMondai->subItem(1, 1).contains("<kaisetsu>{\\rtf1"));
        QCOMPARE(e->lstMondai->selectedRow(), 1);

        // "問題削除" removes it after "はい".
        Dialogs::setNextAnswer(Dialogs::Answer::Yes);
        QTest::mouseClick(e->cmdDel, Qt::LeftButton);
        QCOMPARE(e->lstMondai->count(), 1);
        QCOMPARE(e->lstMondai->find(key), 0);
    }

    void composeDecomposeComposeIsStable() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        for (int type = 0; type < 3; ++type) {
            QTest::mouseClick(e->cmdClear, Qt::LeftButton);
            e->cmbKaitouType->setCurrentIndex(type);
            typeInto(e->txtMondai, QString("Q%1 <&> 'x'").arg(type));
            addChoice(e, "a1", true);
            if (type != 2)
                addChoice(e, "a2", false);
            QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
            const int row = e->lstMondai->selectedRow();
            const QString first = e->lstMondai->subItem(row, 1);
            QVERIFY(first.contains(QString(" type=%1>").arg(type + 1)));
            QTest::mouseClick(e->cmdAdd, Qt::LeftButton); // store what was decomposed
            QCOMPARE(e->lstMondai->subItem(row, 1), first);
            QCOMPARE(e->cmbKaitouType->currentIndex(), type);
        }
    }

    void typedAnswerRefusals() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        e->cmbKaitouType->setCurrentIndex(2);
        typeInto(e->txtMondai, "Q");
        addChoice(e, "a", true);
        addChoice(e, "b", true);
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QCOMPARE(e->lstMondai->count(), 0);
        QCOMPARE(Dialogs::shownMessages().last().text, u8("直接入力ﾀｲﾌﾟの回答は1つにして下さい"));
        QCOMPARE(Dialogs::shownMessages().last().title, u8("ｴﾗｰ"));
        QCOMPARE(Dialogs::shownMessages().last().icon, Dialogs::Icon::Exclamation);

        e->lstKaitou->clearRows();
        typeInto(e->txtKaitou, "line1");
        QTest::keyClick(e->txtKaitou, Qt::Key_Return);
        typeText(e->txtKaitou, "line2");
        // The typed choice goes into the empty list first, then is refused.
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QCOMPARE(e->lstMondai->count(), 0);
        QCOMPARE(e->lstKaitou->count(), 1);
        QCOMPARE(Dialogs::shownMessages().last().text,
                 u8("直接入力ﾀｲﾌﾟの回答に改行を含むものは設定できません"));

        // A line break at the end is refused too: it could never be typed.
        e->lstKaitou->clearRows();
        e->txtKaitou->clear();
        typeInto(e->txtKaitou, "abc");
        QTest::keyClick(e->txtKaitou, Qt::Key_Return);
        const int shown = Dialogs::shownMessages().size();
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QCOMPARE(e->lstMondai->count(), 0);
        QCOMPARE(Dialogs::shownMessages().size(), shown + 1);
        QCOMPARE(Dialogs::shownMessages().last().text,
                 u8("直接入力ﾀｲﾌﾟの回答に改行を含むものは設定できません"));
    }

    // Only blanks are trimmed from a choice's shown text.
    void choiceTextTrimsBlanksOnly_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("blanks") << u8("  選択肢 ") << u8("選択肢");
        QTest::newRow("ideographic spaces") << u8("　x　") << u8("　x　");
        QTest::newRow("line break") << "x\r\n"
                                    << "x\r\n";
    }
    void choiceTextTrimsBlanksOnly() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        EditorFixture f;
        f.editor->txtKaitou->setText(typed);
        f.editor->cmdKaitouAdd_Click();
        QCOMPARE(f.editor->lstKaitou->subItem(1, 1), shown);
    }

    void questionWithoutChoices() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        f.main->document().setPath("/tmp/q.kmd");
        typeInto(e->txtMondai, "Q");
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QVERIFY(e->lstMondai->subItem(1, 1).contains("<kaitou count=0 type=1></kaitou><hint>"));
        QVERIFY(e->mnuFileSave->isEnabled());
    }

    // A refused question changes nothing in the file: nothing to save.
    void refusedStoreLeavesNothingUnsaved_data() {
        QTest::addColumn<QByteArray>("answers");
        QTest::addColumn<QString>("typedKey");
        QTest::addColumn<QString>("message");
        const QByteArray choice = "<sentakushi isSeikai=True>{\\rtf1 a\\par}</sentakushi>";
        QTest::newRow("two typed answers")
            << "<kaitou count=2 type=3>" + choice + choice + "</kaitou>" << QString()
            << u8("直接入力ﾀｲﾌﾟの回答は1つにして下さい");
        QTest::newRow("a typed answer of two lines")
            << QByteArray("<kaitou count=1 type=3><sentakushi isSeikai=True>{\\rtf1 a\\par "
                          "b\\par}</sentakushi></kaitou>")
            << QString() << u8("直接入力ﾀｲﾌﾟの回答に改行を含むものは設定できません");
        QTest::newRow("a hand-typed key the file cannot keep")
            << "<kaitou count=1 type=1>" + choice + "</kaitou>"
            << "a'b" << u8("問題ｷｰに空白、改行、「'」「\"」「<」「>」「&」は使えません。");
    }
    void refusedStoreLeavesNothingUnsaved() {
        QFETCH(QByteArray, answers);
        QFETCH(QString, typedKey);
        QFETCH(QString, message);
        EditorFixture f;
        frmSakusei* e = f.editor;
        f.env.writeFile("q.kmd", plainQuestionFile("<Mondai key='abcde'><mondaibun>{\\rtf1 "
                                                   "Q\\par}</mondaibun>" +
                                                   answers + "</Mondai>\r\n"));
        openQuestionFile(e, f.env.path("q.kmd"));
        const QStringList records = f.main->document().records();
        if (!typedKey.isEmpty()) {
            QTest::mouseDClick(e->txtKey, Qt::LeftButton);
            e->txtKey->setText(typedKey);
        }
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QCOMPARE(Dialogs::shownMessages().last().text, message);
        QCOMPARE(f.main->document().records(), records);
        QVERIFY(!e->mnuFileSave->isEnabled());
        QVERIFY(!f.main->document().needsSaving());
    }

    void handTypedKeys_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("stored");
        QTest::newRow("fine") << "myKey1" << true;
        QTest::newRow("apostrophe") << "a'b" << false;
        QTest::newRow("too long") << QString(20, 'k') << false;
        QTest::newRow("full-width blank") << u8("a　b") << false;
        QTest::newRow("ampersand") << "a&b" << false;
    }
    void handTypedKeys() {
        QFETCH(QString, key);
        QFETCH(bool, stored);
        EditorFixture f;
        frmSakusei* e = f.editor;
        QVERIFY(e->txtKey->isReadOnly());
        QTest::mouseDClick(e->txtKey, Qt::LeftButton);
        QVERIFY(!e->txtKey->isReadOnly());
        typeText(e->txtKey, key);
        typeInto(e->txtMondai, "Q");
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QCOMPARE(e->lstMondai->count(), stored ? 1 : 0);
        if (stored) {
            QCOMPARE(e->lstMondai->key(1), key);
            QVERIFY(e->lstMondai->subItem(1, 1).startsWith("<Mondai key='" + key + "'>"));
        } else {
            QCOMPARE(Dialogs::shownMessages().last().title, u8("入力ｴﾗｰ"));
            QCOMPARE(Dialogs::shownMessages().last().icon, Dialogs::Icon::Exclamation);
            QCOMPARE(e->txtKey->text(), key);
        }
        QTest::mouseDClick(e->txtKey, Qt::LeftButton);
        QVERIFY(e->txtKey->isReadOnly());
    }

    void choiceEditing() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        f.main->document().setPath("/tmp/q.kmd");
        addChoice(e, "", true); // empty: nothing added
        QCOMPARE(e->lstKaitou->count(), 0);
        QVERIFY(!e->mnuFileSave->isEnabled());
        addChoice(e, "   ", true); // only blanks: added, shown empty
        QCOMPARE(e->lstKaitou->count(), 1);
        QCOMPARE(e->lstKaitou->subItem(1, 1), QString());
        QVERIFY(e->mnuFileSave->isEnabled());
        QVERIFY(!e->chkKaitouIsSeikai->isChecked());
        QCOMPARE(e->txtKaitou->text(), QString());
        addChoice(e, u8("  選択肢 "), false);
        QCOMPARE(e->lstKaitou->subItem(2, 1), u8("選択肢"));

        // Loading a choice puts it back into the fields; the row stays.
        e->lstKaitou->setSelectedRow(1);
        e->lstKaitou_Click();
        QVERIFY(e->chkKaitouIsSeikai->isChecked());
        QCOMPARE(e->txtKaitou->text(), QString("   "));
        e->lstKaitou->setFocus();
        QTest::keyClick(e->lstKaitou, Qt::Key_Down);
        QVERIFY(!e->chkKaitouIsSeikai->isChecked());
        QCOMPARE(e->txtKaitou->text(), u8("  選択肢 "));

        // Double-click toggles the mark only.
        e->lstKaitou_DblClick();
        QCOMPARE(e->lstKaitou->text(2), u8("○"));
        e->lstKaitou_DblClick();
        QCOMPARE(e->lstKaitou->text(2), u8("×"));
        QVERIFY(!e->chkKaitouIsSeikai->isChecked());

        e->lstKaitou->clearSelection();
        e->lstKaitou->setCurrentIndex({});
        e->cmdKaitouDel_Click(); // nothing selected: nothing removed
        QCOMPARE(e->lstKaitou->count(), 2);
        e->lstKaitou->setSelectedRow(1);
        QTest::mouseClick(e->cmdKaitouDel, Qt::LeftButton);
        QCOMPARE(e->lstKaitou->count(), 1);
        QCOMPARE(e->lstKaitou->subItem(1, 1), u8("選択肢"));
    }

    void ctrlQSplitsPastedChoices() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        e->txtKaitou->setText(u8("　ア　A\r\n\r\n　イ　B"));
        e->chkKaitouIsSeikai->setChecked(true);
        e->txtKaitou->setFocus();
        QTest::keyClick(e->txtKaitou, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(column(e->lstKaitou, 1), (QStringList{"A", "B"}));
        QCOMPARE(column(e->lstKaitou, 0), (QStringList{u8("○"), u8("×")}));
        e->txtKaitou->setText("no labels");
        QTest::keyClick(e->txtKaitou, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(e->lstKaitou->count(), 2);
        QCOMPARE(e->txtKaitou->text(), QString("no labels"));
    }

    void ctrlQTidiesTheQuestion() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        e->txtMondai->setText(u8("　　Q1\r\n　next"));
        e->txtMondai->setFocus();
        QTest::keyClick(e->txtMondai, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(e->txtMondai->text(), QString("Q1next"));
    }

    void aRecordWrittenByHandLoads() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        e->document().setRecord(
            "hand1", "x",
            "<Mondai key='hand1'><mondaibun>{\\rtf1 question\\par}</mondaibun>"
            "<kaitou count=9 type=2><sentakushi isSeikai=true>{\\rtf1 one\\par}</sentakushi>"
            "<sentakushi isSeikai=True>{\\rtf1 two\\par}</sentakushi></kaitou>"
            "<hint></hint><kaisetsu>{\\rtf1 why\\par}</kaisetsu></Mondai>");
        e->lstMondai->setSelectedRow(e->lstMondai->find("hand1"));
        e->lstMondai_Click();
        QCOMPARE(e->txtMondai->text(), QString("question"));
        QCOMPARE(e->cmbKaitouType->currentIndex(), 1);
        QCOMPARE(column(e->lstKaitou, 0), (QStringList{u8("×"), u8("○")}));
        QCOMPARE(column(e->lstKaitou, 1), (QStringList{"one", "two"}));
        QCOMPARE(e->txtHint->text(), QString());
        QCOMPARE(e->txtKaisetsu->text(), QString("why"));
        QCOMPARE(e->txtKey->text(), QString("hand1"));
    }
};

QTEST_MAIN(TestQuestionEditing)
#include "tst_questionediting.moc"
