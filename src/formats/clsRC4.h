#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>

// The RC4 stream cipher over byte arrays, with text and file conveniences and
// a Base64 codec. Protected question files are enciphered with it.
//
// The key schedule is computed once per key; every call enciphers from a
// private copy of it, so the same key always gives the same keystream from
// its first byte, and enciphering twice gives the starting bytes back.
//
// Without a key (none set, or an empty one) nothing can be enciphered: the
// operations then change nothing and report the failure.
class clsRC4 : public QObject {
    Q_OBJECT
  public:
    explicit clsRC4(QObject* parent = nullptr);

    // Base64 of RFC 2045. Texts are carried as code page 932 bytes; encoded
    // text longer than 76 characters is broken into lines of 76 with CR LF.
    QString Decode64(const QString& sInput) const;
    QByteArray DecodeArray64(const QString& sInput) const;
    QString Encode64(const QString& sInput) const;
    QString EncodeArray64(const QByteArray& bytInput) const;

    // False, doing nothing, when InFile is missing, when OutFile exists and
    // Overwrite is false, without a key, or when reading or writing fails.
    // OutFile is replaced atomically, so a failure leaves it as it was.
    bool EncryptFile(const QString& InFile, const QString& OutFile, bool Overwrite,
                     const QString& Key = {}, bool OutputIn64 = false);
    bool DecryptFile(const QString& InFile, const QString& OutFile, bool Overwrite,
                     const QString& Key = {}, bool IsFileIn64 = false);

    // Enciphers in place; an empty Key keeps the key set before. False, with
    // the bytes unchanged, when there is no key.
    bool DecryptByte(QByteArray& byteArray, const QString& Key = {});
    bool EncryptByte(QByteArray& byteArray, const QString& Key = {});
    // The same on bytes that live elsewhere (a text read straight from a
    // file), with the key set before.
    bool cipherInPlace(char* data, qsizetype size);

    // Text goes through code page 932. Enciphered bytes rarely form valid
    // code page text, so unless it is carried as Base64 the result is the
    // empty string when the text could not be given back exactly.
    QString EncryptString(const QString& Text, const QString& Key = {}, bool OutputIn64 = false);
    QString DecryptString(const QString& Text, const QString& Key = {}, bool IsTextIn64 = false);

    // The write-only Key property.
    void setKey(const QString& New_Value);

  signals:
    // Raised at the first byte of every new whole percent of an array being
    // enciphered, and with 100 at its end: about a hundred times per call.
    void Progress(int Percent);

  private:
    bool hasKey() const { return !m_key.isEmpty(); }

    QString m_key;
    std::array<std::uint8_t, 256> m_schedule{};
};
