#pragma once

#include <QString>

#include <functional>

// Asks for the name of a file to write the open file's questions to (named
// after it, `filter` as the file dialog takes it), has `write` write it
// whole or not at all, and tells how it went: `done` or why nothing was
// written.
void exportFile(const QString& title, const QString& filter, const QString& documentPath,
                const std::function<bool(const QString& path, QString* error)>& write,
                const QString& done);
