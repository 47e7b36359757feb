#include "learner/Schedule.h"

#include "learner/Statistics.h"
#include "platform/Shares.h"
#include "platform/VectorState.h"

#include <algorithm>
#include <cmath>

namespace {

// FSRS-6's published default weights, w0 to w20.
constexpr double W[21] = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                          0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                          1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
const double Decay = -W[20];
// Chosen so that recall after `stability` days is 90 %.
const double Factor = std::pow(0.9, 1 / Decay) - 1;

constexpr double MinStability = 0.001;
constexpr double MaxStability = 36500;
constexpr int MaxInterval = 36500;
constexpr qint64 SecondsPerDay = 86400;

double initialDifficulty(int grade) {
    return W[4] - std::exp(W[5] * (grade - 1)) + 1;
}

// Worked out once: a log of a year is replayed at every start.
// Not clamped: the mean every difficulty drifts towards is that of an easy
// first answer as the formula gives it.
const double MeanDifficulty = initialDifficulty(Grade::Easy);
const double GrowthScale = std::exp(W[8]);
const double LapseCap = std::exp(W[17] * W[18]);

double boundedDifficulty(double difficulty) {
    return std::clamp(difficulty, 1.0, 10.0);
}

double sameDayStability(double s, int grade) {
    const double growth = std::exp(W[17] * (grade - 3 + W[18])) * std::pow(s, -W[19]);
    return s * (grade >= Grade::Right ? std::max(growth, 1.0) : growth);
}

double recalledStability(double s, double d, double r, int grade) {
    const double hard = grade == Grade::Hard ? W[15] : 1;
    const double easy = grade == Grade::Easy ? W[16] : 1;
    return s * (1 + GrowthScale * (11 - d) * std::pow(s, -W[9]) * (std::exp(W[10] * (1 - r)) - 1) *
                        hard * easy);
}

double forgottenStability(double s, double d, double r) {
    return std::min(W[11] * std::pow(d, -W[12]) * (std::pow(s + 1, W[13]) - 1) *
                        std::exp(W[14] * (1 - r)),
                    s / LapseCap);
}

} // namespace

double recall(double days, double stability) {
    return std::pow(1 + Factor * days / stability, Decay);
}

namespace {
// The interval is the stability times this.
double intervalPerStability(double retention) {
    return (std::pow(retention, 1 / Decay) - 1) / Factor;
}

int wholeDays(double days) {
    if (!(days < MaxInterval))
        return MaxInterval;
    return std::max(1, int(std::lround(days)));
}

qint64 dueAfter(const Memory& memory, double perStability) {
    return memory.lastAnswer + qint64(wholeDays(memory.stability * perStability)) * SecondsPerDay;
}
} // namespace

int intervalDays(double stability, double retention) {
    return wholeDays(stability * intervalPerStability(retention));
}

Memory afterAnswer(const Memory& memory, qint64 time, int grade) {
    grade = std::clamp(grade, Grade::Wrong, Grade::Easy);
    Memory next;
    next.answers = memory.answers + 1;
    if (memory.answers == 0) {
        next.stability = W[grade - 1];
        next.difficulty = boundedDifficulty(initialDifficulty(grade));
        next.lastAnswer = time;
        return next;
    }
    next.lastAnswer = std::max(time, memory.lastAnswer);
    const qint64 wholeDays = (next.lastAnswer - memory.lastAnswer) / SecondsPerDay;
    const double s = memory.stability;
    const double d = memory.difficulty;
    double stability;
    if (wholeDays < 1) {
        stability = sameDayStability(s, grade);
    } else {
        const double r = recall(double(wholeDays), s);
        stability =
            grade == Grade::Wrong ? forgottenStability(s, d, r) : recalledStability(s, d, r, grade);
    }
    next.stability = std::clamp(stability, MinStability, MaxStability);
    const double damped = d - W[6] * (grade - 3) * (10 - d) / 9;
    next.difficulty = boundedDifficulty(W[7] * MeanDifficulty + (1 - W[7]) * damped);
    return next;
}

Memory replayAnswers(const QVector<LoggedAnswer>& answers) {
    Memory memory;
    for (const LoggedAnswer& answer : answers)
        memory = afterAnswer(memory, answer.time, answer.grade);
    return memory;
}

Schedules replaySchedules(const AnswerLogRead& log) {
    // Each question's answers are its own: they are replayed on every core.
    // All the arithmetic first, then the look-ups (platform/VectorState.h).
    QVector<Memory> memories(log.questions.size());
    Memory* const memory = memories.data();
    forEachShare(log.questions.size(), 1000, [&log, memory](qsizetype from, qsizetype to) {
        clearUpperVectorState();
        for (qsizetype q = from; q < to; ++q)
            memory[q] = replayAnswers(log.questions.at(q).answers);
    });
    Schedules schedules;
    schedules.reserve(log.questions.size());
    for (qsizetype i = 0; i < memories.size(); ++i)
        schedules.insert(log.questions.at(i).key, memories.at(i));
    return schedules;
}

qint64 dueTime(const Memory& memory, double retention) {
    return dueAfter(memory, intervalPerStability(retention));
}

namespace {
// On `now`'s clock, so that days turn at its midnight.
QDate dueDayAfter(const Memory& memory, double perStability, const QDateTime& now) {
    return now.addSecs(dueAfter(memory, perStability) - now.toSecsSinceEpoch()).date();
}
} // namespace

QDate dueDay(const Memory& memory, const QDateTime& now, double retention) {
    return dueDayAfter(memory, intervalPerStability(retention), now);
}

double recallAt(const Memory& memory, qint64 now) {
    const double days = double(std::max<qint64>(0, now - memory.lastAnswer)) / SecondsPerDay;
    return recall(days, memory.stability);
}

QVector<int> dueRows(const Schedules& schedules, const RowOfKey& rowOf, const QDateTime& now,
                     double retention) {
    const qint64 at = now.toSecsSinceEpoch();
    const double perStability = intervalPerStability(retention);
    struct Due {
        double recall;
        int row;
        Schedules::const_iterator memory;
    };
    // The arithmetic first, then the look-ups (platform/VectorState.h).
    clearUpperVectorState();
    QVector<Due> due;
    for (auto memory = schedules.cbegin(); memory != schedules.cend(); ++memory)
        if (dueAfter(*memory, perStability) <= at)
            due.append({recallAt(*memory, at), 0, memory});
    qsizetype kept = 0;
    for (Due& question : due) {
        question.row = rowOf(question.memory.key());
        if (question.row > 0)
            due[kept++] = question;
    }
    due.resize(kept);
    std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
        return a.recall < b.recall || (a.recall == b.recall && a.row < b.row);
    });
    QVector<int> rows;
    rows.reserve(due.size());
    for (const Due& question : due)
        rows << question.row;
    return rows;
}

QStringList keysOfRows(const QStringList& keys, const QVector<int>& rows) {
    QStringList chosen;
    chosen.reserve(rows.size());
    for (const int row : rows)
        chosen << keys.at(row - 1);
    return chosen;
}

RowOfKey rowsOfKeys(const QStringList& keys) {
    QHash<QString, int> rows;
    rows.reserve(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i)
        rows.insert(keys.at(i), int(i) + 1);
    return [rows = std::move(rows)](const QString& key) { return rows.value(key); };
}

QStringList dueKeys(const QStringList& keys, const Schedules& schedules, const QDateTime& now,
                    double retention) {
    return keysOfRows(keys, dueRows(schedules, rowsOfKeys(keys), now, retention));
}

DueCount dueCount(const Schedules& schedules,
                  const std::function<bool(const QString&)>& isQuestion, const QDateTime& now,
                  double retention) {
    const qint64 at = now.toSecsSinceEpoch();
    const double perStability = intervalPerStability(retention);
    DueCount count;
    for (auto memory = schedules.cbegin(); memory != schedules.cend(); ++memory) {
        const qint64 due = dueAfter(*memory, perStability);
        if (due <= at) {
            if (isQuestion(memory.key()))
                ++count.due;
        } else if ((count.next == 0 || due < count.next) && isQuestion(memory.key())) {
            count.next = due;
        }
    }
    return count;
}

std::optional<int> retentionPercent(const QString& typed) {
    QString digits = typed.trimmed();
    if (digits.endsWith(u'%') || digits.endsWith(QChar(0xFF05)))
        digits.chop(1);
    if (digits.isEmpty())
        return std::nullopt;
    int percent = 0;
    for (const QChar c : std::as_const(digits)) {
        // Full-width digits too, as a Japanese input method types them.
        if (!c.isDigit())
            return std::nullopt;
        percent = percent * 10 + c.digitValue();
        // Too large already: however many digits follow, nothing overflows.
        if (percent > MaxRetentionPercent)
            return std::nullopt;
    }
    if (percent < MinRetentionPercent)
        return std::nullopt;
    return percent;
}

QStringList newKeys(const QStringList& keys, const Schedules& schedules,
                    const LearnerRecords& records, const QString& fileId, double count) {
    QStringList chosen;
    for (const QString& key : keys) {
        if (!(chosen.size() < count))
            break;
        if (schedules.contains(key))
            continue;
        const int row = records.find(recordKey(fileId, key));
        if (!row || !(numericValue(records.record(row).answered) > 0))
            chosen << key;
    }
    return chosen;
}

QVector<int> dueForecast(const QStringList& keys, const Schedules& schedules, const QDateTime& now,
                         double retention, int days) {
    QVector<int> counts(std::max(days, 0), 0);
    const QDate today = now.date();
    const double perStability = intervalPerStability(retention);
    for (const QString& key : keys) {
        const auto memory = schedules.constFind(key);
        if (memory == schedules.cend())
            continue;
        const qint64 day =
            std::max<qint64>(0, today.daysTo(dueDayAfter(*memory, perStability, now)));
        if (day < counts.size())
            ++counts[day];
    }
    return counts;
}

std::optional<double> meanRecall(const QStringList& keys, const Schedules& schedules,
                                 const QDateTime& now) {
    const qint64 at = now.toSecsSinceEpoch();
    double sum = 0;
    int answered = 0;
    for (const QString& key : keys) {
        const auto memory = schedules.constFind(key);
        if (memory == schedules.cend())
            continue;
        sum += recallAt(*memory, at);
        ++answered;
    }
    if (answered == 0)
        return std::nullopt;
    return sum / answered;
}
