#pragma once

#include <QString>

// Makes screen readers see the program's controls as a person sees them.
// Qt's own interfaces name a combo box by its current item on Linux, and
// report a greyed tab as available and let it be opened; ours name a combo
// box by its label or accessible name and keep a disabled tab closed. Takes
// effect for controls first asked for after the call; calling it again does
// nothing.
void installAccessibleInterfaces();

class QStatusBar;
class QWidget;

// Shows a read-only box to screen readers as one choice of a group: said by
// `name`, a radio button when only one may be picked, otherwise a check box,
// checked as the program says. Its press action emits the box's clicked()
// signal, as a click would. Set before the box is first shown.
void makeAccessibleChoice(QWidget* box, const QString& name, bool exclusive);
// The name a choice is said by.
QString accessibleChoiceName(const QWidget* box);
// Whether the choice is picked; a change is told to screen readers.
void setAccessibleChecked(QWidget* box, bool checked);

// A place in a status bar that screen readers speak from at once, wherever
// the focus is, and that takes no room on the screen: a notification of the
// status bar, said by Orca as it shows. Said again each time, also the same
// text twice.
QWidget* addAnnouncer(QStatusBar* bar);
void announce(QWidget* announcer, const QString& text);
