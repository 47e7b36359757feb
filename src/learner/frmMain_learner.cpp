// The learner's records on the main window: the learner file and the
// statistics columns of the question list.
#include "shell/frmMain.h"

// The learner file is not read or written yet: records live only in
// lstUserData for the run.
void frmMain::loadUserData(const QString&) {}
void frmMain::saveUserData() {}
