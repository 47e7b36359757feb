#pragma once

#include "learner/Statistics.h"

#include <QString>

class KeyedTable;

// The this-round result of a right or a wrong answer.
QString thisRoundResult(bool right);

// The row after an answer was judged: one more answer, one more right one
// if it was right, the rate from the new counts, the this-round result of
// the latest verdict. The mark stays.
RowStatistics statsAfterJudging(const RowStatistics& before, bool right);

// The mark the selector proposes after judging: the row's own mark, else the
// mark defined for a right ("keyCorrect") or a wrong ("keyWrong") answer,
// else the selector's present text.
QString proposedMark(const QString& rowMark, bool right, const KeyedTable& markTable,
                     const QString& selectorText);

// Whether the selector's text is a mark of the mark definitions (exactly, in
// case too), which "次問題" then stores as the question's mark. Levels and
// other texts are not marks.
bool isKnownMark(const QString& text, const KeyedTable& markTable);
