#pragma once

#include "platform/KeyedTable.h"

#include <QStringList>

// The rating marks a learner can give a question, read once at start-up
// from the mark definition file "kuMemo-ini.txt".
struct MarkDefinitions {
    QStringList marks;                     // in the order of their "Level=" lines
    KeyedTable table{Qt::CaseInsensitive}; // "key"+level, "str"+mark, "keyCorrect", ...
};

// Its name in the program's folder.
inline constexpr char MarkDefinitionFileName[] = "kuMemo-ini.txt";

// Applies the lines of a mark definition file to `definitions`. Lines that
// do not fit change nothing; each of a "Level=" line's three additions is
// done or skipped by itself.
void readMarkDefinitions(const QString& fileText, MarkDefinitions& definitions);

// Reads "kuMemo-ini.txt" from the folder when it exists (code page 932).
void readMarkDefinitionFile(const QString& folder, MarkDefinitions& definitions);

// The mark the selector proposes after judging: the row's own mark, else the
// mark defined for a right ("keyCorrect") or a wrong ("keyWrong") answer,
// else the selector's present text.
QString proposedMark(const QString& rowMark, bool right, const KeyedTable& markTable,
                     const QString& selectorText);

// Whether the selector's text is a mark of the mark definitions (exactly, in
// case too), which "次問題" then stores as the question's mark. Levels and
// other texts are not marks.
bool isKnownMark(const QString& text, const KeyedTable& markTable);
