// The learner's records on the main window: the learner file and the
// statistics columns of the question list.
#include "shell/frmMain.h"

#include "learner/Statistics.h"
#include "platform/ListView.h"

#include <QLabel>

// The learner file is not read or written yet: records live only in
// lstUserData for the run.
void frmMain::loadUserData(const QString&) {}
void frmMain::saveUserData() {}

void frmMain::showCount() {
    lblNum->setText(countLabel(lstMondai->count()));
}
