#include "formats/AnswerLog.h"

#include "platform/Shares.h"
#include "platform/TextLines.h"
#include "platform/Texts.h"

#include <QDate>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

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
// lines, and every one must be a real moment. Lines come mostly in time
// order, so the day of the line before is usually the day of this one.
struct TimeReader {
    char lastDate[10] = {};
    qint64 lastDay = 0;

    bool read(QByteArrayView text, qint64& time) {
        if (text.size() != TimeLength || !isDigits(text, 0, 4) || text.at(4) != '-' ||
            !isDigits(text, 5, 2) || text.at(7) != '-' || !isDigits(text, 8, 2) ||
            text.at(10) != 'T' || !isDigits(text, 11, 2) || text.at(13) != ':' ||
            !isDigits(text, 14, 2) || text.at(16) != ':' || !isDigits(text, 17, 2) ||
            text.at(19) != 'Z')
            return false;
        const int hour = number(text, 11, 2), minute = number(text, 14, 2),
                  second = number(text, 17, 2);
        if (hour > 23 || minute > 59 || second > 59)
            return false;
        if (std::memcmp(text.data(), lastDate, sizeof lastDate) != 0) {
            const QDate day(number(text, 0, 4), number(text, 5, 2), number(text, 8, 2));
            if (!day.isValid())
                return false;
            std::memcpy(lastDate, text.data(), sizeof lastDate);
            lastDay = day.toJulianDay() - EpochJulianDay;
        }
        time = lastDay * SecondsPerDay + hour * 3600 + minute * 60 + second;
        return true;
    }
};

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

// The time has its fixed length and the grade is one character, so the
// tabs around them are found by their places.
bool readLine(QByteArrayView line, TimeReader& times, Fields& fields) {
    const qsizetype size = line.size();
    if (size < TimeLength + 6 || line.at(TimeLength) != '\t' || line.at(size - 2) != '\t')
        return false;
    const char grade = line.at(size - 1);
    if (grade < '1' || grade > '4')
        return false;
    fields.answer.grade = grade - '0';
    const QByteArrayView between = line.sliced(TimeLength + 1, size - TimeLength - 3);
    const qsizetype tab = between.indexOf('\t');
    if (tab < 0)
        return false;
    fields.fileId = between.first(tab);
    fields.key = between.sliced(tab + 1);
    // A field holds no tab, so a fifth field fails here.
    return isField(fields.fileId) && isField(fields.key) &&
           times.read(line.first(TimeLength), fields.answer.time);
}

// The questions of a log, found by their keys' bytes: a log of a year
// names one of them on each of hundreds of thousands of lines. Open
// addressing in a table at most half full, with a hash that costs little;
// the keys come from the learner's own file.
class KeyIndex {
  public:
    // The key's number, from 0 in the order the keys were first seen;
    // `keyHash` is hash(key).
    int numberOf(QByteArrayView key, size_t keyHash) {
        if ((keys_.size() + 1) * 2 > slots_.size())
            grow();
        const size_t mask = size_t(slots_.size()) - 1;
        for (size_t i = keyHash & mask;; i = (i + 1) & mask) {
            int& slot = slots_[qsizetype(i)];
            if (slot < 0) {
                slot = int(keys_.size());
                keys_.append(key);
                return slot;
            }
            if (keys_.at(slot) == key)
                return slot;
        }
    }
    const QVector<QByteArrayView>& keys() const { return keys_; }

    // FNV-1a
    static size_t hash(QByteArrayView key) {
        quint64 h = 14695981039346656037ull;
        for (const char c : key)
            h = (h ^ quint8(c)) * 1099511628211ull;
        return size_t(h);
    }

  private:
    void grow() {
        slots_.fill(-1, std::max<qsizetype>(64, slots_.size() * 2));
        const size_t mask = size_t(slots_.size()) - 1;
        for (qsizetype k = 0; k < keys_.size(); ++k) {
            size_t i = hash(keys_.at(k)) & mask;
            while (slots_.at(qsizetype(i)) >= 0)
                i = (i + 1) & mask;
            slots_[qsizetype(i)] = int(k);
        }
    }

    QVector<int> slots_;
    QVector<QByteArrayView> keys_;
};

} // namespace

namespace {

// Writes lines one after the other; a history brought in has a hundred
// thousand of them, mostly a few to a day, so the day's text is made once.
class LineComposer {
  public:
    // Appends the line with its CR LF; false, appending nothing, when the
    // answer cannot be one.
    bool append(QByteArray& out, const AnswerLine& line) {
        // The years a time of four digits can hold; QDate knows no year 0.
        static const qint64 first =
            (QDate(1, 1, 1).toJulianDay() - EpochJulianDay) * SecondsPerDay;
        if (line.time < first || line.time >= AnswerLogTimeEnd || line.grade < Grade::Wrong ||
            line.grade > Grade::Easy || !isField(line.fileId) || !isField(line.questionKey))
            return false;
        const qint64 sinceFirst = line.time - first;
        const qint64 day = sinceFirst / SecondsPerDay;
        if (day != day_) {
            const QDate date = QDate(1, 1, 1).addDays(day);
            std::snprintf(date_, sizeof date_, "%04d-%02d-%02dT", date.year(), date.month(),
                          date.day());
            day_ = day;
        }
        const int second = int(sinceFirst % SecondsPerDay);
        out.append(date_, 11);
        appendTwoDigits(out, second / 3600);
        out += ':';
        appendTwoDigits(out, second / 60 % 60);
        out += ':';
        appendTwoDigits(out, second % 60);
        out += "Z\t";
        appendAscii(out, line.fileId);
        out += '\t';
        appendAscii(out, line.questionKey);
        out += '\t';
        out += char('0' + line.grade);
        out += "\r\n";
        return true;
    }

  private:
    static void appendTwoDigits(QByteArray& out, int value) {
        out += char('0' + value / 10);
        out += char('0' + value % 10);
    }
    // A field isField let through: every character is one byte.
    static void appendAscii(QByteArray& out, const QString& text) {
        for (const QChar c : text)
            out += char(c.unicode());
    }

    qint64 day_ = -1;
    char date_[12] = {};
};

} // namespace

QByteArray composeAnswerLine(const AnswerLine& line) {
    QByteArray bytes;
    LineComposer().append(bytes, line);
    return bytes;
}

namespace {

// A line of the wanted file, read: its key, the key's hash, the answer;
// the key's number once the keys are numbered.
struct ReadAnswer {
    QByteArrayView key;
    size_t hash;
    LoggedAnswer answer;
    int question = -1;
};

// The lines that begin in [from, to) of `bytes`: those of the wanted file
// in `answers`, in order, and how many could not be read. A line begins at
// the start or after a CR or LF.
int readLines(QByteArrayView bytes, qsizetype from, qsizetype to, QByteArrayView wanted,
              std::vector<ReadAnswer>& answers) {
    while (from < to && from > 0 && bytes.at(from - 1) != '\n' && bytes.at(from - 1) != '\r')
        ++from;
    int damaged = 0;
    TimeReader times;
    while (from < to) {
        const qsizetype end = lineEnd(bytes, from);
        const QByteArrayView line = bytes.sliced(from, end - from);
        from = end + 1;
        if (line.isEmpty())
            continue;
        Fields fields;
        if (!readLine(line, times, fields))
            ++damaged;
        else if (fields.fileId == wanted)
            answers.push_back({fields.key, KeyIndex::hash(fields.key), fields.answer});
    }
    return damaged;
}

// A share of the log's bytes worth a thread of its own.
constexpr qsizetype ShareBytes = 1 << 20;

} // namespace

AnswerLogRead readAnswerLog(const QByteArray& bytes, const QString& fileId) {
    AnswerLogRead read;
    const QByteArray wanted = isField(fileId) ? fileId.toLatin1() : QByteArray();
    // A year's log is megabytes: its lines are read on every core, each
    // share of the bytes taking the lines that begin in it, then numbered
    // by key in the order of the lines.
    const qsizetype shareCount =
        std::clamp<qsizetype>(bytes.size() / ShareBytes, 1, QThread::idealThreadCount());
    std::vector<std::vector<ReadAnswer>> shares(static_cast<size_t>(shareCount));
    std::vector<int> damaged(size_t(shareCount), 0);
    forEachShare(shareCount, 1, [&](qsizetype first, qsizetype last) {
        for (qsizetype share = first; share < last; ++share) {
            std::vector<ReadAnswer>& answers = shares[size_t(share)];
            answers.reserve(size_t(bytes.size() / shareCount / 40));
            damaged[size_t(share)] =
                readLines(bytes, bytes.size() * share / shareCount,
                          bytes.size() * (share + 1) / shareCount, wanted, answers);
        }
    });
    KeyIndex index;
    std::vector<int> counts;
    for (size_t share = 0; share < shares.size(); ++share) {
        read.damagedLines += damaged[share];
        for (ReadAnswer& a : shares[share]) {
            a.question = index.numberOf(a.key, a.hash);
            if (size_t(a.question) == counts.size())
                counts.push_back(0);
            ++counts[size_t(a.question)];
        }
    }
    // Each question's answers in one piece, in the order of their lines.
    const QVector<QByteArrayView>& keys = index.keys();
    QVector<QuestionAnswers>& questions = read.questions;
    questions.resize(keys.size());
    std::vector<LoggedAnswer*> next(size_t(keys.size()));
    for (qsizetype i = 0; i < keys.size(); ++i) {
        questions[i].key = QString::fromLatin1(keys.at(i));
        questions[i].answers.resize(counts[size_t(i)]);
        next[size_t(i)] = questions[i].answers.data();
    }
    for (const std::vector<ReadAnswer>& share : shares)
        for (const ReadAnswer& a : share)
            *next[size_t(a.question)]++ = a.answer;
    const auto earlier = [](const LoggedAnswer& a, const LoggedAnswer& b) {
        return a.time < b.time;
    };
    for (QuestionAnswers& q : questions)
        if (!std::is_sorted(q.answers.cbegin(), q.answers.cend(), earlier))
            std::stable_sort(q.answers.begin(), q.answers.end(), earlier);
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
    return appendAnswerLines(path, {line}, error);
}

bool appendAnswerLines(const QString& path, const QVector<AnswerLine>& lines, QString* error) {
    QByteArray bytes;
    bytes.reserve(lines.size() * 48);
    LineComposer composer;
    for (const AnswerLine& line : lines) {
        if (!composer.append(bytes, line)) {
            if (error)
                *error = u("回答記録の1行にできない回答です");
            return false;
        }
    }
    if (bytes.isEmpty())
        return true;
    // Unbuffered, so the lines go to the system in one write as they are
    // appended; a program that ends the next moment has still logged them.
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
