// The learner's records on the main window: the learner file and the
// statistics columns of the question list.
#include "shell/frmMain.h"

#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "learner/ListRows.h"
#include "learner/Statistics.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Texts.h"
#include "platform/Twips.h"
#include "shell/frmChangeUser.h"

#include <QAction>
#include <QLabel>

namespace {
// The question list's sub-items: columns 2 to 6.
constexpr int StatisticsColumns = 5;

QString learnerFileFailure(const LearnerFileOutcome& outcome) {
    return u("回答者ﾃﾞｰﾀﾌｧｲﾙに書き込めませんでした。") + "\r\n" + outcome.path + "\r\n" +
           outcome.reason;
}
} // namespace

QString frmMain::learnerFile() const {
    return learnerFilePath(appGlobals().programFolder, appGlobals().learnerName);
}

void frmMain::loadUserData() {
    loadLearnerFile(learnerFile(), lstUserData);
}

// A learner's results are never lost in silence: a file that cannot be
// written is named, and the records stay in memory for the next try.
bool frmMain::saveUserData() {
    const LearnerFileOutcome saved = saveLearnerFile(learnerFile(), lstUserData);
    if (!saved.ok)
        Dialogs::message(learnerFileFailure(saved), u("保存中止"), Dialogs::Icon::Exclamation);
    return saved.ok;
}

// At shutdown the learner decides whether results that could not be
// written may be given up.
bool frmMain::saveUserDataBeforeClosing() {
    const LearnerFileOutcome saved = saveLearnerFile(learnerFile(), lstUserData);
    if (saved.ok)
        return true;
    return Dialogs::message(learnerFileFailure(saved) + "\r\n\r\n" +
                                u("このまま終了すると今回の回答結果は失われます。終了しますか?"),
                            u("警告"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                            Dialogs::Answer::No) == Dialogs::Answer::Yes;
}

QString frmMain::makeFileId() const {
    return ::makeFileId(document_.path());
}

void frmMain::matchUserData() {
    const QString id = makeFileId();
    for (int row = 1; row <= lstMondai->count(); ++row) {
        const QStringList columns =
            joinedStatistics(lstUserData, id, lstMondai->key(row), markTable).columns();
        for (int column = 0; column < StatisticsColumns; ++column)
            lstMondai->setSubItem(row, column + 1, columns.at(column));
    }
}

RowStatistics frmMain::rowStatistics(int row) const {
    QStringList columns;
    for (int column = 1; column <= StatisticsColumns; ++column)
        columns << lstMondai->subItem(row, column);
    return RowStatistics::fromColumns(columns);
}

void frmMain::updateUserData(int row) {
    updateRecord(lstUserData, makeFileId(), lstMondai->key(row), rowStatistics(row), markTable);
}

void frmMain::showCount() {
    lblNum->setText(countLabel(lstMondai->count()));
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
