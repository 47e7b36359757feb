#include "formats/AnswerLog.h"

#include "platform/TextLines.h"
#include "platform/Texts.h"

#include <QDate>
#include <QFile>

#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 SecondsPerDay = 86400;
constexpr qint64 EpochJulianDay = 2440588; // 1970-01-01
// "2026-12-08T01:20:33Z"
constexpr qsizetype TimeLength = 20;

bool isDigits(QByteArrayView text, qsizetype from, qsizetype count) {
    for (qsizetype i = from; i < from + count; ++i)
        if (text.at(i) < '0' || text.at(i) > '9')
            return false;
    return true;
}

int number(QByteArrayView text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i)
        value = value * 10 + (text.at(i) - '0');
    return value;
}

// Read by hand: a log of a year's answers has hundreds of thousands of
// lines, and every one must be a real moment.
bool readTime(QByteArrayView text, qint64& time) {
    if (text.size() != TimeLength || !isDigits(text, 0, 4) || text.at(4) != '-' ||
        !isDigits(text, 5, 2) || text.at(7) != '-' || !isDigits(text, 8, 2) || text.at(10) != 'T' ||
        !isDigits(text, 11, 2) || text.at(13) != ':' || !isDigits(text, 14, 2) ||
        text.at(16) != ':' || !isDigits(text, 17, 2) || text.at(19) != 'Z')
        return false;
    const QDate date(number(text, 0, 4), number(text, 5, 2), number(text, 8, 2));
    const int hour = number(text, 11, 2), minute = number(text, 14, 2),
              second = number(text, 17, 2);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59)
        return false;
    time =
        (date.toJulianDay() - EpochJulianDay) * SecondsPerDay + hour * 3600 + minute * 60 + second;
    return true;
}

// A file identifier or a question key: printable ASCII, so that no tab or
// line end can cut it and every byte reads back as itself.
bool isField(QByteArrayView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

bool isField(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() <= 0x7e;
    });
}

struct Fields {
    QByteArrayView fileId, key;
    LoggedAnswer answer;
};

bool readLine(QByteArrayView line, Fields& fields) {
    const qsizetype tab1 = line.indexOf('\t');
    const qsizetype tab2 = tab1 < 0 ? -1 : line.indexOf('\t', tab1 + 1);
    const qsizetype tab3 = tab2 < 0 ? -1 : line.indexOf('\t', tab2 + 1);
    if (tab3 < 0 || line.size() != tab3 + 2)
        return false; // not four fields, or a grade that is not one character
    const char grade = line.at(tab3 + 1);
    if (grade < '1' || grade > '4' || !readTime(line.first(tab1), fields.answer.time))
        return false;
    fields.answer.grade = grade - '0';
    fields.fileId = line.sliced(tab1 + 1, tab2 - tab1 - 1);
    fields.key = line.sliced(tab2 + 1, tab3 - tab2 - 1);
    return isField(fields.fileId) && isField(fields.key);
}

} // namespace

QByteArray composeAnswerLine(const AnswerLine& line) {
    // The years a time of four digits can hold; QDate knows no year 0.
    static const qint64 first = (QDate(1, 1, 1).toJulianDay() - EpochJulianDay) * SecondsPerDay;
    static const qint64 end =
        (QDate(9999, 12, 31).toJulianDay() + 1 - EpochJulianDay) * SecondsPerDay;
    if (line.time < first || line.time >= end || line.grade < Grade::Wrong ||
        line.grade > Grade::Easy || !isField(line.fileId) || !isField(line.questionKey))
        return {};
    const qint64 sinceFirst = line.time - first;
    const qint64 second = sinceFirst % SecondsPerDay;
    const QDate date = QDate(1, 1, 1).addDays(sinceFirst / SecondsPerDay);
    char time[TimeLength + 1];
    std::snprintf(time, sizeof time, "%04d-%02d-%02dT%02d:%02d:%02dZ", date.year(), date.month(),
                  date.day(), int(second / 3600), int(second / 60 % 60), int(second % 60));
    return QByteArray(time, TimeLength) + '\t' + line.fileId.toLatin1() + '\t' +
           line.questionKey.toLatin1() + '\t' + QByteArray::number(line.grade) + "\r\n";
}

AnswerLogRead readAnswerLog(const QByteArray& bytes, const QString& fileId) {
    AnswerLogRead read;
    const QByteArray wanted = isField(fileId) ? fileId.toLatin1() : QByteArray();
    // Keys are looked up by their bytes and become text once each.
    QHash<QByteArrayView, int> group;
    QVector<QByteArrayView> keys;
    QVector<QVector<LoggedAnswer>> answers;
    forEachLine(QByteArrayView(bytes), [&](QByteArrayView line, int) {
        if (line.isEmpty())
            return;
        Fields fields;
        if (!readLine(line, fields)) {
            ++read.damagedLines;
            return;
        }
        if (fields.fileId != wanted)
            return;
        auto at = group.constFind(fields.key);
        if (at == group.cend()) {
            at = group.insert(fields.key, int(keys.size()));
            keys.append(fields.key);
            answers.append(QVector<LoggedAnswer>());
        }
        answers[*at].append(fields.answer);
    });
    read.answers.reserve(keys.size());
    const auto earlier = [](const LoggedAnswer& a, const LoggedAnswer& b) {
        return a.time < b.time;
    };
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QVector<LoggedAnswer>& inTime = answers[i];
        if (!std::is_sorted(inTime.begin(), inTime.end(), earlier))
            std::stable_sort(inTime.begin(), inTime.end(), earlier);
        read.answers.insert(QString::fromLatin1(keys[i]), std::move(inTime));
    }
    return read;
}

AnswerLogRead loadAnswerLog(const QString& path, const QString& fileId) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        AnswerLogRead read;
        read.ok = false;
        read.reason = file.errorString();
        return read;
    }
    return readAnswerLog(file.readAll(), fileId);
}

bool appendAnswerLine(const QString& path, const AnswerLine& line, QString* error) {
    QByteArray bytes = composeAnswerLine(line);
    if (bytes.isEmpty()) {
        if (error)
            *error = u("回答記録の1行にできない回答です");
        return false;
    }
    // Unbuffered, so the line goes to the system in one write as it is
    // appended; a program that ends the next moment has still logged it.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    char last = '\n';
    if (file.size() > 0 && (!file.seek(file.size() - 1) || !file.getChar(&last)))
        last = '\n';
    if (last != '\n' && last != '\r')
        bytes.prepend("\r\n");
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
