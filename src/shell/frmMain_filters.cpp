// Choosing the questions of the next round: the filters over the question
// list, removing them, and sorting the list by a column.
#include "shell/frmMain.h"

#include "learner/QuestionFilter.h"
#include "platform/ListView.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>

#include <vector>

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
    // Only the chosen rows are found by key, a few thousand of ten
    // thousand; the others leave, and the rows that stay are numbered
    // afresh in order.
    const QVector<int> rowsChosen = session_.chooseRowsBySchedule(
        filter, lstMondai->keys(), [this](const QString& key) { return lstMondai->find(key); });
    std::vector<int> newRow(size_t(lstMondai->count()) + 1, 0);
    for (const int row : rowsChosen)
        newRow[size_t(row)] = 1;
    QVector<int> leaving;
    int kept = 0;
    for (int row = 1; row < int(newRow.size()); ++row) {
        if (newRow[size_t(row)])
            newRow[size_t(row)] = ++kept;
        else
            leaving << row;
    }
    narrowList(leaving);
    QList<int> order;
    order.reserve(qsizetype(rowsChosen.size()));
    for (const int row : rowsChosen)
        order << newRow[size_t(row)];
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
