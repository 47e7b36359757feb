#pragma once

#include <QByteArray>
#include <QString>

// Reading files as the system's LZ expansion does: a file compressed in the
// SZDD format (COMPRESS.EXE, mscompress) gives its expanded content, any
// other file its bytes as stored.
namespace LzExpand {

enum class Status {
    Ok,
    CannotRead, // the file could not be opened or read
    Damaged,    // an SZDD file that is truncated or does not expand
};

struct Content {
    Status status = Status::Ok;
    QByteArray bytes; // empty unless status is Ok
};

// True when the bytes begin with the SZDD signature "SZDD" 88 F0 27 33.
bool isCompressed(const QByteArray& stored);

// The expanded content of stored file bytes.
Content expand(const QByteArray& stored);

// The whole content of a file, expanded when compressed.
Content readFile(const QString& path);

} // namespace LzExpand
