// Base64 and the cipher of clsRC4: bytes encode and decode back, any text
// decodes without failing, and enciphering twice gives the bytes back.
#include "FuzzCheck.h"

#include "formats/clsRC4.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    clsRC4 rc4;
    const QString encoded = rc4.EncodeArray64(bytes);
    for (const QString& line : encoded.split(QStringLiteral("\r\n")))
        FUZZ_CHECK(line.size() <= 76);
    FUZZ_CHECK(rc4.DecodeArray64(encoded) == bytes);

    rc4.DecodeArray64(QString::fromLatin1(bytes));
    rc4.Decode64(fuzzText(data, size));

    QByteArray enciphered = bytes;
    const QString key = QString::fromLatin1(bytes.left(8));
    const bool keyed = rc4.EncryptByte(enciphered, key);
    FUZZ_CHECK(keyed == !key.isEmpty());
    rc4.DecryptByte(enciphered, key);
    FUZZ_CHECK(enciphered == bytes);
    return 0;
}
