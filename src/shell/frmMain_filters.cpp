// Choosing the questions of the next round: the filters over the question
// list, removing them, and sorting the list by a column.
#include "shell/frmMain.h"

#include "learner/QuestionFilter.h"
#include "platform/ListView.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QSet>

void frmMain::cmdDoFilter_Click() {
    lstMondai->setSorted(false);
    const KeyedTable& markTable = session_.learner().markTable();
    const QuestionFilter filter = parseFilter(cmbFilter->currentText(), markTable);
    if (filter.choosesBySchedule()) {
        chooseBySchedule(filter);
        cmdStart->setFocus();
        return;
    }
    if (filter.shufflesFirst())
        shuffleListItems(lstMondai);
    // The rows leave together, so no row moves before its turn.
    narrowList(session_.rowsFilteredOut(filter, lstMondai->keys()));
    cmdStart->setFocus();
}

// The schedule keeps the questions due, and maybe new ones, in the order
// they are to be asked.
void frmMain::chooseBySchedule(const QuestionFilter& filter) {
    const QStringList chosen = session_.chooseBySchedule(filter, lstMondai->keys());
    const QSet<QString> kept(chosen.begin(), chosen.end());
    QVector<int> leaving;
    for (int row = lstMondai->count(); row >= 1; --row)
        if (!kept.contains(lstMondai->key(row)))
            leaving << row;
    narrowList(leaving);
    QList<int> order;
    for (const QString& key : chosen)
        order << lstMondai->find(key);
    lstMondai->reorderRows(order);
}

void frmMain::cmdFilterOff_Click() {
    showQuestionsOfDocument();
}

// While the filter box or its open list has the focus, Enter runs the
// filter; elsewhere it starts the round. Opening the list moves the focus
// out of the box more than once, for more than one reason: the open list
// itself tells.
void frmMain::filterBoxFocusEvent(QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        cmbFilter_GotFocus();
    else if (event->type() == QEvent::FocusOut && !cmbFilter->view()->isVisible())
        cmbFilter_LostFocus();
}

void frmMain::cmbFilter_GotFocus() {
    setDefaultButton(cmdDoFilter);
}

void frmMain::cmbFilter_LostFocus() {
    setDefaultButton(cmdStart);
}

void frmMain::lstMondai_ColumnClick(int column) {
    lstMondai->sortByClickedColumn(column);
}
