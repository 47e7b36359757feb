#include "editor/frmSakusei.h"
#include "formats/LearnerFile.h"
#include "learner/Statistics.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/KeyedTable.h"
#include "platform/ListView.h"
#include "platform/SingleInstance.h"
#include "session/Statistics.h"
#include "shell/frmMain.h"

#include "support/Controls.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

namespace {
QByteArray questionFile(const QStringList& keys) {
    QString text = "<kuMemo-data>\r\n";
    for (const QString& key : keys)
        text += "<Mondai key='" + key + "'><mondaibun>{\\rtf1 " + key +
                "\\par}</mondaibun></Mondai>\r\n";
    return Codepage::encode(text + "</kuMemo-data>\r\n");
}
} // namespace

class TestLearnerRecords : public QObject {
    Q_OBJECT
  private slots:
    // Opening a file joins the learner's records to the list: the file is
    // known by its base name, whatever its folder and kind.
    void openingJoinsTheRecords() {
        TestEnv env;
        env.writeFile("kuMemo-ini.txt", "Level=1:A\r\nLevel=2:B\r\n");
        const QString id = makeFileId("/elsewhere/test.kme");
        env.writeFile(u8("ごんべえ.kmu"),
                      Codepage::encode("<u-" + id + ":k1 value='1:1:2'/>\r\n<u-" + id +
                                       ":k2 value='1:3:'/>\r\n<u-" + id +
                                       ":k3 value='0:2:9'/>\r\n<u-" + id +
                                       ":k4 value='3'/>\r\n<u-other:k5 value='5:5:1'/>\r\n"));
        QDir(env.folder()).mkdir("sub");
        env.writeFile("sub/test.kmd", questionFile({"k1", "k2", "k3", "k4", "k5"}));
        frmMain window;
        window.show();
        window.lstMondai->add("stale");
        Dialogs::setNextFileName(env.path("sub/test.kmd"));
        window.mnuFileOpen_Click();
        QCOMPARE(statisticsColumns(window.lstMondai, 1), (QStringList{"     1", "     1", "100.0%", "B", ""}));
        QCOMPARE(statisticsColumns(window.lstMondai, 2), (QStringList{"     1", "     3", " 33.3%", "", ""}));
        // A level the marks no longer define shows no mark.
        QCOMPARE(statisticsColumns(window.lstMondai, 3), (QStringList{"     0", "     2", "  0.0%", "", ""}));
        QCOMPARE(statisticsColumns(window.lstMondai, 4), (QStringList{"     3", "", "", "", ""}));
        QCOMPARE(statisticsColumns(window.lstMondai, 5), (QStringList{"", "", "", "", ""}));
        QCOMPARE(window.lblNum->text(), u8("5件"));

        // Changing a row and saving writes the record back, keeping level 9.
        window.session().learner().store(window.lstMondai->key(3), {"     1", "     3", "", "", ""});
        QVERIFY(window.saveUserData());
        QFile file(env.path(u8("ごんべえ.kmu")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("<u-" + id.toLatin1() + ":k3 value='1:3:9'/>\r\n"));
    }

    // A learner file that cannot be written is named, never passed over;
    // at the end the learner may keep the program open.
    void unwritableLearnerFile() {
        TestEnv env;
        QDir(env.folder()).mkdir(u8("ごんべえ.kmu")); // a folder where the file should be
        frmMain window;
        window.show();
        QVERIFY(!window.saveUserData());
        const Dialogs::Message told = Dialogs::shownMessages().last();
        QVERIFY(told.text.startsWith(u8("回答者ﾃﾞｰﾀﾌｧｲﾙに書き込めませんでした。\r\n") +
                                     env.path(u8("ごんべえ.kmu"))));
        QCOMPARE(told.title, u8("保存中止"));
        QCOMPARE(told.icon, Dialogs::Icon::Exclamation);

        Dialogs::setNextAnswer(Dialogs::Answer::No);
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(Dialogs::shownMessages().last().buttons, Dialogs::Buttons::YesNo);
        QVERIFY(Dialogs::shownMessages().last().text.endsWith(
            u8("このまま終了すると今回の回答結果は失われます。終了しますか?")));
        Dialogs::setNextAnswer(Dialogs::Answer::Yes);
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
    }

    // Another program writing the learner's file holds its lock: this one
    // waits, then writes nothing and says so; the answers wait in memory
    // for the next save.
    void heldLockWritesNothing() {
        TestEnv env;
        env.writeFile("a.kmd", questionFile({"k1"}));
        const QString path = env.path(u8("ごんべえ.kmu"));
        const QByteArray before = "<u-x:k value='1:1:'/>\r\n";
        env.writeFile(u8("ごんべえ.kmu"), before);
        frmMain window;
        window.show();
        window.openFile(env.path("a.kmd"));
        window.session().learner().store("k1", {"     1", "     1", "", "", ""});
        QLockFile other(path + ".lock");
        QVERIFY(other.tryLock(0));
        QVERIFY(!window.saveUserData());
        const Dialogs::Message told = Dialogs::shownMessages().last();
        QCOMPARE(told.text, u8("回答者ﾃﾞｰﾀﾌｧｲﾙに書き込めませんでした。\r\n") + path + "\r\n" +
                                u8("ほかのくう・めもがこのﾌｧｲﾙを使用中です。今回の回答結果は"
                                   "覚えておき、次に保存するときに書き込みます。"));
        QCOMPARE(told.title, u8("保存中止"));
        QCOMPARE(told.icon, Dialogs::Icon::Exclamation);
        QCOMPARE(fileBytes(path), before);

        other.unlock();
        QVERIFY(window.saveUserData());
        QCOMPARE(fileBytes(path),
                 before + "<u-" + makeFileId("a.kmd").toLatin1() + ":k1 value='1:1:'/>\r\n");

        // The other way round: a lock this program holds is one QLockFile
        // waits for and never takes for left behind, and it names this
        // program; it goes when the lock does.
        {
            LearnerLock mine(path);
            QString reason;
            QVERIFY(mine.take(path, reason));
            QVERIFY(!other.tryLock(0));
            QCOMPARE(other.error(), QLockFile::LockFailedError);
            qint64 pid = 0;
            QString host, program;
            QVERIFY(other.getLockInfo(&pid, &host, &program));
            QCOMPARE(pid, QCoreApplication::applicationPid());
            QCOMPARE(program, QCoreApplication::applicationName());
        }
        QVERIFY(!QFile::exists(path + ".lock"));
    }

    // Two programs on one program folder answer the same question: both
    // answers count, also after the file is read again at the next round's
    // start.
    void twoProgramsAnswerOneQuestion() {
        TestEnv env;
        env.writeFile("kuMemo-ini.txt", "Level=1:A\r\nLevel=2:B\r\n");
        env.writeFile("a.kmd", questionFile({"k1"}));
        const QString path = env.path(u8("ごんべえ.kmu"));
        const QByteArray line = "<u-" + makeFileId("a.kmd").toLatin1() + ":k1 value='";
        frmMain window;
        window.show();
        window.openFile(env.path("a.kmd"));
        LearnerRecords other; // the other program, started alongside
        QVERIFY(loadLearnerFile(path, other).ok);
        const KeyedTable marks = window.session().learner().markTable();
        LearnerModel& learner = window.session().learner();
        const auto answer = [&](bool right) {
            learner.store("k1", statsAfterJudging(learner.statistics("k1"), right));
            QVERIFY(window.saveUserData());
        };

        answer(true);
        updateRecord(other, makeFileId("a.kmd"), "k1", {"     0", "     1", "  0.0%", "B", ""},
                     marks);
        QVERIFY(saveLearnerFile(path, other).ok);
        QCOMPARE(fileBytes(path), line + "1:2:2'/>\r\n");

        // The next round reads the file again, and this program's next
        // answer adds one to the file's counts.
        window.loadUserData();
        answer(true);
        QCOMPARE(fileBytes(path), line + "2:3:2'/>\r\n");
        learner.storeMark("k1", "A");
        QVERIFY(window.saveUserData());
        QCOMPARE(fileBytes(path), line + "2:3:1'/>\r\n");
        QCOMPARE(statisticsColumns(window.lstMondai, 1), (QStringList{"     2", "     3", " 66.7%", "A", ""}));
    }

    // A save shows what another program wrote to the learner file since it
    // was read, on every row whose numbers it changed, also rows this
    // program never touched; this round's verdicts stay.
    void saveShowsTheFile_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("otherColumns"); // what the other program stores
        QTest::addColumn<QList<QStringList>>("rows");
        const QString right = u8("○");
        const QStringList k1{"     2", "     2", "100.0%", "", right};
        const QStringList k2{"     0", "     1", "  0.0%", "", ""};
        const QStringList k3{"", "", "", "", ""};
        const QStringList k4{"     2", "     2", "100.0%", "A", ""};
        QTest::newRow("nothing else") << QString() << QStringList() << QList{k1, k2, k3, k4};
        QTest::newRow("another answered an untouched question")
            << "k2" << QStringList{"     1", "     2", "", "", ""}
            << QList{k1, QStringList{"     1", "     2", " 50.0%", "", ""}, k3, k4};
        QTest::newRow("another answered a new question")
            << "k3" << QStringList{"     0", "     1", "", "", ""}
            << QList{k1, k2, QStringList{"     0", "     1", "  0.0%", "", ""}, k4};
        QTest::newRow("another answered the same question")
            << "k1" << QStringList{"     1", "     2", "", "", ""}
            << QList{QStringList{"     2", "     3", " 66.7%", "", right}, k2, k3, k4};
        QTest::newRow("another gave a mark")
            << "k4" << QStringList{"     2", "     2", "", "B", ""}
            << QList{k1, k2, k3, QStringList{"     2", "     2", "100.0%", "B", ""}};
    }
    void saveShowsTheFile() {
        QFETCH(QString, key);
        QFETCH(QStringList, otherColumns);
        QFETCH(QList<QStringList>, rows);
        TestEnv env;
        env.writeFile("kuMemo-ini.txt", "Level=1:A\r\nLevel=2:B\r\n");
        env.writeFile("a.kmd", questionFile({"k1", "k2", "k3", "k4"}));
        const QString id = makeFileId("a.kmd");
        const QString path = env.path(u8("ごんべえ.kmu"));
        env.writeFile(u8("ごんべえ.kmu"),
                      Codepage::encode("<u-" + id + ":k1 value='1:1:'/>\r\n<u-" + id +
                                       ":k2 value='0:1:'/>\r\n<u-" + id +
                                       ":k4 value='2:2:1'/>\r\n"));
        frmMain window;
        window.show();
        window.openFile(env.path("a.kmd"));
        LearnerModel& learner = window.session().learner();
        learner.store("k1", statsAfterJudging(learner.statistics("k1"), true));
        window.round().judge("k1", true);
        if (!key.isEmpty()) {
            LearnerRecords other;
            QVERIFY(loadLearnerFile(path, other).ok);
            updateRecord(other, id, key, RowStatistics::fromColumns(otherColumns),
                         learner.markTable());
            QVERIFY(saveLearnerFile(path, other).ok);
        }
        QVERIFY(window.saveUserData());
        for (int row = 1; row <= 4; ++row)
            QCOMPARE(statisticsColumns(window.lstMondai, row), rows.at(row - 1));
    }

    // The lock and the socket are in the user's runtime folder, and the
    // socket is open to the user alone; a runtime folder that is named but
    // missing is made, for the user alone.
    void runtimeFolder_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("named") << true;
        QTest::newRow("named but missing") << false;
    }
    void runtimeFolder() {
        QFETCH(bool, exists);
        TestEnv env;
        const QString runtime = env.path("run");
        if (exists)
            QVERIFY(QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray named = qgetenv("XDG_RUNTIME_DIR");
        const auto restore = qScopeGuard([&named] {
            if (named.isNull())
                qunsetenv("XDG_RUNTIME_DIR");
            else
                qputenv("XDG_RUNTIME_DIR", named);
        });
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        SingleInstance instance(env.folder());
        QCOMPARE(QFileInfo(instance.lockFileName()).path(), runtime);
        QCOMPARE(QFileInfo(instance.serverName()).path(),
                 QFileInfo(instance.lockFileName()).path());
        QVERIFY(!instance.handedOver({}));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        const QFile::Permissions socket = QFileInfo(instance.serverName()).permissions();
        QVERIFY(socket & QFile::ReadOwner);
        QCOMPARE(socket & others, QFile::Permissions());
        QCOMPARE(QFileInfo(runtime).permissions() & others, QFile::Permissions());
    }

    // A first program that does not answer, here because this thread is
    // its own, is named to the learner; the second start goes on with its
    // file itself, and the first, free again, is handed nothing.
    void firstProgramThatDoesNotAnswer() {
        TestEnv env;
        SingleInstance first(env.folder());
        QVERIFY(!first.handedOver({}));
        QSignalSpy handed(&first, &SingleInstance::fileHandedOver);
        QVERIFY(!SingleInstance(env.folder()).handedOver("b.kmd"));
        const Dialogs::Message told = Dialogs::shownMessages().last();
        QCOMPARE(told.text, u8("すでに起動しているくう・めも(ﾌﾟﾛｾｽ番号 %1、ｺﾝﾋﾟｭｰﾀ名 %2)が"
                               "応答しません。\r\nこのくう・めもをそのまま起動します。")
                                .arg(QCoreApplication::applicationPid())
                                .arg(QSysInfo::machineHostName()));
        QCOMPARE(told.title, u8("警告"));
        QCOMPARE(told.icon, Dialogs::Icon::Exclamation);
        QTest::qWait(200);
        QCOMPARE(handed.count(), 0);
    }

    // A lock left half-made, naming no program, by a start that ended at
    // once: the next start takes it over unasked and holds it.
    void halfMadeLockIsTakenOver() {
        TestEnv env;
        SingleInstance instance(env.folder());
        QFile lock(instance.lockFileName());
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();
        QVERIFY(!instance.handedOver({}));
        QVERIFY(Dialogs::shownMessages().isEmpty());
        qint64 pid = 0;
        QVERIFY(QLockFile(instance.lockFileName()).getLockInfo(&pid, nullptr, nullptr));
        QCOMPARE(pid, QCoreApplication::applicationPid());
    }

    // A second start on the same program folder hands its file to the
    // program running there and ends; where another program still writes
    // the learner file, both programs' answers stay in it.
    void twoProgramsOnOneFolder() {
        TestEnv env;
        // A copy of the program in the test's folder has it as its folder.
        QVERIFY(QFile::copy(KUMEMO_PROGRAM, env.path("kuMemo")));
        env.writeFile("a.kmd", questionFile({"k1", "k2"}));
        env.writeFile("b.kmd", questionFile({"k3"}));
        // A program that ended abruptly left its lock and its socket: the
        // next start takes both over.
        SingleInstance instance(env.folder());
        QProcess ended;
        ended.start("true");
        QVERIFY(ended.waitForStarted());
        const qint64 endedPid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QFile lock(instance.lockFileName());
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(endedPid) + "\nkuMemo\n" +
                   QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        QFile socket(instance.serverName());
        QVERIFY(socket.open(QIODevice::WriteOnly));
        socket.close();
        QVERIFY(!instance.handedOver({}));
        QVERIFY(Dialogs::shownMessages().isEmpty());
        frmMain window;
        connect(&instance, &SingleInstance::fileHandedOver, &window, &frmMain::openHandedFile);
        window.show();
        LearnerRecords other; // a program started before the hand-over existed
        QVERIFY(loadLearnerFile(env.path(u8("ごんべえ.kmu")), other).ok);

        const auto answer = [&window](const QString& file, int row) {
            QCOMPARE(window.document().path(), file);
            window.session().learner().store(window.lstMondai->key(row),
                                             {"     1", "     1", "", "", ""});
            QVERIFY(window.saveUserData());
        };
        window.openFile(env.path("a.kmd"));
        answer(env.path("a.kmd"), 2);
        other.add("other:k9", {"2", "5", ""});
        QVERIFY(saveLearnerFile(env.path(u8("ごんべえ.kmu")), other).ok);

        QProcess second;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", env.path("home"));
        second.setProcessEnvironment(environment);
        second.start(env.path("kuMemo"), {env.path("b.kmd")});
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 30000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        answer(env.path("b.kmd"), 1);

        const QString a = makeFileId("a.kmd"), b = makeFileId("b.kmd");
        QCOMPARE(fileBytes(env.path(u8("ごんべえ.kmu"))),
                 QByteArray("<u-" + a.toLatin1() + ":k2 value='1:1:'/>\r\n" +
                            "<u-other:k9 value='2:5:'/>\r\n" + "<u-" + b.toLatin1() +
                            ":k3 value='1:1:'/>\r\n"));

        // A handed name that leads nowhere leaves the editor's file as it is.
        window.sakusei()->show();
        window.openHandedFile(env.path("missing.kmd"));
        QCOMPARE(window.document().count(), 1);
        QVERIFY(Dialogs::shownMessages().last().text.startsWith(
            u8("指定された問題ﾌｧｲﾙが見つかりません。")));
    }
};

QTEST_MAIN(TestLearnerRecords)
#include "tst_learnerrecords.moc"
