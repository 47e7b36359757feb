#pragma once

#include "learner/Schedule.h"
#include "learner/Statistics.h"

#include <QHash>
#include <QString>
#include <QStringList>

class KeyedTable;

// The filter list in its order, with one item per mark.
QStringList filterItems(const QStringList& marks);
// The filter that start-up shows.
QString defaultFilter();
// The filter proposed when a round ends.
QString wrongThisTimeFilter();

// A filter named by the text of the filter box, read once before the rows
// are examined. The text decides, not the item's place in the list, so a
// typed text of the same form works too.
struct QuestionFilter {
    enum Kind {
        None,          // no filter of this name: every row stays
        Random,        // "ﾗﾝﾀﾞﾑにN…": shuffle, then the first N rows stay
        ExactRate,     // "正答率がP%…": rows showing exactly P.0%
        RateAtMost,    // "正答率がP%以下…": rows showing at most P%
        Solved,        // answered at least once
        Unsolved,      // never answered
        WrongThisTime, // answered wrongly in the current round
        Mark,          // "ﾏｰｸが"M"…": rows with mark M
        MarkAtMost,    // "ﾏｰｸが"M"以下…": rows with mark M or a lower level
        Due,           // "復習の時期が来た…": questions due, least likely recalled first
        DueAndNew,     // "復習と新しい問題N…": the same, then up to N never answered
    };
    Kind kind = None;
    double number = 0; // Random, DueAndNew: N; RateAtMost: P; ExactRate: P in per mille,
                       // -1 for a P no rate is shown as
    QString text;      // ExactRate: the rate as shown, "100.0%"; mark filters: M's level
    // Mark filters: whether a row of a record's level stays, found once
    // for each level met, for the mark table the filter was read with.
    mutable QHash<QString, bool> levelsKept;

    bool shufflesFirst() const { return kind == Random; }
    // The schedule chooses the rows and their order (chooseBySchedule),
    // not a look at one row at a time.
    bool choosesBySchedule() const { return kind == Due || kind == DueAndNew; }
    // It looks at each row's counts, rate or mark (keepsRow's RowNumbers).
    bool readsResults() const {
        return kind == ExactRate || kind == RateAtMost || kind == Solved || kind == Unsolved ||
               kind == Mark || kind == MarkAtMost;
    }
    // It looks at each row's verdict of this round.
    bool readsVerdicts() const { return kind == WrongThisTime; }
};

// Reads a filter text. A rate or mark filter without its closing "%" or
// double quote, and a mark filter whose mark has no level above 0, remove
// nothing.
QuestionFilter parseFilter(const QString& text, const KeyedTable& markTable);

// Whether the row at `position` (from 1, after the shuffle of a random
// filter) stays in the list. Every row stays for a filter that chooses by
// the schedule.
bool keepsRow(const QuestionFilter& filter, int position, const RowNumbers& row,
              const KeyedTable& markTable);

// The rows a filter that chooses by the schedule keeps, of `keys` in list
// order, in the order they are to be asked: the questions due, then for
// "復習と新しい問題N…" up to N never answered. Another filter keeps `keys`.
QStringList chooseBySchedule(const QuestionFilter& filter, const QStringList& keys,
                             const Schedules& schedules, const LearnerRecords& records,
                             const QString& fileId, const QDateTime& now, double retention);
// The same as the rows of `keys` (from 1), which `rowOf` finds.
QVector<int> chooseRowsBySchedule(const QuestionFilter& filter, const QStringList& keys,
                                  const RowOfKey& rowOf, const Schedules& schedules,
                                  const LearnerRecords& records, const QString& fileId,
                                  const QDateTime& now, double retention);
