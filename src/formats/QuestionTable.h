#pragma once

#include "data/QuestionRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// Questions as a plain text table, the way spreadsheet programs save them:
// comma- or tab-separated values with quoting as RFC 4180 has it, one row
// per question. Rich text goes out as its plain text; plain text comes in
// as the rich text the editor writes for typed text.
//
// Columns, named by a header row in Japanese or English:
//   問題 question | 種類 type | 正解 answer | 選択肢 choice (one column per
//   choice: 選択肢1, 選択肢2, …) | ヒント hint | 解説 explanation
// Without a header row the columns are: question, typed answer, hint,
// explanation.
//
// Reading takes the bytes as text (TableDecoding), the text as rows of
// fields (TableTokenizer) and each row's cells as a question (TableColumns);
// TableExport writes a table.
namespace QuestionTable {

// A question read from one row: its fields without a key.
struct Question {
    int line = 0;
    RecordFields fields;
    QString plainText; // the question as the lists show it
};

// A row a message lists, and what it says of it.
struct RowNote {
    int number = 0; // as Row::number
    int line = 0;
    QString text;
};

struct ReadResult {
    bool ok = false;
    QString refusal; // why nothing could be read, when not ok
    QVector<Question> questions;
    QVector<RowNote> badRows; // with the reason
    // Questions whose right answer is a choice's text and was taken as that
    // choice, though read as numbers it names other choices: for the author
    // to check.
    QVector<RowNote> readByText;
};

// Reads a whole table file. Rows that cannot become a question are listed
// with their reason; the others are read. A right answer that is a choice's
// text means that choice; only where no choice has that text is it read as
// the numbers of the right choices.
ReadResult read(const QByteArray& bytes);

// Whether the text's first row names the columns.
bool hasHeader(QStringView text);

// The lines of a message listing these rows, at most `shown` of them.
QString rowList(const QVector<RowNote>& rows, int shown = 20);

} // namespace QuestionTable
