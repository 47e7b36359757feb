#pragma once

#include <QStringList>

#include <functional>

class QAction;
class QMenu;
class QWidget;
class QuestionDocument;
struct DocumentProperties;

// The worksheet commands of a window's File menu: print, preview, PDF and
// the switch for the answer key, on the questions `records` gives when a
// command is chosen. Nothing is made for printing before that.
struct WorksheetCommands {
    QAction* print = nullptr;
    QAction* preview = nullptr;
    QAction* pdf = nullptr;
    QAction* answerKey = nullptr;
};
WorksheetCommands addWorksheetCommands(QMenu* menu, QWidget* window,
                                       const QuestionDocument& document,
                                       const std::function<QStringList()>& records);

// Asks for the name of a file to write the open file's questions to (named
// after it, `filter` as the file dialog takes it), has `write` write it
// whole or not at all, and tells how it went: `done` or why nothing was
// written.
void exportFile(const QString& title, const QString& filter, const QString& documentPath,
                const std::function<bool(const QString& path, QString* error)>& write,
                const QString& done);

// Writes the worksheet as a PDF file, whole or not at all.
bool writeWorksheetPdf(const QString& path, const DocumentProperties& properties,
                       const QStringList& records, bool answerKey, QString* error = nullptr);
