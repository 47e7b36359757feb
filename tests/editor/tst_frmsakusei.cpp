#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"

#include "support/Controls.h"
#include "support/EditorFixture.h"
#include "support/FileMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {
// Adds questions to the open file as a loaded file holds them: nothing about
// them is unsaved.
void addRows(frmSakusei* editor, const QStringList& texts) {
    QuestionDocument& document = editor->document();
    const bool unsaved = document.hasUnsavedChanges();
    for (const QString& text : texts)
        document.setRecord("k" + text, text, {});
    if (!unsaved)
        document.forgetUnsavedChanges();
}
// The texts of one column, from the first row to the last.
QStringList rowTexts(ListView* list, int column = 0) {
    QStringList texts;
    for (int row = 1; row <= list->count(); ++row)
        texts << list->subItem(row, column);
    return texts;
}
QStringList rowKeys(ListView* list) {
    QStringList keys;
    for (int row = 1; row <= list->count(); ++row)
        keys << list->key(row);
    return keys;
}
// A question file whose questions have these texts, keys "k0", "k1", ….
QByteArray questionFileOf(const QStringList& texts) {
    QByteArray records;
    for (int i = 0; i < texts.size(); ++i)
        records += "<Mondai key='k" + QByteArray::number(i) + "'><mondaibun>" +
                   (texts[i].isEmpty() ? QByteArray() : "{\\rtf1 " + texts[i].toUtf8() + "\\par}") +
                   "</mondaibun><kaitou count=0 type=1></kaitou><hint></hint><kaisetsu></kaisetsu>"
                   "</Mondai>\r\n";
    return plainQuestionFile(records);
}
void storeNewQuestion(frmSakusei* editor, const QString& text) {
    editor->cmdClear_Click();
    editor->txtMondai->setText(text);
    editor->cmdAdd_Click();
}
} // namespace

class TestFrmSakusei : public QObject {
    Q_OBJECT
  private slots:
    void inventory_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char* name, const char* caption, bool enabled = true) {
            QTest::newRow(name) << QString(name) << u8(caption) << enabled;
        };
        row("mnuFile", "ﾌｧｲﾙ(&F)");
        row("mnuFileOpen", "ﾃﾞｰﾀﾌｧｲﾙの読み込み(&O)");
        row("mnuFileSave", "上書き保存(&S)", false);
        row("mnuFileSaveAs", "名前を付けて保存(&A)", false);
        row("mnuFileProp", "文書のﾌﾟﾛﾊﾟﾃｨ(&P)");
        row("mnuFileExit", "閉じる(&X)");
        row("mnuSetup", "設定(&S)");
        row("mnuSetupKMEpKMD", "保護付ﾃﾞｰﾀを書き出す時に、標準ﾃﾞｰﾀも一緒に書き出す");
        row("mnuFormat", "書式(&O)");
        row("mnuFormatChar", "文字(&C)…");
        row("mnuSearch", "検索(&K)");
        row("mnuSearchList", "一覧から検索(&M)");
        row("mnuSearchNext", "次を検索(&N)");
        row("mnuSearchBefore", "前を検索(&B)");
        row("mnuMode", "ﾓｰﾄﾞ(&M)");
        row("mnuModeRead", "問題ﾌｧｲﾙ実施ﾓｰﾄﾞ(&R)");
        row("chkKaitouIsSeikai", "これが正解である");
        row("cmdKaitouAdd", "回答追加");
        row("cmdKaitouDel", "回答削除");
        row("cmdAdd", "この問題を追加する");
        row("cmdClear", "新規問題");
        row("cmdDel", "問題削除");
        row("chkIfRich", "ﾘｯﾁﾃｷｽﾄで保存");
        row("Label1", "問題文 ");
        row("Label2", "回　答 ");
        row("Label3", "ヒント ");
        row("Label4", "解　説 ");
    }
    void inventory() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        EditorFixture f;
        const ControlView view = viewOf(f.editor, name);
        QVERIFY2(view.found, qPrintable(name));
        QCOMPARE(view.caption, caption);
        QCOMPARE(view.enabled, enabled);
    }

    void windowLoad() {
        EditorFixture f;
        auto* types = f.editor->cmbKaitouType;
        QCOMPARE(types->count(), 3);
        QCOMPARE(types->itemText(0), u8("1.ﾗｼﾞｵﾎﾞﾀﾝ(1つを選択)"));
        QCOMPARE(types->itemText(1), u8("2.ﾁｪｯｸﾎﾞｯｸｽ(複数回答)"));
        QCOMPARE(types->itemText(2), u8("3.ﾃｷｽﾄﾎﾞｯｸｽ(入力)"));
        QCOMPARE(types->currentText(), types->itemText(0));
        QCOMPARE(f.main->document().path(), QString());
        QVERIFY(QRegularExpression(
                    u8("^\\d{4}/\\d\\d/\\d\\d\\([月火水木金土日]\\) \\d\\d:\\d\\d:\\d\\d$"))
                    .match(f.main->document().properties().cdate)
                    .hasMatch());
        QVERIFY(f.editor->txtKey->isReadOnly());
        QCOMPARE(f.editor->mnuSearchNext->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(f.editor->mnuSearchBefore->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
        QCOMPARE(f.editor->mnuFileSave->shortcut(), QKeySequence("Ctrl+S"));
    }

    void newQuestionKeepsTypeListAndFlag() {
        EditorFixture f;
        f.main->document().setPath("/tmp/q.kmd");
        addRows(f.editor, {"a"});
        f.editor->cmbKaitouType->setCurrentIndex(2);
        f.editor->txtMondai->setSelBold(true);
        f.editor->txtMondai->setText("question");
        f.editor->txtKey->setText("abcde");
        f.editor->chkKaitouIsSeikai->setChecked(true);
        f.editor->lstKaitou->add(u8("○"));
        f.editor->cmdAdd->setText(u8("この問題を修正する"));
        QTest::mouseClick(f.editor->cmdClear, Qt::LeftButton);
        QCOMPARE(f.editor->txtMondai->text(), QString());
        QCOMPARE(f.editor->txtMondai->currentCharFormat().fontFamilies().toStringList(),
                 QStringList{u8("ＭＳ ゴシック")});
        QCOMPARE(f.editor->txtMondai->currentCharFormat().fontPointSize(), 9.0);
        QVERIFY(f.editor->txtMondai->currentCharFormat().fontWeight() < QFont::Bold);
        QCOMPARE(f.editor->lstKaitou->count(), 0);
        QVERIFY(!f.editor->chkKaitouIsSeikai->isChecked());
        QCOMPARE(f.editor->txtKey->text(), QString());
        QCOMPARE(f.editor->cmdAdd->text(), u8("この問題を追加する"));
        QCOMPARE(f.editor->cmbKaitouType->currentIndex(), 2);
        QCOMPARE(f.editor->lstMondai->count(), 1);
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
    }

    void deleteAsksWithNoPreselected() {
        EditorFixture f;
        f.main->document().setPath("/tmp/q.kmd");
        addRows(f.editor, {"a", "b", "c"});
        f.editor->cmdDel_Click(); // nothing selected: nothing asked
        QCOMPARE(Dialogs::shownMessages().size(), 0);
        f.editor->lstMondai->setSelectedRow(2);
        Dialogs::setNextAnswer(Dialogs::Answer::No);
        QTest::mouseClick(f.editor->cmdDel, Qt::LeftButton);
        QCOMPARE(rowTexts(f.editor->lstMondai), (QStringList{"a", "b", "c"}));
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
        const Dialogs::Message asked = Dialogs::shownMessages().last();
        QCOMPARE(asked.text, u8("この問題を削除してもよろしいですか?"));
        QCOMPARE(asked.title, u8("削除しますか?"));
        QCOMPARE(asked.icon, Dialogs::Icon::Question);
        QCOMPARE(asked.buttons, Dialogs::Buttons::YesNo);
        Dialogs::setNextAnswer(Dialogs::Answer::Yes);
        QTest::mouseClick(f.editor->cmdDel, Qt::LeftButton);
        QCOMPARE(rowTexts(f.editor->lstMondai), (QStringList{"a", "c"}));
        QVERIFY(f.editor->mnuFileSave->isEnabled());
        QCOMPARE(f.editor->lstMondai->find("kb"), 0);
    }

    void unsavedFlagRules() {
        EditorFixture f;
        addRows(f.editor, {"a", "b"});
        // A new, never-saved file never carries the flag.
        f.editor->lstMondai->setSelectedRow(1);
        Dialogs::setNextAnswer(Dialogs::Answer::Yes);
        f.editor->cmdDel_Click();
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
        // The Delete key removes at once, without asking, and raises the flag
        // for a file with a path.
        f.main->document().setPath("/tmp/q.kmd");
        addRows(f.editor, {"c"});
        f.editor->lstMondai->setFocus();
        f.editor->lstMondai->setSelectedRow(1);
        const int asked = Dialogs::shownMessages().size();
        QTest::keyClick(f.editor->lstMondai, Qt::Key_Delete);
        QCOMPARE(Dialogs::shownMessages().size(), asked);
        QCOMPARE(rowTexts(f.editor->lstMondai), QStringList{"c"});
        QVERIFY(f.editor->mnuFileSave->isEnabled());
    }

    void fileMenuEnabling() {
        EditorFixture f;
        f.main->document().setPath("/tmp/q.kmd");
        addRows(f.editor, {"a"});
        f.editor->lstMondai->setSelectedRow(1);
        Dialogs::setNextAnswer(Dialogs::Answer::Yes);
        f.editor->cmdDel_Click();
        QVERIFY(f.editor->mnuFileSave->isEnabled());
        // On an empty list both save items go grey, even after a deletion.
        emit f.editor->mnuFile->aboutToShow();
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
        QVERIFY(!f.editor->mnuFileSaveAs->isEnabled());
        QVERIFY(!f.editor->mnuFileExport->isEnabled());
        // On a list with rows "名前を付けて保存(&A)" opens up; the flag stays.
        addRows(f.editor, {"b"});
        emit f.editor->mnuFile->aboutToShow();
        QVERIFY(f.editor->mnuFileSaveAs->isEnabled());
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
        QVERIFY(f.editor->mnuFileExport->isEnabled());
    }

    void settingsMenuGreysTheCopyItemForALockedFile() {
        EditorFixture f;
        f.main->document().setPasswords("pw", "pw");
        emit f.editor->mnuSetup->aboutToShow();
        QVERIFY(!f.editor->mnuSetupKMEpKMD->isEnabled());
        f.main->document().setPasswords("pw", {});
        emit f.editor->mnuSetup->aboutToShow();
        QVERIFY(f.editor->mnuSetupKMEpKMD->isEnabled());
    }

    void columnClickSwitchesSorting() {
        EditorFixture f;
        addRows(f.editor, {"c", "a", "b"});
        f.editor->lstMondai_ColumnClick(1);
        QCOMPARE(rowTexts(f.editor->lstMondai), (QStringList{"a", "b", "c"}));
        f.editor->lstMondai_ColumnClick(2);
        addRows(f.editor, {"0"});
        QCOMPARE(rowTexts(f.editor->lstMondai), (QStringList{"a", "b", "c", "0"}));
    }

    // Where questions go in the sorted list, and the file written in the
    // list's order. Steps: "sort" clicks a column header, "store:T" stores a
    // new question T, "change:N:T" gives row N the text T, "import:T,…"
    // takes questions from a table, "open" opens the file again.
    void sortedListPlacesQuestions_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("sorted by text, case ignored, equal texts kept in order")
            << QStringList{"c", "B", "", "a", "b"} << QStringList{"sort"}
            << QStringList{"", "a", "B", "b", "c"};
        QTest::newRow("a new question goes after those without text")
            << QStringList{"c", "", "a"} << QStringList{"sort", "store:b"}
            << QStringList{"", "b", "a", "c"};
        QTest::newRow("a changed question stays until the next new one")
            << QStringList{"b", "c", "a"} << QStringList{"sort", "change:1:z", "store:m"}
            << QStringList{"m", "b", "c", "z"};
        QTest::newRow("imported questions are sorted in")
            << QStringList{"b", "a"} << QStringList{"sort", "import:d,0"}
            << QStringList{"0", "a", "b", "d"};
        QTest::newRow("a second click leaves the order and stops sorting")
            << QStringList{"b", "a"} << QStringList{"sort", "sort", "store:0", "import:1"}
            << QStringList{"a", "b", "0", "1"};
        QTest::newRow("a file opened is not sorted")
            << QStringList{"b", "a"} << QStringList{"sort", "open", "store:0"}
            << QStringList{"b", "a", "0"};
    }
    void sortedListPlacesQuestions() {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, shown);
        EditorFixture f;
        f.env.writeFile("q.kmd", questionFileOf(texts));
        openQuestionFile(f.editor, f.env.path("q.kmd"));
        ListView* list = f.editor->lstMondai;
        for (const QString& step : steps) {
            const QString argument = step.section(':', 1);
            if (step == "sort") {
                // The selection stays on its question.
                const QString selected = list->key(list->selectedRow());
                f.editor->lstMondai_ColumnClick(1);
                QCOMPARE(list->key(list->selectedRow()), selected);
            } else if (step.startsWith("store:")) {
                storeNewQuestion(f.editor, argument);
                QCOMPARE(list->text(list->selectedRow()), argument);
            } else if (step.startsWith("change:")) {
                list->setSelectedRow(argument.section(':', 0, 0).toInt());
                f.editor->lstMondai_Click();
                f.editor->txtMondai->setText(argument.section(':', 1));
                f.editor->cmdAdd_Click();
            } else if (step.startsWith("import:")) {
                QString table = u8("問題,正解\r\n");
                for (const QString& text : argument.split(','))
                    table += text + ",typed\r\n";
                f.env.writeFile("t.csv", table.toUtf8());
                f.editor->importTable(f.env.path("t.csv"));
            } else if (step == "open") {
                openQuestionFile(f.editor, f.env.path("q.kmd"));
            }
        }
        QCOMPARE(rowTexts(list), shown);
        // The file is written in the list's order.
        QCOMPARE(f.main->document().records(), rowTexts(list, 1));
    }

    // The list shows what the file holds, whoever changes it.
    void listFollowsTheFile() {
        EditorFixture f;
        f.env.writeFile("q.kmd", questionFileOf({"a", "b", "c"}));
        openQuestionFile(f.editor, f.env.path("q.kmd"));
        QuestionDocument& document = f.main->document();
        ListView* list = f.editor->lstMondai;
        QCOMPARE(f.editor->txtKey->text(), QString("k2"));
        document.setRecord("k1", "B", "<Mondai key='k1'><mondaibun>{\\rtf1 B\\par}</mondaibun>");
        document.setRecord("new", "N", {});
        QCOMPARE(rowTexts(list), (QStringList{"a", "B", "c", "N"}));
        // The second column shows each question's record as the file holds it.
        for (int row = 1; row <= list->count(); ++row)
            QCOMPARE(list->subItem(row, 1), document.record(list->key(row)));
        list->setSelectedRow(2);
        f.editor->lstMondai_Click();
        QCOMPARE(f.editor->txtMondai->text(), QString("B"));
        document.addRecords({{"x", "X", {}}, {"y", "Y", {}}});
        document.remove("k0");
        QCOMPARE(rowTexts(list), (QStringList{"B", "c", "N", "X", "Y"}));
        QCOMPARE(rowKeys(list), (QStringList{"k1", "k2", "new", "x", "y"}));
        QCOMPARE(list->subItem(4, 1), QString());
        document.addRecords({{"z", "Z", "<Mondai key='z'>"}});
        QCOMPARE(list->subItem(6, 1), QString("<Mondai key='z'>"));
        // The fields keep another question; the one they show goes with its row.
        QCOMPARE(f.editor->txtKey->text(), QString("k1"));
        document.remove("k1");
        QCOMPARE(f.editor->txtKey->text(), QString());
        QCOMPARE(f.editor->txtMondai->text(), QString());
        document.beginLoad({});
        QCOMPARE(list->count(), 0);
    }
};

QTEST_MAIN(TestFrmSakusei)
#include "tst_frmsakusei.moc"
