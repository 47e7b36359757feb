#include "session/Statistics.h"

#include "platform/KeyedTable.h"
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

QString proposedMark(const QString& rowMark, bool right, const KeyedTable& markTable,
                     const QString& selectorText) {
    if (!rowMark.isEmpty())
        return rowMark;
    const int entry = markTable.find(right ? "keyCorrect" : "keyWrong");
    return entry ? markTable.text(entry) : selectorText;
}

bool isKnownMark(const QString& text, const KeyedTable& markTable) {
    if (text.isEmpty())
        return false;
    // Entries under "key…" hold marks; those under "str…" hold levels.
    for (int row = 1; row <= markTable.count(); ++row) {
        if (markTable.key(row).startsWith("key", Qt::CaseInsensitive) &&
            markTable.text(row) == text)
            return true;
    }
    return false;
}
