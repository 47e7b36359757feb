#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// The bytes of a protected question file (.kme): "password=" + the
// protection password + CR LF + the question file text, as UTF-16LE without
// a byte-order mark, enciphered with RC4 under one fixed key from the first
// byte. No header, no length, no checksum: the file is twice as long as its
// text has characters.
namespace ProtectedFile {

// The same key for every protected file and both directions.
inline constexpr char FileKey[] = "kmLockKey(standardPass)";

// A file is protected by its name: it ends in ".kme", in any case.
bool isProtectedPath(const QString& path);

// The whole file. The password must not hold a line break: the first CR LF
// ends it when the file is read.
QByteArray compose(const QString& password, const QString& text);

enum class Status {
    Ok,             // the password line was found and stripped
    NoPasswordLine, // "password=" without a CR LF: nothing stripped
    NotProtected,   // does not decipher to "password=" (an empty file neither)
};

struct Content {
    Status status = Status::NotProtected;
    QString password; // the stored password; empty unless Ok
    QString text;     // Ok: the text after the password line; NoPasswordLine: all of it
};

// Deciphers and splits the file bytes. A trailing odd byte (a cut file) is
// ignored.
Content parse(QByteArray fileBytes);
// The same, read from an open file.
Content read(QIODevice& file);

// What the user is told, with the title of the exclamation box.
struct Notice {
    QString text;
    QString title;
};
// The deciphered text does not begin with "password=".
Notice notProtectedNotice();
// The password was not given; a plain file (or the plain copy) is refused.
Notice stillLockedOtherFormatNotice();
// The password was not given; saving in the chosen plain form is refused.
Notice stillLockedThisFormatNotice();
// frmPasswd was cancelled; nothing is saved.
Notice noPasswordNotice();

} // namespace ProtectedFile
