#pragma once

#include <QStringList>

class QApplication;

// What the application needs before its first window: Qt's Japanese
// translations for the standard buttons, Japanese screen fonts standing in
// for the Windows font names that question files carry, controls that
// screen readers see as a person does, and windows kept on the screen.
void setupApplication(QApplication& app);
// The names the program's folders and its single-instance socket are found
// by; setupApplication gives them too.
void nameApplication(QApplication& app);
// Shows text in a font the machine lacks with a Japanese font instead; the
// name itself stays as the file gives it.
void substituteMissingFont(const QString& family);

// The question file named on the command line ("kuMemo FILE", as a file
// manager starts the program), made absolute against the current folder;
// empty when none is named. It is the only argument the program takes.
QString commandLineFile(const QStringList& arguments);
