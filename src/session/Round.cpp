#include "session/Round.h"

#include "platform/Texts.h"

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
