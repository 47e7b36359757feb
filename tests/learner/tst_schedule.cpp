// The schedule: FSRS-6's worked values, the questions the schedule filters
// choose and in which order, and the results window's summaries.

#include "learner/QuestionFilter.h"
#include "learner/Schedule.h"
#include "platform/KeyedTable.h"

#include "support/TestEnv.h"

#include <QTest>
#include <QTimeZone>

namespace {

const QString Id = "616262631263"; // "abc"
constexpr qint64 Day = 86400;
const QDateTime Now(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);

// A question last answered `daysAgo` days before Now, its schedule
// replayed from a log line.
QByteArray logLine(const QString& key, double daysAgo, int grade) {
    return composeAnswerLine({Now.toSecsSinceEpoch() - qint64(daysAgo * Day), Id, key, grade});
}

// A memory due `seconds` after Now: at 90 % the interval is the stability.
Memory dueIn(qint64 seconds) {
    return {5, 5, Now.toSecsSinceEpoch() + seconds - 5 * Day, 1};
}

} // namespace

class TestSchedule : public QObject {
    Q_OBJECT
  private slots:
    // Answers with the days between them: the interval after each and the
    // stability after the last (0: not checked), at 90 %.
    void workedValues_data() {
        QTest::addColumn<QList<int>>("grades");
        QTest::addColumn<QList<int>>("gaps");
        QTest::addColumn<QList<int>>("intervals");
        QTest::addColumn<double>("stability");
        QTest::newRow("one right") << QList<int>{3} << QList<int>{} << QList<int>{2} << 2.3065;
        QTest::newRow("one wrong") << QList<int>{1} << QList<int>{} << QList<int>{1} << 0.212;
        QTest::newRow("one hard") << QList<int>{2} << QList<int>{} << QList<int>{1} << 1.2931;
        QTest::newRow("one easy") << QList<int>{4} << QList<int>{} << QList<int>{8} << 8.2956;
        QTest::newRow("right, right 2 days later")
            << QList<int>{3, 3} << QList<int>{2} << QList<int>{2, 11} << 10.964;
        QTest::newRow("right, wrong 2 days later")
            << QList<int>{3, 1} << QList<int>{2} << QList<int>{2, 1} << 0.608;
        QTest::newRow("four right, each on its due day")
            << QList<int>{3, 3, 3, 3} << QList<int>{2, 11, 46} << QList<int>{2, 11, 46, 163} << 0.0;
        QTest::newRow("right, hard 2 days later")
            << QList<int>{3, 2} << QList<int>{2} << QList<int>{2, 8} << 7.5133;
        QTest::newRow("right, easy 2 days later")
            << QList<int>{3, 4} << QList<int>{2} << QList<int>{2, 19} << 18.5218;
        QTest::newRow("right, right 30 days later")
            << QList<int>{3, 3} << QList<int>{30} << QList<int>{2, 37} << 37.4206;
        QTest::newRow("wrong, right the next day")
            << QList<int>{1, 3} << QList<int>{1} << QList<int>{1, 2} << 1.8868;
        QTest::newRow("right, wrong, right a day apart each")
            << QList<int>{3, 1, 3} << QList<int>{2, 1} << QList<int>{2, 1, 2} << 2.4004;
        QTest::newRow("right twice on one day, never below")
            << QList<int>{3, 3} << QList<int>{0} << QList<int>{2, 2} << 2.3065;
        QTest::newRow("wrong twice on one day")
            << QList<int>{1, 1} << QList<int>{0} << QList<int>{1, 1} << 0.0834;
        QTest::newRow("right, wrong on one day")
            << QList<int>{3, 1} << QList<int>{0} << QList<int>{2, 1} << 0.7751;
        QTest::newRow("easy for decades, at most 100 years")
            << QList<int>{4, 4, 4, 4, 4, 4, 4, 4, 4}
            << QList<int>{3650, 3650, 3650, 3650, 3650, 3650, 3650, 3650}
            << QList<int>{8, 450, 5530, 15261, 24882, 34118, 36500, 36500, 36500} << 36500.0;
    }
    void workedValues() {
        QFETCH(QList<int>, grades);
        QFETCH(QList<int>, gaps);
        QFETCH(QList<int>, intervals);
        QFETCH(double, stability);
        Memory memory;
        qint64 time = Now.toSecsSinceEpoch();
        QList<int> after;
        for (qsizetype i = 0; i < grades.size(); ++i) {
            // Gaps are whole days and a few hours, which count for nothing.
            if (i > 0)
                time += gaps.at(i - 1) * Day + 3 * 3600;
            memory = afterAnswer(memory, time, grades.at(i));
            after << intervalDays(memory.stability, DefaultRetention);
        }
        QCOMPARE(after, intervals);
        if (stability > 0)
            QVERIFY2(qAbs(memory.stability - stability) < 0.0005,
                     qPrintable(QString::number(memory.stability)));
    }

    // The interval is when recall falls to the retention asked for.
    void intervals_data() {
        QTest::addColumn<double>("stability");
        QTest::addColumn<double>("retention");
        QTest::addColumn<int>("days");
        QTest::newRow("90 %: the stability, rounded") << 1.6 << 0.9 << 2;
        QTest::newRow("90 %, rounded down") << 1.4 << 0.9 << 1;
        QTest::newRow("at least a day") << 0.212 << 0.9 << 1;
        QTest::newRow("97 %") << 10.0 << 0.97 << 2;
        QTest::newRow("80 %") << 100.0 << 0.8 << 332;
        QTest::newRow("70 %") << 10.0 << 0.7 << 93;
        QTest::newRow("at most 100 years") << 36500.0 << 0.7 << 36500;
    }
    void intervals() {
        QFETCH(double, stability);
        QFETCH(double, retention);
        QFETCH(int, days);
        QCOMPARE(intervalDays(stability, retention), days);
        QVERIFY(qAbs(recall(stability, stability) - 0.9) < 1e-12);
    }

    // A log with answers of 10 days, 3 days and 1 day ago, questions with
    // counts from before the log, and questions never answered. Recall
    // now: wrong a day ago 0.766, right 10 days ago 0.774, right 3 days
    // ago 0.881, right a day ago 0.947.
    void scheduleFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<double>("retention");
        QTest::addColumn<QStringList>("chosen");
        const QStringList due{"wrongYesterday", "tenDays", "alsoThreeDays", "threeDays"};
        QTest::newRow("due, least likely first")
            << u8("復習の時期が来た問題だけ選ぶ") << 0.9 << due;
        QTest::newRow("due and 20 new")
            << u8("復習と新しい問題20問を選ぶ") << 0.9
            << due + QStringList{"n1", "n2", "zeroCounts", "n3", "n4", "n5", "n6"};
        QTest::newRow("due and 5 new typed")
            << u8("復習と新しい問題5問を選ぶ") << 0.9
            << due + QStringList{"n1", "n2", "zeroCounts", "n3", "n4"};
        QTest::newRow("due and no number") << u8("復習と新しい問題") << 0.9 << due;
        QTest::newRow("80 %: fewer due") << u8("復習の時期が来た問題だけ選ぶ") << 0.8
                                         << QStringList{"wrongYesterday", "tenDays"};
        QTest::newRow("97 %: more due")
            << u8("復習の時期が来た問題だけ選ぶ") << 0.97 << due + QStringList{"oneDay"};
        QTest::newRow("changed item text keeps the list")
            << u8("復習の時期が来た問題") << 0.9 << QStringList();
        QTest::newRow("another filter keeps the list")
            << u8("ﾗﾝﾀﾞﾑに20問だけ選ぶ") << 0.9 << QStringList();
    }
    void scheduleFilters() {
        QFETCH(QString, filter);
        QFETCH(double, retention);
        QFETCH(QStringList, chosen);
        const QStringList keys{"n1",         "tenDays",   "counted", "alsoThreeDays",
                               "n2",         "threeDays", "oneDay",  "wrongYesterday",
                               "zeroCounts", "n3",        "n4",      "n5",
                               "n6"};
        const AnswerLogRead log = readAnswerLog(
            logLine("threeDays", 3, Grade::Right) + logLine("tenDays", 10, Grade::Right) +
                logLine("oneDay", 1, Grade::Right) + logLine("wrongYesterday", 1, Grade::Wrong) +
                logLine("alsoThreeDays", 3, Grade::Right) + logLine("lineOnly", 10, Grade::Right),
            Id);
        LearnerRecords records;
        records.add(recordKey(Id, "counted"), {"2", "4", ""});
        records.add(recordKey(Id, "zeroCounts"), {"0", "0", ""});
        records.add(recordKey("4142C383", "n1"), {"1", "1", ""});
        const QStringList kept =
            chooseBySchedule(parseFilter(filter, KeyedTable()), keys, replaySchedules(log), records,
                             Id, Now, retention);
        QCOMPARE(kept, chosen.isEmpty() ? keys : chosen);
    }

    // The forecast counts each question on the day, in now's time zone, its
    // due time falls on; those already due count today.
    void forecast_data() {
        QTest::addColumn<int>("zoneHours");
        QTest::addColumn<QList<qint64>>("dueInSeconds");
        QTest::addColumn<QList<int>>("days");
        QTest::newRow("UTC") << 0 << QList<qint64>{-2 * Day,  5 * 3600, 15 * 3600 - 1,
                                                   15 * 3600, 29 * Day, 30 * Day - 9 * 3600,
                                                   40 * Day}
                             << QList<int>{0, 0, 0, 1, 29};
        QTest::newRow("Tokyo") << 9 << QList<qint64>{15 * 3600 - 1, 15 * 3600} << QList<int>{0, 1};
    }
    void forecast() {
        QFETCH(int, zoneHours);
        QFETCH(QList<qint64>, dueInSeconds);
        QFETCH(QList<int>, days);
        // At 9:00 in the zone: in Tokyo, 0:00 UTC.
        const QDateTime now(QDate(2026, 12, 8), QTime(9, 0), QTimeZone(zoneHours * 3600));
        Schedules schedules;
        QStringList keys{"never answered"};
        for (qsizetype i = 0; i < dueInSeconds.size(); ++i) {
            keys << "q" + QString::number(i);
            schedules.insert(keys.last(), dueIn(dueInSeconds.at(i) - zoneHours * 3600));
        }
        QVector<int> expected(30, 0);
        for (const int day : days)
            ++expected[day];
        QCOMPARE(dueForecast(keys, schedules, now, DefaultRetention), expected);
    }

    // Recall at this moment, of the answered questions only.
    void meanRecallNow() {
        const qint64 now = Now.toSecsSinceEpoch();
        const Schedules schedules{{"at stability", {2, 5, now - 2 * Day, 1}},
                                  {"just now", {10, 5, now, 1}},
                                  {"clock turned back", {10, 5, now + Day, 1}}};
        QCOMPARE(meanRecall({"at stability", "just now", "never"}, schedules, Now).value(), 0.95);
        QCOMPARE(meanRecall({"clock turned back"}, schedules, Now).value(), 1.0);
        QVERIFY(!meanRecall({"never"}, schedules, Now).has_value());
    }
};

QTEST_MAIN(TestSchedule)
#include "tst_schedule.moc"
