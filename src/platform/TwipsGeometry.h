#pragma once

#include "platform/Twips.h"

#include <QFontMetrics>
#include <QRect>
#include <QVariant>
#include <QWidget>

// Placing widgets in twips, the program's own unit. A placed widget keeps
// its geometry in twips beside its pixels, so that layout steps that build
// on one another stay exact instead of collecting rounding errors.
namespace Twips {

inline QRect rectOf(const QWidget* w) {
    const QVariant kept = w->property("twipsGeometry");
    if (kept.isValid())
        return kept.toRect();
    return {fromPixels(w->x()), fromPixels(w->y()), fromPixels(w->width()),
            fromPixels(w->height())};
}
inline void setRect(QWidget* w, const QRect& twips) {
    w->setProperty("twipsGeometry", twips);
    w->setGeometry(toPixels(twips.x()), toPixels(twips.y()), toPixels(twips.width()),
                   toPixels(twips.height()));
}

// A caption longer than its designed width is drawn smaller rather than cut.
inline void fitFontToWidth(QWidget* w, const QString& text) {
    QFont font = w->font();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(text) > w->width())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    w->setFont(font);
}

inline void place(QWidget* widget, int left, int top, int width, int height) {
    setRect(widget, {left, top, width, height});
}
inline int leftOf(const QWidget* w) {
    return rectOf(w).x();
}
inline int topOf(const QWidget* w) {
    return rectOf(w).y();
}
inline int widthOf(const QWidget* w) {
    return rectOf(w).width();
}
inline int heightOf(const QWidget* w) {
    return rectOf(w).height();
}

// A step that would give an impossible size is skipped; the next one still
// runs.
inline void setSize(QWidget* w, int width, int height) {
    if (width < 0 || height < 0)
        return;
    const QRect r = rectOf(w);
    setRect(w, {r.x(), r.y(), width, height});
}
inline void setWidth(QWidget* w, int width) {
    setSize(w, width, heightOf(w));
}
inline void setHeight(QWidget* w, int height) {
    setSize(w, widthOf(w), height);
}
inline void setTop(QWidget* w, int top) {
    const QRect r = rectOf(w);
    setRect(w, {r.x(), top, r.width(), r.height()});
}
inline void setLeft(QWidget* w, int left) {
    const QRect r = rectOf(w);
    setRect(w, {left, r.y(), r.width(), r.height()});
}

} // namespace Twips
