#pragma once

#include "learner/LearnerModel.h"
#include "learner/QuestionFilter.h"
#include "learner/Results.h"
#include "learner/Schedule.h"
#include "session/Round.h"

#include <QObject>

struct QuestionEntry;

// What the main window decides without a widget: whose results are kept
// and where, the round on the open file, judging an answer and giving a
// mark, the round's line in the log and what the results window shows. The
// windows show what it holds and tell it what the learner did.
class LearningSession : public QObject {
    Q_OBJECT
  public:
    explicit LearningSession(QObject* parent = nullptr);

    LearnerModel& learner() { return learner_; }
    const LearnerModel& learner() const { return learner_; }
    Round& round() { return round_; }
    const Round& round() const { return round_; }

    // The current learner's file in the program's folder.
    QString learnerFile() const;
    LearnerFileOutcome loadLearner();
    // Writes the records; when that fails they stay in memory for the
    // next try, and the outcome says why.
    LearnerFileOutcome saveLearner();
    // The old learner's results are written before they leave memory; when
    // they cannot be, the learner stays and the outcome says why.
    LearnerFileOutcome switchLearner(const QString& name);

    // The question file whose results are looked up, by its path. The
    // caller shows the list anew.
    void setQuestionFile(const QString& path);

    // A question's columns on the run list: its results and this round's
    // verdict.
    RowStatistics statistics(const QString& questionKey) const;
    QVector<RowStatistics> statistics(const QStringList& questionKeys) const;
    // Of `keys` in list order, after a random filter's shuffle, the places
    // from 1 of the rows `filter` removes, the last first. A filter that
    // chooses by the schedule removes none here.
    QVector<int> rowsFilteredOut(const QuestionFilter& filter, const QStringList& keys) const;
    // The learner's answer to the question shown was judged: its line goes
    // to the answer log before anything shows the verdict, and the outcome
    // says whether it could be written.
    LearnerFileOutcome judge(bool right);
    // The mark the selector proposes once the shown question is judged.
    QString proposedMark(bool right, const QString& selectorText) const;
    // "次問題" with this selector text: a known mark is kept.
    void storeMark(const QString& selectorText);

    // When each question of the open file is due, from the answer log.
    const Schedules& schedules() const { return schedules_; }
    // The retention the schedule aims at: the learner's choice, else 90 %.
    double retention() const;
    // Of `keys` in list order, the rows a schedule filter keeps, in the
    // order they are to be asked.
    QStringList chooseBySchedule(const QuestionFilter& filter, const QStringList& keys) const;

    // The round's line in the round log; the outcome says whether it
    // could be written.
    LearnerFileOutcome logRound(int asked, int right) const;
    // What the results window shows of these questions and the learner.
    ResultsData resultsData(const QVector<QuestionEntry>& questions) const;

  private:
    void loadSchedules();

    LearnerModel learner_;
    Schedules schedules_;
    Round round_;
};
