#include "session/Round.h"

#include "platform/Texts.h"
#include "session/Statistics.h"

int rowToShow(int n, const QStringList& thisRoundResults) {
    if (n != 0)
        return n;
    return int(thisRoundResults.indexOf(QString())) + 1;
}

int nextRow(int position, int rowCount) {
    return position >= 1 && position < rowCount ? position + 1 : 0;
}

int previousRow(int position) {
    return position >= 2 ? position - 1 : 0;
}

void startRound(int rowCount, bool shuffleFirst, const RoundStart& steps) {
    if (rowCount == 0)
        return;
    if (shuffleFirst)
        steps.shuffle();
    steps.lockLearner();
    steps.clearThisRound();
    if (steps.saveRecords())
        steps.loadRecords();
    steps.openAnsweringPage();
    steps.showNextQuestion();
}

void Round::begin() {
    running_ = true;
}

void Round::show(const QString& key, int position, int total) {
    shownKey_ = key;
    position_ = position;
    total_ = total;
    emit questionShown(key, position, total);
}

void Round::endShown() {
    if (shownKey_.isEmpty())
        return;
    shownKey_.clear();
    position_ = total_ = 0;
}

void Round::end(const QStringList& thisRoundResults) {
    if (!running_)
        return;
    running_ = false;
    const int right = int(thisRoundResults.count(thisRoundResult(true)));
    const int asked = right + int(thisRoundResults.count(thisRoundResult(false)));
    emit ended(asked, right);
}
