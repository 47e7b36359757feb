#pragma once

#include "formats/ImportedQuestions.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Anki's packages (.apkg, .colpkg): a ZIP file holding the collection, a
// SQLite database, and in newer packages a `meta` entry (protobuf, field 1
// the version) that says which collection to read:
//   1  collection.anki2    plain SQLite
//   2  collection.anki21   plain SQLite
//   3  collection.anki21b  SQLite compressed with zstd
// A package without `meta` holds collection.anki21 or collection.anki2. A
// newer package also holds a dummy collection.anki2, so `meta` comes first.
//
// Each note (table `notes`, its fields in `flds` separated by U+001F)
// becomes a typed-answer question: the first field the question, the second
// the answer, or the other way round when the sides are swapped. The fields'
// HTML becomes rich text; pictures and sounds are dropped. Cloze notes and
// notes with fewer than two fields are left out.
//
// Each question comes with the reviews of its note's card (table `revlog`,
// joined to `cards`): the first card, or with the sides swapped the second
// where the note has one. Anki's buttons 1 to 4 are the grades; a change
// made by hand (ease 0) is no review.
namespace AnkiPackage {

// Whether the bytes begin as a ZIP file does.
bool looksLike(const QByteArray& bytes);

// A damaged package (a ZIP cut short, a collection that does not
// decompress, a database without notes, a review log that cannot be read)
// is refused with what is wrong.
ImportedQuestions read(const QByteArray& bytes, bool swapSides);

// The varint of the given field in a protobuf message; nothing when the
// message has none or cannot be read.
std::optional<quint64> protobufVarint(const QByteArray& message, int field);

} // namespace AnkiPackage
