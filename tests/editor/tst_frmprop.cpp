#include "editor/frmProp.h"
#include "platform/Random.h"

#include "support/EditorFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
QList<QWidget*> boxes(frmProp& dialog) {
    return {dialog.Text1, dialog.Text2, dialog.Text3, dialog.Text4, dialog.Text5,
            dialog.Text6, dialog.Text7, dialog.Text8, dialog.Text9};
}
bool readOnly(QWidget* box) {
    if (auto* line = qobject_cast<QLineEdit*>(box))
        return line->isReadOnly();
    return static_cast<QPlainTextEdit*>(box)->isReadOnly();
}
} // namespace

class TestFrmProp : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { Clock::fixForTests({}); }

    void newDocumentFromTheEditor() {
        Clock::fixForTests(QDateTime(QDate(2026, 12, 6), QTime(8, 45, 26)));
        EditorFixture f;
        frmProp dialog(f.main->document(), f.editor);
        QCOMPARE(dialog.windowTitle(), u8("(新規作成) のﾌﾟﾛﾊﾟﾃｨ"));
        QCOMPARE(dialog.Text8->text(), u8("2026/12/06(日) 08:45:26"));
        QCOMPARE(dialog.Text9->text(), u8("2026/12/06(日) 08:45:26"));
        const QList<QWidget*> all = boxes(dialog);
        for (int i = 0; i < 7; ++i)
            QVERIFY2(!readOnly(all[i]), qPrintable(all[i]->objectName()));
        QVERIFY(readOnly(dialog.Text8));
        QVERIFY(readOnly(dialog.Text9));
        typeText(dialog.Text1, u8("英単語"));
        dialog.Text7->setPlainText("line1\nline2");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        QCOMPARE(f.main->document().properties().title, u8("英単語"));
        QCOMPARE(f.main->document().properties().comment, QString("line1\r\nline2"));
        QVERIFY(!f.editor->mnuFileSave->isEnabled()); // no path: no flag
    }

    void okRaisesTheFlagForAFileWithAPath() {
        EditorFixture f;
        f.main->document().setPath("/data/sub\\quiz.kmd");
        frmProp dialog(f.main->document(), f.editor);
        QCOMPARE(dialog.windowTitle(), u8("quiz.kmd のﾌﾟﾛﾊﾟﾃｨ"));
        dialog.cmdOK_Click();
        QVERIFY(f.editor->mnuFileSave->isEnabled());
    }

    void readOnlyFromRunModeAndForALockedFile() {
        EditorFixture f;
        f.main->document().properties().title = "T";
        f.main->document().setPath("/data/quiz.kmd");
        f.editor->mnuModeRead_Click(); // editor hidden
        {
            frmProp dialog(f.main->document(), f.editor);
            for (QWidget* box : boxes(dialog))
                QVERIFY(readOnly(box));
            dialog.cmdOK_Click();
            QVERIFY(!f.editor->mnuFileSave->isEnabled());
        }
        f.main->mnuToolSakusei_Click();
        f.main->document().setPasswords("pw", "pw");
        frmProp dialog(f.main->document(), f.editor);
        for (QWidget* box : boxes(dialog))
            QVERIFY(readOnly(box));
        dialog.Text1->setText("changed");
        dialog.cmdOK_Click();
        QCOMPARE(f.main->document().properties().title, QString("T"));
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
    }

    void enterInTheCommentMakesANewLine() {
        EditorFixture f;
        frmProp dialog(f.main->document(), f.editor);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.Text7->setFocus();
        QVERIFY(!dialog.cmdOK->isDefault());
        typeText(dialog.Text7, "a");
        QTest::keyClick(dialog.Text7, Qt::Key_Return);
        typeText(dialog.Text7, "b");
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.Text7->toPlainText(), QString("a\nb"));
        dialog.Text2->setFocus();
        QVERIFY(dialog.cmdOK->isDefault());
        QTest::keyClick(dialog.Text2, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.main->document().properties().comment, QString("a\r\nb"));
    }

    void clearDataPropResetsEverything() {
        TestEnv env;
        QuestionDocument document;
        document.properties().title = "x";
        document.properties().comment = "y";
        Clock::fixForTests(QDateTime(QDate(2027, 1, 4), QTime(23, 5, 0)));
        document.clearDataProp();
        QCOMPARE(document.properties().title, QString());
        QCOMPARE(document.properties().comment, QString());
        QCOMPARE(document.properties().cdate, u8("2027/01/04(月) 23:05:00"));
        QCOMPARE(document.properties().mdate, u8("2027/01/04(月) 23:05:00"));
    }

    void bothMenusOpenIt() {
        EditorFixture f;
        f.main->document().properties().title = "T";
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<frmProp*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QVERIFY(!dialog->Text1->isReadOnly());
            QCOMPARE(dialog->Text1->text(), QString("T"));
            dialog->close();
        });
        f.editor->findChild<QAction*>("mnuFileProp")->trigger();
        QVERIFY(seen);
        f.editor->mnuModeRead_Click();
        seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<frmProp*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QVERIFY(dialog->Text1->isReadOnly());
            dialog->close();
        });
        f.main->findChild<QAction*>("mnuProp")->trigger();
        QVERIFY(seen);
    }
};

QTEST_MAIN(TestFrmProp)
#include "tst_frmprop.moc"
