#pragma once

#include <QApplication>
#include <QPalette>
#include <QString>
#include <QWidget>

// A box that cannot be edited shows the menu bar's colour, an editable one
// the window background.
inline void showAsLocked(QWidget* box, bool locked) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base,
               QApplication::palette().color(locked ? QPalette::Window : QPalette::Base));
    box->setPalette(p);
}

// Gives a control its program name, by which tests and the program find it.
template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}
