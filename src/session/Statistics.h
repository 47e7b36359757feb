#pragma once

#include <QString>

class KeyedTable;

// Counts and rates in the question list are right-aligned in six
// characters, so that the list's text sort orders them by value.
constexpr int statsWidth = 6;

// The text preceded by blanks up to `width` characters; a longer text is
// returned unchanged.
QString padLeft(int width, const QString& text);

// A count as a list column shows it, read as a number: leading blanks are
// skipped, an optional sign and the ASCII digits that follow are read, and ""
// (or text without digits) counts as 0. More than 15 digits read as the
// largest 15-digit number.
qint64 countValue(const QString& column);

// correct ÷ answered in the form "0.0%" ("66.7%", "100.0%", "0.0%"), halves
// rounded away from zero; "" when nothing was answered.
QString accuracyRate(qint64 correct, qint64 answered);

// Columns 2 to 6 of a question's row in the main question list, as shown.
struct RowStats {
    QString correct;   // "正解数"
    QString answered;  // "回答数"
    QString rate;      // "正解率"
    QString mark;      // "マーク"
    QString thisRound; // "今回正解?": "○", "×" or "" while not answered in this round
};

// The this-round result of a right or a wrong answer.
QString thisRoundResult(bool right);

// The row after an answer was judged: one more answer, one more right one
// if it was right, the rate from the new counts, the this-round result of
// the latest verdict. The mark stays.
RowStats statsAfterJudging(const RowStats& before, bool right);

// The mark the selector proposes after judging: the row's own mark, else the
// mark defined for a right ("keyCorrect") or a wrong ("keyWrong") answer,
// else the selector's present text.
QString proposedMark(const QString& rowMark, bool right, const KeyedTable& markTable,
                     const QString& selectorText);

// Whether the selector's text is a mark of the mark definitions (exactly, in
// case too), which "次問題" then stores as the question's mark. Levels and
// other texts are not marks.
bool isKnownMark(const QString& text, const KeyedTable& markTable);
