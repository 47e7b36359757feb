#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

// What a person sees of a control found by its program name.
struct ControlView {
    bool found = false;
    QString caption;
    bool visible = true;
    bool enabled = true;
};

inline ControlView viewOf(QWidget* window, const QString& name) {
    ControlView view;
    view.found = true;
    const auto take = [&view](QWidget* widget, const QString& caption) {
        view.caption = caption;
        view.visible = !widget->isHidden();
        view.enabled = widget->isEnabled();
    };
    if (auto* menu = window->findChild<QMenu*>(name)) {
        view.caption = menu->title();
    } else if (auto* action = window->findChild<QAction*>(name)) {
        view.caption = action->text();
        view.enabled = action->isEnabled();
    } else if (auto* button = window->findChild<QAbstractButton*>(name)) {
        take(button, button->text());
    } else if (auto* label = window->findChild<QLabel*>(name)) {
        take(label, label->text());
    } else if (auto* edit = window->findChild<QLineEdit*>(name)) {
        take(edit, edit->text());
    } else {
        view.found = false;
    }
    return view;
}

// The statistics a row of the run list shows: columns 2 to 6.
template <typename List> QStringList statisticsColumns(const List* list, int row) {
    QStringList texts;
    for (int column = 1; column <= 5; ++column)
        texts << list->subItem(row, column);
    return texts;
}
