#include "data/ProtectedFile.h"

#include "data/clsRC4.h"

namespace ProtectedFile {

namespace {
const QString kPasswordPrefix = QStringLiteral("password=");
const QString kLineEnd = QStringLiteral("\r\n");

QByteArray toUtf16Le(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar ch : text) {
        bytes += static_cast<char>(ch.unicode() & 0xFF);
        bytes += static_cast<char>(ch.unicode() >> 8);
    }
    return bytes;
}

QString fromUtf16Le(const QByteArray& bytes) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes.at(2 * i));
        const auto high = static_cast<unsigned char>(bytes.at(2 * i + 1));
        text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
    }
    return text;
}

void cipher(QByteArray& bytes) {
    clsRC4().EncryptByte(bytes, QString::fromLatin1(FileKey));
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

Content parse(const QByteArray& fileBytes) {
    QByteArray bytes = fileBytes;
    cipher(bytes);
    const QString text = fromUtf16Le(bytes);
    if (!text.startsWith(kPasswordPrefix))
        return {Status::NotProtected, {}, {}};
    const qsizetype lineEnd = text.indexOf(kLineEnd);
    if (lineEnd < 0)
        return {Status::NoPasswordLine, {}, text};
    return {Status::Ok, text.mid(kPasswordPrefix.size(), lineEnd - kPasswordPrefix.size()),
            text.mid(lineEnd + kLineEnd.size())};
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
