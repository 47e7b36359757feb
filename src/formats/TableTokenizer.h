#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

// A table's text as rows of fields: comma- or tab-separated values with
// quoting as RFC 4180 has it.
namespace QuestionTable {

// One row of the table: its number as a spreadsheet shows it (every row
// counts, blank ones too, and a quoted line break starts none) and the line
// of the file it begins on.
struct Row {
    int number = 0;
    int line = 0;
    QStringList fields;
};

// The rows of a text, split at `separator` and at line ends outside quotes.
// Rows without any text are left out. Returns the line of a quote that is
// never closed, 0 when every quote is.
int splitRows(QStringView text, QChar separator, QVector<Row>& rows, int maxRows = -1);

// The separator a text uses: a tab or a comma.
QChar detectSeparator(QStringView text);

// A row as messages name it: as the spreadsheet shows it, with the file's
// own line beside it where a quoted line break makes them differ.
QString rowName(int number, int line);

} // namespace QuestionTable
