#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

// A round is one pass through the rows of the main question list; its
// progress is each row's this-round result ("○", "×", or "" while not
// answered in this round).

class Round;

// The row that showing question n shows: n itself, or for n = 0 the first
// row not yet answered in this round. 0 means the round is over: save the
// learner's records, preselect wrongThisTimeFilter() on the list page and put
// the focus on "ﾌｨﾙﾀ実行".
int rowToShow(int n, const Round& round);

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

// The round on the answering page: its order (the rows of the run list),
// the verdict of each question answered in it, the question shown, by its
// key, and the choices picked on it. Judging and the learner's results go to
// the question this names, whatever another window has selected.
class Round : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The questions in the order the run list shows them.
    void setOrder(const QStringList& keys);
    const QStringList& order() const { return order_; }

    // The key of the question shown; empty when nothing can be answered.
    QString shownKey() const { return shownKey_; }
    bool hasShownQuestion() const { return !shownKey_.isEmpty(); }
    bool isRunning() const { return running_; }
    // Question n of N: the shown question's place in the order now, 0 when
    // it has none, and the number of questions in the order.
    int position() const;
    int total() const { return int(order_.size()); }

    // This round's verdicts: "○", "×", or "" while not answered in it.
    QString resultOf(const QString& key) const;
    bool answeredWrongly(const QString& key) const;
    // The place from 1 in the order of the first question without a
    // verdict, 0 when every one has its verdict.
    int firstUnanswered() const;
    // The verdicts in the round's order.
    QStringList thisRoundResults() const;
    void judge(const QString& key, bool right);
    // No question has a verdict in this round.
    void clearResults();

    // The choices picked on the shown question, one flag per row.
    const QList<bool>& picks() const { return picks_; }
    void setPicks(const QList<bool>& picks);

    // "スタート": a round begins, with no verdicts.
    void begin();
    // Question `key` is shown with these choices picked.
    void show(const QString& key, const QList<bool>& picks);
    // The shown question can no longer be answered: it left the file, or
    // another file was opened.
    void endShown();
    // The round is left before its end, for another file: it never counts
    // as a finished one.
    void leave() { running_ = false; }
    // Every question has its verdict: the round is over. Tells how many
    // were asked and answered rightly when a round was running.
    void end();

  signals:
    // The order, a verdict, the question shown or its picks changed.
    void changed();
    // The verdict of one question changed.
    void resultChanged(const QString& key);
    void questionShown(const QString& key);
    void ended(int asked, int right);

  private:
    QStringList order_;
    QHash<QString, bool> verdicts_;
    QString shownKey_;
    QList<bool> picks_;
    bool running_ = false;
    // Where the last searches ended: verdicts are only added while the
    // order stands, so a search for the first question without one goes on
    // from where the last ended, and the shown question mostly stays where
    // it was found.
    mutable qsizetype answeredUpTo_ = 0;
    mutable qsizetype shownAt_ = 0;
};
