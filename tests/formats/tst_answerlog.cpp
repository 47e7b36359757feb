// The answer log "<learner>.kma": each line as written, byte for byte; a log
// read tolerantly, per question in time order; lines appended and never
// rewritten, also by two programs at once.

#include "formats/AnswerLog.h"
#include "learner/Learners.h"

#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

namespace {

const QString Id = "616262631263"; // "abc"

qint64 utc(const char* iso) {
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toSecsSinceEpoch();
}

// "key 2026-12-08T01:20:33Z 3" per answer, questions in the order of their
// first lines, each oldest first.
QStringList answersOf(const AnswerLogRead& read) {
    QStringList lines;
    for (const QuestionAnswers& question : read.questions)
        for (const LoggedAnswer& answer : question.answers)
            lines << question.key + ' ' +
                         QDateTime::fromSecsSinceEpoch(answer.time, Qt::UTC).toString(Qt::ISODate) +
                         ' ' + QString::number(answer.grade);
    return lines;
}

QByteArray line(const char* time, const char* key, char grade,
                const char* fileId = "616262631263") {
    return QByteArray(time) + '\t' + fileId + '\t' + key + '\t' + grade + "\r\n";
}

// The child process: appends `count` answers to question `key` of the
// learner's log once the file "go" is there, so that the two children
// append at the same time.
int appendAnswers(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString key = QString::fromLocal8Bit(argv[3]);
    const int count = QByteArray(argv[4]).toInt();
    QDeadlineTimer patience(10000);
    while (!QFile::exists(folder + "go") && !patience.hasExpired())
        QThread::msleep(1);
    for (int i = 0; i < count; ++i)
        if (!logAnswer(
                 folder, u8("ごんべえ"),
                 {utc("2026-12-08T01:00:00Z") + i, Id, key, i % 2 ? Grade::Right : Grade::Wrong})
                 .ok)
            return 1;
    return 0;
}

} // namespace

class TestAnswerLog : public QObject {
    Q_OBJECT
  private slots:
    // Each line as written, and read back as itself; answers no line can
    // hold are refused.
    void composedLines_data() {
        QTest::addColumn<qint64>("time");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("grade");
        QTest::addColumn<QByteArray>("bytes");
        const qint64 evening = utc("2026-12-08T01:20:33Z");
        QTest::newRow("right") << evening << "aB3xZ" << 3
                               << QByteArray("2026-12-08T01:20:33Z\t616262631263\taB3xZ\t3\r\n");
        QTest::newRow("wrong") << evening << "aB3xZ" << 1
                               << line("2026-12-08T01:20:33Z", "aB3xZ", '1');
        QTest::newRow("imported hard")
            << evening << "k" << 2 << line("2026-12-08T01:20:33Z", "k", '2');
        QTest::newRow("imported easy")
            << evening << "k" << 4 << line("2026-12-08T01:20:33Z", "k", '4');
        QTest::newRow("before 1970")
            << qint64(-1) << "k" << 3 << line("1969-12-31T23:59:59Z", "k", '3');
        QTest::newRow("first moment of year 1")
            << utc("0001-01-01T00:00:00Z") << "k" << 3 << line("0001-01-01T00:00:00Z", "k", '3');
        QTest::newRow("last moment of year 9999")
            << utc("9999-12-31T23:59:59Z") << "k" << 3 << line("9999-12-31T23:59:59Z", "k", '3');
        QTest::newRow("key with a blank")
            << evening << "a b" << 3 << line("2026-12-08T01:20:33Z", "a b", '3');
        QTest::newRow("year 10000") << utc("9999-12-31T23:59:59Z") + 1 << "k" << 3 << QByteArray();
        QTest::newRow("before year 1")
            << utc("0001-01-01T00:00:00Z") - 1 << "k" << 3 << QByteArray();
        QTest::newRow("grade 0") << evening << "k" << 0 << QByteArray();
        QTest::newRow("grade 5") << evening << "k" << 5 << QByteArray();
        QTest::newRow("empty key") << evening << "" << 3 << QByteArray();
        QTest::newRow("key with a tab") << evening << "a\tb" << 3 << QByteArray();
        QTest::newRow("key with a line end") << evening << "a\r\n" << 3 << QByteArray();
        QTest::newRow("key past ASCII") << evening << u8("問") << 3 << QByteArray();
    }
    void composedLines() {
        QFETCH(qint64, time);
        QFETCH(QString, key);
        QFETCH(int, grade);
        QFETCH(QByteArray, bytes);
        QCOMPARE(composeAnswerLine({time, Id, key, grade}), bytes);
        if (bytes.isEmpty())
            return;
        const AnswerLogRead read = readAnswerLog(bytes, Id);
        QCOMPARE(read.damagedLines, 0);
        QCOMPARE(read.questions.size(), 1);
        QCOMPARE(read.questions.first().key, key);
        QCOMPARE(read.questions.first().answers.size(), 1);
        QCOMPARE(read.questions.first().answers.first().time, time);
        QCOMPARE(read.questions.first().answers.first().grade, grade);
    }

    void readLog_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("damaged");
        const QByteArray a = line("2026-12-08T01:20:33Z", "k1", '3');
        const QByteArray b = line("2026-12-09T02:00:00Z", "k2", '1');
        const QStringList both{"k1 2026-12-08T01:20:33Z 3", "k2 2026-12-09T02:00:00Z 1"};
        const auto damaged = [&](const char* name, const QByteArray& bad) {
            QTest::newRow(name) << a + bad + "\r\n" + b << both << 1;
        };
        QTest::newRow("empty") << QByteArray() << QStringList{} << 0;
        QTest::newRow("two lines") << a + b << both << 0;
        QTest::newRow("empty lines are no damage") << "\r\n" + a + "\r\n\r\n" + b + "\r\n"
                                                   << both << 0;
        QTest::newRow("lone LF and lone CR end lines")
            << a.chopped(2) + "\n" + b.chopped(2) + "\r" << both << 0;
        QTest::newRow("last line without its end") << a + b.chopped(2) << both << 0;
        QTest::newRow("other files' lines left out")
            << a + line("2026-12-08T01:20:33Z", "k1", '1', "4142C383") + b << both << 0;
        damaged("a line of text", "garbage");
        damaged("three fields", "2026-12-08T01:20:33Z\t616262631263\t3");
        damaged("five fields", "2026-12-08T01:20:33Z\t616262631263\tk3\t3\t3");
        damaged("grade 0", "2026-12-08T01:20:33Z\t616262631263\tk3\t0");
        damaged("grade 5", "2026-12-08T01:20:33Z\t616262631263\tk3\t5");
        damaged("grade of two digits", "2026-12-08T01:20:33Z\t616262631263\tk3\t33");
        damaged("no grade", "2026-12-08T01:20:33Z\t616262631263\tk3\t");
        damaged("empty key", "2026-12-08T01:20:33Z\t616262631263\t\t3");
        damaged("empty file identifier", "2026-12-08T01:20:33Z\t\tk3\t3");
        damaged("key past ASCII", "2026-12-08T01:20:33Z\t616262631263\t\x96\xe2\t3");
        damaged("control character in the key", "2026-12-08T01:20:33Z\t616262631263\tk\x01\t3");
        damaged("DEL in the key", "2026-12-08T01:20:33Z\t616262631263\tk\x7f\t3");
        QTest::newRow("blank and tilde, the ends of printable ASCII")
            << line("2026-12-08T01:20:33Z", " ~", '3') << QStringList{" ~ 2026-12-08T01:20:33Z 3"}
            << 0;
        damaged("local time", "2026-12-08T01:20:33\t616262631263\tk3\t3");
        damaged("time with an offset", "2026-12-08T01:20:33+09:00\t616262631263\tk3\t3");
        damaged("date with slashes", "2026/12/08T01:20:33Z\t616262631263\tk3\t3");
        damaged("February 30", "2026-02-30T01:20:33Z\t616262631263\tk3\t3");
        damaged("hour 24", "2026-12-08T24:00:00Z\t616262631263\tk3\t3");
        damaged("minute 60", "2026-12-08T01:60:33Z\t616262631263\tk3\t3");
        damaged("second 60", "2026-12-08T01:20:60Z\t616262631263\tk3\t3");
        damaged("year 0", "0000-12-08T01:20:33Z\t616262631263\tk3\t3");
        damaged("signed month", "2026-+2-08T01:20:33Z\t616262631263\tk3\t3");
        damaged("torn by a crash", "2026-12-08T01:2");
        QTest::newRow("every damaged line counted") << "x\r\n" + a + "y\r\n" + b + "z" << both << 3;
        QTest::newRow("out of time order, sorted per question")
            << line("2026-12-10T00:00:00Z", "k1", '3') + line("2026-12-01T00:00:00Z", "k1", '1') +
                   line("2026-12-05T00:00:00Z", "k2", '3') + line("2026-12-03T00:00:00Z", "k1", '2')
            << QStringList{"k1 2026-12-01T00:00:00Z 1", "k1 2026-12-03T00:00:00Z 2",
                           "k1 2026-12-10T00:00:00Z 3", "k2 2026-12-05T00:00:00Z 3"}
            << 0;
        // A year's log is read in shares on every core: lines are cut at
        // every kind of line end, damaged and other files' lines lie
        // anywhere, and keys are numbered in the order of their first lines.
        {
            QByteArray log;
            QVector<QStringList> ofKey(100);
            int damagedLines = 0;
            const QDateTime start(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
            for (int i = 0; i < 60000; ++i) {
                const QDateTime at = start.addSecs(qint64(i) * 97);
                const QByteArray time = at.toString(Qt::ISODate).toLatin1();
                const QByteArray key = "k" + QByteArray::number(i < 100 ? 99 - i : i * 7 % 100);
                const char grade = char('1' + i % 4);
                QByteArray text;
                if (i % 997 == 500) {
                    text = "2026-13-01T00:00:00Z\t616262631263\t" + key + "\t3\r\n";
                    ++damagedLines;
                } else if (i % 501 == 250) {
                    text = line(time, key, grade, "4142C383");
                } else {
                    text = line(time, key, grade);
                    ofKey[key.mid(1).toInt()] << QString::fromLatin1(key + ' ' + time + ' ' + grade);
                }
                if (i % 3 == 1)
                    text = text.chopped(2) + "\n";
                else if (i % 3 == 2)
                    text = text.chopped(2) + "\r";
                log += text;
            }
            QStringList answers;
            for (int k = 99; k >= 0; --k)
                answers += ofKey[k];
            QTest::newRow("a year's log, read in shares") << log << answers << damagedLines;
        }
        QTest::newRow("one moment keeps the lines' order")
            << line("2026-12-10T00:00:00Z", "k1", '3') + line("2026-12-08T00:00:00Z", "k1", '4') +
                   line("2026-12-08T00:00:00Z", "k1", '1')
            << QStringList{"k1 2026-12-08T00:00:00Z 4", "k1 2026-12-08T00:00:00Z 1",
                           "k1 2026-12-10T00:00:00Z 3"}
            << 0;
    }
    void readLog() {
        QFETCH(QByteArray, log);
        QFETCH(QStringList, answers);
        QFETCH(int, damaged);
        const AnswerLogRead read = readAnswerLog(log, Id);
        QCOMPARE(answersOf(read), answers);
        QCOMPARE(read.damagedLines, damaged);
    }

    // A missing log holds nothing; one that cannot be read says why.
    void loadLog() {
        TestEnv env;
        const AnswerLogRead missing = loadAnswerLog(env.path("none.kma"), Id);
        QVERIFY(missing.ok && missing.questions.isEmpty());
        env.writeFile("a.kma", line("2026-12-08T01:20:33Z", "k1", '3'));
        QCOMPARE(answersOf(loadAnswerLog(env.path("a.kma"), Id)),
                 QStringList{"k1 2026-12-08T01:20:33Z 3"});
        QVERIFY(QDir().mkdir(env.path("folder.kma")));
        const AnswerLogRead folder = loadAnswerLog(env.path("folder.kma"), Id);
        QVERIFY(!folder.ok);
        QVERIFY(!folder.reason.isEmpty());
    }

    // What the log held stays byte for byte; a line a crash left without
    // its end is ended first, so the new one is read.
    void appendKeepsTheLog_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("separator");
        QTest::newRow("no log yet") << QByteArray() << QByteArray();
        QTest::newRow("after a whole line")
            << line("2026-12-08T01:20:33Z", "k1", '1') << QByteArray();
        QTest::newRow("after a damaged line") << QByteArray("garbage\n") << QByteArray();
        QTest::newRow("after a lone CR") << QByteArray("garbage\r") << QByteArray();
        QTest::newRow("after a line a crash cut")
            << QByteArray("2026-12-08T01:2") << QByteArray("\r\n");
    }
    void appendKeepsTheLog() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, separator);
        TestEnv env;
        const QString path = env.path(u8("ごんべえ.kma"));
        if (!before.isEmpty())
            env.writeFile(u8("ごんべえ.kma"), before);
        const AnswerLine answer{utc("2026-12-09T10:00:00Z"), Id, "k2", Grade::Right};
        QString error;
        QVERIFY(appendAnswerLine(path, answer, &error));
        QCOMPARE(fileBytes(path), before + separator + line("2026-12-09T10:00:00Z", "k2", '3'));
        QCOMPARE(answersOf(readAnswerLog(fileBytes(path), Id)).last(),
                 QString("k2 2026-12-09T10:00:00Z 3"));
    }

    void appendRefusals() {
        TestEnv env;
        const QByteArray before = line("2026-12-08T01:20:33Z", "k1", '1');
        env.writeFile("a.kma", before);
        QString error;
        QVERIFY(!appendAnswerLine(env.path("a.kma"), {utc("2026-12-09T10:00:00Z"), Id, "k2", 5},
                                  &error));
        QCOMPARE(error, u8("回答記録の1行にできない回答です"));
        QCOMPARE(fileBytes(env.path("a.kma")), before);
        error.clear();
        QVERIFY(!appendAnswerLine(env.path("missing/a.kma"),
                                  {utc("2026-12-09T10:00:00Z"), Id, "k2", 3}, &error));
        QVERIFY(!error.isEmpty());
    }

    // A history brought in goes in one append: each line with its own day,
    // also when the lines cross midnight and come back; one answer no line
    // can hold and none of them is written.
    void appendMany() {
        TestEnv env;
        const QByteArray before = line("2026-12-08T01:20:33Z", "k1", '1');
        env.writeFile("a.kma", before);
        const QVector<AnswerLine> lines{{utc("2026-12-08T23:59:59Z"), Id, "k2", Grade::Wrong},
                                        {utc("2026-12-09T00:00:00Z"), Id, "k3", Grade::Easy},
                                        {utc("2026-12-08T12:00:00Z"), Id, "k2", 2},
                                        {utc("2027-01-01T00:00:01Z"), Id, "k3", Grade::Right}};
        QString error;
        QVERIFY(!appendAnswerLines(env.path("a.kma"),
                                   lines + QVector<AnswerLine>{{0, Id, "k4", 5}}, &error));
        QCOMPARE(error, u8("回答記録の1行にできない回答です"));
        QCOMPARE(fileBytes(env.path("a.kma")), before);
        QVERIFY(appendAnswerLines(env.path("a.kma"), lines, &error));
        QCOMPARE(fileBytes(env.path("a.kma")), before + line("2026-12-08T23:59:59Z", "k2", '1') +
                                                   line("2026-12-09T00:00:00Z", "k3", '4') +
                                                   line("2026-12-08T12:00:00Z", "k2", '2') +
                                                   line("2027-01-01T00:00:01Z", "k3", '3'));
    }

    // Two programs of one learner append at the same time: every line of
    // both is there, whole.
    void twoProgramsAppendAtOnce() {
        TestEnv env;
        constexpr int Count = 100;
        QProcess first, second;
        for (auto [child, key] : {std::pair{&first, "a"}, {&second, "b"}}) {
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                         {"--append-answers", env.folder(), key, QString::number(Count)});
            QVERIFY(child->waitForStarted());
        }
        env.writeFile("go", {});
        for (QProcess* child : {&first, &second}) {
            QVERIFY(child->waitForFinished(60000));
            QCOMPARE(child->exitCode(), 0);
        }
        const AnswerLogRead read = readAnswerLog(fileBytes(env.path(u8("ごんべえ.kma"))), Id);
        QCOMPARE(read.damagedLines, 0);
        QCOMPARE(read.questions.size(), 2);
        for (const QuestionAnswers& question : read.questions) {
            QCOMPARE(question.answers.size(), Count);
            for (int i = 0; i < Count; ++i)
                QCOMPARE(question.answers.at(i).time, utc("2026-12-08T01:00:00Z") + i);
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "--append-answers") == 0)
        return appendAnswers(argc, argv);
    QCoreApplication application(argc, argv);
    TestAnswerLog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_answerlog.moc"
