#pragma once

#include "learner/MarkDefinitions.h"
#include "learner/Statistics.h"

#include <QString>

// The this-round result of a right or a wrong answer.
QString thisRoundResult(bool right);

// The row after an answer was judged: one more answer, one more right one
// if it was right, the rate from the new counts, the this-round result of
// the latest verdict. The mark stays.
RowStatistics statsAfterJudging(const RowStatistics& before, bool right);

// The row after answers given elsewhere were added: `answered` more
// answers, `right` of them right, the rate from the new counts. The mark
// and the this-round result stay.
RowStatistics statsAfterAnswers(const RowStatistics& before, qint64 answered, qint64 right);
