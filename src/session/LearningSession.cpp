#include "session/LearningSession.h"

#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "formats/AnswerLog.h"
#include "formats/RoundLog.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "session/Statistics.h"

#include <algorithm>
#include <utility>

LearningSession::LearningSession(QObject* parent) : QObject(parent) {}

QString LearningSession::learnerFile() const {
    return learnerFilePath(appGlobals().programFolder, appGlobals().learnerName);
}

LearnerFileOutcome LearningSession::loadLearner() {
    loadSchedules();
    return learner_.load(learnerFile());
}

void LearningSession::loadSchedules() {
    const AppGlobals& g = appGlobals();
    schedules_ = replaySchedules(
        loadAnswerLog(answerLogPath(g.programFolder, g.learnerName), learner_.fileId()));
    emit scheduleChanged();
}

double LearningSession::retention() const {
    if (retention_)
        return *retention_;
    bool number = false;
    const double chosen = SettingsStore::get("retention", QString()).toDouble(&number);
    retention_ = number && chosen >= MinRetentionPercent / 100.0 &&
                         chosen <= MaxRetentionPercent / 100.0
                     ? chosen
                     : DefaultRetention;
    return *retention_;
}

void LearningSession::setRetention(int percent) {
    SettingsStore::save("retention", QString::number(percent / 100.0));
    retention_.reset();
    emit scheduleChanged();
}

DueCount LearningSession::dueCount(const std::function<bool(const QString&)>& isQuestion) const {
    return ::dueCount(schedules_, isQuestion, Clock::now(), retention());
}

QVector<int> LearningSession::chooseRowsBySchedule(const QuestionFilter& filter,
                                                   const QStringList& keys,
                                                   const RowOfKey& rowOf) const {
    return ::chooseRowsBySchedule(filter, keys, rowOf, schedules_, learner_.records(),
                                  learner_.fileId(), Clock::now(), retention());
}

LearnerFileOutcome LearningSession::saveLearner() {
    return learner_.save(learnerFile());
}

LearnerFileOutcome LearningSession::switchLearner(const QString& name) {
    const LearnerFileOutcome saved = saveLearner();
    if (!saved.ok)
        return saved;
    // This round's verdicts were the old learner's.
    round_.clearResults();
    appGlobals().learnerName = name;
    SettingsStore::save("UserName", name);
    loadLearner();
    return saved;
}

void LearningSession::setQuestionFile(const QString& path) {
    const QString fileId = makeFileId(path);
    if (fileId == learner_.fileId())
        return;
    learner_.setFileId(fileId);
    loadSchedules();
}

RowStatistics LearningSession::statistics(const QString& questionKey) const {
    RowStatistics row = learner_.statistics(questionKey);
    row.thisRound = round_.resultOf(questionKey);
    return row;
}

QVector<RowStatistics> LearningSession::statistics(const QStringList& questionKeys) const {
    QVector<RowStatistics> rows = learner_.statistics(questionKeys);
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows[i].thisRound = round_.resultOf(questionKeys.at(i));
    return rows;
}

QVector<int> LearningSession::rowsFilteredOut(const QuestionFilter& filter,
                                              const QStringList& keys) const {
    // Each row's results and verdict are looked up only for a filter that
    // reads them.
    QVector<RowNumbers> rows = filter.readsResults() ? learner_.numbers(keys)
                                                     : QVector<RowNumbers>(keys.size());
    if (filter.readsVerdicts())
        for (qsizetype i = 0; i < keys.size(); ++i)
            rows[i].wrongThisTime = round_.answeredWrongly(keys.at(i));
    QVector<int> out;
    for (int row = int(keys.size()); row >= 1; --row)
        if (!keepsRow(filter, row, rows.at(row - 1), learner_.markTable()))
            out << row;
    return out;
}

LearnerFileOutcome LearningSession::judge(bool right) {
    const QString key = round_.shownKey();
    const qint64 time = Clock::now().toSecsSinceEpoch();
    const int grade = right ? Grade::Right : Grade::Wrong;
    const AppGlobals& g = appGlobals();
    const LearnerFileOutcome logged =
        logAnswer(g.programFolder, g.learnerName, {time, learner_.fileId(), key, grade});
    if (logged.ok)
        schedules_[key] = afterAnswer(schedules_.value(key), time, grade);
    learner_.store(key, statsAfterJudging(statistics(key), right));
    round_.judge(key, right);
    if (logged.ok)
        emit scheduleChanged();
    return logged;
}

QString LearningSession::proposedMark(bool right, const QString& selectorText) const {
    return ::proposedMark(learner_.statistics(round_.shownKey()).mark, right, learner_.markTable(),
                          selectorText);
}

void LearningSession::storeMark(const QString& selectorText) {
    learner_.storeMark(round_.shownKey(), selectorText);
}

namespace {

// How many questions, answers and right answers a history brings.
LearningSession::HistoryTaken countHistory(const QVector<QuestionHistory>& history) {
    LearningSession::HistoryTaken taken;
    for (const QuestionHistory& question : history) {
        if (question.isEmpty())
            continue;
        ++taken.questions;
        taken.answered += question.answered;
        taken.right += question.right;
    }
    return taken;
}

} // namespace

LearningSession::HistoryTaken LearningSession::takeHistory(const QVector<QuestionHistory>& history,
                                                           bool fileNamed) {
    const QString& name = appGlobals().learnerName;
    if (fileNamed)
        return fileHistory(history, name);
    heldHistory_.append({name, history});
    HistoryTaken taken = countHistory(history);
    taken.held = true;
    taken.learner = name;
    return taken;
}

QVector<LearningSession::HistoryTaken> LearningSession::takeHeldHistory() {
    QVector<HistoryTaken> taken;
    for (const HeldHistory& held : std::exchange(heldHistory_, {}))
        taken.append(fileHistory(held.history, held.learner));
    return taken;
}

LearningSession::HistoryTaken
LearningSession::fileHistory(const QVector<QuestionHistory>& history, const QString& learnerName) {
    HistoryTaken taken = countHistory(history);
    taken.learner = learnerName;
    qsizetype reviews = 0;
    for (const QuestionHistory& question : history)
        reviews += question.reviews.size();
    QVector<AnswerLine> lines;
    lines.reserve(reviews);
    for (const QuestionHistory& question : history)
        for (const ImportedReview& review : question.reviews)
            lines.append({review.time, learner_.fileId(), question.key, review.grade});
    const QString& folder = appGlobals().programFolder;
    if (!lines.isEmpty()) {
        // Reviews of different questions interleave in time.
        std::stable_sort(lines.begin(), lines.end(),
                         [](const AnswerLine& a, const AnswerLine& b) { return a.time < b.time; });
        taken.outcome = logAnswers(folder, learnerName, lines);
        if (!taken.outcome.ok)
            return taken;
    }
    taken.taken = true;
    const QString path = learnerFilePath(folder, learnerName);
    if (learnerName != appGlobals().learnerName) {
        // A learner switched away from since the import: records of these
        // counts alone, new to the file, are added under its lock to what
        // it holds, marks kept.
        LearnerRecords added;
        for (const QuestionHistory& question : history)
            if (!question.isEmpty())
                added.add(recordKey(learner_.fileId(), question.key),
                          {QString::number(question.right), QString::number(question.answered),
                           QString()});
        taken.outcome = saveLearnerFile(path, added);
        return taken;
    }
    QVector<QPair<QString, RowStatistics>> counts;
    counts.reserve(taken.questions);
    for (const QuestionHistory& question : history)
        if (!question.isEmpty())
            counts.append({question.key, statsAfterAnswers(learner_.statistics(question.key),
                                                           question.answered, question.right)});
    // The log holds the answers already: when the learner file cannot be
    // written now, the counts wait in memory for the next save.
    taken.outcome = learner_.storeAllAndSave(counts, path);
    loadSchedules();
    return taken;
}

LearnerFileOutcome LearningSession::logRound(int asked, int right) const {
    const AppGlobals& g = appGlobals();
    return appendRoundLog(roundLogPath(g.programFolder, g.learnerName),
                          {Clock::now(), learner_.fileId(), asked, right});
}

ResultsData LearningSession::resultsData(const QVector<QuestionEntry>& questions) const {
    const AppGlobals& g = appGlobals();
    return collectResults(g.programFolder, g.learnerName, questions, learner_.records(),
                          learner_.fileId(), learner_.marks(), learner_.markTable(),
                          {schedules_, Clock::now(), retention()});
}
