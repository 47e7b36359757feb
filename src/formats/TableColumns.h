#pragma once

#include "formats/QuestionTable.h"
#include "formats/TableTokenizer.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// What the columns of a table row hold: the names a header row gives them,
// in Japanese or English, and how a row's cells become a question. A right
// answer is read as a choice's text, else as the numbers of right choices.
namespace QuestionTable {

// Which field of a row holds what; -1 where there is none.
struct Layout {
    int question = -1;
    int type = -1;
    int answer = -1;
    int hint = -1;
    int explanation = -1;
    QVector<int> choices;
    bool header = false;
};

// The layout a header row names, or the refusal of a header that cannot be
// read. A first row that names no question column is no header.
std::optional<Layout> headerLayout(const Row& first, QString& refusal);

// The question a row holds, or why it cannot be one. `readByText` tells a
// right answer taken as a choice's text that as numbers names others.
QString readQuestion(const Row& row, const Layout& layout, Question& question, QString& readByText);

// The right answer's cell for these choices: the numbers of the right ones.
// Where a choice's text is the same as those numbers, they would read back
// as that choice; commas after them make them numbers again. Each choice's
// text equals one count of commas at most, so one of these counts is free.
QString answerCell(const QStringList& texts, const QVector<bool>& correct);

} // namespace QuestionTable
