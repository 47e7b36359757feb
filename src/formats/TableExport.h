#pragma once

#include <QByteArray>
#include <QChar>
#include <QStringList>

namespace QuestionTable {

// The table of these records with a header row, UTF-8 with a byte order
// mark, CR LF after each row. Right choices are written as their numbers,
// with commas after them where a choice's text is the same as the numbers.
QByteArray write(const QStringList& records, QChar separator);

// A field as a row of the table holds it: in quotes, with its quotes
// doubled, when it holds the separator, a quote or a line break.
QString quotedField(const QString& field, QChar separator);

} // namespace QuestionTable
