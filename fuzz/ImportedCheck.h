#pragma once

#include "formats/ImportedQuestions.h"

// What every reader of another program's file promises of what it read: a
// refusal says why; each question has a text, a kind of 1 to 3 and a right
// choice, and a typed answer is one line; what was left out has a reason;
// each question's history can go to the answer log as it is.
void checkImported(const ImportedQuestions& read);

// The questions as records, to be written out again.
QStringList importedRecords(const ImportedQuestions& read);

// The questions in a few words, to compare two readings.
QStringList describeImported(const ImportedQuestions& read);
