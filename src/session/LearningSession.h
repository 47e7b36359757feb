#pragma once

#include "formats/ImportedHistory.h"
#include "learner/LearnerModel.h"
#include "learner/QuestionFilter.h"
#include "learner/Results.h"
#include "learner/Schedule.h"
#include "session/Round.h"

#include <QObject>

#include <optional>

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
    // The learner's choice from now on, kept as a setting.
    void setRetention(int percent);
    // How many of the questions `isQuestion` knows are due now, and when
    // the next falls due.
    DueCount dueCount(const std::function<bool(const QString&)>& isQuestion) const;
    // Of `keys` in list order, the rows a schedule filter keeps, in the
    // order they are to be asked.
    // `rowOf` finds a key's row in that list.
    QVector<int> chooseRowsBySchedule(const QuestionFilter& filter, const QStringList& keys,
                                      const RowOfKey& rowOf) const;

    // What became of a history brought in with imported questions.
    struct HistoryTaken {
        LearnerFileOutcome outcome;
        bool held = false;  // kept until the file has a name
        bool taken = false; // the answer log holds the reviews
        int questions = 0; // questions with answers brought in
        qint64 answered = 0;
        qint64 right = 0;
        QString learner; // whose records it went to, or waits for
    };
    // Answers another program logged of questions just added to the open
    // file, under their new keys, become the current learner's: every
    // review a line of the answer log, in time order and in one append;
    // the counts grow by the answers and right answers, and the learner
    // file is written; the schedules are read again. A file without a name
    // has no identifier of its own yet: the history is held until it is
    // saved under one (takeHeldHistory), and dropped when another file
    // takes its place. A held history stays the importing learner's,
    // whoever is the learner when the file is saved.
    HistoryTaken takeHistory(const QVector<QuestionHistory>& history, bool fileNamed);
    QVector<HistoryTaken> takeHeldHistory();
    bool holdsHistory() const { return !heldHistory_.isEmpty(); }
    void dropHeldHistory() { heldHistory_.clear(); }

    // The round's line in the round log; the outcome says whether it
    // could be written.
    LearnerFileOutcome logRound(int asked, int right) const;
    // What the results window shows of these questions and the learner.
    ResultsData resultsData(const QVector<QuestionEntry>& questions) const;

  signals:
    // What is due has changed: another learner or file, an answer, another
    // retention.
    void scheduleChanged();

  private:
    void loadSchedules();
    HistoryTaken fileHistory(const QVector<QuestionHistory>& history, const QString& learnerName);

    LearnerModel learner_;
    Schedules schedules_;
    Round round_;
    struct HeldHistory {
        QString learner;
        QVector<QuestionHistory> history;
    };
    QVector<HeldHistory> heldHistory_;
    // Read from the settings once: every answer asks for it, and opening
    // the settings costs milliseconds.
    mutable std::optional<double> retention_;
};
