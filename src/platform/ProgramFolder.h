#pragma once

#include <QString>

// The program's folder, always ending with the native separator: the
// executable's folder when writable (portable use), else the user's data
// folder, created when needed. Tests set their own.
namespace ProgramFolder {
QString locate();
// Whether the program keeps its files beside itself in `exeFolder`: when
// the user may write there and it is not the folder it is installed into.
bool usesOwnFolder(const QString& exeFolder);
void overrideForTests(const QString& folder); // empty: locate as usual
// Gives the folder the sample the installed program brings of the file
// `name` (in its share/ folder) when the folder has no such file yet.
void provideSample(const QString& folder, const QString& name);
// The file name part of a path: the text after its last separator.
QString fileNamePart(const QString& path);
// Paths on a network share are never remembered.
bool isNetworkPath(const QString& path);
} // namespace ProgramFolder
