#include "editor/frmRichStyle.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"

#include "support/EditorFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QTest>

namespace {
// Chooses an item of a list as a person's click does.
void choose(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// Clicks a check box on its box, where a person would.
void click(QCheckBox* check) {
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
}

void selectText(RichTextBox* box, int start, int length) {
    box->setSelStart(start);
    box->setSelLength(length);
}

QStringList items(QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}
} // namespace

class TestRichStyle : public QObject {
    Q_OBJECT
  private slots:
    void lists() {
        QCOMPARE(
            richStyleFontNames({"IPAGothic", u8("@ＭＳ ゴシック"), u8("ＭＳ ゴシック"), "A@B"}),
            (QStringList{"IPAGothic", u8("ＭＳ ゴシック"), "A@B"}));
        EditorFixture f;
        frmRichStyle* style = f.editor->richStyle();
        QCOMPARE(style->windowTitle(), u8("文字"));
        QCOMPARE(items(style->cmbFont), richStyleFontNames(QFontDatabase::families()));
        QVERIFY(style->cmbFont->count() > 0);
        QCOMPARE(style->cmbFont->currentText(), u8("ＭＳ ゴシック"));
        QCOMPARE(items(style->cmbSize),
                 (QStringList{"8", "9", "10", "11", "12", "14", "16", "18", "20"}));
        QCOMPARE(style->chkBold->text(), u8("太字"));
        QCOMPARE(style->chkNaname->text(), u8("斜体"));
        QCOMPARE(style->chkKasen->text(), u8("下線"));
    }

    // Shown beside the editor with it, hidden with it; "文字(&C)…" brings it
    // back there, its font box focused.
    void placedBesideTheEditor() {
        EditorFixture f;
        frmRichStyle* style = f.editor->richStyle();
        QVERIFY(style->isVisible());
        const QRect editor = f.editor->frameGeometry();
        QCOMPARE(style->pos(), QPoint(editor.x() + editor.width(), f.main->y()));
        style->hide();
        f.editor->mnuFormatChar->trigger();
        QVERIFY(style->isVisible());
        QCOMPARE(style->pos(), QPoint(editor.x() + editor.width(), f.main->y()));
        QCOMPARE(style->focusWidget(), style->cmbFont);
        f.editor->mnuModeRead->trigger();
        QVERIFY(!style->isVisible());
    }

    void nothingBeforeABoxReported() {
        EditorFixture f;
        frmRichStyle* style = f.editor->richStyle();
        RichTextBox* box = f.editor->txtMondai;
        box->setText("word");
        box->selectAllText();
        click(style->chkBold);
        choose(style->cmbSize, "20");
        QVERIFY(!box->selBold());
        QCOMPARE(box->selFontSize(), 9.0);
        QCOMPARE(Dialogs::shownMessages().size(), 0);
    }

    // Each control applies at once to the selection of the box that reported.
    void controlsApplyToTheSelection_data() {
        QTest::addColumn<QString>("control");
        for (const char* name : {"chkBold", "chkNaname", "chkKasen", "cmbFont", "cmbSize"})
            QTest::newRow(name) << QString(name);
    }
    void controlsApplyToTheSelection() {
        QFETCH(QString, control);
        EditorFixture f;
        frmRichStyle* style = f.editor->richStyle();
        RichTextBox* box = f.editor->txtKaisetsu;
        box->setText("one two");
        selectText(box, 4, 3);
        style->setRichText(box);
        const QString font = style->cmbFont->itemText(style->cmbFont->count() - 1);
        if (auto* check = style->findChild<QCheckBox*>(control))
            click(check);
        else
            choose(style->findChild<QComboBox*>(control), control == "cmbFont" ? font : "20");
        // The selection stays; only it has changed.
        QCOMPARE(box->selStart(), 4);
        QCOMPARE(box->selLength(), 3);
        style->setRichText(box);
        QCOMPARE(style->chkBold->isChecked(), control == "chkBold");
        QCOMPARE(style->chkNaname->isChecked(), control == "chkNaname");
        QCOMPARE(style->chkKasen->isChecked(), control == "chkKasen");
        QCOMPARE(style->cmbFont->currentText(), control == "cmbFont" ? font : u8("ＭＳ ゴシック"));
        QCOMPARE(style->cmbSize->currentText(), control == "cmbSize" ? "20" : "9");
        selectText(box, 0, 3);
        style->setRichText(box);
        QVERIFY(!style->chkBold->isChecked() && !style->chkNaname->isChecked() &&
                !style->chkKasen->isChecked());
        QCOMPARE(style->cmbFont->currentText(), u8("ＭＳ ゴシック"));
        QCOMPARE(style->cmbSize->currentText(), QString("9"));
    }

    // A partly bold selection shows unchecked and stays partly bold.
    void showingNeverWritesBack() {
        EditorFixture f;
        frmRichStyle* style = f.editor->richStyle();
        RichTextBox* box = f.editor->txtMondai;
        box->setText("ab");
        selectText(box, 0, 1);
        box->setSelBold(true);
        box->setSelFontSize(20);
        box->selectAllText();
        const QString before = box->textRTF();
        style->setRichText(box);
        QVERIFY(!style->chkBold->isChecked());
        QCOMPARE(style->cmbSize->currentText(), QString());
        QCOMPARE(box->textRTF(), before);
    }

    // The boxes report by click or focus, the hint box by focus and by each
    // change.
    void boxesReport() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        frmRichStyle* style = e->richStyle();
        e->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(e));
        const QList<RichTextBox*> boxes{e->txtMondai, e->txtKaitou, e->txtHint, e->txtKaisetsu};
        for (RichTextBox* box : boxes)
            box->setText("x");
        RichTextBox elsewhere;
        const auto reported = [style](RichTextBox* box) {
            box->selectAllText();
            click(style->chkKasen);
            const bool underlined = box->selUnderline();
            box->setSelUnderline(false);
            style->chkKasen->setChecked(false);
            return underlined;
        };
        for (RichTextBox* box : boxes) {
            e->lstMondai->setFocus();
            style->setRichText(&elsewhere);
            box->setFocus();
            QVERIFY2(reported(box), qPrintable(box->objectName()));
            if (box == e->txtHint)
                continue;
            style->setRichText(&elsewhere);
            QTest::mouseClick(box->viewport(), Qt::LeftButton);
            QVERIFY2(reported(box), qPrintable(box->objectName()));
        }
        // Typing in the hint box shows the style at the caret.
        e->lstMondai->setFocus();
        style->setRichText(&elsewhere);
        e->txtHint->setSelBold(true);
        QTest::keyClick(e->txtHint, 'a');
        QVERIFY(style->chkBold->isChecked());
    }

    void boldWordSurvivesStoreAndReload() {
        EditorFixture f;
        frmSakusei* e = f.editor;
        frmRichStyle* style = e->richStyle();
        e->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(e));
        e->txtMondai->setFocus();
        typeText(e->txtMondai, u8("日本の首都はどこですか"));
        selectText(e->txtMondai, 6, 2);
        click(style->chkBold);
        e->txtKaitou->setText(u8("東京"));
        QTest::mouseClick(e->cmdAdd, Qt::LeftButton);
        QTest::mouseClick(e->cmdClear, Qt::LeftButton);
        QCOMPARE(e->txtMondai->text(), QString());

        e->lstMondai->setSelectedRow(1);
        e->lstMondai_Click();
        QCOMPARE(e->txtMondai->text(), u8("日本の首都はどこですか"));
        for (const auto& [start, length, bold] :
             {std::tuple{6, 2, true}, std::tuple{5, 1, false}, std::tuple{8, 1, false}}) {
            selectText(e->txtMondai, start, length);
            QCOMPARE(e->txtMondai->selBold(), bold);
        }
    }
};

QTEST_MAIN(TestRichStyle)
#include "tst_richstyle.moc"
