#pragma once

#include "learner/MarkDefinitions.h"

#include <QString>

// The sample files for newcomers in examples/: a question file with
// questions of all three answer types, its protected twin and a mark
// definition file. Everything in them is fixed (keys, dates, texts), so
// writing them again gives the same bytes.
namespace ExampleFiles {

inline constexpr char QuestionFileName[] = "sample.kmd";
inline constexpr char ProtectedFileName[] = "sample.kme";
inline constexpr const char* MarkFileName = MarkDefinitionFileName;
// The password of the protected twin, as the README states it.
inline constexpr char Password[] = "kumemo";

// The question file text, as the editor's save writes it (before the plain
// file's extra CR LF). The rich text is made in a rich text box, so a
// QApplication must exist.
QString questionFileText(QString* error);

// The mark definition file's text, lines ended by CR LF.
QString markFileText();

// Writes the three files into `folder`, which must exist. `error` tells
// what went wrong.
bool write(const QString& folder, QString* error);

} // namespace ExampleFiles
