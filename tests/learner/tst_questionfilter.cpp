#include "learner/QuestionFilter.h"
#include "platform/KeyedTable.h"

#include "support/TestEnv.h"

#include <QTest>

namespace {

// Marks A, B, C, D at levels 1, 2, 3, 10 (10 sorts before 2 as text), and
// Z at level 0.
KeyedTable marks() {
    KeyedTable table(Qt::CaseInsensitive);
    for (const auto& [level, mark] :
         {std::pair{"1", "A"}, {"2", "B"}, {"3", "C"}, {"10", "D"}, {"0", "Z"}}) {
        table.add(QString("key") + level, mark);
        table.add(QString("str") + mark, level);
    }
    return table;
}

// Rows as the main list shows them: name, then columns 2 to 6.
const QList<QStringList> Rows{
    {"never", "", "", "", "", ""},
    {"zero", "     0", "     2", "  0.0%", "A", u8("×")},
    {"quarter", "     1", "     4", " 25.0%", "B", u8("○")},
    {"half", "     1", "     2", " 50.0%", "C", u8("×")},
    {"over half", "   501", "  1000", " 50.1%", "D", ""},
    {"three quarters", "     3", "     4", " 75.0%", "Z", u8("○")},
    {"over three quarters", "   751", "  1000", " 75.1%", "E", ""},
    {"all", "     2", "     2", "100.0%", "B", u8("○")},
};

// The numbers behind a row's columns, as the learner's records hold them:
// the mark's level, none for a mark the table does not define.
RowNumbers numbersOf(const QStringList& columns2to6, const KeyedTable& table) {
    RowNumbers row;
    row.correct = numericValue(columns2to6.at(0));
    row.answered = numericValue(columns2to6.at(1));
    row.level = table.textOf("str" + columns2to6.at(3));
    row.wrongThisTime = columns2to6.at(4) == u8("×");
    return row;
}

QStringList allRows() {
    QStringList names;
    for (const QStringList& row : Rows)
        names << row.at(0);
    return names;
}

} // namespace

class TestQuestionFilter : public QObject {
    Q_OBJECT
  private slots:
    void filters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("kept");
        const QStringList all = allRows();

        QTest::newRow("random 20 of 8") << u8("ﾗﾝﾀﾞﾑに20問だけ選ぶ") << all;
        QTest::newRow("random 3") << u8("ﾗﾝﾀﾞﾑに3問") << all.mid(0, 3);
        QTest::newRow("random without number") << u8("ﾗﾝﾀﾞﾑに") << QStringList{};
        QTest::newRow("100%") << u8("正答率が100%のものだけ選ぶ") << QStringList{"all"};
        QTest::newRow("0% keeps never answered")
            << u8("正答率が0%のものだけ選ぶ") << QStringList{"never", "zero"};
        QTest::newRow("75% or less")
            << u8("正答率が75%以下のものだけ選ぶ")
            << QStringList{"never", "zero", "quarter", "half", "over half", "three quarters"};
        QTest::newRow("50% or less") << u8("正答率が50%以下のものだけ選ぶ")
                                     << QStringList{"never", "zero", "quarter", "half"};
        QTest::newRow("typed rate without %") << u8("正答率が50以下") << all;
        QTest::newRow("typed exact rate without %") << u8("正答率が50") << all;
        QTest::newRow("solved") << u8("解いたことのある問題だけ選ぶ") << all.mid(1);
        QTest::newRow("unsolved") << u8("まだ解いていない問題だけ選ぶ") << QStringList{"never"};
        QTest::newRow("wrong this time")
            << u8("今回間違えた問題だけ選ぶ") << QStringList{"zero", "half"};
        QTest::newRow("first mark") << u8("ﾏｰｸが\"A\"を選ぶ") << QStringList{"zero"};
        QTest::newRow("mark and lower") << u8("ﾏｰｸが\"B\"以下を選ぶ")
                                        << QStringList{"zero", "quarter", "three quarters", "all"};
        QTest::newRow("mark and lower compares numbers")
            << u8("ﾏｰｸが\"D\"以下を選ぶ")
            << QStringList{"zero", "quarter", "half", "over half", "three quarters", "all"};
        QTest::newRow("last mark") << u8("ﾏｰｸが\"C\"を選ぶ") << QStringList{"half"};
        QTest::newRow("unknown mark") << u8("ﾏｰｸが\"E\"を選ぶ") << all;
        QTest::newRow("mark at level 0") << u8("ﾏｰｸが\"Z\"以下を選ぶ") << all;
        QTest::newRow("typed mark without closing quote") << u8("ﾏｰｸが\"B以下") << all;
        QTest::newRow("changed item text") << u8("解いたことのある問題") << all;
    }
    void filters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, kept);
        const KeyedTable table = marks();
        const QuestionFilter parsed = parseFilter(filter, table);
        QCOMPARE(parsed.shufflesFirst(), filter.startsWith(u8("ﾗﾝﾀﾞﾑに")));
        QList<QStringList> rows = Rows;
        for (qsizetype row = rows.size(); row >= 1; --row)
            if (!keepsRow(parsed, int(row), numbersOf(rows.at(row - 1).mid(1), table), table))
                rows.removeAt(row - 1);
        QStringList names;
        for (const QStringList& row : rows)
            names << row.at(0);
        QCOMPARE(names, kept);
    }

    // The rate filters choose by the rate a row shows, also where a
    // hand-made learner file's counts show one below 0 or past the list's
    // plain digits; a figure no rate is shown as keeps nothing.
    void rateFiltersOnOddCounts_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<double>("correct");
        QTest::addColumn<double>("answered");
        QTest::addColumn<bool>("kept");
        const QString exact = u8("正答率が%1%のものだけ選ぶ");
        const QString atMost = u8("正答率が%1%以下のものだけ選ぶ");
        QTest::newRow("1 of 3 is 33.3%") << exact.arg("33") << 1.0 << 3.0 << false;
        QTest::newRow("2 of 3 at most 66%") << atMost.arg("66") << 2.0 << 3.0 << false;
        QTest::newRow("2 of 3 at most 67%") << atMost.arg("67") << 2.0 << 3.0 << true;
        QTest::newRow("leading zero") << exact.arg("050") << 1.0 << 2.0 << false;
        QTest::newRow("zero figure twice") << exact.arg("00") << 0.0 << 0.0 << false;
        QTest::newRow("blank in figure") << exact.arg(" 50") << 1.0 << 2.0 << false;
        QTest::newRow("below 0") << exact.arg("-50") << -1.0 << 2.0 << true;
        QTest::newRow("below 0, at most 0%") << atMost.arg("0") << -1.0 << 2.0 << true;
        QTest::newRow("below 0, at most -51%") << atMost.arg("-51") << -1.0 << 2.0 << false;
        QTest::newRow("very large") << exact.arg("1000000000000000") << 1e13 << 1.0 << true;
        QTest::newRow("very large, at most 100%") << atMost.arg("100") << 1e13 << 1.0 << false;
        QTest::newRow("largest plain") << exact.arg("99999999999999") << 999999999999.99 << 1.0
                                       << true;
        QTest::newRow("no answer, 0%") << exact.arg("0") << 3.0 << 0.0 << true;
        QTest::newRow("no answer, at most 0%") << atMost.arg("0") << 3.0 << 0.0 << true;
    }
    void rateFiltersOnOddCounts() {
        QFETCH(QString, filter);
        QFETCH(double, correct);
        QFETCH(double, answered);
        QFETCH(bool, kept);
        const KeyedTable table = marks();
        RowNumbers row;
        row.correct = correct;
        row.answered = answered;
        QCOMPARE(keepsRow(parseFilter(filter, table), 1, row, table), kept);
    }

    // Counts, rates, levels and typed numbers are read by the number they
    // start with.
    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("padded count") << "     3" << 3.0;
        QTest::newRow("tab") << "\t5" << 5.0;
        QTest::newRow("rate") << " 75.1%" << 75.1;
        QTest::newRow("typed random count") << u8("10問だけ選ぶ") << 10.0;
        QTest::newRow("signs") << "-2" << -2.0;
        QTest::newRow("plus") << "+4x" << 4.0;
        QTest::newRow("second point ends") << "1.5.2" << 1.5;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("seventeen digits") << "12345678901234567" << 12345678901234567.0;
        QTest::newRow("no number") << u8("問") << 0.0;
        QTest::newRow("full-width digits are no number") << u8("５") << 0.0;
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(numericValue(text), value);
    }
    // Every rate the list can show reads as the very double the library
    // reads, so "75.0%" never lands beside the 75 of a filter.
    void ratesReadExactly() {
        for (int perMille = 0; perMille <= 1000; ++perMille) {
            const QString rate = QString::number(perMille / 10.0, 'f', 1);
            QVERIFY2(numericValue(" " + rate + "%") == rate.toDouble(), qPrintable(rate));
        }
    }
};

QTEST_MAIN(TestQuestionFilter)
#include "tst_questionfilter.moc"
