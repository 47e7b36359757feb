#pragma once

#include <QMargins>
#include <QRect>

class QApplication;
class QWidget;

// Where a window's frame (title bar and borders included) goes so that all
// of it can be reached in `area`, the screen's available part. A frame that
// fits stays where it is; otherwise it moves by as little as it must, and
// only a frame larger than the area is shrunk, to the area's size.
QRect fitIntoArea(const QRect& frame, const QRect& area);

// Moves, and shrinks only if it must, a top-level window into the available
// area of its screen. Before a window manager has framed it, the frame is
// taken to be as wide as the last frame seen.
void keepOnScreen(QWidget* window);

// Keeps every window and dialog of the application on the screen each time
// it is shown, and once more when the window manager has put its frame
// around it.
void installScreenFit(QApplication& app);
