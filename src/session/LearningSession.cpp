#include "session/LearningSession.h"

#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "formats/AnswerLog.h"
#include "formats/RoundLog.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "session/Statistics.h"

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
}

double LearningSession::retention() const {
    bool number = false;
    const double chosen = SettingsStore::get("retention", QString()).toDouble(&number);
    return number && chosen >= 0.7 && chosen <= 0.97 ? chosen : DefaultRetention;
}

QStringList LearningSession::chooseBySchedule(const QuestionFilter& filter,
                                              const QStringList& keys) const {
    return ::chooseBySchedule(filter, keys, schedules_, learner_.records(), learner_.fileId(),
                              Clock::now(), retention());
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
    return logged;
}

QString LearningSession::proposedMark(bool right, const QString& selectorText) const {
    return ::proposedMark(learner_.statistics(round_.shownKey()).mark, right, learner_.markTable(),
                          selectorText);
}

void LearningSession::storeMark(const QString& selectorText) {
    learner_.storeMark(round_.shownKey(), selectorText);
}

LearnerFileOutcome LearningSession::logRound(int asked, int right) const {
    const AppGlobals& g = appGlobals();
    return appendRoundLog(roundLogPath(g.programFolder, g.learnerName),
                          {Clock::now(), learner_.fileId(), asked, right});
}

ResultsData LearningSession::resultsData(const QVector<QuestionEntry>& questions) const {
    const AppGlobals& g = appGlobals();
    return collectResults(g.programFolder, g.learnerName, questions, learner_.records(),
                          learner_.fileId(), learner_.marks(), learner_.markTable());
}
