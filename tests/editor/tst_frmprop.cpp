#include "editor/frmProp.h"
#include "platform/Random.h"
#include "data/modKuMemo.h"

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
        frmProp dialog(f.editor);
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
        QCOMPARE(appGlobals().propTitle, u8("英単語"));
        QCOMPARE(appGlobals().propComment, QString("line1\r\nline2"));
        QVERIFY(!f.editor->mnuFileSave->isEnabled()); // no path: no flag
    }

    void okRaisesTheFlagForAFileWithAPath() {
        EditorFixture f;
        appGlobals().currentFilePath = "/data/sub\\quiz.kmd";
        frmProp dialog(f.editor);
        QCOMPARE(dialog.windowTitle(), u8("quiz.kmd のﾌﾟﾛﾊﾟﾃｨ"));
        dialog.cmdOK_Click();
        QVERIFY(f.editor->mnuFileSave->isEnabled());
    }

    void readOnlyFromRunModeAndForALockedFile() {
        EditorFixture f;
        appGlobals().propTitle = "T";
        appGlobals().currentFilePath = "/data/quiz.kmd";
        f.editor->mnuModeRead_Click(); // editor hidden
        {
            frmProp dialog(f.editor);
            for (QWidget* box : boxes(dialog))
                QVERIFY(readOnly(box));
            dialog.cmdOK_Click();
            QVERIFY(!f.editor->mnuFileSave->isEnabled());
        }
        f.main->mnuToolSakusei_Click();
        appGlobals().filePassword = "pw";
        appGlobals().pendingPassword = "pw";
        frmProp dialog(f.editor);
        for (QWidget* box : boxes(dialog))
            QVERIFY(readOnly(box));
        dialog.Text1->setText("changed");
        dialog.cmdOK_Click();
        QCOMPARE(appGlobals().propTitle, QString("T"));
        QVERIFY(!f.editor->mnuFileSave->isEnabled());
    }

    void enterInTheCommentMakesANewLine() {
        EditorFixture f;
        frmProp dialog(f.editor);
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
        QCOMPARE(appGlobals().propComment, QString("a\r\nb"));
    }

    void clearDataPropResetsEverything() {
        TestEnv env;
        appGlobals().propTitle = "x";
        appGlobals().propComment = "y";
        Clock::fixForTests(QDateTime(QDate(2027, 1, 4), QTime(23, 5, 0)));
        frmProp::clearDataProp();
        QCOMPARE(appGlobals().propTitle, QString());
        QCOMPARE(appGlobals().propComment, QString());
        QCOMPARE(appGlobals().propCdate, u8("2027/01/04(月) 23:05:00"));
        QCOMPARE(appGlobals().propMdate, u8("2027/01/04(月) 23:05:00"));
    }

    void bothMenusOpenIt() {
        EditorFixture f;
        appGlobals().propTitle = "T";
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
