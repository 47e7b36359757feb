#include "learner/Statistics.h"

#include "platform/KeyedTable.h"
#include "platform/Texts.h"

#include <cmath>

QString padLeft(int width, const QString& text) {
    return text.size() < width ? QString(width - text.size(), ' ') + text : text;
}

double numericValue(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == ' ' || text.at(i) == '\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-'))
        ++i;
    const auto skipDigits = [&] {
        while (i < text.size() && text.at(i) >= '0' && text.at(i) <= '9')
            ++i;
    };
    skipDigits();
    if (i < text.size() && text.at(i) == '.') {
        ++i;
        skipDigits();
    }
    const QStringView number = text.sliced(start, i - start);
    // Counts and rates, unsigned and short, are read here, without the
    // library's locale-aware parsing that thousands of rows feel. Their
    // digits make an exact whole number, and one division by the exact
    // power of ten rounds as the library does.
    if (number.size() <= 15 && !number.startsWith('+') && !number.startsWith('-')) {
        double digits = 0;
        double scale = 1;
        bool fraction = false;
        for (const QChar c : number) {
            if (c == '.') {
                fraction = true;
                continue;
            }
            digits = digits * 10 + (c.unicode() - '0');
            if (fraction)
                scale *= 10;
        }
        return digits / scale;
    }
    return number.toDouble(); // 0 without digits
}

// Halves round away from zero, and whole counts come out exact: the
// per-mille value of two whole numbers is a half exactly when it should be.
double ratePerMille(double correct, double answered) {
    return std::round(correct * 1000.0 / answered);
}

QString rateText(double correct, double answered) {
    return padLeft(6, rateFigure(ratePerMille(correct, answered)));
}

QString rateFigure(double perMille) {
    if (perMille >= 0 && perMille < 1e15) {
        const auto whole = static_cast<qint64>(perMille);
        return QString::number(whole / 10) + '.' + QChar('0' + int(whole % 10)) + '%';
    }
    return QString::number(perMille / 10.0, 'f', 1) + "%";
}

QString countLabel(int rows) {
    return QString::number(rows) + u("件");
}

QString dueLabel(int questions) {
    return u("復習 ") + QString::number(questions) + u("問");
}

RowStatistics RowStatistics::fromColumns(const QStringList& columns2to6) {
    return {columns2to6.value(0), columns2to6.value(1), columns2to6.value(2), columns2to6.value(3),
            columns2to6.value(4)};
}

QStringList RowStatistics::columns() const {
    return {correct, answered, rate, mark, thisRound};
}

namespace {
// Counts read from a hand-made file may be missing; those stay empty.
QString padCount(const QString& count) {
    return count.isEmpty() ? count : padLeft(6, count);
}
} // namespace

RowStatistics joinedStatistics(const LearnerRecords& records, const QString& fileId,
                               const QString& questionKey, const KeyedTable& markTable) {
    return recordStatistics(records, recordKey(fileId, questionKey), markTable);
}

namespace {
const LearnerRecord* recordOf(const LearnerRecords& records, const QString& recordKey) {
    const int found = records.find(recordKey);
    return found ? &records.record(found) : nullptr;
}
} // namespace

RowStatistics recordStatistics(const LearnerRecords& records, const QString& recordKey,
                               const KeyedTable& markTable) {
    RowStatistics row;
    const LearnerRecord* found = recordOf(records, recordKey);
    if (!found)
        return row;
    const LearnerRecord& record = *found;
    row.correct = padCount(record.correct);
    row.answered = padCount(record.answered);
    const double answered = numericValue(row.answered);
    if (answered == 0)
        return row;
    row.rate = rateText(numericValue(row.correct), answered);
    row.mark = markOfLevel(markTable, record.level);
    return row;
}

RowNumbers joinedNumbers(const LearnerRecords& records, const QString& fileId,
                         const QString& questionKey) {
    return recordNumbers(records, recordKey(fileId, questionKey));
}

RowNumbers recordNumbers(const LearnerRecords& records, const QString& recordKey) {
    RowNumbers row;
    if (const LearnerRecord* record = recordOf(records, recordKey)) {
        // The padding of the columns goes before the number, which skips it.
        row.correct = numericValue(record->correct);
        row.answered = numericValue(record->answered);
        row.level = record->level;
    }
    return row;
}

QString markOfLevel(const KeyedTable& markTable, const QString& level) {
    return level.isEmpty() ? QString() : markTable.textOf("key" + level);
}

void updateRecord(LearnerRecords& records, const QString& fileId, const QString& questionKey,
                  const RowStatistics& row, const KeyedTable& markTable) {
    const QString key = recordKey(fileId, questionKey);
    const int markRow = row.mark.isEmpty() ? 0 : markTable.find("str" + row.mark);
    const int found = records.find(key);
    LearnerRecord record = found ? records.record(found) : LearnerRecord{};
    record.correct = row.correct;
    record.answered = row.answered;
    if (markRow)
        record.level = markTable.text(markRow);
    if (found)
        records.setRecord(found, record);
    else
        records.add(key, record);
}

QString roundResultText(int asked, int right) {
    QString text = QString::number(asked) + u("問中 ") + QString::number(right) + u("問正解");
    if (asked > 0)
        text += " (" + rateText(right, asked).trimmed() + ")";
    return text;
}

QString roundSummary(int asked, int right) {
    return u("今回 ") + roundResultText(asked, right);
}
