#pragma once

#include "formats/LearnerFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// The round log: one line per finished round, beside the learner file as
// programFolder + learner name + ".kmr". Code page 932, CR LF, four fields
// separated by tabs:
//   date and time "yyyy/mm/dd(aaa) hh:nn:ss", the question file's identifier
//   (makeFileId), the questions asked, the right answers.
// The learner file never changes because of it.

struct RoundEntry {
    QDateTime when;
    QString fileId;
    int asked = 0;
    int right = 0;
};

// One line of the log, with its CR LF.
QByteArray composeRoundLine(const RoundEntry& entry);

// The rounds of one question file, oldest first. A line that cannot be
// read is left out and counted, the first such with its number and why;
// the other lines are read all the same. A log that cannot be opened is
// damaged: no rounds, and why.
struct RoundLogRead {
    QVector<RoundEntry> rounds;
    bool damaged = false;
    int skipped = 0; // lines left out
    int line = 0;    // the first of them, from 1
    QString reason;
};
RoundLogRead readRoundLog(const QByteArray& bytes, const QString& fileId);

// Reads the log at `path`; a missing one holds no rounds.
RoundLogRead loadRoundLog(const QString& path, const QString& fileId);

// Adds a round at the end of the log, writing the file whole or not at all,
// under the lock of the learner file beside it, so that two programs
// ending rounds at once both keep their line. Whatever the log held before
// stays byte for byte, damaged lines too; a log that exists but cannot be
// read, or whose lock another program keeps holding, is not written.
LearnerFileOutcome appendRoundLog(const QString& path, const RoundEntry& entry);
