#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// Anki packages made the way the format is documented, for the tests and
// the benchmarks: a SQLite collection of the version asked for, zipped with
// a `meta` entry where the version has one.
namespace AnkiPackageMaker {

enum class Version {
    Anki2 = 1,   // collection.anki2, no meta
    Anki21 = 2,  // collection.anki21, no meta
    Anki21b = 3, // meta 3, collection.anki21b in zstd, a dummy collection.anki2 beside it
};

struct Note {
    qint64 id = 0;
    qint64 noteType = 0;
    QStringList fields;
};

struct Card {
    qint64 id = 0;
    qint64 note = 0;
    int type = 2;  // 0 new, 1 learning, 2 review
    int queue = 2; // as type, -1 suspended
    qint64 due = 0; // review: day from the collection's creation; learning: epoch seconds
    int interval = 1;
    int ord = 0; // which of the note's cards: 1 the reversed one of a basic note
};

struct Review {
    qint64 time = 0; // ms since the epoch; the row's id
    qint64 card = 0;
    int ease = 3;
    int type = 1;
};

struct Collection {
    Version version = Version::Anki21;
    qint64 basicType = 1000;
    qint64 clozeType = 2000;
    QVector<Note> notes;
    QVector<Card> cards;
    QVector<Review> reviews;
    bool withNotesTable = true;
    bool reviewLogWithoutEase = false; // a log of another shape, which cannot be read
};

// The day the collections are made, 2020-01-01T00:00:00Z: `col.crt`.
constexpr qint64 CreatedSeconds = 1577836800;

// The collection's SQLite database; the package as a ZIP file.
QByteArray database(const Collection& collection);
QByteArray package(const Collection& collection);
// A package of any entries, stored as they are given.
QByteArray zip(const QVector<QPair<QString, QByteArray>>& entries);

} // namespace AnkiPackageMaker
