#include "platform/Random.h"
#include "session/Round.h"
#include "session/Shuffle.h"

#include "support/TestEnv.h"

#include <QTest>

class TestRound : public QObject {
    Q_OBJECT
  private slots:
    // Row i changes places with row floor(r * count) + 1, each row in turn.
    void shuffleSwapsEachRowWithTheDrawnOne_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("rows 3,1,3,2 drawn") << quint64(3) << 4 << QList<int>{2, 4, 1, 3};
        QTest::newRow("rows 4,4,4,4 drawn") << quint64(2) << 4 << QList<int>{4, 1, 2, 3};
        QTest::newRow("rows 4,4,4,1,5 drawn") << quint64(42) << 5 << QList<int>{3, 1, 2, 4, 5};
        QTest::newRow("one row") << quint64(42) << 1 << QList<int>{1};
        QTest::newRow("no rows") << quint64(42) << 0 << QList<int>{};
    }
    void shuffleSwapsEachRowWithTheDrawnOne() {
        QFETCH(quint64, seed);
        QFETCH(int, count);
        QFETCH(QList<int>, order);
        Random::seed(seed);
        QCOMPARE(shuffleOrder(count), order);
    }

    // One draw per row, also when a row stays: what follows a shuffle does
    // not depend on the order it gave.
    void shuffleDrawsOncePerRow() {
        for (int count : {1, 2, 7}) {
            Random::seed(11);
            QList<double> draws;
            for (int i = 0; i <= count; ++i)
                draws.append(Random::next());
            Random::seed(11);
            shuffleOrder(count);
            QCOMPARE(Random::next(), draws.last());
        }
    }

    void questionToShow_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<int>("row");
        const QString right = u8("○"), wrong = u8("×");
        QTest::newRow("first unanswered") << 0 << QStringList{right, "", wrong, ""} << 2;
        QTest::newRow("first row unanswered") << 0 << QStringList{"", right} << 1;
        QTest::newRow("last row unanswered") << 0 << QStringList{wrong, right, ""} << 3;
        QTest::newRow("all answered: round over") << 0 << QStringList{right, wrong} << 0;
        QTest::newRow("empty list: round over") << 0 << QStringList{} << 0;
        QTest::newRow("a given row, even answered") << 2 << QStringList{"", right} << 2;
    }
    void questionToShow() {
        QFETCH(int, n);
        QFETCH(QStringList, results);
        QFETCH(int, row);
        Round round;
        QStringList keys;
        for (qsizetype i = 0; i < results.size(); ++i)
            keys << "k" + QString::number(i + 1);
        round.setOrder(keys);
        for (qsizetype i = 0; i < results.size(); ++i)
            if (!results.at(i).isEmpty())
                round.judge(keys.at(i), results.at(i) == u8("○"));
        QCOMPARE(rowToShow(n, round), row);
    }

    // The first question without a verdict follows the verdicts, a new
    // order and a cleared round; n of N follows the shown question's place.
    void firstUnansweredFollowsTheRound() {
        Round round;
        round.setOrder({"a", "b", "c"});
        QCOMPARE(round.firstUnanswered(), 1);
        round.judge("a", true);
        round.judge("c", false);
        QCOMPARE(round.firstUnanswered(), 2);
        round.judge("b", true);
        QCOMPARE(round.firstUnanswered(), 0);
        round.setOrder({"c", "d", "b", "a"});
        QCOMPARE(round.firstUnanswered(), 2);
        round.clearResults();
        QCOMPARE(round.firstUnanswered(), 1);

        round.show("b", {});
        QCOMPARE(round.position(), 3);
        round.setOrder({"b", "a"});
        QCOMPARE(round.position(), 1);
        round.setOrder({"a", "c"});
        QCOMPARE(round.position(), 0);
        QCOMPARE(round.position(), 0);
        round.setOrder({"a", "c", "b"});
        QCOMPARE(round.position(), 3);
        // The shown question was last, and the order ends before its place.
        round.setOrder({"a", "c"});
        QCOMPARE(round.position(), 0);
    }

    void navigation_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::newRow("no current question") << 0 << 3 << 0 << 0;
        QTest::newRow("first of three") << 1 << 3 << 2 << 0;
        QTest::newRow("second of three") << 2 << 3 << 3 << 1;
        QTest::newRow("last of three") << 3 << 3 << 0 << 2;
        QTest::newRow("only row") << 1 << 1 << 0 << 0;
    }
    void navigation() {
        QFETCH(int, position);
        QFETCH(int, rows);
        QFETCH(int, next);
        QFETCH(int, previous);
        QCOMPARE(nextRow(position, rows), next);
        QCOMPARE(previousRow(position), previous);
    }

    // Answers given since the last save reach the learner file before it is
    // read again.
    void roundStartSavesBeforeReading_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("shuffleFirst");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("in list order")
            << 3 << false << true << QStringList{"lock", "clear", "save", "load", "open", "show"};
        QTest::newRow("shuffled first")
            << 3 << true << true
            << QStringList{"shuffle", "lock", "clear", "save", "load", "open", "show"};
        QTest::newRow("records not saved: kept as they are")
            << 3 << false << false << QStringList{"lock", "clear", "save", "open", "show"};
        QTest::newRow("empty list") << 0 << true << true << QStringList{};
    }
    void roundStartSavesBeforeReading() {
        QFETCH(int, rows);
        QFETCH(bool, shuffleFirst);
        QFETCH(bool, saved);
        QFETCH(QStringList, steps);
        QStringList done;
        const auto step = [&](const char* name) { return [&done, name] { done << name; }; };
        RoundStart start;
        start.shuffle = step("shuffle");
        start.lockLearner = step("lock");
        start.clearThisRound = step("clear");
        start.saveRecords = [&] {
            done << "save";
            return saved;
        };
        start.loadRecords = step("load");
        start.openAnsweringPage = step("open");
        start.showNextQuestion = step("show");
        startRound(rows, shuffleFirst, start);
        QCOMPARE(done, steps);
    }
};

QTEST_MAIN(TestRound)
#include "tst_round.moc"
