// Finding questions in the editor's list by a piece of their text. A search
// only selects the row it found; the fields keep what they show.
#include "editor/QuestionSearch.h"
#include "editor/frmSakusei.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Texts.h"

#include <QAction>
#include <QLabel>

void frmSakusei::connectSearch() {
    connect(mnuSearchList, &QAction::triggered, this, &frmSakusei::mnuSearchList_Click);
    connect(mnuSearchNext, &QAction::triggered, this, &frmSakusei::mnuSearchNext_Click);
    connect(mnuSearchBefore, &QAction::triggered, this, &frmSakusei::mnuSearchBefore_Click);
}

bool frmSakusei::askSearchText() {
    const QString answer =
        Dialogs::inputBox(u("検索する文字列を入力して下さい"), u("何を検索？"), searchText);
    // A cancelled box answers "": the last text stays for F3.
    if (answer.isEmpty())
        return false;
    searchText = answer;
    return true;
}

void frmSakusei::mnuSearchList_Click() {
    if (askSearchText())
        mnuSearchNext_Click();
}

void frmSakusei::mnuSearchNext_Click() {
    if (searchText.isEmpty()) {
        mnuSearchList_Click();
        return;
    }
    showFoundRow(findRowAfter([this](int row) { return lstMondai->text(row); }, lstMondai->count(),
                              lstMondai->selectedRow(), searchText));
}

void frmSakusei::mnuSearchBefore_Click() {
    // Asked for a text first, the search still goes back from the selected row.
    if (searchText.isEmpty() && !askSearchText())
        return;
    showFoundRow(findRowBefore([this](int row) { return lstMondai->text(row); }, lstMondai->count(),
                               lstMondai->selectedRow(), searchText));
}

void frmSakusei::showFoundRow(int row) {
    if (row == 0) {
        statusPanel1->setText(notFoundText(searchText));
        return;
    }
    lstMondai->setSelectedRow(row);
    lstMondai->ensureRowVisible(row);
}
