#pragma once

#include <QString>

#include <functional>

// Finding a question in the editor's list by a piece of its text. A row
// matches when its text holds the searched text exactly: upper and lower
// case, full-width and half-width forms are different characters. Rows are
// numbered from 1, `selected` is 0 when no row is selected, and 0 comes
// back when no row matches. Neither direction wraps around.
using RowText = std::function<QString(int row)>;

// Looks at the rows after the selected one, downwards.
int findRowAfter(const RowText& rowText, int rowCount, int selected, const QString& text);
// Looks at the rows before the selected one, upwards. From the first row or
// from no row it looks at the first row only, the selected one included.
int findRowBefore(const RowText& rowText, int rowCount, int selected, const QString& text);

// The status bar's text when no row matched.
QString notFoundText(const QString& text);
