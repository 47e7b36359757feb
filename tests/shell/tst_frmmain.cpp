#include "data/AppGlobals.h"
#include "editor/frmProp.h"
#include "editor/frmSakusei.h"
#include "platform/AppSetup.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "shell/frmMain.h"

#include "support/Controls.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

class TestFrmMain : public QObject {
    Q_OBJECT
  private slots:
    void startUpWithoutSettings() {
        TestEnv env;
        frmMain window;
        QCOMPARE(window.windowTitle(), u8("くう・めも (ver1.00)"));
        QCOMPARE(appGlobals().appVersion, QString("1.00"));
        QCOMPARE(appGlobals().learnerName, u8("ごんべえ"));
        QCOMPARE(appGlobals().programFolder, env.folder());
        auto* tab = window.findChild<QTabWidget*>("SSTab1");
        QCOMPARE(tab->currentIndex(), 0);
        QCOMPARE(tab->tabText(0), u8("問題ﾘｽﾄ"));
        QVERIFY(tab->isTabEnabled(0));
        QVERIFY(!tab->isTabEnabled(1));
        QVERIFY(!tab->isTabEnabled(2));
        QVERIFY(!window.findChild<QPushButton*>("cmdStart")->isEnabled());
        QVERIFY(window.findChild<QAction*>("mnuSetup1Click")->isChecked());
        QVERIFY(window.findChild<QAction*>("mnuSetupRandom")->isChecked());
        auto* filter = window.findChild<QComboBox*>("cmbFilter");
        QCOMPARE(filter->count(), 13);
        QCOMPARE(filter->currentText(), u8("ﾗﾝﾀﾞﾑに20問だけ選ぶ"));
        QCOMPARE(window.findChild<QComboBox*>("cmbMark")->count(), 0);
    }

    void inventory_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("visible");
        const auto row = [](const char* name, const char* caption, bool visible = true) {
            QTest::newRow(name) << QString(name) << u8(caption) << visible;
        };
        row("cmdDoFilter", "ﾌｨﾙﾀ実行");
        row("cmdFilterOff", "全ﾌｨﾙﾀ解除");
        row("cmdStart", "スタート");
        row("cmdRandom", "ﾗﾝﾀﾞﾑ順");
        row("lblNum", "0件");
        row("lblDue", "復習 0問", false);
        row("lblMsg", "【問題ﾌｧｲﾙを読み込んで下さい】");
        row("txtMsg", "まず問題ﾌｧｲﾙを読み込んで下さい。");
        row("txtKey(1)", "(1)");
        row("lblChk(1)", "[レ]", false);
        row("cmdKaitou", "回 答");
        row("cmdHint", "ﾋﾝﾄ表示([Ctrl]+[H])");
        row("cmdKaisetsu", "解説表示([Ctrl]+[K])", false);
        row("cmdTsugi", "→");
        row("cmdMae", "←");
        row("lblMark", "この問題に対するあなたの評価は？ ⇒", false);
        row("mnuFile", "ﾌｧｲﾙ(&F)");
        row("mnuFileOpen", "問題ﾌｧｲﾙの読み込み(&O)");
        row("mnuProp", "文書のﾌﾟﾛﾊﾟﾃｨ(&P)");
        row("mnuChangeUser", "ﾕｰｻﾞの切り替え(現在：権兵衛さん)(&U)");
        row("mnuFileExit", "終了(&X)");
        row("mnuSetup", "設定(&S)");
        row("mnuSetup1Click", "複数回答の問題以外は1ｸﾘｯｸで回答");
        row("mnuSetupRandom", "問題実施前にﾗﾝﾀﾞﾑに並び替え");
        row("mnuSetupRetention", "復習の目標(&R)…");
        row("mnuTool", "ﾓｰﾄﾞ(&M)");
        row("mnuToolSakusei", "問題ﾌｧｲﾙ作成ﾓｰﾄﾞ(&N)");
    }
    void inventory() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, visible);
        TestEnv env;
        frmMain window;
        window.show();
        window.findChild<QTabWidget*>("SSTab1")->setTabEnabled(1, true);
        window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
        const ControlView view = viewOf(&window, name);
        QVERIFY2(view.found, qPrintable(name));
        QCOMPARE(view.caption, caption);
        QCOMPARE(view.visible, visible);
    }

    void shortcutsAndToolTips() {
        TestEnv env;
        frmMain window;
        QCOMPARE(window.findChild<QAction*>("mnuFileOpen")->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(window.findChild<QPushButton*>("cmdTsugi")->toolTip(),
                 u8("この問題は飛ばして次の問題へ"));
        QCOMPARE(window.findChild<QPushButton*>("cmdMae")->toolTip(), u8("1つ前の問題に戻る"));
        for (const char* name :
             {"lstMondai", "txtMondai", "txtKaitou(0)", "txtKaitou(1)", "txtInput", "cmbMark",
              "Frame1", "Frame2", "Picture1", "Picture2", "Timer1", "Timer2", "StatusBar1"})
            QVERIFY2(window.findChild<QObject*>(name), name);
        QVERIFY(window.findChild<QWidget*>("txtKaitou(0)")->isHidden());
        auto* list = window.findChild<ListView*>("lstMondai");
        QStringList headers;
        for (int i = 0; i < list->columnCount(); ++i)
            headers << list->columnHeader(i);
        QCOMPARE(headers, (QStringList{u8("問題"), u8("正解数"), u8("回答数"), u8("正解率"),
                                       u8("マーク"), u8("今回正解?")}));
    }

    void marksFromTheDefinitionFile() {
        TestEnv env;
        env.writeFile("kuMemo-ini.txt",
                      "Level=1:A\r\nLevel=2:B\r\nLevel=3:C\r\nCorrect=1\r\nWrong=3\r\n");
        frmMain window;
        auto* marks = window.findChild<QComboBox*>("cmbMark");
        QCOMPARE(marks->count(), 3);
        const KeyedTable& markTable = window.session().learner().markTable();
        QCOMPARE(markTable.textOf("keyCorrect"), QString("A"));
        QCOMPARE(markTable.textOf("KEYWRONG"), QString("C"));
        auto* filter = window.findChild<QComboBox*>("cmbFilter");
        QCOMPARE(filter->count(), 16);
        QCOMPARE(filter->itemText(10), u8("ﾏｰｸが\"A\"を選ぶ"));
        QCOMPARE(filter->itemText(11), u8("ﾏｰｸが\"B\"以下を選ぶ"));
        QCOMPARE(filter->itemText(13), u8("今回間違えた問題だけ選ぶ"));
    }

    void closingStoresTheOptionsAndTheNextStartReadsThem() {
        TestEnv env;
        {
            frmMain window;
            window.show();
            window.findChild<QAction*>("mnuSetupRandom")->trigger();
            window.close();
        }
        QCOMPARE(SettingsStore::get("setupRandom", {}), QString("False"));
        QCOMPARE(SettingsStore::get("setup1Click", {}), QString("True"));
        QCOMPARE(SettingsStore::get("setupKMEpKMD", {}), QString());
        frmMain again;
        QVERIFY(!again.findChild<QAction*>("mnuSetupRandom")->isChecked());
        QVERIFY(again.findChild<QAction*>("mnuSetup1Click")->isChecked());
    }

    void standardButtonsAndFontSpeakJapanese() {
        setupApplication(*static_cast<QApplication*>(QCoreApplication::instance()));
        // The captions' kana and Latin letters come from one Japanese face.
        QVERIFY(QFontDatabase::families(QFontDatabase::Japanese)
                    .contains(QFontInfo(QApplication::font()).family()));
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(u8("はい")));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(u8("いいえ")));
        QVERIFY(box.button(QMessageBox::Cancel)->text().startsWith(u8("キャンセル")));
    }

    // A trial from outside moves the program's clock by an environment
    // variable read at start-up, never the system's.
    void clockFromTheEnvironment_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QDateTime>("fixed"); // invalid: the real clock
        QTest::newRow("a moment in UTC") << QByteArray("2026-12-08T09:00:00Z")
                                         << QDateTime(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
        QTest::newRow("not a moment") << QByteArray("yesterday") << QDateTime();
        QTest::newRow("unset") << QByteArray() << QDateTime();
    }
    void clockFromTheEnvironment() {
        QFETCH(QByteArray, value);
        QFETCH(QDateTime, fixed);
        if (value.isNull())
            qunsetenv("KUMEMO_TEST_NOW");
        else
            qputenv("KUMEMO_TEST_NOW", value);
        Clock::fixForTests(QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC));
        setupApplication(*static_cast<QApplication*>(QCoreApplication::instance()));
        qunsetenv("KUMEMO_TEST_NOW");
        const QDateTime now = Clock::now();
        Clock::fixForTests({});
        if (fixed.isValid())
            QCOMPARE(now, fixed);
        else
            QVERIFY(qAbs(now.secsTo(QDateTime::currentDateTime())) < 60);
    }

    void switchingToTheEditorAndBack() {
        TestEnv env;
        SettingsStore::save("UserName", u8("太郎"));
        frmMain window;
        QCOMPARE(appGlobals().learnerName, u8("太郎"));
        window.show();
        window.findChild<QAction*>("mnuToolSakusei")->trigger();
        frmSakusei* editor = window.sakusei();
        QVERIFY(editor->isVisible());
        QVERIFY(!window.isVisible());
        QCOMPARE(editor->windowTitle(), u8("くう・めも - 問題作成モード"));
        QCOMPARE(editor->pos(), window.pos());
        // The run window comes back to its own place, not the editor's.
        const QPoint runPlace = window.pos();
        editor->move(runPlace + QPoint(40, 30));
        editor->findChild<QAction*>("mnuModeRead")->trigger();
        QVERIFY(window.isVisible());
        QCOMPARE(window.pos(), runPlace);
        QVERIFY(!editor->isVisible());
        // Closing the editor ends the whole program and writes every option.
        window.findChild<QAction*>("mnuToolSakusei")->trigger();
        editor->close();
        QVERIFY(!window.isVisible());
        QCOMPARE(SettingsStore::get("setupKMEpKMD", {}), QString("True"));
        QCOMPARE(SettingsStore::get("setupRandom", {}), QString("True"));
        QCOMPARE(SettingsStore::get("setup1Click", {}), QString("True"));
    }

    void opensAtItsDesignedClientSize() {
        TestEnv env;
        frmMain window;
        window.show();
        QCOMPARE(window.centralWidget()->size(),
                 QSize(Twips::toPixels(10095), Twips::toPixels(5970)));
    }

    // A main window has no default button of its own: Enter in its controls
    // presses the one the program made the default.
    void enterPressesTheDefaultButton_data() {
        QTest::addColumn<QString>("focus");
        QTest::newRow("question list") << "lstMondai";
    }
    void enterPressesTheDefaultButton() {
        QFETCH(QString, focus);
        TestEnv env;
        env.writeFile("q.kmd", "<kuMemo-data>\r\n<Mondai key='k1'><mondaibun>{\\rtf1 Q\\par}"
                               "</mondaibun></Mondai>\r\n</kuMemo-data>\r\n");
        frmMain window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        Dialogs::setNextFileName(env.path("q.kmd"));
        window.mnuFileOpen_Click();
        auto* start = window.findChild<QPushButton*>("cmdStart");
        QVERIFY(start->isEnabled());
        QSignalSpy pressed(start, &QPushButton::clicked);
        QWidget* control = window.findChild<QWidget*>(focus);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        QCOMPARE(pressed.size(), 1);
        start->setEnabled(false);
        QTest::keyClick(control, Qt::Key_Enter);
        QCOMPARE(pressed.size(), 1);
    }

    void propertiesFromRunModeShowTheNewDocumentsDates() {
        TestEnv env;
        Clock::fixForTests(QDateTime(QDate(2026, 12, 6), QTime(8, 45, 26)));
        frmMain window;
        window.show();
        QString created;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<frmProp*>(QApplication::activeModalWidget());
            created = dialog->Text8->text();
            dialog->close();
        });
        window.findChild<QAction*>("mnuProp")->trigger();
        Clock::fixForTests({});
        QCOMPARE(created, u8("2026/12/06(日) 08:45:26"));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
