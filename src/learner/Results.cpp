#include "learner/Results.h"

#include "formats/TableExport.h"
#include "learner/Learners.h"
#include "learner/Statistics.h"
#include "platform/Codepage.h"
#include "platform/KeyedTable.h"
#include "platform/TextLines.h"
#include "platform/Texts.h"
#include "platform/TrimSpaces.h"

#include <QFile>
#include <QSet>

#include <cstdint>
#include <vector>

#include <algorithm>

namespace {
// A question's counts from its record; answered 0 when there is none.
struct Counts {
    double correct = 0;
    double answered = 0;
    QString level;
};

QString padded(double number) {
    return padLeft(6, QString::number(number));
}

QString rateCell(double correct, double answered) {
    return answered > 0 ? rateText(correct, answered) : QString();
}

// The open file's question keys to their place in the file: one flat table
// probed in line, with each key's hash beside its place, so a look-up reads
// one or two neighbouring slots and the key's text once. A class of 30
// learners of 10,000 questions makes 300,000 of them.
class QuestionIndex {
  public:
    explicit QuestionIndex(const QVector<QuestionEntry>& questions) : questions_(questions) {
        std::size_t size = 16;
        while (size < std::size_t(questions.size()) * 2)
            size *= 2;
        slots_.assign(size, Slot{});
        for (qsizetype i = 0; i < questions.size(); ++i) {
            const std::uint32_t hash = hashOf(questions[i].key);
            std::size_t at = hash & (size - 1);
            while (slots_[at].place >= 0)
                at = (at + 1) & (size - 1);
            slots_[at] = {hash, int(i)};
        }
    }
    int size() const { return int(questions_.size()); }
    // The place of the question with this key, -1 when the file has none.
    int find(QStringView key) const {
        const std::uint32_t hash = hashOf(key);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.place < 0)
                return -1;
            if (slot.hash == hash && QStringView(questions_[slot.place].key) == key)
                return slot.place;
        }
    }

  private:
    struct Slot {
        std::uint32_t hash = 0;
        int place = -1;
    };
    // FNV-1a over the UTF-16 units: quick on short keys.
    static std::uint32_t hashOf(QStringView key) {
        std::uint32_t hash = 2166136261u;
        for (const QChar c : key)
            hash = (hash ^ c.unicode()) * 16777619u;
        return hash;
    }
    const QVector<QuestionEntry>& questions_;
    std::vector<Slot> slots_;
};

// The records' counts for the open file's questions, by their place.
QVector<Counts> recordCounts(const LearnerRecords& records, const QString& fileId,
                             const QuestionIndex& index) {
    QVector<Counts> counts(index.size());
    const QString prefix = recordKey(fileId, {});
    for (int row = 1; row <= records.count(); ++row) {
        const QString& key = records.key(row);
        if (!key.startsWith(prefix))
            continue;
        const int found = index.find(QStringView(key).sliced(prefix.size()));
        if (found < 0)
            continue;
        const LearnerRecord& record = records.record(row);
        counts[found] = {numericValue(record.correct), numericValue(record.answered), record.level};
    }
    return counts;
}

LearnerResults learnerResultsOf(const QVector<QuestionEntry>& questions,
                                const QVector<Counts>& perQuestion, const QStringList& marks,
                                const KeyedTable& markTable, int hardestCount) {
    LearnerResults results;
    results.questions = int(questions.size());
    for (const QString& mark : marks)
        results.marks.append({mark, 0});
    MarkCount unmarked;
    for (qsizetype i = 0; i < questions.size(); ++i) {
        const QuestionEntry& question = questions[i];
        const Counts& counts = perQuestion[i];
        const QString mark = markOfLevel(markTable, counts.level);
        const auto markRow = std::find_if(results.marks.begin(), results.marks.end(),
                                          [&mark](const MarkCount& m) { return m.mark == mark; });
        ++(markRow == results.marks.end() ? unmarked : *markRow).questions;
        if (counts.answered <= 0) {
            ++results.neverAnswered;
            continue;
        }
        ++results.answered;
        if (counts.correct > 0)
            ++results.solved;
        ++results.histogram[std::size_t(rateBin(counts.correct, counts.answered))];
        if (counts.answered >= 2)
            results.hardest.append(
                {question.key, question.text, int(counts.correct), int(counts.answered), {}});
    }
    results.marks.append(unmarked);
    std::stable_sort(results.hardest.begin(), results.hardest.end(),
                     [](const HardQuestion& a, const HardQuestion& b) {
                         const double rateA = ratePerMille(a.correct, a.answered);
                         const double rateB = ratePerMille(b.correct, b.answered);
                         return rateA != rateB ? rateA < rateB : a.answered > b.answered;
                     });
    if (results.hardest.size() > hardestCount)
        results.hardest.resize(hardestCount);
    return results;
}

} // namespace

int rateBin(double correct, double answered) {
    return std::clamp(int(ratePerMille(correct, answered)) / 100, 0, RateBins - 1);
}

QString rateBinLabel(int bin) {
    return QString::number(bin * 10) + u("～");
}

QString markLabel(const MarkCount& mark) {
    return mark.mark.isEmpty() ? u("なし") : mark.mark;
}

namespace {
// The counts of a record's value: its first two fields, as the reader
// splits them at ":".
Counts countsOfValue(QStringView value) {
    const qsizetype first = value.indexOf(':');
    if (first < 0)
        return {numericValue(value), 0, {}};
    const QStringView rest = value.sliced(first + 1);
    const qsizetype second = rest.indexOf(':');
    return {
        numericValue(value.first(first)), numericValue(second < 0 ? rest : rest.first(second)), {}};
}

// A learner file's counts for this file's questions, by their place. The
// lines are read as the learner file is read (of two lines with one key the
// first counts), without a table of all the learner's records: a class of
// many learners reads quickly. Bytes no learner file holds (a NUL, or text
// without a single record) make it unreadable.
bool readCounts(const QByteArray& bytes, const QString& fileId, const QuestionIndex& index,
                QVector<Counts>& counts) {
    if (bytes.contains('\0'))
        return false;
    const QString text = Codepage::decode(bytes);
    const QString prefix = recordKey(fileId, {});
    counts.fill(Counts{}, index.size());
    std::vector<bool> seen(std::size_t(index.size()));
    bool anyRecord = false;
    forEachLine(text, [&](QStringView line, int) {
        QStringView key, value;
        if (!parseLearnerLine(line, key, value))
            return;
        anyRecord = true;
        if (!key.startsWith(prefix))
            return;
        const int found = index.find(key.sliced(prefix.size()));
        if (found < 0 || seen[std::size_t(found)])
            return;
        seen[std::size_t(found)] = true;
        counts[found] = countsOfValue(value);
    });
    return anyRecord || bytes.trimmed().isEmpty();
}

// Adds a learner's answers to the class; a learner who answered none of the
// file's questions is left out.
// The counts are the questions', in the order of the file.
void addLearner(ClassResults& results, const QString& name, const QVector<Counts>& counts) {
    ClassLearner learner{name, {}, 0, 0, 0, {}};
    learner.counts.reserve(results.questions.size());
    for (qsizetype i = 0; i < results.questions.size(); ++i) {
        ClassQuestion& question = results.questions[i];
        const Counts& c = counts[i];
        learner.counts.append({c.correct, c.answered});
        if (c.answered <= 0)
            continue;
        ++learner.answered;
        if (c.correct > 0)
            ++learner.solved;
        learner.rateSum += c.correct / c.answered;
        ++question.learners;
        question.correct += c.correct;
        question.answered += c.answered;
    }
    if (learner.answered > 0)
        results.learners.append(learner);
}
} // namespace

namespace {
ClassResults classResultsOf(const QString& folder, const QVector<QuestionEntry>& questions,
                            const QuestionIndex& index, const QString& fileId,
                            const QString& currentLearner, const QVector<Counts>& current) {
    ClassResults results;
    results.questions.reserve(questions.size());
    for (const QuestionEntry& question : questions)
        results.questions.append(
            {question.key, question.text, int(results.questions.size()), 0, 0, 0});
    QStringList names = existingLearners(folder);
    if (!names.contains(currentLearner) && !currentLearner.isEmpty()) {
        names.append(currentLearner);
        names.sort();
    }
    QVector<Counts> counts;
    for (const QString& name : names) {
        if (name == currentLearner) {
            addLearner(results, name, current);
            continue;
        }
        QFile file(learnerFilePath(folder, name));
        if (!file.open(QIODevice::ReadOnly))
            results.learners.append({name, file.errorString(), 0, 0, 0, {}});
        else if (!readCounts(file.readAll(), fileId, index, counts))
            results.learners.append({name, u("回答者ﾃﾞｰﾀﾌｧｲﾙとして読めません"), 0, 0, 0, {}});
        else
            addLearner(results, name, counts);
    }
    const auto wrong = [](const ClassQuestion& q) { return q.answered - q.correct; };
    std::stable_sort(results.questions.begin(), results.questions.end(),
                     [&wrong](const ClassQuestion& a, const ClassQuestion& b) {
                         if ((a.answered > 0) != (b.answered > 0))
                             return a.answered > 0;
                         if (a.answered <= 0)
                             return false;
                         const double rateA = a.correct / a.answered;
                         const double rateB = b.correct / b.answered;
                         return rateA != rateB ? rateA < rateB : wrong(a) > wrong(b);
                     });
    return results;
}
} // namespace

LearnerResults learnerResults(const QVector<QuestionEntry>& questions,
                              const LearnerRecords& records, const QString& fileId,
                              const QStringList& marks, const KeyedTable& markTable,
                              int hardestCount) {
    const QuestionIndex index(questions);
    return learnerResultsOf(questions, recordCounts(records, fileId, index), marks, markTable,
                            hardestCount);
}

ClassResults classResults(const QString& folder, const QVector<QuestionEntry>& questions,
                          const QString& fileId, const QString& currentLearner,
                          const LearnerRecords& currentRecords) {
    const QuestionIndex index(questions);
    return classResultsOf(folder, questions, index, fileId, currentLearner,
                          recordCounts(currentRecords, fileId, index));
}

TextTable hardestTable(const LearnerResults& results) {
    TextTable table{{u("問題"), u("正解数"), u("回答数"), u("正解率"), u("次の復習日")}, {}, {}};
    for (const HardQuestion& q : results.hardest) {
        table.keys << q.key;
        // Zero-padded, so that a text sort orders the days.
        table.rows.append({q.text, padded(q.correct), padded(q.answered),
                           rateText(q.correct, q.answered), q.due.toString("yyyy/MM/dd")});
    }
    return table;
}

TextTable classLearnerTable(const ClassResults& results) {
    TextTable table{{u("回答者"), u("回答した問題"), u("正解した問題"), u("平均正解率")}, {}, {}};
    for (const ClassLearner& learner : results.learners) {
        table.keys << learner.name;
        if (!learner.unreadable.isEmpty())
            table.rows.append(
                {learner.name + u("　(読めません: ") + learner.unreadable + ")", {}, {}, {}});
        else
            table.rows.append({learner.name, padded(learner.answered), padded(learner.solved),
                               rateText(learner.rateSum, learner.answered)});
    }
    return table;
}

TextTable classQuestionTable(const ClassResults& results) {
    TextTable table{{u("問題"), u("回答した人数"), u("正解数"), u("回答数"), u("正解率")}, {}, {}};
    for (const ClassQuestion& q : results.questions) {
        table.keys << q.key;
        table.rows.append({q.text, padded(q.learners), padded(q.correct), padded(q.answered),
                           rateCell(q.correct, q.answered)});
    }
    return table;
}

QByteArray classRateSheet(const ClassResults& results) {
    QVector<ClassQuestion> questions = results.questions;
    std::sort(questions.begin(), questions.end(),
              [](const ClassQuestion& a, const ClassQuestion& b) { return a.place < b.place; });
    QString sheet = u("回答者");
    for (const ClassQuestion& q : std::as_const(questions))
        sheet += ',' + QuestionTable::quotedField(QString(q.text).replace("\r\n", " "), ',');
    sheet += "\r\n";
    for (const ClassLearner& learner : results.learners) {
        if (!learner.unreadable.isEmpty())
            continue;
        sheet += QuestionTable::quotedField(learner.name, ',');
        for (const auto& [correct, answered] : learner.counts) {
            sheet += ',';
            // The rate as the lists round it, as a number.
            if (answered > 0)
                sheet += rateFigure(ratePerMille(correct, answered)).chopped(1);
        }
        sheet += "\r\n";
    }
    return "\xEF\xBB\xBF" + sheet.toUtf8();
}

QByteArray composeTextTable(const TextTable& table) {
    QByteArray bytes;
    const auto line = [&bytes](const QStringList& cells) {
        QStringList clean;
        for (QString cell : cells) {
            cell.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ');
            clean << trimSpaces(cell);
        }
        bytes += clean.join('\t').toUtf8() + "\r\n";
    };
    line(table.header);
    for (const QStringList& row : table.rows)
        line(row);
    return bytes;
}

ResultsData collectResults(const QString& folder, const QString& learnerName,
                           const QVector<QuestionEntry>& questions, const LearnerRecords& records,
                           const QString& fileId, const QStringList& marks,
                           const KeyedTable& markTable, const ScheduleAt& schedule) {
    ResultsData data;
    data.learnerName = learnerName;
    // The learner's records are looked up once, for both.
    const QuestionIndex index(questions);
    const QVector<Counts> counts = recordCounts(records, fileId, index);
    data.learner = learnerResultsOf(questions, counts, marks, markTable, HardestShown);
    data.roundLogPath = roundLogPath(folder, learnerName);
    data.rounds = loadRoundLog(data.roundLogPath, fileId);
    data.klass = classResultsOf(folder, questions, index, fileId, learnerName, counts);
    for (HardQuestion& question : data.learner.hardest) {
        const auto memory = schedule.schedules.constFind(question.key);
        if (memory != schedule.schedules.cend())
            question.due = dueDay(*memory, schedule.now, schedule.retention);
    }
    data.schedule = scheduleResults(questions, schedule);
    return data;
}

ScheduleResults scheduleResults(const QVector<QuestionEntry>& questions,
                                const ScheduleAt& schedule) {
    QStringList keys;
    keys.reserve(questions.size());
    for (const QuestionEntry& question : questions)
        keys << question.key;
    return {schedule.now.date(),
            dueForecast(keys, schedule.schedules, schedule.now, schedule.retention, ForecastDays),
            meanRecall(keys, schedule.schedules, schedule.now), schedule.retention};
}

QStringList forecastLabels(const ScheduleResults& schedule) {
    QStringList labels;
    for (int day = 0; day < schedule.dueByDay.size(); ++day)
        labels << schedule.firstDay.addDays(day).toString("M/d");
    return labels;
}

namespace {
QString percentText(double share) {
    return QString::number(100 * share, 'f', 1) + '%';
}
} // namespace

QString recallText(const ScheduleResults& schedule) {
    const QString target =
        u("　(復習の目標 ") + QString::number(qRound(100 * schedule.retention)) + "%)";
    if (!schedule.meanRecall)
        return u("回答の記録がまだないため、今思い出せる見込みはわかりません") + target;
    return u("回答した問題を今思い出せる見込み: 平均 ") + percentText(*schedule.meanRecall) +
           target;
}

namespace {
// A round's day as the chart labels it: with the year when the rounds span
// more than one.
QString dayFormat(const QVector<RoundEntry>& rounds) {
    const bool oneYear = rounds.first().when.date().year() == rounds.last().when.date().year();
    return oneYear ? u("M月d日") : u("yyyy/M/d");
}
} // namespace

ProgressChart progressChart(const QVector<RoundEntry>& rounds, int maxLabels) {
    ProgressChart chart;
    if (rounds.isEmpty())
        return chart;
    for (const RoundEntry& round : rounds)
        chart.rates << (round.asked > 0 ? 100.0 * round.right / round.asked : 0.0);
    const QString format = dayFormat(rounds);
    // Labels stand at least this many rounds apart.
    const int count = int(rounds.size());
    const int gap = std::max(1, (count + maxLabels - 1) / std::max(1, maxLabels));
    QDate previousDay;
    QSet<QString> used; // a log put out of order by hand may go back to a day
    for (int i = 0; i < count; ++i) {
        const QDate day = rounds[i].when.date();
        const bool firstOfDay = day != previousDay;
        previousDay = day;
        const int round = i + 1;
        const QString text = rounds[i].when.toString(format);
        if (!firstOfDay || used.contains(text) ||
            (!chart.labels.isEmpty() && round - chart.labels.last().round < gap))
            continue;
        used.insert(text);
        chart.labels.append({round, text});
    }
    return chart;
}

QString lastRoundText(const RoundLogRead& rounds) {
    if (rounds.rounds.isEmpty())
        return u("―");
    const RoundEntry& last = rounds.rounds.last();
    return roundResultText(last.asked, last.right);
}

namespace {
QString questionCount(int questions) {
    return QString::number(questions) + u("問");
}
} // namespace

QString rateChartDescription(const LearnerResults& results) {
    QStringList bins;
    for (int bin = 0; bin < RateBins; ++bin)
        bins << QString::number(bin * 10) + u("%～ ") +
                    questionCount(results.histogram[std::size_t(bin)]);
    return bins.join(u("、"));
}

QString markChartDescription(const LearnerResults& results) {
    QStringList marks;
    for (const MarkCount& mark : results.marks)
        marks << markLabel(mark) + u(" ") + questionCount(mark.questions);
    return marks.join(u("、"));
}

QString forecastChartDescription(const ScheduleResults& schedule) {
    QStringList said;
    for (int day = 0; day < schedule.dueByDay.size(); ++day)
        if (schedule.dueByDay[day] > 0)
            said << schedule.firstDay.addDays(day).toString(u("M月d日 ")) +
                        questionCount(schedule.dueByDay[day]);
    if (said.isEmpty())
        return u("%1日のうちに復習の時期が来る問題はありません").arg(schedule.dueByDay.size());
    return said.join(u("、"));
}

QString progressChartDescription(const QVector<RoundEntry>& rounds, int latest) {
    if (rounds.isEmpty())
        return {};
    const QString format = dayFormat(rounds);
    QStringList said;
    for (qsizetype i = rounds.size() - 1; i >= 0 && said.size() < latest; --i)
        said << rounds[i].when.toString(format) + u(" ") +
                    roundResultText(rounds[i].asked, rounds[i].right);
    return u("新しい順に ") + said.join(u("、"));
}
