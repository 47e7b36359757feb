#pragma once

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
