#pragma once

#include "formats/ImportedQuestions.h"

#include <QByteArray>
#include <QStringList>
#include <QStringView>

// GIFT, Moodle's text format for quizzes: questions separated by blank
// lines, each a text with its answers in braces. "=" marks a right answer,
// "~" a wrong one or, with a weight "%n%", one of several right ones;
// "####" begins the general feedback; "\" escapes ~ = # { } : and itself.
// The hint, which GIFT has no place for, goes in a comment line before its
// question ("//ヒント："), which Moodle passes over and this reader takes
// back.
namespace Gift {

// Whether a text is GIFT rather than a table: it begins with a title or a
// format, or holds an answer block of a kind GIFT writes.
bool looksLike(QStringView text);

// Reads multiple choice, true-or-false and short answer questions; other
// kinds (matching, numerical, essay) are left out with the reason.
ImportedQuestions read(QStringView text);

// The questions as GIFT, UTF-8, CR LF line ends; texts in [html].
QByteArray write(const QStringList& records);

} // namespace Gift
