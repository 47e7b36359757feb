#pragma once

#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "support/Modal.h"

#include <QAction>
#include <QMenu>

// The editor's file menu, used as a person does: found by the program's
// names, opened before an item is chosen, dialogs answered through Dialogs.

template <typename T> T* control(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", name);
    return found;
}

inline void choose(QWidget* window, const char* action) {
    emit control<QMenu>(window, "mnuFile")->aboutToShow();
    control<QAction>(window, action)->trigger();
}

inline void openQuestionFile(QWidget* editor, const QString& path) {
    Dialogs::setNextFileName(path);
    choose(editor, "mnuFileOpen");
}

// A protected name asks for a password: `password` is typed twice.
inline void saveQuestionFileAs(QWidget* editor, const QString& path, const QString& password = {}) {
    if (!password.isEmpty())
        whenModal([password](QWidget* form) {
            typeAndPress(form, {"txtP1", password, "txtP2", password}, "cmdOK");
        });
    Dialogs::setNextFileName(path);
    choose(editor, "mnuFileSaveAs");
}

inline ListView* questionList(QWidget* editor) {
    return control<ListView>(editor, "lstMondai");
}

// A plain question file around the given records, without properties.
inline QByteArray plainQuestionFile(const QByteArray& records) {
    return "<kuMemo-data>\r\n<dataprop>\r\n</dataprop>\r\n" + records + "</kuMemo-data>\r\n\r\n";
}
