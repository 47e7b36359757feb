#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

// A round is one pass through the rows of the main question list; its
// progress is each row's this-round result ("○", "×", or "" while not
// answered in this round).

// The row that showing question n shows: n itself, or for n = 0 the first
// row not yet answered in this round. 0 means the round is over: save the
// learner's records, preselect wrongThisTimeFilter() on the list page and put
// the focus on "ﾌｨﾙﾀ実行".
int rowToShow(int n, const QStringList& thisRoundResults);

// "→" and "←" from the row of the current question (0 when there is none):
// the row to show, or 0 to do nothing. The question left behind stays
// unanswered, so the round comes back to it.
int nextRow(int position, int rowCount);
int previousRow(int position);

// The steps of "スタート", which the main window supplies.
struct RoundStart {
    std::function<void()> shuffle;        // "ﾗﾝﾀﾞﾑ順", when set to shuffle first
    std::function<void()> lockLearner;    // the learner can no longer be switched
    std::function<void()> clearThisRound; // every row's this-round result := ""
    // Writes the learner's records to the learner file; false when it could
    // not be written (the caller tells the learner why).
    std::function<bool()> saveRecords;
    std::function<void()> loadRecords;       // reads the learner file again
    std::function<void()> openAnsweringPage; // makes the answering page selectable
    std::function<void()> showNextQuestion;
};

// Starts a round; with no rows it does nothing. The
// records are saved before they are read again, so answers given since the
// last save stay in them; when they cannot be saved, the records in memory
// are kept instead of being read again.
void startRound(int rowCount, bool shuffleFirst, const RoundStart& steps);

// The round on the answering page: which question is shown, by its key,
// and whether a round is running. The rows of
// the run list are the round's order; the shown question's place in them
// is told when it is shown. Judging and the learner's results go to the
// question this names, whatever another window has selected.
class Round : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The key of the question shown; empty when nothing can be answered.
    QString shownKey() const { return shownKey_; }
    bool hasShownQuestion() const { return !shownKey_.isEmpty(); }
    bool isRunning() const { return running_; }
    // Question n of N as it was shown; 0 of 0 when none is.
    int position() const { return position_; }
    int total() const { return total_; }

    // "スタート": a round begins.
    void begin();
    // Question `key` is shown, at row `position` of `total`.
    void show(const QString& key, int position, int total);
    // The shown question can no longer be answered: it left the file, or
    // another file was opened.
    void endShown();
    // The round is left before its end, for another file: it never counts
    // as a finished one.
    void leave() { running_ = false; }
    // Every row has its this-round result: the round is over. Tells how
    // many were asked and answered rightly when a round was running.
    void end(const QStringList& thisRoundResults);

  signals:
    void questionShown(const QString& key, int position, int total);
    void ended(int asked, int right);

  private:
    QString shownKey_;
    int position_ = 0;
    int total_ = 0;
    bool running_ = false;
};
