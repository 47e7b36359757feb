// The results window opened from the main window on a folder of learners.
#include "formats/LearnerFile.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "shell/frmMain.h"
#include "shell/frmResults.h"

#include "support/Modal.h"
#include "support/TestEnv.h"

#include <QAccessible>
#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QValueAxis>

namespace {
QByteArray question(const QString& key) {
    return "<Mondai key='" + key.toLatin1() + "'><mondaibun>{\\rtf1 Q" + key.mid(1).toLatin1() +
           "\\par}</mondaibun></Mondai>\r\n";
}

QByteArray records(const QString& id, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += "<u-" + id.toLatin1() + ":" + line.toLatin1() + "'/>\r\n";
    return bytes;
}

// Rounds as "yyyy-MM-dd asked right", one after the other.
QVector<RoundEntry> roundsOf(const QStringList& lines) {
    QVector<RoundEntry> rounds;
    for (const QString& line : lines) {
        const QStringList f = line.split(' ');
        rounds.append({QDateTime(QDate::fromString(f[0], Qt::ISODate), QTime(18, 30)), "id",
                       f[1].toInt(), f[2].toInt()});
    }
    return rounds;
}

QStringList rows(const ListView* list) {
    QStringList shown;
    for (int row = 1; row <= list->count(); ++row) {
        QStringList cells{list->text(row)};
        for (int column = 1; column < list->columnCount(); ++column)
            cells << list->subItem(row, column).trimmed();
        shown << cells.join('|');
    }
    return shown;
}
} // namespace

class TestResultsWindow : public QObject {
    Q_OBJECT
  private slots:
    // Three learners of q.kmd, one of whom also learns another file: the
    // class table, its export, and a round of the hardest questions.
    void classOfThreeLearners() {
        TestEnv env;
        const QString id = makeFileId("q.kmd");
        env.writeFile("q.kmd", "<kuMemo-data>\r\n" + question("k1") + question("k2") +
                                   question("k3") + "</kuMemo-data>\r\n");
        env.writeFile(u8("ごんべえ.kmu"), records(id, {"k1 value='2:3:", "k2 value='0:2:"}));
        env.writeFile("alice.kmu",
                      records(id, {"k1 value='1:1:", "k2 value='1:4:", "k3 value='3:3:"}));
        env.writeFile("bob.kmu",
                      records("9999", {"k1 value='5:5:"}) + records(id, {"k3 value='0:2:"}));
        frmMain window;
        window.show();
        Dialogs::setNextFileName(env.path("q.kmd"));
        window.mnuFileOpen_Click();

        const QString exported = env.path("class.txt");
        QStringList learners, questions, hardest;
        QString counts;
        bool summaryTabbed = false;
        QString ratesSaid;
        whenModal([&](QWidget* modal) {
            auto* results = qobject_cast<frmResults*>(modal);
            learners = rows(results->lstClassLearners);
            questions = rows(results->lstClassQuestions);
            hardest = rows(results->lstHardest);
            counts = results->lblCounts->text();
            // The summary is read from the keyboard: Tab goes from the tabs to it.
            results->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(results));
            results->tabResults->tabBar()->setFocus();
            QTest::keyClick(results->tabResults->tabBar(), Qt::Key_Tab);
            summaryTabbed = results->lblCounts->hasFocus() &&
                            QAccessible::queryAccessibleInterface(results->lblCounts)
                                    ->text(QAccessible::Name) == counts;
            ratesSaid = results->chtRates->accessibleDescription();
            Dialogs::setNextFileName(exported);
            results->findChild<QAction*>("lstClassQuestionsExport")->trigger();
            Dialogs::setNextFileName(env.path("class.csv"));
            QTest::mouseClick(results->findChild<QPushButton*>("cmdClassExport"), Qt::LeftButton);
            Dialogs::setNextFileName(env.path("rates.png"));
            results->findChild<QAction*>("chtRatesExport")->trigger();
            results->tabResults->setCurrentIndex(0);
            ListView* list = results->lstHardest;
            const QRect first = list->visualRect(list->model()->index(0, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first.center());
        });
        window.findChild<QAction*>("mnuResults")->trigger();

        QCOMPARE(learners,
                 (QStringList{"alice|3|3|75.0%", "bob|1|0|0.0%", u8("ごんべえ|2|1|33.3%")}));
        QCOMPARE(questions, (QStringList{"Q2|2|1|6|16.7%", "Q3|2|3|5|60.0%", "Q1|2|3|4|75.0%"}));
        QCOMPARE(fileBytes(exported), u8("問題\t回答した人数\t正解数\t回答数\t正解率\r\n"
                                         "Q2\t2\t1\t6\t16.7%\r\nQ3\t2\t3\t5\t60.0%\r\n"
                                         "Q1\t2\t3\t4\t75.0%\r\n")
                                          .toUtf8());
        // For a spreadsheet: a row per learner, a column per question in the
        // file's order.
        QCOMPARE(fileBytes(env.path("class.csv")),
                 "\xEF\xBB\xBF" + u8("回答者,Q1,Q2,Q3\r\nalice,100.0,25.0,100.0\r\nbob,,,0.0\r\n"
                                     "ごんべえ,66.7,0.0,\r\n")
                                      .toUtf8());
        QVERIFY(QImage(env.path("rates.png")).width() > 100);
        // No answer in the log: no next review.
        QCOMPARE(hardest, (QStringList{"Q2|0|2|0.0%|", "Q1|2|3|66.7%|"}));
        QCOMPARE(counts, u8("全 3問　未回答 1問　回答済み 2問　正解したことがある 1問　前回: ―"));
        QVERIFY(summaryTabbed);
        QCOMPARE(ratesSaid.section(u8("、"), 6, 6), u8("60%～ 1問"));
        // The double-click started a round of just the hardest questions.
        QCOMPARE(window.lstMondai->count(), 2);
        QCOMPARE(window.SSTab1->currentIndex(), 1);
        QCOMPARE(window.lblPosition->text(), QString("1 / 2"));
        QCOMPARE(fileBytes(env.path("alice.kmu")),
                 records(id, {"k1 value='1:1:", "k2 value='1:4:", "k3 value='3:3:"}));
    }

    // "復習の予定": at 2026-12-08 09:00 UTC, k1 answered right 10 days ago,
    // k2 right 1 day ago, k3 right 4 and 2 days ago (due again after 11
    // days), k4 only before the log. The chart counts what falls due on each
    // of 30 days, the overdue k1 today; the label the mean recall of k1, k2
    // and k3 now (77.4 %, 94.7 %, 97.5 %); the hardest questions their next
    // review, none for k4.
    void reviewsAhead() {
        TestEnv env;
        const QString id = makeFileId("q.kmd");
        env.writeFile("q.kmd", "<kuMemo-data>\r\n" + question("k1") + question("k2") +
                                   question("k3") + question("k4") + "</kuMemo-data>\r\n");
        env.writeFile(u8("ごんべえ.kmu"),
                      records(id, {"k1 value='0:2:", "k3 value='1:2:", "k4 value='1:3:"}));
        const QDateTime now(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
        QByteArray log;
        for (const auto& [daysAgo, key] : {std::pair{10, "k1"}, {1, "k2"}, {4, "k3"}, {2, "k3"}})
            log += now.addDays(-daysAgo).toString(Qt::ISODate).toLatin1() + '\t' + id.toLatin1() +
                   '\t' + key + "\t3\r\n";
        env.writeFile(u8("ごんべえ.kma"), log);
        Clock::fixForTests(now);
        frmMain window;
        window.show();
        Dialogs::setNextFileName(env.path("q.kmd"));
        window.mnuFileOpen_Click();
        QString recall, title, said, axisTitle;
        QStringList days, hardest;
        QList<qreal> counts;
        whenModal([&](QWidget* modal) {
            auto* results = qobject_cast<frmResults*>(modal);
            QCOMPARE(results->tabResults->tabText(2), u8("復習の予定"));
            recall = results->lblRecall->text();
            QChart* chart = results->chtForecast->chart();
            title = chart->title();
            const auto* bars = qobject_cast<QBarSeries*>(chart->series().value(0));
            QVERIFY(bars);
            for (int i = 0; i < bars->barSets().value(0)->count(); ++i)
                counts << bars->barSets().value(0)->at(i);
            auto* x = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
            days = x->categories();
            axisTitle = x->titleText();
            said = results->chtForecast->accessibleDescription();
            hardest = rows(results->lstHardest);
            results->accept();
        });
        window.findChild<QAction*>("mnuResults")->trigger();
        Clock::fixForTests({});
        QCOMPARE(recall, u8("回答した問題を今思い出せる見込み: 平均 89.9%　(復習の目標 90%)"));
        QCOMPARE(title, u8("これから30日間に復習の時期が来る問題の数"));
        QList<qreal> expected(30, 0);
        expected[0] = expected[1] = expected[9] = 1;
        QCOMPARE(counts, expected);
        QCOMPARE(days.size(), 30);
        QCOMPARE(days.first(), "12/8");
        QCOMPARE(days.at(24), "1/1");
        QCOMPARE(days.last(), "1/6");
        QCOMPARE(axisTitle, u8("日付 (今日の分には時期を過ぎた問題も含みます)"));
        QCOMPARE(said, u8("12月8日 1問、12月9日 1問、12月17日 1問"));
        QCOMPARE(hardest, (QStringList{"Q1|0|2|0.0%|2026/11/30", "Q4|1|3|33.3%|",
                                       "Q3|1|2|50.0%|2026/12/17"}));
    }

    // A line of the log that cannot be read hides no other round: the chart
    // shows the rest, and the line above it says what was left out.
    void damagedLogLine() {
        TestEnv env;
        ResultsData data;
        data.learner.marks = {{QString(), 0}};
        data.roundLogPath = env.path(u8("ごんべえ.kmr"));
        const QByteArray round =
            composeRoundLine({QDateTime(QDate(2026, 12, 7), QTime(18, 30)), "id", 8, 6});
        data.rounds = readRoundLog(round + "junk\r\n" + round, "id");
        frmResults window(data);
        QCOMPARE(window.lblRounds->text(),
                 u8("2回の記録 (") + data.roundLogPath +
                     u8(")　(読めない1行を除きました。2行目: 項目が4つではありません)"));
        const auto* series =
            qobject_cast<QLineSeries*>(window.chtProgress->chart()->series().value(0));
        QVERIFY(series);
        QCOMPARE(series->count(), 2);
    }

    // "成績の推移" draws each round's rate, so that a short round is no fall,
    // with each day's date once under its first round, no more of them than
    // fit side by side.
    void progressChart_data() {
        QTest::addColumn<QStringList>("rounds");
        QTest::addColumn<QList<qreal>>("rates");
        QTest::addColumn<QStringList>("labels"); // "round:date"
        QTest::newRow("one round")
            << QStringList{"2026-12-07 8 6"} << QList<qreal>{75} << QStringList{u8("1:12月7日")};
        QTest::newRow("a short round on the same day")
            << QStringList{"2026-12-07 10 8", "2026-12-07 4 4", "2026-12-08 10 5"}
            << QList<qreal>{80, 100, 50} << QStringList{u8("1:12月7日"), u8("3:12月8日")};
        QStringList many;
        QList<qreal> manyRates;
        for (int day = 0; day < 200; ++day) {
            many << QDate(2026, 1, 1).addDays(day).toString(Qt::ISODate) + " 20 " +
                        QString::number(day % 21);
            manyRates << (day % 21) * 5;
        }
        QTest::newRow("200 rounds, one a day")
            << many << manyRates
            << QStringList{u8("1:1月1日"),    u8("26:1月26日"),  u8("51:2月20日"),
                           u8("76:3月17日"),  u8("101:4月11日"), u8("126:5月6日"),
                           u8("151:5月31日"), u8("176:6月25日")};
    }
    void progressChart() {
        QFETCH(QStringList, rounds);
        QFETCH(QList<qreal>, rates);
        QFETCH(QStringList, labels);
        TestEnv env;
        ResultsData data;
        data.learner.marks = {{QString(), 0}}; // the questions without a mark, always there
        data.rounds.rounds = roundsOf(rounds);
        frmResults window(data);
        QChart* chart = window.chtProgress->chart();
        QCOMPARE(chart->title(), u8("回ごとの正解率"));
        const auto* series = qobject_cast<QLineSeries*>(chart->series().value(0));
        QVERIFY(series);
        QList<qreal> shownRates;
        const QList<QPointF> points = series->points();
        for (int i = 0; i < points.size(); ++i) {
            QCOMPARE(points[i].x(), i + 1);
            shownRates << points[i].y();
        }
        QCOMPARE(shownRates, rates);
        // A round alone is a point, drawn as one.
        QVERIFY(series->pointsVisible());
        const auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
        QCOMPARE(y->titleText(), u8("正解率(%)"));
        // 0, 20, … 100: whole numbers, as the labels show them.
        QCOMPARE(QPointF(y->min(), y->max()), QPointF(0, 100));
        QCOMPARE(y->tickCount(), 6);
        auto* x = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
        QStringList shownLabels;
        for (const QString& label : x->categoriesLabels())
            shownLabels << QString::number(x->endValue(label)) + ":" + label;
        QCOMPARE(shownLabels, labels);
        QVERIFY(
            window.lblRounds->text().startsWith(QString::number(rounds.size()) + u8("回の記録 (")));
        // A listener hears the latest ten rounds.
        QCOMPARE(window.chtProgress->accessibleDescription().count(u8("問正解")),
                 std::min(int(rounds.size()), 10));
    }
};

QTEST_MAIN(TestResultsWindow)
#include "tst_resultswindow.moc"
