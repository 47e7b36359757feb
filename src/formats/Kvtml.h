#pragma once

#include "formats/ImportedQuestions.h"

#include <QByteArray>

// KVTML 2, the vocabulary files of KDE's Parley: <entries> of <entry>
// elements, each with numbered <translation>s holding a <text>.
// Translation 0 is the question and translation 1 its typed answer, or the
// other way round when the sides are swapped. The <grade>s of both
// translations tell how often Parley asked the word and how often it was
// answered wrongly; they carry no times, so they add to the learner's
// counts only.
namespace Kvtml {

// Whether the bytes are XML whose root element is <kvtml>.
bool looksLike(const QByteArray& bytes);

// Entries without both translations, or whose answer is not one line, are
// left out with the reason. XML that is not well formed is refused with
// its line, and so is a file of another KVTML version.
ImportedQuestions read(const QByteArray& bytes, bool swapSides);

} // namespace Kvtml
