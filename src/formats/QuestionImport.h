#pragma once

#include "formats/ImportedQuestions.h"

#include <QByteArray>
#include <QString>

// Every file the editor takes questions from, told apart by its content
// rather than its name: a ".txt" that is GIFT is read as GIFT.
namespace QuestionImport {

enum class Format { Table, MoodleXml, Gift, Kvtml, Anki };

Format detect(const QByteArray& bytes);

// The format as a message names it.
QString formatName(Format format);

// Formats of cards with two sides, which the author may swap.
bool hasSides(Format format);

// Reads a file of any format but a table, which QuestionTable reads with
// its own account of the rows.
ImportedQuestions read(Format format, const QByteArray& bytes, bool swapSides);

} // namespace QuestionImport
