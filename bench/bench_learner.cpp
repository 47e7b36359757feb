// Time of the learner's records at scale: a learner file of 100,000 records
// over ten question files, saved, loaded, and joined with the 10,000
// questions of one of those files; also the 10,000 record updates of a
// round over all of them. Each step runs five times; the best time counts.

#include "formats/LearnerFile.h"
#include "learner/Statistics.h"
#include "platform/KeyedTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int Files = 10;
constexpr int QuestionsPerFile = 10000;

QString questionKey(int i) {
    static const QString alphabet =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QString key;
    for (int n = 0; n < 5; ++n, i /= 62)
        key += alphabet.at(i % 62);
    return key;
}

QString fileId(int file) {
    return makeFileId(QStringLiteral("/home/learner/question file %1.kmd").arg(file));
}

void measure(const char* what, const std::function<void()>& work) {
    qint64 best = -1;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        const qint64 ns = timer.nsecsElapsed();
        if (best < 0 || ns < best)
            best = ns;
    }
    std::printf("%-44s %8.2f ms\n", what, best / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("learner.kmu"));

    KeyedTable markTable(Qt::CaseInsensitive);
    for (const char* level : {"1", "2", "3"}) {
        markTable.add(QStringLiteral("key") + level, QStringLiteral("mark") + level);
        markTable.add(QStringLiteral("strmark") + level, level);
    }

    LearnerRecords records;
    for (int file = 0; file < Files; ++file) {
        const QString id = fileId(file);
        for (int q = 0; q < QuestionsPerFile; ++q)
            records.add(recordKey(id, questionKey(q)),
                        {QString::number(q % 7), QString::number(q % 7 + q % 5),
                         QString::number(q % 4 ? q % 4 : 7)});
    }
    std::printf("%d records, file of %lld bytes\n", records.count(),
                static_cast<long long>(composeLearnerFile(records).size()));

    // Composing is the program's part of a save; the rest is the disk's
    // (the atomic save waits until the bytes are stored).
    measure("compose 100,000 records", [&] { composeLearnerFile(records); });
    measure("save 100,000 records", [&] {
        if (!saveLearnerFile(path, records).ok)
            std::printf("save failed\n");
    });
    LearnerRecords loaded;
    measure("load 100,000 records", [&] { loadLearnerFile(path, loaded); });
    if (loaded.count() != records.count())
        std::printf("loaded %d records\n", loaded.count());

    const QString joinedFile = QStringLiteral("/home/learner/question file 3.kmd");
    measure("join 10,000 questions (makeFileId + rows)", [&] {
        const QString id = makeFileId(joinedFile);
        qsizetype shown = 0;
        for (int q = 0; q < QuestionsPerFile; ++q)
            shown += joinedStatistics(loaded, id, questionKey(q), markTable).rate.size();
        if (shown == 0)
            std::printf("nothing joined\n");
    });
    measure("update 10,000 records", [&] {
        const QString id = makeFileId(joinedFile);
        for (int q = 0; q < QuestionsPerFile; ++q)
            updateRecord(loaded, id, questionKey(q), {"     3", "     4", " 75.0%", "mark2", ""},
                         markTable);
    });
    return 0;
}
