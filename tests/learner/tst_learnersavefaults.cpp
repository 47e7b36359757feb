// Saving the learner file when the disk says no: a read-only folder, a full
// file system, the program killed in the middle of writing a large file.
// Afterwards the old file or the new one is there whole, never a torn one,
// and the save says why it failed.

#include "formats/LearnerFile.h"
#include "formats/RoundLog.h"

#include "support/SaveFaults.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QTest>

namespace {

bool ownMounts = false;

// `count` records of one question file, each answered `answered` times.
LearnerRecords manyRecords(int count, const QString& answered) {
    LearnerRecords records;
    for (int i = 0; i < count; ++i)
        records.add(recordKey("616262631263", "q" + QString::number(100000 + i)),
                    {"1", answered, "2"});
    return records;
}

// The child process: the program reads the learner's large file, adds one
// record and saves it under the same name, until it is killed.
int saveLargeFile(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    LearnerRecords records;
    if (!loadLearnerFile(path, records).ok)
        return 1;
    records.add(recordKey("616262631263", "added"), {"1", "1", ""});
    return saveLearnerFile(path, records).ok ? 0 : 1;
}

} // namespace

class TestLearnerSaveFaults : public QObject {
    Q_OBJECT
  private slots:
    // The learner file, and the round log beside it, which a round's end
    // adds a line to.
    void refusedSave_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("roundLog");
        QTest::addColumn<QString>("reason"); // %1 is the path
        QTest::newRow("read-only folder") << true << false << "Existing file %1 is not writable";
        QTest::newRow("full disk") << false << false << "No space left on device";
        QTest::newRow("round log, read-only folder")
            << true << true << "Existing file %1 is not writable";
        QTest::newRow("round log, full disk") << false << true << "No space left on device";
    }
    void refusedSave() {
        QFETCH(bool, readOnly);
        QFETCH(bool, roundLog);
        QFETCH(QString, reason);
        if (!ownMounts)
            QSKIP("this machine lets the test mount no file system of its own");
        TestEnv env;
        const QString folder = env.path("disk");
        SmallFileSystem disk(folder, "1m");
        QVERIFY(disk.mounted());
        const QString name = u8(roundLog ? "ごんべえ.kmr" : "ごんべえ.kmu");
        const QString path = folder + "/" + name;
        // A log of 600 kB: a second copy of it does not fit beside it.
        const RoundEntry round{QDateTime(QDate(2026, 12, 7), QTime(18, 30)), "616262631263", 8, 6};
        LearnerRecords few = manyRecords(10, "1");
        if (roundLog)
            env.writeFile("disk/" + name, composeRoundLine(round).repeated(15000));
        else
            QVERIFY(saveLearnerFile(path, few).ok);
        const QByteArray old = fileBytes(path);
        QVERIFY(!old.isEmpty());
        if (readOnly)
            QVERIFY(disk.makeReadOnly());

        // About 4 MB: far more than the disk holds.
        LearnerRecords many = manyRecords(100000, "2");
        const LearnerFileOutcome saved =
            roundLog ? appendRoundLog(path, round) : saveLearnerFile(path, many);
        QVERIFY(!saved.ok);
        QCOMPARE(saved.path, path);
        QCOMPARE(saved.reason, QString(reason).replace("%1", path));
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    void killedWhileSavingALargeFile() {
        TestEnv env;
        const QString folder = env.path("large");
        QDir().mkpath(folder);
        const QString path = folder + "/" + u8("ごんべえ.kmu");
        LearnerRecords records = manyRecords(100000, "1");
        const QByteArray old = composeLearnerFile(records);
        records.add(recordKey("616262631263", "added"), {"1", "1", ""});
        const QByteArray added = composeLearnerFile(records);

        // The save is over in a moment; a few tries catch it in the middle.
        bool caught = false;
        for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
            env.writeFile("large/" + u8("ごんべえ.kmu"), old);
            const ChildSave end =
                killWhileWriting({"--save-learner-file", path}, folder, env.folder());
            QVERIFY(end != ChildSave::Failed);
            caught = end == ChildSave::Killed;

            // Old or new, the file is whole.
            const QByteArray now = fileBytes(path);
            QVERIFY(now == old || now == added);
        }
        QVERIFY2(caught, "the save was never caught in the middle");
    }
};

int main(int argc, char** argv) {
    ownMounts = enterOwnMountNamespace();
    if (argc == 3 && qstrcmp(argv[1], "--save-learner-file") == 0)
        return saveLargeFile(argc, argv);
    QCoreApplication application(argc, argv);
    TestLearnerSaveFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_learnersavefaults.moc"
