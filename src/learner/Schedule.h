#pragma once

#include "formats/AnswerLog.h"
#include "formats/LearnerFile.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

// When to see a question again, by FSRS-6 with its published default
// weights: each question's answers in the answer log, replayed in time
// order, give its memory; the memory and the recall the learner wants give
// the day it is due. The schedule starts with a question's first logged
// answer: counts from before the log do not enter it.

// The retention the schedule aims at unless the learner chose another,
// and the range a learner may choose from.
constexpr double DefaultRetention = 0.9;
constexpr int MinRetentionPercent = 70;
constexpr int MaxRetentionPercent = 97;

// A retention the learner typed as a whole percentage from 70 to 97, "85"
// or "85%", also in full-width digits; none when it is not one.
std::optional<int> retentionPercent(const QString& typed);

// What the schedule knows of one question.
struct Memory {
    double stability = 0;  // days after which recall has fallen to 90 %
    double difficulty = 0; // 1 (easy) to 10 (hard)
    qint64 lastAnswer = 0; // seconds since 1970-01-01T00:00:00Z
    int answers = 0;       // 0: new to the schedule, the rest means nothing
};

// The chance of recalling a question `days` after its last answer.
double recall(double days, double stability);

// Days from the last answer until recall falls to `retention`, at least 1,
// at most 36,500.
int intervalDays(double stability, double retention);

// The memory after one more answer with `grade` (1 to 4) at `time`. A time
// before the last answer counts as the same moment.
Memory afterAnswer(const Memory& memory, qint64 time, int grade);

// A question's answers, oldest first, replayed from nothing.
Memory replayAnswers(const QVector<LoggedAnswer>& answers);

// The open file's questions that have answers in the log, by key.
using Schedules = QHash<QString, Memory>;
Schedules replaySchedules(const AnswerLogRead& log);

// When the question is due again, in seconds since 1970 UTC, and the day
// that is on `now`'s clock.
qint64 dueTime(const Memory& memory, double retention);
QDate dueDay(const Memory& memory, const QDateTime& now, double retention);

// The chance of recalling the question at `now`, from the time since its
// last answer to the second.
double recallAt(const Memory& memory, qint64 now);

// Finds a question's row in a list, from 1; 0 when it is not there.
using RowOfKey = std::function<int(const QString&)>;

// The rows of the questions in the schedule whose due time has come by
// `now`, the least likely to be recalled first, rows alike in their order.
// The schedule is walked in its own order and only a due question is
// looked for: of a list of 10,000, only the due rows are looked up.
QVector<int> dueRows(const Schedules& schedules, const RowOfKey& rowOf, const QDateTime& now,
                     double retention);

// The same for `keys` in list order: those due, as keys.
QStringList dueKeys(const QStringList& keys, const Schedules& schedules, const QDateTime& now,
                    double retention);

// The keys of the rows (from 1) of `keys`, and a finder of rows in `keys`.
QStringList keysOfRows(const QStringList& keys, const QVector<int>& rows);
RowOfKey rowsOfKeys(const QStringList& keys);

// Of `keys`, in their order, up to `count` that were never answered: no
// answer in the log and no answered count in the learner's records of the
// file `fileId`. A question with counts but no line is new to the schedule
// only, and is not among them.
QStringList newKeys(const QStringList& keys, const Schedules& schedules,
                    const LearnerRecords& records, const QString& fileId, double count);

// How many questions in the schedule that `isQuestion` knows are due by
// `now`: as many as dueKeys gives for all of them; and when the next of
// them falls due, in seconds since 1970, 0 when none will. The schedule is
// walked in its own order, and only a question due or due soonest so far
// is looked up: a count after every answer stays far below a millisecond
// for 10,000 questions.
struct DueCount {
    int due = 0;
    qint64 next = 0;
};
DueCount dueCount(const Schedules& schedules,
                  const std::function<bool(const QString&)>& isQuestion, const QDateTime& now,
                  double retention);

// How many of `keys` fall due on each of the `days` days from `now`'s date
// on, in `now`'s time zone; those already due count on the first day.
QVector<int> dueForecast(const QStringList& keys, const Schedules& schedules, const QDateTime& now,
                         double retention, int days = 30);

// The mean chance of recalling the questions of `keys` in the schedule at
// `now`; none when no question is.
std::optional<double> meanRecall(const QStringList& keys, const Schedules& schedules,
                                 const QDateTime& now);
