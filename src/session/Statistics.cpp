#include "session/Statistics.h"

#include "platform/KeyedTable.h"
#include "platform/Texts.h"

#include <cmath>

namespace {
bool isAsciiDigit(QChar c) {
    return c >= QChar('0') && c <= QChar('9');
}
} // namespace

QString padLeft(int width, const QString& text) {
    return text.size() < width ? QString(width - text.size(), QChar(' ')) + text : text;
}

qint64 countValue(const QString& column) {
    constexpr int maxDigits = 15;
    qsizetype at = 0;
    while (at < column.size() && column.at(at) == QChar(' '))
        ++at;
    bool negative = false;
    if (at < column.size() && (column.at(at) == QChar('-') || column.at(at) == QChar('+')))
        negative = column.at(at++) == QChar('-');
    qint64 value = 0;
    for (int digits = 0; at < column.size() && isAsciiDigit(column.at(at)); ++at, ++digits) {
        if (digits == maxDigits)
            return negative ? -999999999999999 : 999999999999999;
        value = value * 10 + (column.at(at).unicode() - '0');
    }
    return negative ? -value : value;
}

QString accuracyRate(qint64 correct, qint64 answered) {
    if (answered == 0)
        return {};
    // Tenths of a percent; a quotient of two integers that ends in a half is
    // exact in a double, so std::round sees the true half.
    const double tenths = std::round(1000.0 * double(correct) / double(answered));
    return QString::number(tenths / 10.0, 'f', 1) + QChar('%');
}

QString thisRoundResult(bool right) {
    return right ? u("○") : u("×");
}

RowStats statsAfterJudging(const RowStats& before, bool right) {
    const qint64 correct = countValue(before.correct) + (right ? 1 : 0);
    const qint64 answered = countValue(before.answered) + 1;
    RowStats after = before;
    after.correct = padLeft(statsWidth, QString::number(correct));
    after.answered = padLeft(statsWidth, QString::number(answered));
    after.rate = padLeft(statsWidth, accuracyRate(correct, answered));
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
