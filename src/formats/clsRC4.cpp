#include "formats/clsRC4.h"

#include <algorithm>

#include "platform/Codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kBase64LineLength = 76;
constexpr int kNotBase64 = -1;

// Character code to value 0-63, kNotBase64 for every other character.
const std::array<int, 256>& base64Values() {
    static const std::array<int, 256> values = [] {
        std::array<int, 256> table;
        table.fill(kNotBase64);
        for (int value = 0; value < 64; ++value)
            table[static_cast<unsigned char>(kBase64Alphabet[value])] = value;
        return table;
    }();
    return values;
}

// True when the length of the file can be had, as the class has always
// decided whether an input exists.
bool fileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

bool readWhole(const QString& path, QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

bool writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// The code page text of bytes, or nothing when that text would not give the
// same bytes back.
bool bytesAsText(const QByteArray& bytes, QString& text) {
    text = Codepage::decode(bytes);
    return Codepage::encode(text) == bytes;
}

} // namespace

clsRC4::clsRC4(QObject* parent) : QObject(parent) {}

void clsRC4::setKey(const QString& New_Value) {
    if (New_Value == m_key)
        return;
    m_key = New_Value;
    if (m_key.isEmpty())
        return;

    QByteArray keyBytes = Codepage::encode(m_key);
    // The key length counts characters, as the files have always been keyed;
    // each UTF-16 unit the code page cannot carry counts as one "?".
    const qsizetype keyLength = m_key.size();
    if (keyBytes.size() < keyLength)
        keyBytes.append(keyLength - keyBytes.size(), '?');

    for (int i = 0; i < 256; ++i)
        m_schedule[i] = static_cast<std::uint8_t>(i);
    int j = 0;
    for (int i = 0; i < 256; ++i) {
        j = (j + m_schedule[i] + static_cast<std::uint8_t>(keyBytes.at(i % keyLength))) % 256;
        std::swap(m_schedule[i], m_schedule[j]);
    }
}

bool clsRC4::cipherInPlace(char* bytes, qsizetype n) {
    if (!hasKey())
        return false;
    // The state in words, not bytes: the loop runs much faster so.
    std::array<std::uint32_t, 256> s;
    std::copy(m_schedule.begin(), m_schedule.end(), s.begin());
    auto* data = reinterpret_cast<std::uint8_t*>(bytes);
    std::uint32_t i = 0;
    std::uint32_t j = 0;
    int lastPercent = -1;
    qsizetype p = 0;
    while (p < n) {
        lastPercent = static_cast<int>(p * 100 / n);
        emit Progress(lastPercent);
        // The first position of the following whole percent.
        const qsizetype stretchEnd = std::min(n, ((lastPercent + 1) * n + 99) / 100);
        for (; p < stretchEnd; ++p) {
            i = (i + 1) & 0xFF;
            const std::uint32_t si = s[i];
            j = (j + si) & 0xFF;
            const std::uint32_t sj = s[j];
            s[i] = sj;
            s[j] = si;
            data[p] ^= static_cast<std::uint8_t>(s[(si + sj) & 0xFF]);
        }
    }
    if (lastPercent != 100)
        emit Progress(100);
    return true;
}

bool clsRC4::EncryptByte(QByteArray& byteArray, const QString& Key) {
    if (!Key.isEmpty())
        setKey(Key);
    if (!hasKey())
        return false;
    return cipherInPlace(byteArray.data(), byteArray.size());
}

bool clsRC4::DecryptByte(QByteArray& byteArray, const QString& Key) {
    return EncryptByte(byteArray, Key);
}

QString clsRC4::EncryptString(const QString& Text, const QString& Key, bool OutputIn64) {
    if (!Codepage::canEncode(Text))
        return {};
    QByteArray bytes = Codepage::encode(Text);
    if (!EncryptByte(bytes, Key))
        return {};
    // Base64 carries the enciphered bytes themselves; a detour through the
    // code page would lose every byte sequence it has no character for.
    if (OutputIn64)
        return EncodeArray64(bytes);
    QString enciphered;
    return bytesAsText(bytes, enciphered) ? enciphered : QString();
}

QString clsRC4::DecryptString(const QString& Text, const QString& Key, bool IsTextIn64) {
    QByteArray bytes;
    if (IsTextIn64) {
        bytes = DecodeArray64(Text);
    } else {
        if (!Codepage::canEncode(Text))
            return {};
        bytes = Codepage::encode(Text);
    }
    if (!DecryptByte(bytes, Key))
        return {};
    return Codepage::decode(bytes);
}

bool clsRC4::EncryptFile(const QString& InFile, const QString& OutFile, bool Overwrite,
                         const QString& Key, bool OutputIn64) {
    if (!fileExists(InFile) || (!Overwrite && QFileInfo::exists(OutFile)))
        return false;
    QByteArray bytes;
    if (!readWhole(InFile, bytes) || !EncryptByte(bytes, Key))
        return false;
    return writeWhole(OutFile, OutputIn64 ? EncodeArray64(bytes).toLatin1() : bytes);
}

bool clsRC4::DecryptFile(const QString& InFile, const QString& OutFile, bool Overwrite,
                         const QString& Key, bool IsFileIn64) {
    if (!fileExists(InFile) || (!Overwrite && QFileInfo::exists(OutFile)))
        return false;
    QByteArray bytes;
    if (!readWhole(InFile, bytes))
        return false;
    if (IsFileIn64)
        bytes = DecodeArray64(QString::fromLatin1(bytes));
    if (!DecryptByte(bytes, Key))
        return false;
    return writeWhole(OutFile, bytes);
}

QString clsRC4::EncodeArray64(const QByteArray& bytInput) const {
    QString encoded;
    encoded.reserve((bytInput.size() + 2) / 3 * 4);
    const auto byteAt = [&](qsizetype i) { return static_cast<std::uint8_t>(bytInput.at(i)); };
    for (qsizetype i = 0; i < bytInput.size(); i += 3) {
        const qsizetype groupSize = std::min<qsizetype>(3, bytInput.size() - i);
        const std::uint32_t group = (byteAt(i) << 16) | (groupSize > 1 ? byteAt(i + 1) << 8 : 0) |
                                    (groupSize > 2 ? byteAt(i + 2) : 0);
        for (int k = 0; k < 4; ++k) {
            encoded += k <= groupSize ? QChar(kBase64Alphabet[(group >> (18 - 6 * k)) & 0x3F])
                                      : QChar('=');
        }
    }
    if (encoded.size() <= kBase64LineLength)
        return encoded;

    QString lines;
    lines.reserve(encoded.size() + encoded.size() / kBase64LineLength * 2);
    for (qsizetype i = 0; i < encoded.size(); i += kBase64LineLength) {
        if (i > 0)
            lines += QStringLiteral("\r\n");
        lines += QStringView(encoded).mid(i, kBase64LineLength);
    }
    return lines;
}

QByteArray clsRC4::DecodeArray64(const QString& sInput) const {
    // Line breaks, padding and anything else outside the alphabet are
    // skipped, as RFC 2045 asks of a decoder.
    const std::array<int, 256>& values = base64Values();
    QByteArray decoded;
    decoded.reserve(sInput.size() / 4 * 3 + 2);
    std::uint32_t group = 0;
    int count = 0;
    for (const QChar ch : sInput) {
        const int value = ch.unicode() < 256 ? values[ch.unicode()] : kNotBase64;
        if (value == kNotBase64)
            continue;
        group = (group << 6) | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            decoded += static_cast<char>(group >> 16);
            decoded += static_cast<char>(group >> 8);
            decoded += static_cast<char>(group);
            group = 0;
            count = 0;
        }
    }
    if (count == 3) {
        decoded += static_cast<char>(group >> 10);
        decoded += static_cast<char>(group >> 2);
    } else if (count == 2) {
        decoded += static_cast<char>(group >> 4);
    }
    return decoded;
}

QString clsRC4::Encode64(const QString& sInput) const {
    return EncodeArray64(Codepage::encode(sInput));
}

QString clsRC4::Decode64(const QString& sInput) const {
    return Codepage::decode(DecodeArray64(sInput));
}
