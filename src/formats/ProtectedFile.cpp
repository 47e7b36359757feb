#include "formats/ProtectedFile.h"

#include "formats/clsRC4.h"

#include <QIODevice>
#include <QtEndian>

namespace ProtectedFile {

namespace {
const QString kPasswordPrefix = QStringLiteral("password=");
const QString kLineEnd = QStringLiteral("\r\n");

// UTF-16LE without a byte-order mark; a straight copy on little-endian
// machines.
QByteArray toUtf16Le(const QString& text) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

QString fromUtf16Le(const QByteArray& bytes) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData(), text.size(), text.data());
    return text;
}

void cipher(QByteArray& bytes) {
    clsRC4().EncryptByte(bytes, QString::fromLatin1(FileKey));
}

// Takes the password line off the deciphered text.
Content split(QString text) {
    if (!text.startsWith(kPasswordPrefix))
        return {Status::NotProtected, {}, {}};
    const qsizetype lineEnd = text.indexOf(kLineEnd);
    if (lineEnd < 0)
        return {Status::NoPasswordLine, {}, text};
    QString password = text.mid(kPasswordPrefix.size(), lineEnd - kPasswordPrefix.size());
    text.remove(0, lineEnd + kLineEnd.size());
    return {Status::Ok, password, text};
}
} // namespace

bool isProtectedPath(const QString& path) {
    return path.endsWith(QStringLiteral(".kme"), Qt::CaseInsensitive);
}

QByteArray compose(const QString& password, const QString& text) {
    QByteArray bytes = toUtf16Le(kPasswordPrefix + password + kLineEnd + text);
    cipher(bytes);
    return bytes;
}

Content parse(QByteArray fileBytes) {
    cipher(fileBytes);
    return split(fromUtf16Le(fileBytes));
}

// Reads the file's bytes straight into the text they decipher to, so a
// large file is not copied on the way.
Content read(QIODevice& file) {
    QString text(file.size() / 2, Qt::Uninitialized);
    const qint64 wanted = text.size() * qint64(sizeof(QChar));
    const qint64 got = file.read(reinterpret_cast<char*>(text.data()), wanted);
    text.truncate(std::max<qint64>(got, 0) / 2);
    clsRC4 rc4;
    rc4.setKey(QString::fromLatin1(FileKey));
    rc4.cipherInPlace(reinterpret_cast<char*>(text.data()), text.size() * qsizetype(sizeof(QChar)));
    qFromLittleEndian<char16_t>(text.constData(), text.size(), text.data());
    return split(std::move(text));
}

Notice notProtectedNotice() {
    return {QStringLiteral("このﾌｧｲﾙはkuMemoの保護付ﾃﾞｰﾀﾌｧｲﾙではありません"),
            QStringLiteral("読み込みエラー")};
}

Notice stillLockedOtherFormatNotice() {
    return {QStringLiteral("正しい保護ﾊﾟｽﾜｰﾄﾞが入力されなかったため、別形式での保存はできません。"),
            QStringLiteral("警告")};
}

Notice stillLockedThisFormatNotice() {
    return {
        QStringLiteral("正しい保護ﾊﾟｽﾜｰﾄﾞが入力されなかったため、この形式での保存はできません。"),
        QStringLiteral("警告")};
}

Notice noPasswordNotice() {
    return {QStringLiteral("保護用ﾊﾟｽﾜｰﾄﾞの入力が無かったため保存しませんでした。"),
            QStringLiteral("保存中止")};
}

} // namespace ProtectedFile
