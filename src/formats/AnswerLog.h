#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The answer log: one line per judged answer, beside the learner file as
// programFolder + learner name + ".kma". ASCII, CR LF, four fields separated
// by tabs:
//   the time in UTC "2026-12-08T01:20:33Z", the question file's identifier
//   (makeFileId), the question key, the grade.
// Lines are only ever appended; the learner file never changes because of it.

// 1 wrong, 3 right; 2 and 4 come only from imported histories.
namespace Grade {
constexpr int Wrong = 1;
constexpr int Hard = 2;
constexpr int Right = 3;
constexpr int Easy = 4;
} // namespace Grade

// One judged answer. Times are seconds since 1970-01-01T00:00:00Z.
struct AnswerLine {
    qint64 time = 0;
    QString fileId;
    QString questionKey;
    int grade = Grade::Right;
};

// One line with its CR LF; empty when the answer cannot be one: a time
// outside the years 0000 to 9999, a grade outside 1 to 4, an empty field, or
// a field with a character that is not printable ASCII.
QByteArray composeAnswerLine(const AnswerLine& line);

// A question's answers as the log holds them.
struct LoggedAnswer {
    qint64 time = 0;
    int grade = Grade::Right;
};

// One question's answers, oldest first: lines written out of time order are
// put in order, answers at one moment keep the order of their lines.
struct QuestionAnswers {
    QString key;
    QVector<LoggedAnswer> answers;
};

// The answers of one question file, a question each, in the order of their
// first lines. A line that cannot be read is skipped and counted, whatever
// file it was for; the rest still count.
struct AnswerLogRead {
    QVector<QuestionAnswers> questions;
    int damagedLines = 0;
    bool ok = true;
    QString reason; // why the file could not be read; it then holds nothing
};
AnswerLogRead readAnswerLog(const QByteArray& bytes, const QString& fileId);

// Reads the log at `path`; a missing one holds no answers.
AnswerLogRead loadAnswerLog(const QString& path, const QString& fileId);

// Appends the answer's line to the log at `path`, created when missing, in
// one write that reaches the system before this returns. What the log held
// stays byte for byte; a last line that a crash left without its line end
// is ended first, so the new line stays readable. The caller holds the
// learner file's lock, so that two programs take turns. False, with
// `error`, when the line could not be written or the answer cannot be a
// line.
bool appendAnswerLine(const QString& path, const AnswerLine& line, QString* error = nullptr);

// Appends the lines, in their order, as appendAnswerLine appends one: in
// one write, so that a history brought in takes the lock once. When any of
// them cannot be a line, none is written.
bool appendAnswerLines(const QString& path, const QVector<AnswerLine>& lines,
                       QString* error = nullptr);

// The first moment a line cannot hold: the year 10000.
constexpr qint64 AnswerLogTimeEnd = 253402300800;
