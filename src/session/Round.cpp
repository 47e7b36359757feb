#include "session/Round.h"

#include "platform/Texts.h"
#include "session/Statistics.h"

int rowToShow(int n, const Round& round) {
    return n != 0 ? n : round.firstUnanswered();
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

void Round::setOrder(const QStringList& keys) {
    if (keys == order_)
        return;
    order_ = keys;
    answeredUpTo_ = 0;
    emit changed();
}

int Round::position() const {
    if (!hasShownQuestion())
        return 0;
    // A place outside the order holds no key, and the shown one is never empty.
    if (order_.value(shownAt_) != shownKey_)
        shownAt_ = order_.indexOf(shownKey_);
    return int(shownAt_) + 1;
}

int Round::firstUnanswered() const {
    while (answeredUpTo_ < order_.size() && verdicts_.contains(order_.at(answeredUpTo_)))
        ++answeredUpTo_;
    return answeredUpTo_ < order_.size() ? int(answeredUpTo_) + 1 : 0;
}

QString Round::resultOf(const QString& key) const {
    const auto found = verdicts_.constFind(key);
    return found == verdicts_.constEnd() ? QString() : thisRoundResult(*found);
}

bool Round::answeredWrongly(const QString& key) const {
    const auto found = verdicts_.constFind(key);
    return found != verdicts_.constEnd() && !*found;
}

QStringList Round::thisRoundResults() const {
    QStringList results;
    results.reserve(order_.size());
    for (const QString& key : order_)
        results << resultOf(key);
    return results;
}

void Round::judge(const QString& key, bool right) {
    verdicts_.insert(key, right);
    emit resultChanged(key);
    emit changed();
}

void Round::clearResults() {
    if (verdicts_.isEmpty())
        return;
    const QStringList keys = verdicts_.keys();
    verdicts_.clear();
    answeredUpTo_ = 0;
    for (const QString& key : keys)
        emit resultChanged(key);
    emit changed();
}

void Round::setPicks(const QList<bool>& picks) {
    picks_ = picks;
    emit changed();
}

void Round::begin() {
    running_ = true;
    clearResults();
}

void Round::show(const QString& key, const QList<bool>& picks) {
    shownKey_ = key;
    picks_ = picks;
    emit questionShown(key);
    emit changed();
}

void Round::endShown() {
    if (shownKey_.isEmpty())
        return;
    shownKey_.clear();
    picks_.clear();
    emit changed();
}

void Round::end() {
    if (!running_)
        return;
    running_ = false;
    const QStringList results = thisRoundResults();
    const int right = int(results.count(thisRoundResult(true)));
    const int asked = right + int(results.count(thisRoundResult(false)));
    emit ended(asked, right);
}
