#pragma once

#include "data/QuestionRecord.h"

#include <QString>

// What the quiz formats (Moodle XML, GIFT) share.
namespace QuizText {

// A question's name in a question bank: the first line of its text, cut to
// 40 characters; "問<number>" when it has no text.
QString questionName(const RecordFields& fields, int number);

// The fractions of a question's answers in percent, as Moodle lists them:
// each right one of a multiple choice 100 / (right ones), each wrong one
// -100 / (wrong ones); of a single choice 100 and 0.
QString fraction(double percent);
double rightFraction(const RecordFields& fields);
double wrongFraction(const RecordFields& fields);

// The names of the question kinds a quiz may hold but this program cannot
// ask, as a reason for leaving them out.
QString unsupportedKind(const QString& kind);

// Two choices for a true-or-false question, the right one first or second.
void trueFalseChoices(RecordFields& fields, bool trueIsRight);

} // namespace QuizText
