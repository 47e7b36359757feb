#pragma once

#include <QString>

// The program's folder, always ending with the native separator: the
// executable's folder when writable (portable use), else the user's data
// folder, created when needed. Tests set their own.
namespace ProgramFolder {
QString locate();
void overrideForTests(const QString& folder); // empty: locate as usual
// The file name part of a path: the text after its last separator.
QString fileNamePart(const QString& path);
// Paths on a network share are never remembered.
bool isNetworkPath(const QString& path);
} // namespace ProgramFolder
