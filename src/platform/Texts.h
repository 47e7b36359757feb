#pragma once

#include <QObject>
#include <QString>

// The program's own texts are written in UTF-8 in the source.
inline QString u(const char* text) {
    return QString::fromUtf8(text);
}

// Gives a control its program name, by which tests and the program find it.
template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}
