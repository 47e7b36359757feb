#include "learner/Results.h"

#include "data/modKuMemo.h"
#include "learner/Learners.h"
#include "learner/Statistics.h"
#include "platform/KeyedTable.h"
#include "platform/Texts.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {
// A question's counts from its record; answered 0 when there is none.
struct Counts {
    double correct = 0;
    double answered = 0;
    QString level;
};

Counts countsOf(const LearnerRecords& records, const QString& fileId, const QString& key) {
    const int found = records.find(recordKey(fileId, key));
    if (!found)
        return {};
    const LearnerRecord& record = records.record(found);
    return {numericValue(record.correct), numericValue(record.answered), record.level};
}

// The rate in tenths of a percent, rounded as the list shows it.
double perMille(double correct, double answered) {
    return std::round(correct * 1000.0 / answered);
}

QString padded(double number) {
    return padLeft(6, QString::number(number));
}

QString rateCell(double correct, double answered) {
    return answered > 0 ? rateText(correct, answered) : QString();
}
} // namespace

int rateBin(double correct, double answered) {
    return std::clamp(int(perMille(correct, answered)) / 100, 0, RateBins - 1);
}

QString rateBinLabel(int bin) {
    return QString::number(bin * 10) + u("～") +
           (bin == RateBins - 1 ? QStringLiteral("100") : QString::number(bin * 10 + 9) + ".9");
}

LearnerResults learnerResults(const QVector<QuestionEntry>& questions,
                              const LearnerRecords& records, const QString& fileId,
                              const QStringList& marks, const KeyedTable& markTable,
                              int hardestCount) {
    LearnerResults results;
    results.questions = int(questions.size());
    for (const QString& mark : marks)
        results.marks.append({mark, 0});
    MarkCount unmarked;
    for (const QuestionEntry& question : questions) {
        const Counts counts = countsOf(records, fileId, question.key);
        const QString mark =
            counts.level.isEmpty() ? QString() : markTable.textOf("key" + counts.level);
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
                {question.key, question.text, int(counts.correct), int(counts.answered)});
    }
    results.marks.append(unmarked);
    std::stable_sort(results.hardest.begin(), results.hardest.end(),
                     [](const HardQuestion& a, const HardQuestion& b) {
                         const double rateA = perMille(a.correct, a.answered);
                         const double rateB = perMille(b.correct, b.answered);
                         return rateA != rateB ? rateA < rateB : a.answered > b.answered;
                     });
    if (results.hardest.size() > hardestCount)
        results.hardest.resize(hardestCount);
    return results;
}

namespace {
// Bytes no learner file holds: a NUL, or text without a single record.
bool looksDamaged(const QByteArray& bytes, const LearnerRecords& records) {
    return bytes.contains('\0') || (records.count() == 0 && !bytes.trimmed().isEmpty());
}

// Adds a learner's answers to the class; false when none is for this file.
bool addLearner(ClassResults& results, const QString& name, const LearnerRecords& records,
                const QString& fileId) {
    ClassLearner learner{name, {}, 0, 0, 0};
    for (ClassQuestion& question : results.questions) {
        const Counts counts = countsOf(records, fileId, question.key);
        if (counts.answered <= 0)
            continue;
        ++learner.answered;
        if (counts.correct > 0)
            ++learner.solved;
        learner.rateSum += counts.correct / counts.answered;
        ++question.learners;
        question.correct += counts.correct;
        question.answered += counts.answered;
    }
    if (learner.answered == 0)
        return false;
    results.learners.append(learner);
    return true;
}
} // namespace

ClassResults classResults(const QString& folder, const QVector<QuestionEntry>& questions,
                          const QString& fileId, const QString& currentLearner,
                          const LearnerRecords& currentRecords) {
    ClassResults results;
    results.questions.reserve(questions.size());
    for (const QuestionEntry& question : questions)
        results.questions.append({question.key, question.text, 0, 0, 0});
    QStringList names = existingLearners(folder);
    if (!names.contains(currentLearner) && !currentLearner.isEmpty()) {
        names.append(currentLearner);
        names.sort();
    }
    LearnerRecords records;
    for (const QString& name : names) {
        if (name == currentLearner) {
            addLearner(results, name, currentRecords, fileId);
            continue;
        }
        QFile file(learnerFilePath(folder, name));
        if (!file.open(QIODevice::ReadOnly)) {
            results.learners.append({name, file.errorString(), 0, 0, 0});
            continue;
        }
        const QByteArray bytes = file.readAll();
        records.clear();
        readLearnerRecords(bytes, records);
        if (looksDamaged(bytes, records))
            results.learners.append({name, u("回答者ﾃﾞｰﾀﾌｧｲﾙとして読めません"), 0, 0, 0});
        else
            addLearner(results, name, records, fileId);
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

TextTable hardestTable(const LearnerResults& results) {
    TextTable table{{u("問題"), u("正解数"), u("回答数"), u("正解率")}, {}, {}};
    for (const HardQuestion& q : results.hardest) {
        table.keys << q.key;
        table.rows.append(
            {q.text, padded(q.correct), padded(q.answered), rateText(q.correct, q.answered)});
    }
    return table;
}

TextTable classLearnerTable(const ClassResults& results) {
    TextTable table{{u("回答者"), u("回答した問題"), u("正解した問題"), u("平均正解率")}, {}, {}};
    for (const ClassLearner& learner : results.learners) {
        table.keys << learner.name;
        if (!learner.unreadable.isEmpty())
            table.rows.append({learner.name, u("読めません: ") + learner.unreadable, {}, {}});
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
                           const KeyedTable& markTable) {
    ResultsData data;
    data.learnerName = learnerName;
    data.learner = learnerResults(questions, records, fileId, marks, markTable, HardestShown);
    data.roundLogPath = roundLogPath(folder, learnerName);
    data.rounds = loadRoundLog(data.roundLogPath, fileId);
    data.klass = classResults(folder, questions, fileId, learnerName, records);
    return data;
}

QString lastRoundText(const RoundLogRead& rounds) {
    if (rounds.rounds.isEmpty())
        return u("―");
    const RoundEntry& last = rounds.rounds.last();
    return roundResultText(last.asked, last.right);
}
