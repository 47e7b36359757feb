// What the results window shows, computed from the open file's questions,
// the learners' files and the round log.
#include "formats/RoundLog.h"
#include "learner/Results.h"
#include "learner/Statistics.h"
#include "platform/AtomicFile.h"
#include "platform/Codepage.h"
#include "platform/KeyedTable.h"

#include "support/TestEnv.h"

#include <QLockFile>
#include <QTest>

#include <future>

namespace {
const QString Id = "616262631263"; // "abc"

QVector<QuestionEntry> questions(int count) {
    QVector<QuestionEntry> entries;
    for (int q = 1; q <= count; ++q)
        entries.append({"q" + QString::number(q), "Question " + QString::number(q), {}});
    return entries;
}

// "q1=correct:answered:level" per record of this file; "other:…" for another.
LearnerRecords records(const QStringList& rows, const QString& fileId = Id) {
    LearnerRecords table;
    for (const QString& row : rows) {
        const QStringList parts = row.split('=');
        const QStringList fields = parts.value(1).split(':');
        table.add(recordKey(fileId, parts.first()),
                  {fields.value(0), fields.value(1), fields.value(2)});
    }
    return table;
}

QByteArray learnerFile(const QStringList& rows, const QString& fileId = Id) {
    return composeLearnerFile(records(rows, fileId));
}

KeyedTable twoMarks() {
    KeyedTable table(Qt::CaseInsensitive);
    table.add("key1", "A");
    table.add("strA", "1");
    table.add("key2", "B");
    table.add("strB", "2");
    return table;
}

QList<int> histogram(const LearnerResults& r) {
    return QList<int>(r.histogram.begin(), r.histogram.end());
}

// "name|answered|solved|rate" per learner, the reason for one not read.
QStringList learnerRows(const ClassResults& results) {
    QStringList rows;
    for (const QStringList& row : classLearnerTable(results).rows)
        rows << row.join('|');
    return rows;
}

const QDateTime Evening(QDate(2026, 12, 7), QTime(18, 30, 5));
} // namespace

class TestResults : public QObject {
    Q_OBJECT
  private slots:
    // Counts, the rate bins at their edges, marks and the hardest questions
    // of one learner over a file of six questions.
    void learner_data() {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QList<int>>("counts"); // never answered, answered, solved
        QTest::addColumn<QList<int>>("bins");
        QTest::addColumn<QList<int>>("marks"); // A, B, none
        QTest::addColumn<QStringList>("hardest");
        QTest::newRow("nothing answered")
            << QStringList{} << QList<int>{6, 0, 0} << QList<int>(10, 0) << QList<int>{0, 0, 6}
            << QStringList{};
        QTest::newRow("edges 0.0, 9.9, 10.0, 100.0")
            << QStringList{"q1=0:3:1", "q2=99:1000:", "q3=1:10:2", "q4=5:5:2"}
            << QList<int>{2, 4, 3} << QList<int>{2, 1, 0, 0, 0, 0, 0, 0, 0, 1}
            << QList<int>{1, 2, 3}
            << QStringList{"q1|     0|     3|  0.0%", "q2|    99|  1000|  9.9%",
                           "q3|     1|    10| 10.0%", "q4|     5|     5|100.0%"};
        QTest::newRow("rounding to one decimal: 9.95 is 10.0")
            << QStringList{"q1=199:2000:", "q2=1999:2000:"} << QList<int>{4, 2, 2}
            << QList<int>{0, 1, 0, 0, 0, 0, 0, 0, 0, 1} << QList<int>{0, 0, 6}
            << QStringList{"q1|   199|  2000| 10.0%", "q2|  1999|  2000|100.0%"};
        QTest::newRow("unanswered: answered 0 or empty, other file, no record")
            << QStringList{"q1=0:0:1", "q2=3::", "q3=1:1:", "other=1:2:"} << QList<int>{5, 1, 1}
            << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1} << QList<int>{1, 0, 5} << QStringList{};
        QTest::newRow("equal rates: the more often answered first; unknown level unmarked")
            << QStringList{"q1=1:2:7", "q2=2:4:", "q3=3:4:", "q4=1:2:"} << QList<int>{2, 4, 4}
            << QList<int>{0, 0, 0, 0, 0, 3, 0, 1, 0, 0} << QList<int>{0, 0, 6}
            << QStringList{"q2|     2|     4| 50.0%", "q1|     1|     2| 50.0%",
                           "q4|     1|     2| 50.0%", "q3|     3|     4| 75.0%"};
    }
    void learner() {
        QFETCH(QStringList, records);
        QFETCH(QList<int>, counts);
        QFETCH(QList<int>, bins);
        QFETCH(QList<int>, marks);
        QFETCH(QStringList, hardest);
        LearnerRecords table = ::records(records);
        table.add(recordKey("9999", "q1"), {"0", "9", "1"}); // another file's q1
        const LearnerResults r =
            learnerResults(questions(6), table, Id, {"A", "B"}, twoMarks(), 20);
        QCOMPARE(r.questions, 6);
        QCOMPARE((QList<int>{r.neverAnswered, r.answered, r.solved}), counts);
        QCOMPARE(histogram(r), bins);
        QList<int> markCounts;
        for (const MarkCount& m : r.marks)
            markCounts << m.questions;
        QCOMPARE(markCounts, marks);
        // What a listener hears of the charts: every bar with its count.
        QStringList said;
        for (int bin = 0; bin < RateBins; ++bin)
            said << QString::number(bin * 10) + u8("%～ ") + QString::number(bins[bin]) + u8("問");
        QCOMPARE(rateChartDescription(r), said.join(u8("、")));
        QCOMPARE(markChartDescription(r),
                 u8("A %1問、B %2問、なし %3問").arg(marks[0]).arg(marks[1]).arg(marks[2]));
        QStringList rows;
        const TextTable shown = hardestTable(r);
        for (int row = 0; row < shown.rows.size(); ++row)
            rows << shown.keys[row] + "|" + shown.rows[row].mid(1, 3).join('|');
        QCOMPARE(rows, hardest);
    }

    // A file of many questions: each is found among the others, also those
    // whose keys share a place in the index.
    void manyQuestions() {
        TestEnv env;
        QStringList rows;
        for (int q = 1; q <= 3000; ++q)
            rows << QString("q%1=%2:2:").arg(q).arg(q % 3 ? 1 : 2);
        env.writeFile("a.kmu", learnerFile(rows));
        const LearnerResults r =
            learnerResults(questions(3000), records(rows), Id, {}, twoMarks(), 5);
        QCOMPARE(r.answered, 3000);
        QCOMPARE(r.histogram[5], 2000);
        const ClassResults c = classResults(env.folder(), questions(3000), Id, "b", {});
        QCOMPARE(learnerRows(c), QStringList{"a|  3000|  3000| 66.7%"});
    }

    void binLabels() {
        QStringList labels;
        for (int bin = 0; bin < RateBins; ++bin)
            labels << rateBinLabel(bin);
        QCOMPARE(labels.first(), u8("0～"));
        QCOMPARE(labels.at(1), u8("10～"));
        QCOMPARE(labels.last(), u8("90～"));
    }

    // The class: learner files of this file and of others in one folder, a
    // damaged one and one that cannot be opened; the current learner's
    // records from memory.
    void classOfAFolder() {
        TestEnv env;
        env.writeFile(u8("あい.kmu"), learnerFile({"q1=1:2:", "q2=3:3:"}));
        env.writeFile("bob.kmu", learnerFile({"q1=0:4:"}) + learnerFile({"q2=9:9:"}, "9999"));
        env.writeFile("carol.kmu", learnerFile({"q2=9:9:"}, "9999")); // another file only
        env.writeFile("dave.kmu", QByteArray("\x00\x01garbage\r\n", 11));
        env.writeFile("erin.kmu", "not a learner file\r\n");
        env.writeFile("fay.kmu", "junk\r\n" + learnerFile({"q3=1:1:"})); // a bad line
        env.writeFile(u8("ごんべえ.kmu"), learnerFile({"q3=0:1:"}));
        QDir(env.folder()).mkdir("folder.kmu");
        const ClassResults c = classResults(env.folder(), questions(4), Id, u8("ごんべえ"),
                                            records({"q3=1:2:", "q4=2:2:"}));
        QCOMPARE(learnerRows(c),
                 (QStringList{"bob|     1|     0|  0.0%",
                              u8("dave　(読めません: 回答者ﾃﾞｰﾀﾌｧｲﾙとして読めません)|||"),
                              u8("erin　(読めません: 回答者ﾃﾞｰﾀﾌｧｲﾙとして読めません)|||"),
                              "fay|     1|     1|100.0%", u8("あい|     2|     2| 75.0%"),
                              u8("ごんべえ|     2|     2| 75.0%")}));
        QStringList questionRows;
        for (const QStringList& row : classQuestionTable(c).rows)
            questionRows << row.join('|');
        // The most wrong on top; of equal rates the more wrong answers.
        QCOMPARE(questionRows, (QStringList{"Question 1|     2|     1|     6| 16.7%",
                                            "Question 3|     2|     2|     3| 66.7%",
                                            "Question 2|     1|     3|     3|100.0%",
                                            "Question 4|     1|     2|     2|100.0%"}));
        QCOMPARE(fileBytes(env.path("bob.kmu")),
                 learnerFile({"q1=0:4:"}) + learnerFile({"q2=9:9:"}, "9999"));
    }

    // A lower rate goes first, even with fewer wrong answers.
    void classRateBeforeWrongAnswers() {
        TestEnv env;
        env.writeFile("a.kmu", learnerFile({"q1=1:6:", "q2=0:1:"}));
        const ClassResults c = classResults(env.folder(), questions(2), Id, "b", {});
        QStringList questionRows;
        for (const QStringList& row : classQuestionTable(c).rows)
            questionRows << row.join('|');
        QCOMPARE(questionRows, (QStringList{"Question 2|     1|     0|     1|  0.0%",
                                            "Question 1|     1|     1|     6| 16.7%"}));
    }

    void tableAsText() {
        TextTable table{{"a", "b"}, {"k"}, {{"  x\ty ", "  1\r\n2"}}};
        QCOMPARE(composeTextTable(table), QByteArray("a\tb\r\nx y\t1  2\r\n"));
        table.rows = {{u8("　問"), "  3"}};
        QCOMPARE(composeTextTable(table), u8("a\tb\r\n　問\t3\r\n").toUtf8());
    }

    // The log's lines: this file's rounds in order, other files' skipped, a
    // line it cannot read left out and counted, the first named.
    void readsRoundLog_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QStringList>("rounds");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<QString>("reason");
        const QByteArray good = composeRoundLine({Evening, Id, 8, 6});
        const QByteArray other = composeRoundLine({Evening, "9999", 3, 1});
        const QString day = "2026-12-07T18:30:05 8 6";
        QTest::newRow("rounds of this file")
            << good + other + composeRoundLine({Evening.addDays(1), Id, 10, 10})
            << QStringList{day, "2026-12-08T18:30:05 10 10"} << 0 << 0 << QString();
        QTest::newRow("lone LF, blank lines")
            << QByteArray(good).replace("\r\n", "\n") + "\n\r\n" + good << QStringList{day, day}
            << 0 << 0 << QString();
        QTest::newRow("three fields")
            << good + "2026/12/07(月) 18:30:05\tx\t3\r\n"
            << QStringList{day} << 1 << 2 << u8("項目が4つではありません");
        QTest::newRow("a damaged line among rounds")
            << good + "junk\xff\r\n" + good + "2026/12/07\r\n" + good << QStringList{day, day, day}
            << 2 << 2 << u8("項目が4つではありません");
        QTest::newRow("no weekday")
            << other + other + QByteArray("2026/12/07 18:30:05\t616262631263\t1\t1\r\n")
            << QStringList{} << 1 << 3 << u8("日時が読めません");
        QTest::newRow("no such day")
            << Codepage::encode(u8("2026/02/30(月) 18:30:05\t616262631263\t1\t1\r\n"))
            << QStringList{} << 1 << 1 << u8("日時が読めません");
        QTest::newRow("more right than asked")
            << Codepage::encode(u8("2026/12/07(月) 18:30:05\t616262631263\t1\t2\r\n"))
            << QStringList{} << 1 << 1 << u8("問題数と正解数が読めません");
        QTest::newRow("negative count")
            << Codepage::encode(u8("2026/12/07(月) 18:30:05\t616262631263\t-1\t0\r\n"))
            << QStringList{} << 1 << 1 << u8("問題数と正解数が読めません");
        QTest::newRow("no identifier")
            << Codepage::encode(u8("2026/12/07(月) 18:30:05\t\t1\t0\r\n")) << QStringList{} << 1
            << 1 << u8("問題ﾌｧｲﾙの識別子がありません");
        QTest::newRow("binary") << QByteArray("\x00\xff\x81", 3) << QStringList{} << 1 << 1
                                << u8("項目が4つではありません");
    }
    void readsRoundLog() {
        QFETCH(QByteArray, log);
        QFETCH(QStringList, rounds);
        QFETCH(int, skipped);
        QFETCH(int, badLine);
        QFETCH(QString, reason);
        const RoundLogRead read = readRoundLog(log, Id);
        QStringList shown;
        for (const RoundEntry& r : read.rounds)
            shown
                << QString("%1 %2 %3").arg(r.when.toString(Qt::ISODate)).arg(r.asked).arg(r.right);
        QCOMPARE(shown, rounds);
        QVERIFY(!read.damaged);
        QCOMPARE(read.skipped, skipped);
        QCOMPARE(read.line, badLine);
        QCOMPARE(read.reason, reason);
    }

    // A round is added at the end; what the log held stays byte for byte,
    // damaged or not. The summary line and the last round's text agree.
    void appendsRounds_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray line =
            Codepage::encode(u8("2026/12/07(月) 18:30:05\t616262631263\t8\t6\r\n"));
        QTest::newRow("new log") << QByteArray() << line;
        QTest::newRow("after a round") << line << line + line;
        QTest::newRow("damaged kept, its end added")
            << QByteArray("junk\xff") << QByteArray("junk\xff\r\n") + line;
        QTest::newRow("lone LF kept") << QByteArray("x\n") << QByteArray("x\n") + line;
    }
    void appendsRounds() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        TestEnv env;
        const QString path = env.path(u8("ごんべえ.kmr"));
        if (!before.isEmpty())
            env.writeFile(u8("ごんべえ.kmr"), before);
        QVERIFY(appendRoundLog(path, {Evening, Id, 8, 6}).ok);
        QCOMPARE(fileBytes(path), after);
        if (QTest::currentDataTag() == QByteArray("new log")) {
            QCOMPARE(lastRoundText(loadRoundLog(path, Id)), u8("8問中 6問正解 (75.0%)"));
            QCOMPARE(lastRoundText(loadRoundLog(path, "9999")), u8("―"));
            QCOMPARE(roundSummary(8, 6), u8("今回 8問中 6問正解 (75.0%)"));
        }
    }

    // The progress chart's dates: a day once, the year when the rounds span
    // two, none crowding another where most rounds fall on one day; a round
    // without questions has the rate 0.
    // The chart's labels, and what a listener hears of the latest two rounds.
    void progressLabels_data() {
        QTest::addColumn<QList<int>>("days"); // each round's day after Evening
        QTest::addColumn<int>("asked");
        QTest::addColumn<QStringList>("labels"); // "round:date"
        QTest::addColumn<QString>("said");
        QTest::newRow("over the new year")
            << QList<int>{0, 25} << 8 << QStringList{u8("1:2026/12/7"), u8("2:2027/1/1")}
            << u8("新しい順に 2027/1/1 8問中 4問正解 (50.0%)、2026/12/7 8問中 4問正解 (50.0%)");
        QList<int> crowded(190, 0);
        for (int day = 1; day <= 10; ++day)
            crowded << day;
        QTest::newRow("most on one day")
            << crowded << 8 << QStringList{u8("1:12月7日"), u8("191:12月8日")}
            << u8("新しい順に 12月17日 8問中 4問正解 (50.0%)、12月16日 8問中 4問正解 (50.0%)");
        QTest::newRow("a day again, out of order")
            << QList<int>{0, 1, 0} << 8 << QStringList{u8("1:12月7日"), u8("2:12月8日")}
            << u8("新しい順に 12月7日 8問中 4問正解 (50.0%)、12月8日 8問中 4問正解 (50.0%)");
        QTest::newRow("no questions") << QList<int>{0} << 0 << QStringList{u8("1:12月7日")}
                                      << u8("新しい順に 12月7日 0問中 0問正解");
    }
    void progressLabels() {
        QFETCH(QList<int>, days);
        QFETCH(int, asked);
        QFETCH(QStringList, labels);
        QFETCH(QString, said);
        QVector<RoundEntry> rounds;
        for (const int day : days)
            rounds.append({Evening.addDays(day), Id, asked, asked / 2});
        const ProgressChart chart = progressChart(rounds, 8);
        QStringList shown;
        for (const RoundLabel& label : chart.labels)
            shown << QString::number(label.round) + ":" + label.text;
        QCOMPARE(shown, labels);
        QCOMPARE(chart.rates, QVector<double>(days.size(), asked ? 50 : 0));
        QCOMPARE(progressChartDescription(rounds, 2), said);
    }

    // Two programs end rounds at once: the one that comes second waits for
    // the other's line to be written, and adds its own after it.
    void roundsEndingTogether() {
        TestEnv env;
        const QString log = env.path(u8("ごんべえ.kmr"));
        const QByteArray theirs = composeRoundLine({Evening, Id, 8, 6});
        const RoundEntry ours{Evening.addSecs(1), Id, 3, 1};
        // The other program is adding its round: it holds the lock and has
        // read the log.
        QLockFile other(env.path(u8("ごんべえ.kmu.lock")));
        QVERIFY(other.tryLock(0));
        const QByteArray read = fileBytes(log);
        std::future<LearnerFileOutcome> appended =
            std::async(std::launch::async, [&] { return appendRoundLog(log, ours); });
        appended.wait_for(std::chrono::seconds(1));
        QVERIFY(writeFileAtomically(log, read + theirs));
        other.unlock();
        QVERIFY(appended.get().ok);
        QCOMPARE(fileBytes(log), theirs + composeRoundLine(ours));
    }

    // A log that exists but cannot be read is neither shown nor written.
    void unreadableLogIsNotWritten() {
        TestEnv env;
        QDir(env.folder()).mkdir("x.kmr");
        const QString path = env.path("x.kmr");
        QVERIFY(loadRoundLog(path, Id).damaged);
        QVERIFY(!appendRoundLog(path, {Evening, Id, 1, 1}).ok);
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(!loadRoundLog(env.path("missing.kmr"), Id).damaged);
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
