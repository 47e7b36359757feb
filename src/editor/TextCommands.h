#pragma once

#include <QStringList>

// Ctrl+Q in the choice box: the choices of a pasted text in which each one
// starts on its own line with an ideographic space, a label ア–オ and another
// ideographic space, and ends at the next empty line. Labels that do not
// occur are skipped.
QStringList splitPastedChoices(const QString& plainText);

// Ctrl+Q in the question box: leading ideographic spaces go, and the lines
// are joined.
QString tidyQuestionText(const QString& plainText);
