#include "platform/AppSetup.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "shell/frmMain.h"

#include "support/TestEnv.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

// The program started with a file on its command line, as a file manager
// starts it ("kuMemo FILE"): main.cpp's steps with that argument.
class TestStartFile : public QObject {
    Q_OBJECT
  private slots:
    void fileOnTheCommandLine_data() {
        QTest::addColumn<QString>("currentFolder"); // "": the test's own folder
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("messages"); // title, then text
        const QString examples = KUMEMO_EXAMPLES;
        const QString sampleStatus =
            u8("『くう・めも サンプル問題集 <日本の地理・歴史と漢字の読み>』(by くう・めも)");
        const QString readError = u8("読み込みエラー");
        const QString startStatus = u8("くう・めも　―　KumemoSTUDIOS");
        QTest::newRow("question file")
            << QString() << examples + "/sample.kmd" << 8 << sampleStatus << QStringList();
        // Protected files open in run mode without their password; a name
        // given from the folder the program was started in still finds it.
        QTest::newRow("protected, relative")
            << examples << "sample.kme" << 8 << sampleStatus << QStringList();
        QTest::newRow("not a question file")
            << QString() << "notes.kmd" << 0 << startStatus
            << QStringList{readError, u8("このﾌｧｲﾙはkuMemoのﾃﾞｰﾀﾌｧｲﾙではありません")};
        QTest::newRow("not protected")
            << QString() << "notes.kme" << 0 << startStatus
            << QStringList{readError, u8("このﾌｧｲﾙはkuMemoの保護付ﾃﾞｰﾀﾌｧｲﾙではありません")};
        QTest::newRow("missing") << examples << "nowhere.kmd" << 0 << startStatus
                                 << QStringList{readError,
                                                u8("指定された問題ﾌｧｲﾙが見つかりません。") +
                                                    "\r\n" + examples + "/nowhere.kmd"};
    }
    void fileOnTheCommandLine() {
        QFETCH(QString, currentFolder);
        QFETCH(QString, argument);
        QFETCH(int, questions);
        QFETCH(QString, status);
        QFETCH(QStringList, messages);
        TestEnv env;
        env.writeFile("notes.kmd", "notes\r\n");
        env.writeFile("notes.kme", "notes\r\n");
        QVERIFY(QDir::setCurrent(currentFolder.isEmpty() ? env.folder() : currentFolder));

        const QString file = commandLineFile({"kuMemo", argument});
        frmMain window;
        window.show();
        window.openFile(file);

        QStringList shown;
        for (const Dialogs::Message& message : Dialogs::shownMessages()) {
            shown << message.title << message.text;
            QCOMPARE(message.icon, Dialogs::Icon::Exclamation);
        }
        QCOMPARE(shown, messages);
        QCOMPARE(window.lstMondai->count(), questions);
        QCOMPARE(window.statusPanel1->text(), status);
        QCOMPARE(window.cmdStart->isEnabled(), questions > 0);
        QCOMPARE(window.txtMsg->isVisible(), questions == 0);
        QCOMPARE(window.lblNum->text(), QString::number(questions) + u8("件"));
    }

    void noFileOnTheCommandLine() { QCOMPARE(commandLineFile({"kuMemo"}), QString()); }
};

QTEST_MAIN(TestStartFile)
#include "tst_startfile.moc"
