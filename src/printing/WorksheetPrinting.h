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

// Writes the worksheet as a PDF file, whole or not at all.
bool writeWorksheetPdf(const QString& path, const DocumentProperties& properties,
                       const QStringList& records, bool answerKey, QString* error = nullptr);
