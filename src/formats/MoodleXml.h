#pragma once

#include "formats/ImportedQuestions.h"

#include <QByteArray>
#include <QStringList>

// Moodle XML, the quiz format of Moodle and of the learning platforms that
// read its files: a <quiz> of <question> elements, UTF-8.
//
// Single choice is a multichoice question with <single>true</single> and
// the fraction 100 on each right answer; multiple choice has
// <single>false</single>, the right answers' fractions summing to 100 and
// the wrong ones' to -100; a typed answer is a case-sensitive shortanswer.
// Texts are HTML in CDATA; the explanation is the general feedback and the
// hint the first <hint>.
namespace MoodleXml {

// Whether the bytes are XML whose root element is <quiz>.
bool looksLike(const QByteArray& bytes);

// Reads multichoice, truefalse and shortanswer questions; other kinds are
// left out with the reason. XML that is not well formed is refused with
// its line.
ImportedQuestions read(const QByteArray& bytes);

QByteArray write(const QStringList& records);

} // namespace MoodleXml
