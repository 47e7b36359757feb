#pragma once

#include <QString>

// Reads a question file's text the way the loader does (properties, then
// records with their keys) and checks that writing what was read and reading
// it again gives the same properties and records.
void checkQuestionText(const QString& text);
