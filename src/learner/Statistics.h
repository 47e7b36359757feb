#pragma once

#include "formats/LearnerFile.h"

#include <QString>
#include <QStringList>

class KeyedTable;

// Blanks before `text` up to `width` characters; longer texts stay whole.
QString padLeft(int width, const QString& text);

// The number a text starts with, after leading blanks: "  3" and "10問"
// give 3 and 10; a text without a number gives 0.
double numericValue(QStringView text);

// correct ÷ answered in tenths of a percent, rounded as rateText shows it.
double ratePerMille(double correct, double answered);

// correct ÷ answered as a percentage with one decimal, padded to six
// characters: "100.0%", " 66.7%", "  0.0%". `answered` must not be 0.
QString rateText(double correct, double answered);

// The rate of `perMille` (ratePerMille) as rateText shows it, unpadded:
// "66.7%".
QString rateFigure(double perMille);

// The count label: "25件".
QString countLabel(int rows);
// Beside it, the questions due for review: "復習 3問".
QString dueLabel(int questions);

// Columns 2 to 6 of a row of the main question list.
struct RowStatistics {
    QString correct;   // "正解数", padded
    QString answered;  // "回答数", padded
    QString rate;      // "正解率", padded
    QString mark;      // "マーク"
    QString thisRound; // "今回正解?": "○", "×" or ""

    static RowStatistics fromColumns(const QStringList& columns2to6);
    QStringList columns() const; // columns 2 to 6 in order
};

// A question's numbers as its row shows them, unformatted: what the filters
// choose by.
struct RowNumbers {
    double correct = 0;  // "正解数" as a number, 0 when empty
    double answered = 0; // "回答数" as a number; 0 shows no rate and no mark
    QString level;       // the record's level, "" for none
    bool wrongThisTime = false; // "今回正解?" shows "×"

    bool rated() const { return answered != 0; }
};

// The numbers of a question's columns after the learner's records are
// joined to the list, as joinedStatistics formats them; nothing of this
// round.
RowNumbers joinedNumbers(const LearnerRecords& records, const QString& fileId,
                         const QString& questionKey);
// The same for the record of `recordKey` (fileId + ":" + question key).
RowNumbers recordNumbers(const LearnerRecords& records, const QString& recordKey);

// A question's columns after the learner's records are joined to the list:
// counts, rate and mark from its record, no result for the current round.
// A record whose answered count is 0 or empty shows no rate and no mark; a
// level without a mark in `markTable` shows no mark.
RowStatistics joinedStatistics(const LearnerRecords& records, const QString& fileId,
                               const QString& questionKey, const KeyedTable& markTable);
// The same for the record of `recordKey` (fileId + ":" + question key).
RowStatistics recordStatistics(const LearnerRecords& records, const QString& recordKey,
                               const KeyedTable& markTable);

// The mark a record's level stands for in `markTable`; none for no level or
// a level the table does not know.
QString markOfLevel(const KeyedTable& markTable, const QString& level);

// Copies a row's counts and mark into the question's record, appending the
// record when it is new. A mark `markTable` does not know, or none, keeps
// the level the record had.
void updateRecord(LearnerRecords& records, const QString& fileId, const QString& questionKey,
                  const RowStatistics& row, const KeyedTable& markTable);

// "今回 8問中 6問正解 (75.0%)", the line shown when a round ends.
QString roundSummary(int asked, int right);

// "8問中 6問正解 (75.0%)"; "0問" alone when nothing was asked.
QString roundResultText(int asked, int right);
