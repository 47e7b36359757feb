#include "session/Statistics.h"

#include "platform/Texts.h"

QString thisRoundResult(bool right) {
    return right ? u("○") : u("×");
}

RowStatistics statsAfterJudging(const RowStatistics& before, bool right) {
    const auto correct = qint64(numericValue(before.correct)) + (right ? 1 : 0);
    const auto answered = qint64(numericValue(before.answered)) + 1;
    RowStatistics after = before;
    after.correct = padLeft(6, QString::number(correct));
    after.answered = padLeft(6, QString::number(answered));
    after.rate = rateText(double(correct), double(answered));
    after.thisRound = thisRoundResult(right);
    return after;
}
