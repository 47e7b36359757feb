#include "session/Statistics.h"

#include "platform/Texts.h"

QString thisRoundResult(bool right) {
    return right ? u("○") : u("×");
}

RowStatistics statsAfterJudging(const RowStatistics& before, bool right) {
    RowStatistics after = statsAfterAnswers(before, 1, right ? 1 : 0);
    after.thisRound = thisRoundResult(right);
    return after;
}

RowStatistics statsAfterAnswers(const RowStatistics& before, qint64 answered, qint64 right) {
    const auto correct = qint64(numericValue(before.correct)) + right;
    const auto total = qint64(numericValue(before.answered)) + answered;
    RowStatistics after = before;
    after.correct = padLeft(6, QString::number(correct));
    after.answered = padLeft(6, QString::number(total));
    after.rate = rateText(double(correct), double(total));
    return after;
}
