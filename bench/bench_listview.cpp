// The list view with many rows: 10,000 and 50,000 rows of six columns with
// keys, as in the main window's question list. Each operation is timed on a
// shown list, with the events it leaves pending (layout, painting) run, and
// beside it the least the same work can cost on plain containers.

#include "platform/ListView.h"
#include "platform/Texts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QString keyOf(int index) {
    static const QString alphabet =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QString key;
    for (int i = 0; i < 5; ++i) {
        key += alphabet[index % 62];
        index /= 62;
    }
    return key;
}

QString padded(int number) {
    return QString::number(number).rightJustified(6, ' ');
}

// Question texts, counts, rate, mark and this round's result.
QVector<ListRowData> makeRows(int count) {
    const QStringList words{u("日本の首都は"), u("次の英単語の意味を選べ："),
                            u("ｶﾀｶﾅ"),         u("光合成で作られるのは"),
                            u("apple"),        u("Tokyo"),
                            u("元素記号")};
    QVector<ListRowData> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int mix = int((i * 7919LL) % count);
        const QString question = words[mix % words.size()] + QString::number(mix) +
                                 words[(mix / 7) % words.size()] + u("ですか？");
        const int answered = mix % 40;
        const int right = answered / 3;
        rows.append({keyOf(i),
                     {question, padded(right), padded(answered),
                      padded(answered ? right * 100 / answered : 0), u("★").repeated(mix % 4),
                      mix % 3 ? u("○") : u("×")}});
    }
    return rows;
}

struct Timing {
    const char* what;
    double list = 1e30;  // ms
    double bound = 1e30; // ms
};

double timeOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// The list's own work and then whatever it left for the event loop.
double timeShown(const std::function<void()>& work) {
    return timeOf([&] {
        work();
        QApplication::processEvents();
    });
}

std::vector<Timing> run(const QVector<ListRowData>& rows) {
    std::vector<Timing> t{{"batch append"},
                          {"find every key"},
                          {"sort ascending"},
                          {"sort descending"},
                          {"remove every 2nd, last first"},
                          {"find every key again"},
                          {"clear"},
                          {"append row by row"}};
    auto keep = [](Timing& timing, double list, double bound) {
        timing.list = std::min(timing.list, list);
        timing.bound = std::min(timing.bound, bound);
    };
    long long sink = 0; // keeps the look-ups from being optimised away
    for (int round = 0; round < 5; ++round) {
        ListView list;
        for (const char* header : {"問題", "正解数", "回答数", "正解率", "マーク", "今回正解?"})
            list.addColumn(u(header), 1500);
        list.setMultiSelect(true);
        list.resize(800, 600);
        list.show();
        QApplication::processEvents();

        std::vector<QStringList> cells;
        QHash<QString, int> keys;
        std::size_t i = 0;

        // The rows copied into contiguous storage and their keys into a hash.
        const auto copyRows = [&] {
            cells.reserve(std::size_t(rows.size()));
            keys.reserve(rows.size());
            for (const ListRowData& row : rows) {
                keys.insert(row.key, int(cells.size()));
                cells.push_back(row.cells);
            }
        };
        keep(t[0], timeShown([&] { list.appendRows(rows); }), timeOf(copyRows));
        // Every key looked up, in the list and in the hash.
        const auto findEveryKey = [&](Timing& timing) {
            keep(timing, timeOf([&] {
                     for (const ListRowData& row : rows)
                         sink += list.find(row.key);
                 }),
                 timeOf([&] {
                     for (const ListRowData& row : rows)
                         sink += keys.value(row.key);
                 }));
        };
        findEveryKey(t[1]);

        // A stable sort of the rows themselves by the same comparison.
        const auto ascending = [](const QStringList& a, const QStringList& b) {
            return QString::compare(a.at(0), b.at(0), Qt::CaseInsensitive) < 0;
        };
        const auto descending = [&](const QStringList& a, const QStringList& b) {
            return ascending(b, a);
        };
        keep(t[2], timeShown([&] {
                 list.setSortKey(0);
                 list.setSorted(true);
             }),
             timeOf([&] { std::stable_sort(cells.begin(), cells.end(), ascending); }));
        keep(t[3], timeShown([&] { list.setSortOrder(Qt::DescendingOrder); }),
             timeOf([&] { std::stable_sort(cells.begin(), cells.end(), descending); }));
        list.setSorted(false);

        // One pass that keeps every odd row, and the removed keys dropped.
        keep(t[4], timeShown([&] {
                 for (int row = list.count(); row >= 1; --row)
                     if (row % 2 == 0)
                         list.remove(row);
             }),
             timeOf([&] {
                 i = 0;
                 cells.erase(std::remove_if(cells.begin(), cells.end(),
                                            [&](const QStringList&) { return i++ % 2 == 1; }),
                             cells.end());
                 for (int row = 1; row < rows.size(); row += 2)
                     keys.remove(rows[row].key);
             }));
        findEveryKey(t[5]);
        const auto dropRows = [&] {
            cells = {};
            keys = {};
        };
        keep(t[6], timeShown([&] { list.clearRows(); }), timeOf(dropRows));

        // The old way of filling a list: one call per row and cell.
        keep(t[7], timeShown([&] {
                 for (const ListRowData& row : rows) {
                     const int added = list.add(row.cells.at(0));
                     list.setKey(added, row.key);
                     for (int index = 1; index < row.cells.size(); ++index)
                         list.setSubItem(added, index, row.cells.at(index));
                 }
             }),
             timeOf(copyRows));
        dropRows();
    }
    if (sink == 42)
        std::printf(" ");
    return t;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf("%-8s %-30s %12s %14s %7s\n", "rows", "operation", "ListView ms", "lower bound ms",
                "ratio");
    for (int count : {10000, 50000}) {
        const QVector<ListRowData> rows = makeRows(count);
        for (const Timing& t : run(rows))
            std::printf("%-8d %-30s %12.2f %14.2f %7.1f\n", count, t.what, t.list, t.bound,
                        t.list / t.bound);
    }
    return 0;
}
