#include "session/LearningSession.h"

#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "formats/RoundLog.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "session/Statistics.h"

LearningSession::LearningSession(QObject* parent) : QObject(parent) {}

QString LearningSession::learnerFile() const {
    return learnerFilePath(appGlobals().programFolder, appGlobals().learnerName);
}

LearnerFileOutcome LearningSession::loadLearner() {
    return learner_.load(learnerFile());
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
    learner_.setFileId(makeFileId(path));
}

RowStatistics LearningSession::statistics(const QString& questionKey) const {
    RowStatistics row = learner_.statistics(questionKey);
    row.thisRound = round_.resultOf(questionKey);
    return row;
}

void LearningSession::judge(bool right) {
    const QString key = round_.shownKey();
    learner_.store(key, statsAfterJudging(statistics(key), right));
    round_.judge(key, right);
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
