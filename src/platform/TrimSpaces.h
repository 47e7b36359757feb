#pragma once

#include <QString>

// The text without the blanks (U+0020) before and after it; tabs, line
// breaks and ideographic spaces stay.
QString trimSpaces(const QString& text);
