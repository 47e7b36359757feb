#pragma once

#include <QList>
#include <QString>

class QWidget;

// The one seam for every message box, input box and file dialog. It shows
// the real dialog, and for tests it records every message and returns
// queued answers without showing anything.
namespace Dialogs {

enum class Icon { None, Exclamation, Information, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No, Cancel };

struct Message {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons = Buttons::Ok,
               Answer defaultButton = Answer::Ok);

// Returns "" when cancelled.
QString inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer = {});

enum FileOption {
    FileMustExist = 0x1,
    OverwritePrompt = 0x2,
    CreatePrompt = 0x4,
    HideReadOnly = 0x8,
    // A name typed without an extension gets the one of the chosen filter
    // (none when the filter is every file).
    AddExtension = 0x10,
};

struct FileRequest {
    QString title;
    QString filter;      // "description|patterns|description|patterns..."; "*.*" is every file
    int filterIndex = 1; // 1-based preselected filter
    QString fileName;    // initial file name, may hold a folder and patterns
    int options = 0;     // FileOption flags
    bool save = false;
};

// Returns the chosen path, "" when cancelled.
QString openFile(const FileRequest& request);
QString saveFile(const FileRequest& request);

// Turns "description|patterns|..." into Qt's filter list.
QStringList qtFilters(const QString& filter);

// The extension of the filter's first pattern ("kmd" of "*.kmd"), "" for
// every file.
QString filterExtension(const QString& filter, int filterIndex);
// The path with the extension of the filter's first pattern when its file
// name has none; unchanged for a filter of every file.
QString withFilterExtension(const QString& path, const QString& filter, int filterIndex);

// --- test support ---
void setNextAnswer(Answer answer);
void setNextInput(const QString& text);
// "" is a cancel; `filterIndex` is the filter chosen (0: the preselected one).
void setNextFileName(const QString& path, int filterIndex = 0);
// When on, a dialog with no queued answer is only recorded: a message box
// answers "No" unless "Yes" is its default, a file dialog is cancelled.
// Off, the real dialog is shown.
void setAnswerUnqueuedByDefault(bool on);
const QList<Message>& shownMessages();
const QList<FileRequest>& fileRequests();
void clearRecords();

} // namespace Dialogs
