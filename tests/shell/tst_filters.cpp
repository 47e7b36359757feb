#include "formats/LearnerFile.h"
#include "platform/Codepage.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "session/Shuffle.h"
#include "shell/frmMain.h"

#include "support/Controls.h"
#include "support/TestEnv.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
const QStringList Keys{"k1", "k2", "k3", "k4", "k5", "k6"};

// Six questions whose learner records show, in the order of the keys:
// " 75.0%" A, " 75.1%" B, "  0.0%" C, never answered, "100.0%" without a
// mark, " 50.0%" B. Marks A, B, C have the levels 1, 2, 3.
struct Files {
    TestEnv env;
    Files() {
        env.writeFile("kuMemo-ini.txt", "Level=1:A\r\nLevel=2:B\r\nLevel=3:C\r\n");
        QString questions = "<kuMemo-data>\r\n";
        for (const QString& key : Keys)
            questions += "<Mondai key='" + key + "'><mondaibun>{\\rtf1 Q" + key +
                         "\\par}</mondaibun></Mondai>\r\n";
        env.writeFile("q.kmd", Codepage::encode(questions + "</kuMemo-data>\r\n"));
        const QString id = makeFileId("q.kmd");
        const QStringList values{"3:4:1", "751:1000:2", "0:3:3", "", "1:1:", "1:2:2"};
        QString records;
        for (int i = 0; i < Keys.size(); ++i)
            if (!values[i].isEmpty())
                records += "<u-" + id + ":" + Keys[i] + " value='" + values[i] + "'/>\r\n";
        env.writeFile(u8("ごんべえ.kmu"), Codepage::encode(records));
    }
};

// The main window with those questions open.
struct OpenList : Files {
    frmMain window;

    OpenList() {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        Dialogs::setNextFileName(env.path("q.kmd"));
        window.mnuFileOpen_Click();
    }
    QStringList keys() const {
        QStringList keys;
        for (int row = 1; row <= window.lstMondai->count(); ++row)
            keys << window.lstMondai->key(row);
        return keys;
    }
    // Clicks the header of a column (from 1).
    void clickHeader(int column) {
        QHeaderView* header = window.lstMondai->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column - 1) + 4, 4));
    }
    void filter(const QString& text) {
        window.cmbFilter->setEditText(text);
        QTest::mouseClick(window.cmdDoFilter, Qt::LeftButton);
    }
};
// Ten questions n1…n10 and an answer log, at 2026-12-08 09:00 UTC, of n1
// right 10 days ago, n2 right 3 days ago, n3 right 1 day ago, n4 wrong 10
// days ago: at 90 % n1, n2 and n4 are due.
struct ScheduleFiles {
    TestEnv env;
    ScheduleFiles() {
        QString questions = "<kuMemo-data>\r\n";
        for (int i = 1; i <= 10; ++i)
            questions += QString("<Mondai key='n%1'><mondaibun>{\\rtf1 Q%1\\par}</mondaibun>"
                                 "</Mondai>\r\n")
                             .arg(i);
        env.writeFile("q.kmd", Codepage::encode(questions + "</kuMemo-data>\r\n"));
        const QDateTime now(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
        Clock::fixForTests(now);
        const QString id = makeFileId("q.kmd");
        QByteArray log;
        const auto line = [&](int daysAgo, const char* key, int grade) {
            log += now.addDays(-daysAgo).toString(Qt::ISODate).toLatin1() + '\t' + id.toLatin1() +
                   '\t' + key + '\t' + QByteArray::number(grade) + "\r\n";
        };
        line(10, "n1", 3);
        line(3, "n2", 3);
        line(1, "n3", 3);
        line(10, "n4", 1);
        line(10, "gone", 1); // due, but deleted from the file since
        env.writeFile(u8("ごんべえ.kma"), log);
    }
    ~ScheduleFiles() { Clock::fixForTests({}); }
};

struct ScheduledList : ScheduleFiles {
    frmMain window;
    ScheduledList() {
        window.show();
        Dialogs::setNextFileName(env.path("q.kmd"));
        window.mnuFileOpen_Click();
    }
    // The keys the filter keeps, in their order.
    QStringList filter(const QString& text) {
        window.cmbFilter->setEditText(text);
        QTest::mouseClick(window.cmdDoFilter, Qt::LeftButton);
        QStringList keys;
        for (int row = 1; row <= window.lstMondai->count(); ++row)
            keys << window.lstMondai->key(row);
        return keys;
    }
};
} // namespace

class TestFilters : public QObject {
    Q_OBJECT
  private slots:
    // Each kind of filter keeps its rows through the window; the list is
    // counted, left unsorted, and "スタート" has the focus.
    void filterKeepsItsRows_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("kept");
        const auto row = [](const char* name, const char* filter, const QStringList& kept) {
            QTest::newRow(name) << u8(filter) << kept;
        };
        row("at most 75%: 75.0 stays, 75.1 goes", "正答率が75%以下のものだけ選ぶ",
            {"k1", "k3", "k4", "k6"});
        row("exactly 100%", "正答率が100%のものだけ選ぶ", {"k5"});
        row("exactly 0%, never answered too", "正答率が0%のものだけ選ぶ", {"k3", "k4"});
        row("solved", "解いたことのある問題だけ選ぶ", {"k1", "k2", "k3", "k5", "k6"});
        row("unsolved", "まだ解いていない問題だけ選ぶ", {"k4"});
        row("wrong this time", "今回間違えた問題だけ選ぶ", {"k2"});
        row("mark B or lower, unmarked go", "ﾏｰｸが\"B\"以下を選ぶ", {"k1", "k2", "k6"});
        row("mark C only, unmarked go", "ﾏｰｸが\"C\"を選ぶ", {"k3"});
        row("unknown mark", "ﾏｰｸが\"Z\"を選ぶ", Keys);
        row("rate without %", "正答率が75", Keys);
        row("mark without closing quote", "ﾏｰｸが\"B", Keys);
        row("no filter", "なんでも", Keys);
        row("random without a number", "ﾗﾝﾀﾞﾑに", {});
    }
    // The schedule's filters on a learner whose answer log has answers of
    // 10, 3 and 1 days ago: the questions due, least likely recalled first,
    // then as many never answered as asked for.
    void scheduleFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("due") << u8("復習の時期が来た問題だけ選ぶ") << QStringList{"n4", "n1", "n2"};
        QTest::newRow("due and five new")
            << u8("復習と新しい問題5問を選ぶ")
            << QStringList{"n4", "n1", "n2", "n5", "n6", "n7", "n8", "n9"};
    }
    void scheduleFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, kept);
        ScheduledList open;
        QCOMPARE(open.window.lblDue->text(), u8("復習 3問"));
        QCOMPARE(open.filter(filter), kept);
    }

    // "復習の目標…" sets the retention the schedule aims at, as a whole
    // percentage from 70 to 97: the due count and the due filter follow it.
    // Intervals after one answer: right 1, 4,
    // 21 days at 97, 85, 70 %; wrong 1, 1, 2 days.
    void retentionDialog_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("due");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("refused");
        const QStringList asBefore{"n4", "n1", "n2"};
        QTest::newRow("97") << "97"
                            << "0.97" << u8("復習 4問") << QStringList{"n4", "n1", "n2", "n3"}
                            << false;
        QTest::newRow("85%") << "85%"
                             << "0.85" << u8("復習 2問") << QStringList{"n4", "n1"} << false;
        QTest::newRow("full-width 70")
            << u8("７０") << "0.7" << u8("復習 1問") << QStringList{"n4"} << false;
        QTest::newRow("leading zero")
            << "085"
            << "0.85" << u8("復習 2問") << QStringList{"n4", "n1"} << false;
        QTest::newRow("many digits") << "8500000000000000000085"
                                     << "" << u8("復習 3問") << asBefore << true;
        QTest::newRow("cancelled") << ""
                                   << "" << u8("復習 3問") << asBefore << false;
        QTest::newRow("98") << "98"
                            << "" << u8("復習 3問") << asBefore << true;
        QTest::newRow("69") << "69"
                            << "" << u8("復習 3問") << asBefore << true;
        QTest::newRow("not a number") << "9O"
                                      << "" << u8("復習 3問") << asBefore << true;
        QTest::newRow("a fraction") << "0.9"
                                    << "" << u8("復習 3問") << asBefore << true;
    }
    void retentionDialog() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, due);
        QFETCH(QStringList, kept);
        QFETCH(bool, refused);
        ScheduledList open;
        Dialogs::clearRecords();
        Dialogs::setNextInput(typed);
        open.window.findChild<QAction*>("mnuSetupRetention")->trigger();
        QCOMPARE(open.window.lblDue->text(), due);
        QCOMPARE(SettingsStore::get("retention", QString()), stored);
        QList<Dialogs::Message> shown = Dialogs::shownMessages();
        QCOMPARE(shown.size(), refused ? 2 : 1);
        QCOMPARE(shown.at(0).title, u8("復習の目標"));
        QCOMPARE(shown.at(0).text, u8("思い出せる見込みがこの値まで下がった問題が復習の時期に"
                                      "なります。\n70から97までの整数(%)で入力して下さい。"));
        if (refused) {
            QCOMPARE(shown.at(1).text, u8("70から97までの整数を入力して下さい。"));
            QCOMPARE(shown.at(1).title, u8("復習の目標"));
            QCOMPARE(shown.at(1).icon, Dialogs::Icon::Exclamation);
        }
        QCOMPARE(open.filter(u8("復習の時期が来た問題だけ選ぶ")), kept);
    }

    void filterKeepsItsRows() {
        QFETCH(QString, filter);
        QFETCH(QStringList, kept);
        OpenList open;
        ListView* list = open.window.lstMondai;
        open.window.round().judge("k2", false);
        open.window.round().judge("k3", true);
        QCOMPARE(list->subItem(2, 5), u8("×"));
        open.clickHeader(1);
        QVERIFY(list->isSorted());
        open.filter(filter);
        QCOMPARE(open.keys(), kept);
        QCOMPARE(open.window.lblNum->text(), QString::number(kept.size()) + u8("件"));
        QVERIFY(!list->isSorted());
        QCOMPARE(QApplication::focusWidget(), open.window.cmdStart);
    }

    // A random filter keeps the first N rows of the program's shuffle, each
    // row with its own statistics.
    void randomKeepsTheFirstOfTheShuffle_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("kept");
        QTest::newRow("typed number") << u8("ﾗﾝﾀﾞﾑに4問") << 4;
        QTest::newRow("more than the list holds") << u8("ﾗﾝﾀﾞﾑに20問だけ選ぶ") << 6;
    }
    void randomKeepsTheFirstOfTheShuffle() {
        QFETCH(QString, filter);
        QFETCH(int, kept);
        OpenList open;
        Random::seed(11);
        const QStringList shuffled = inOrder(Keys, shuffleOrder(int(Keys.size())));
        Random::seed(11);
        open.filter(filter);
        QCOMPARE(open.keys(), shuffled.mid(0, kept));
        const int row = open.window.lstMondai->find("k2");
        QCOMPARE(statisticsColumns(open.window.lstMondai, row),
                 (QStringList{"   751", "  1000", " 75.1%", "B", ""}));
    }

    // New results joined into a list sorted by a column they change land on
    // their own questions, and the rows stay where they were.
    void joiningIntoASortedList() {
        OpenList open;
        open.clickHeader(2);
        const QStringList before = open.keys();
        for (int i = 0; i < Keys.size(); ++i)
            open.window.session().learner().store(Keys[i],
                                                  {QString::number(9 - i), "9", "", "", ""});
        QCOMPARE(open.keys(), before);
        for (int i = 0; i < Keys.size(); ++i)
            QCOMPARE(open.window.lstMondai->subItem(open.window.lstMondai->find(Keys[i]), 1),
                     "     " + QString::number(9 - i));
    }

    // "ﾗﾝﾀﾞﾑ順" moves whole rows: key, text and columns together.
    void shuffleMovesWholeRows() {
        TestEnv env;
        frmMain window;
        ListView list;
        QStringList keys;
        for (int i = 1; i <= 30; ++i) {
            keys << "k" + QString::number(i);
            const int row = list.add("t" + keys.last());
            list.setKey(row, keys.last());
            list.setSubItem(row, 1, "s" + keys.last());
        }
        Random::seed(7);
        window.shuffleListItems(&list);
        QStringList shuffled;
        for (int row = 1; row <= list.count(); ++row) {
            const QString key = list.key(row);
            shuffled << key;
            QCOMPARE(list.find(key), row);
            QCOMPARE(list.text(row), "t" + key);
            QCOMPARE(list.subItem(row, 1), "s" + key);
        }
        QVERIFY(shuffled != keys);
        shuffled.sort();
        keys.sort();
        QCOMPARE(shuffled, keys);
    }

    // Filters narrow one another; removing them brings back every question
    // in the file's order with the learner's results and no round results.
    void filtersNarrowAndRemovingThemRestores() {
        OpenList open;
        open.filter(u8("正答率が75%以下のものだけ選ぶ"));
        open.filter(u8("ﾏｰｸが\"B\"以下を選ぶ"));
        QCOMPARE(open.keys(), (QStringList{"k1", "k6"}));
        open.window.round().judge("k1", false);
        open.clickHeader(1);
        open.clickHeader(1);
        QTest::mouseClick(open.window.cmdFilterOff, Qt::LeftButton);
        QCOMPARE(open.keys(), Keys);
        QCOMPARE(open.window.lblNum->text(), u8("6件"));
        QVERIFY(!open.window.lstMondai->isSorted());
        QCOMPARE(statisticsColumns(open.window.lstMondai, 1),
                 (QStringList{"     3", "     4", " 75.0%", "A", ""}));
        QCOMPARE(statisticsColumns(open.window.lstMondai, 2),
                 (QStringList{"   751", "  1000", " 75.1%", "B", ""}));
    }

    // Enter in the filter box runs the filter the learner typed, as typed;
    // once the focus has left the box, Enter starts the round again.
    void enterInTheFilterBoxRunsTheFilter() {
        OpenList open;
        QSignalSpy started(open.window.cmdStart, &QPushButton::clicked);
        QComboBox* box = open.window.cmbFilter;
        box->setFocus();
        box->clearEditText();
        typeText(box, u8("ﾗﾝﾀﾞﾑに"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(open.keys(), QStringList());
        QCOMPARE(started.size(), 0);
        QTest::keyClick(open.window.lstMondai, Qt::Key_Return);
        QCOMPARE(started.size(), 1);
    }

    // A filter chosen from the box's open list with the keyboard is only
    // chosen: Enter there starts no round. The next Enter runs it.
    void choosingFromTheOpenList() {
        OpenList open;
        QSignalSpy started(open.window.cmdStart, &QPushButton::clicked);
        QComboBox* box = open.window.cmbFilter;
        box->setFocus(Qt::MouseFocusReason);
        box->showPopup();
        QAbstractItemView* list = box->view();
        QTRY_VERIFY(list->isVisible());
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(box->currentText(), u8("ﾗﾝﾀﾞﾑに10問だけ選ぶ"));
        QCOMPARE(started.size(), 0);
        QCOMPARE(open.keys(), Keys);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(started.size(), 0);
        QCOMPARE(open.keys().size(), 6);
        QVERIFY(open.keys() != Keys);
    }

    // A column is sorted ascending by its text, a second click turns it
    // around, and another column starts ascending again.
    void columnClicksSort_data() {
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QStringList>("order");
        const QStringList byRate{"k4", "k3", "k6", "k1", "k2", "k5"};
        QStringList byRateDown = byRate;
        std::reverse(byRateDown.begin(), byRateDown.end());
        QTest::newRow("rate") << QList<int>{4} << byRate;
        QTest::newRow("rate twice") << QList<int>{4, 4} << byRateDown;
        QTest::newRow("rate three times") << QList<int>{4, 4, 4} << byRate;
        QTest::newRow("rate twice, then answered")
            << QList<int>{4, 4, 3} << QStringList{"k4", "k5", "k6", "k3", "k1", "k2"};
        QTest::newRow("question after rate") << QList<int>{4, 1} << Keys;
    }
    void columnClicksSort() {
        QFETCH(QList<int>, columns);
        QFETCH(QStringList, order);
        OpenList open;
        for (const int column : columns)
            open.clickHeader(column);
        QCOMPARE(open.keys(), order);
    }
};

QTEST_MAIN(TestFilters)
#include "tst_filters.moc"
