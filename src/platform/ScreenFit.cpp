#include "platform/ScreenFit.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

QRect fitIntoArea(const QRect& frame, const QRect& area) {
    if (area.isEmpty())
        return frame;
    const int width = std::min(frame.width(), area.width());
    const int height = std::min(frame.height(), area.height());
    const int x = std::clamp(frame.x(), area.left(), area.left() + area.width() - width);
    const int y = std::clamp(frame.y(), area.top(), area.top() + area.height() - height);
    return {x, y, width, height};
}

namespace {
// The borders and title bar of the last window the window manager framed.
QMargins& lastFrameMargins() {
    static QMargins margins;
    return margins;
}

QMargins frameMarginsOf(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    const QMargins margins = handle && window->isVisible() ? handle->frameMargins() : QMargins();
    if (!margins.isNull())
        lastFrameMargins() = margins;
    return margins.isNull() ? lastFrameMargins() : margins;
}

bool isFittedWindow(const QWidget* widget) {
    if (!widget->isWindow())
        return false;
    switch (widget->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Tool:
        return true;
    default:
        return false;
    }
}

class ScreenFitFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!isFittedWindow(window))
            return false;
        keepOnScreen(window);
        // The window manager tells the frame's true size once it has framed
        // the window.
        QTimer::singleShot(150, window, [window = QPointer<QWidget>(window)] {
            if (window && window->isVisible())
                keepOnScreen(window);
        });
        return false;
    }
};
} // namespace

void keepOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QMargins margins = frameMarginsOf(window);
    const QRect frame(window->pos(), window->size().grownBy(margins));
    const QRect fitted = fitIntoArea(frame, screen->availableGeometry());
    if (fitted == frame)
        return;
    window->resize(fitted.size().shrunkBy(margins));
    window->move(fitted.topLeft());
}

void installScreenFit(QApplication& app) {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    app.installEventFilter(new ScreenFitFilter(&app));
}
