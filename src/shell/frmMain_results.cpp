// The results on the main window: the round's place and outcome while it
// runs, the round log, and the results window.
#include "shell/frmMain.h"

#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "learner/Results.h"
#include "learner/Statistics.h"
#include "formats/RoundLog.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/Texts.h"
#include "session/Round.h"
#include "shell/frmResults.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

void frmMain::connectResults() {
    // A round under way shows nothing of the last one's end.
    connect(&round(), &Round::questionShown, this, [this] {
        if (round().isRunning())
            clearRoundResult();
    });
    connect(&round(), &Round::changed, this, &frmMain::showRoundPosition);
    connect(&round(), &Round::ended, this, &frmMain::roundEnded);
}

// n of N as the list stands now: a sort, a shuffle or a filter moves it.
void frmMain::showRoundPosition() {
    const int position = round().position();
    if (position == 0)
        lblPosition->clear();
    else
        lblPosition->setText(QString::number(position) + " / " + QString::number(round().total()));
}

void frmMain::clearRoundResult() {
    lblRoundResult->clear();
    lblRoundResult->setToolTip(QString());
}

// The line shows whether or not the log could be written; a failure is said
// there, so that the focus and Enter stay where the round's end puts them.
void frmMain::roundEnded(int asked, int right) {
    QString line = roundSummary(asked, right);
    lblRoundResult->setToolTip(QString());
    if (asked > 0) {
        const LearnerFileOutcome logged = session_.logRound(asked, right);
        if (!logged.ok) {
            line += u("　(成績の記録に書き込めませんでした)");
            lblRoundResult->setToolTip(logged.path + "\n" + logged.reason);
        }
    }
    lblRoundResult->setText(line);
}

ResultsData frmMain::resultsData() const {
    return session_.resultsData(document_.entries());
}

void frmMain::mnuResults_Click() {
    frmResults dialog(resultsData(), this);
    QStringList roundKeys;
    connect(&dialog, &frmResults::roundRequested, this,
            [&roundKeys](const QStringList& keys) { roundKeys = keys; });
    dialog.exec();
    if (!roundKeys.isEmpty())
        startRoundOf(roundKeys);
}

// The full list with its statistics, then only these rows, as a filter
// leaves them; "全ﾌｨﾙﾀ解除" brings the others back.
void frmMain::startRoundOf(const QStringList& keys) {
    cmdFilterOff_Click();
    QVector<int> others;
    for (int row = 1; row <= lstMondai->count(); ++row)
        if (!keys.contains(lstMondai->key(row)))
            others << row;
    narrowList(others);
    SSTab1->setCurrentIndex(0);
    cmdStart_Click();
}
