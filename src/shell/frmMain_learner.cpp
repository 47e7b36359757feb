// The learner's records on the main window: the learner file and the
// statistics columns of the question list.
#include "shell/frmMain.h"

#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "learner/ListRows.h"
#include "learner/Statistics.h"
#include "session/LearningSession.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Random.h"
#include "platform/Texts.h"
#include "platform/Twips.h"
#include "shell/frmChangeUser.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTimer>

namespace {
// The question list's sub-items: columns 2 to 6.
constexpr int StatisticsColumns = 5;

void showResultsAt(ListView& list, int row, const RowStatistics& statistics) {
    const QStringList columns = statistics.columns();
    for (int column = 0; column < StatisticsColumns; ++column)
        list.setSubItem(row, column + 1, columns.at(column));
}

QString learnerFileFailure(const LearnerFileOutcome& outcome) {
    return u("回答者ﾃﾞｰﾀﾌｧｲﾙに書き込めませんでした。") + "\r\n" + outcome.path + "\r\n" +
           outcome.reason;
}
} // namespace

void frmMain::connectLearner() {
    LearnerModel& learner = session_.learner();
    connect(&learner, &LearnerModel::reset, this, [this] {
        matchUserData();
        showMarks();
    });
    connect(&learner, &LearnerModel::changed, this, &frmMain::showRowResults);
    connect(&round(), &Round::resultChanged, this, &frmMain::showRowResults);
    connect(&session_, &LearningSession::scheduleChanged, this, &frmMain::showDueCount);
    QAbstractItemModel* rows = lstMondai->model();
    connect(rows, &QAbstractItemModel::rowsInserted, this, &frmMain::followListOrder);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &frmMain::followListOrder);
    connect(rows, &QAbstractItemModel::rowsMoved, this, &frmMain::followListOrder);
    connect(rows, &QAbstractItemModel::layoutChanged, this, &frmMain::followListOrder);
    connect(rows, &QAbstractItemModel::modelReset, this, &frmMain::followListOrder);
}

void frmMain::loadUserData() {
    session_.loadLearner();
}

// A learner's results are never lost in silence: a file that cannot be
// written is named, and the records stay in memory for the next try.
bool frmMain::saveUserData() {
    const LearnerFileOutcome saved = session_.saveLearner();
    if (!saved.ok)
        Dialogs::message(learnerFileFailure(saved), u("保存中止"), Dialogs::Icon::Exclamation);
    return saved.ok;
}

// At shutdown the learner decides whether results that could not be
// written may be given up.
bool frmMain::saveUserDataBeforeClosing() {
    const LearnerFileOutcome saved = session_.saveLearner();
    if (saved.ok)
        return true;
    return Dialogs::message(learnerFileFailure(saved) + "\r\n\r\n" +
                                u("このまま終了すると今回の回答結果は失われます。終了しますか?"),
                            u("警告"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                            Dialogs::Answer::No) == Dialogs::Answer::Yes;
}

bool frmMain::switchLearner(const QString& name) {
    const LearnerFileOutcome saved = session_.switchLearner(name);
    if (!saved.ok)
        Dialogs::message(learnerFileFailure(saved), u("保存中止"), Dialogs::Icon::Exclamation);
    return saved.ok;
}

void frmMain::matchUserData() {
    const QVector<RowStatistics> rows = session_.statistics(lstMondai->keys());
    for (int row = 1; row <= int(rows.size()); ++row)
        showResultsAt(*lstMondai, row, rows.at(row - 1));
}

void frmMain::showRowResults(const QString& key) {
    if (const int row = lstMondai->find(key))
        showResultsAt(*lstMondai, row, session_.statistics(key));
}

void frmMain::showMarks() {
    const QStringList& marks = session_.learner().marks();
    QStringList shown;
    for (int i = 0; i < cmbMark->count(); ++i)
        shown << cmbMark->itemText(i);
    if (shown == marks)
        return;
    cmbMark->clear();
    cmbMark->addItems(marks);
}

void frmMain::followListOrder() {
    round().setOrder(lstMondai->keys());
}

void frmMain::showCount() {
    lblNum->setText(countLabel(lstMondai->count()));
}

void frmMain::showDueCount() {
    // The log may hold questions the file no longer has.
    const DueCount count =
        session_.dueCount([this](const QString& key) { return document_.contains(key); });
    lblDue->setText(dueLabel(count.due));
    // Questions fall due at any time of day, also while the list page is
    // just looked at: the count is shown anew when the next one does, and
    // at least once a day.
    if (count.next == 0) {
        tmrDue->stop();
        return;
    }
    const qint64 seconds = count.next - Clock::now().toSecsSinceEpoch();
    tmrDue->start(int(std::clamp<qint64>(seconds, 1, 86400) * 1000));
}

// The retention the schedule aims at, as a whole percentage; a text that is
// none changes nothing and says why.
void frmMain::mnuSetupRetention_Click() {
    const QString title = u("復習の目標");
    const QString typed =
        Dialogs::inputBox(u("思い出せる見込みがこの値まで下がった問題が復習の時期になります。\n"
                            "%1から%2までの整数(%)で入力して下さい。")
                              .arg(MinRetentionPercent)
                              .arg(MaxRetentionPercent),
                          title, QString::number(qRound(100 * session_.retention())));
    if (typed.isEmpty())
        return;
    const std::optional<int> percent = retentionPercent(typed);
    if (!percent) {
        Dialogs::message(u("%1から%2までの整数を入力して下さい。")
                             .arg(MinRetentionPercent)
                             .arg(MaxRetentionPercent),
                         title, Dialogs::Icon::Exclamation);
        return;
    }
    session_.setRetention(*percent);
}

void frmMain::swapListItems(ListView* list, int rowA, int rowB) {
    swapRows(*list, rowA, rowB, list->columnCount() - 1);
}

void frmMain::mnuFile_Click() {
    mnuChangeUser->setText(changeUserCaption(appGlobals().learnerName));
}

void frmMain::mnuChangeUser_Click() {
    frmChangeUser dialog(*this);
    dialog.move(pos() + QPoint(Twips::toPixels(500), Twips::toPixels(500)));
    dialog.exec();
    statusPanel1->setText(currentLearnerStatus(appGlobals().learnerName));
}

void frmMain::takeImportedHistory(const QVector<QuestionHistory>& history, QString& said) {
    // The editor's file is the one on the run list: one document for both
    // windows, known to the learner's records by its name.
    session_.setQuestionFile(document_.path());
    said = reportHistory(session_.takeHistory(history, !document_.path().isEmpty()));
}

QString frmMain::reportHistory(const LearningSession::HistoryTaken& taken) {
    const QString& learner = taken.learner;
    const QString counts =
        u("%1問、回答%2回、うち正解%3回").arg(taken.questions).arg(taken.answered).arg(taken.right);
    if (taken.held)
        return u("履歴(%1)は、このﾌｧｲﾙを保存したときに%2さんの記録に加えます。")
            .arg(counts, learner);
    if (!taken.outcome.ok)
        Dialogs::message(learnerFileFailure(taken.outcome), u("保存中止"),
                         Dialogs::Icon::Exclamation);
    if (!taken.taken)
        return u("履歴は取り込めませんでした。");
    return u("履歴(%1)を%2さんの記録に加えました。").arg(counts, learner);
}
