#include "data/clsRC4.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A key text whose code page bytes are 0x01, 0x02, ... `length`.
QString countingKey(int length) {
    QString key;
    for (int i = 1; i <= length; ++i)
        key += QChar(i);
    return key;
}

QList<int> percents(const QSignalSpy& spy) {
    QList<int> values;
    for (const QList<QVariant>& call : spy)
        values << call.at(0).toInt();
    return values;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class tst_clsRC4 : public QObject {
    Q_OBJECT
  private slots:
    void keystreamMatchesRfc6229_data();
    void keystreamMatchesRfc6229();
    void textKeys_data();
    void textKeys();
    void cipherTwiceGivesBytesBack();
    void everyCallStartsTheKeystreamAfresh();
    void withoutKeyNothingIsEnciphered();
    void progressRule_data();
    void progressRule();
    void encodeArray64_data();
    void encodeArray64();
    void decodeArray64SkipsBreaksAndPadding_data();
    void decodeArray64SkipsBreaksAndPadding();
    void textBase64ThroughCodePage();
    void stringsRoundTrip_data();
    void stringsRoundTrip();
    void stringWithCharacterOutsideCodePageFails();
    void fileRoundTrip_data();
    void fileRoundTrip();
    void fileRefusals();
};

// RFC 6229, section 2: keystream bytes of the keys 0x0102... at a few
// offsets. (The 256-bit key holds 0x1a and 0x1c, which the code page
// converter does not yet carry as themselves.)
void tst_clsRC4::keystreamMatchesRfc6229_data() {
    QTest::addColumn<int>("keyLength");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    const struct {
        int keyLength;
        int offset;
        const char* hex;
    } rows[] = {
        {5, 0x0000, "b2396305f03dc027ccc3524a0a1118a8"},
        {5, 0x00f0, "28cb1132c96ce286421dcaadb8b69eae"},
        {5, 0x1000, "ff25b58995996707e51fbdf08b34d875"},
        {7, 0x0000, "293f02d47f37c9b633f2af5285feb46b"},
        {7, 0x1000, "e74b0b9731227fd37c0ec08a47ddd8b8"},
        {8, 0x0000, "97ab8a1bf0afb96132f2f67258da15a8"},
        {10, 0x0000, "ede3b04643e586cc907dc21851709902"},
        {16, 0x0000, "9ac7cc9a609d1ef7b2932899cde41b97"},
        {16, 0x0400, "bdf0324e6083dcc6d3cedd3ca8c53c16"},
        {16, 0x1000, "a36a4c301ae8ac13610ccbc12256cacc"},
        {24, 0x0000, "0595e57fe5f0bb3c706edac8a4b2db11"},
        {24, 0x1000, "3cb0f3b5020a98b82af9fe154484a168"},
    };
    for (const auto& row : rows) {
        QTest::addRow("%d-bit key @%04x", row.keyLength * 8, row.offset)
            << row.keyLength << row.offset << QByteArray::fromHex(row.hex);
    }
}

void tst_clsRC4::keystreamMatchesRfc6229() {
    QFETCH(int, keyLength);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);
    clsRC4 rc4;
    QByteArray zeros(offset + 16, '\0');
    QVERIFY(rc4.EncryptByte(zeros, countingKey(keyLength)));
    QCOMPARE(zeros.mid(offset).toHex(), expected.toHex());
}

// Keys are texts in code page 932; their length counts characters, so of a
// Japanese key only as many bytes as it has characters take part.
void tst_clsRC4::textKeys_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("Key") << "Key" << QByteArray("Plaintext")
                         << QByteArray::fromHex("bbf316e8d940af0ad3");
    QTest::newRow("Wiki") << "Wiki" << QByteArray("pedia") << QByteArray::fromHex("1021bf0420");
    QTest::newRow("Secret") << "Secret" << QByteArray("Attack at dawn")
                            << QByteArray::fromHex("45a01f645fc35b383552544b9bf5");
    // "あいうえお" keys with its first five bytes 82 a0 82 a2 82.
    QTest::newRow("Japanese") << QStringLiteral("あいうえお") << QByteArray(8, '\0')
                              << QByteArray::fromHex("c2ea2f63378e2a69");
}

void tst_clsRC4::textKeys() {
    QFETCH(QString, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, expected);
    clsRC4 rc4;
    QVERIFY(rc4.EncryptByte(plain, key));
    QCOMPARE(plain.toHex(), expected.toHex());
}

void tst_clsRC4::cipherTwiceGivesBytesBack() {
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(i * 7);
    const QByteArray original = bytes;
    clsRC4 rc4;
    QVERIFY(rc4.EncryptByte(bytes, "kmLockKey(standardPass)"));
    QVERIFY(bytes != original);
    QVERIFY(rc4.DecryptByte(bytes, "kmLockKey(standardPass)"));
    QCOMPARE(bytes, original);
}

void tst_clsRC4::everyCallStartsTheKeystreamAfresh() {
    clsRC4 rc4;
    QByteArray first(16, '\0');
    QVERIFY(rc4.EncryptByte(first, countingKey(5)));
    QCOMPARE(first.toHex(), QByteArray("b2396305f03dc027ccc3524a0a1118a8"));

    // An empty key keeps the key set before, from its first byte again.
    QByteArray again(16, '\0');
    QVERIFY(rc4.EncryptByte(again));
    QCOMPARE(again, first);

    QByteArray other(16, '\0');
    rc4.setKey(countingKey(16));
    QVERIFY(rc4.EncryptByte(other));
    QCOMPARE(other.toHex(), QByteArray("9ac7cc9a609d1ef7b2932899cde41b97"));

    QByteArray back(16, '\0');
    QVERIFY(rc4.EncryptByte(back, countingKey(5)));
    QCOMPARE(back, first);
}

void tst_clsRC4::withoutKeyNothingIsEnciphered() {
    clsRC4 rc4;
    QSignalSpy progress(&rc4, &clsRC4::Progress);
    QByteArray bytes("plain");
    QVERIFY(!rc4.EncryptByte(bytes));
    rc4.setKey("");
    QVERIFY(!rc4.DecryptByte(bytes, ""));
    QCOMPARE(bytes, QByteArray("plain"));
    QCOMPARE(progress.count(), 0);
    QCOMPARE(rc4.EncryptString("plain", "", true), QString());

    // Emptying a key that was set leaves no key either.
    rc4.setKey("k");
    rc4.setKey("");
    QVERIFY(!rc4.EncryptByte(bytes));
    QCOMPARE(bytes, QByteArray("plain"));
}

void tst_clsRC4::progressRule_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("empty") << 0 << QList<int>{100};
    QTest::newRow("1 byte") << 1 << QList<int>{0, 100};
    QTest::newRow("3 bytes") << 3 << QList<int>{0, 33, 66, 100};
    QList<int> evens;
    for (int p = 0; p <= 100; p += 2)
        evens << p;
    QTest::newRow("50 bytes") << 50 << evens;
    QList<int> all;
    for (int p = 0; p <= 100; ++p)
        all << p;
    QTest::newRow("1000 bytes") << 1000 << all;
    QTest::newRow("123457 bytes") << 123457 << all;
}

void tst_clsRC4::progressRule() {
    QFETCH(int, length);
    QFETCH(QList<int>, expected);
    clsRC4 rc4;
    QSignalSpy progress(&rc4, &clsRC4::Progress);
    QByteArray bytes(length, 'x');
    QVERIFY(rc4.EncryptByte(bytes, "key"));
    QCOMPARE(percents(progress), expected);
}

// RFC 4648, section 10, and lines of 76 characters.
void tst_clsRC4::encodeArray64_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("f") << QByteArray("f") << "Zg==";
    QTest::newRow("fo") << QByteArray("fo") << "Zm8=";
    QTest::newRow("foo") << QByteArray("foo") << "Zm9v";
    QTest::newRow("foob") << QByteArray("foob") << "Zm9vYg==";
    QTest::newRow("fooba") << QByteArray("fooba") << "Zm9vYmE=";
    QTest::newRow("foobar") << QByteArray("foobar") << "Zm9vYmFy";
    QTest::newRow("abc") << QByteArray("abc") << "YWJj";
    QTest::newRow("a") << QByteArray("a") << "YQ==";
    QTest::newRow("high bytes") << QByteArray::fromHex("fbff00") << "+/8A";
    QTest::newRow("57 bytes, one full line") << QByteArray(57, '\0') << QString(76, 'A');
    QTest::newRow("60 bytes") << QByteArray(60, '\0') << QString(76, 'A') + "\r\n" + "AAAA";
    QTest::newRow("114 bytes, two full lines")
        << QByteArray(114, '\xff') << QString(76, '/') + "\r\n" + QString(76, '/');
    QTest::newRow("116 bytes") << QByteArray(116, '\xff')
                               << QString(76, '/') + "\r\n" + QString(76, '/') + "\r\n" + "//8=";
}

void tst_clsRC4::encodeArray64() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoded);
    clsRC4 rc4;
    QCOMPARE(rc4.EncodeArray64(bytes), encoded);
    QCOMPARE(rc4.DecodeArray64(encoded).toHex(), bytes.toHex());
}

void tst_clsRC4::decodeArray64SkipsBreaksAndPadding_data() {
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF between lines") << "Zm9v\r\nYmFy" << QByteArray("foobar");
    QTest::newRow("breaks and padding anywhere") << "Z=m9\nvY\r\rmE==" << QByteArray("fooba");
    QTest::newRow("padding missing") << "Zm9vYg" << QByteArray("foob");
    QTest::newRow("blanks and stray characters") << " Zm 9v\tY*mFy " << QByteArray("foobar");
    QTest::newRow("only padding") << "====" << QByteArray();
}

void tst_clsRC4::decodeArray64SkipsBreaksAndPadding() {
    QFETCH(QString, encoded);
    QFETCH(QByteArray, bytes);
    clsRC4 rc4;
    QCOMPARE(rc4.DecodeArray64(encoded), bytes);
}

void tst_clsRC4::textBase64ThroughCodePage() {
    clsRC4 rc4;
    // "あ～" in code page 932 is 82 a0 81 60.
    QCOMPARE(rc4.Encode64(QStringLiteral("あ～")), QStringLiteral("gqCBYA=="));
    QCOMPARE(rc4.Decode64("gqCBYA=="), QStringLiteral("あ～"));
    QCOMPARE(rc4.Encode64(""), QString());
    QCOMPARE(rc4.Decode64(""), QString());
}

void tst_clsRC4::stringsRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << "The quick brown fox";
    QTest::newRow("japanese") << QStringLiteral("問題ﾌｧｲﾙ ①～∥ 漢字かな交じり文");
    QTest::newRow("long") << QString(500, QChar(0x3042));
}

// Base64 carries the enciphered bytes themselves, so any text of the code
// page comes back exactly.
void tst_clsRC4::stringsRoundTrip() {
    QFETCH(QString, text);
    clsRC4 rc4;
    const QString enciphered = rc4.EncryptString(text, "secret", true);
    QVERIFY(!enciphered.isEmpty());
    QCOMPARE(rc4.DecryptString(enciphered, "secret", true), text);

    clsRC4 other;
    QCOMPARE(other.DecryptString(enciphered, "secret", true), text);

    const QString asText = rc4.EncryptString(text, "secret", false);
    if (!asText.isEmpty())
        QCOMPARE(rc4.DecryptString(asText, "secret", false), text);
}

void tst_clsRC4::stringWithCharacterOutsideCodePageFails() {
    clsRC4 rc4;
    QCOMPARE(rc4.EncryptString(QStringLiteral("a😀b"), "secret", true), QString());
    QCOMPARE(rc4.EncryptString(QStringLiteral("a😀b"), "secret", false), QString());
}

void tst_clsRC4::fileRoundTrip_data() {
    QTest::addColumn<bool>("in64");
    QTest::newRow("bytes") << false;
    QTest::newRow("base64") << true;
}

void tst_clsRC4::fileRoundTrip() {
    QFETCH(bool, in64);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray original;
    for (int i = 0; i < 300; ++i)
        original += static_cast<char>(i);
    writeAll(dir.filePath("plain.bin"), original);

    clsRC4 rc4;
    QVERIFY(rc4.EncryptFile(dir.filePath("plain.bin"), dir.filePath("cipher"), false, "k1", in64));
    const QByteArray stored = readAll(dir.filePath("cipher"));
    QByteArray expected = original;
    QVERIFY(rc4.EncryptByte(expected, "k1"));
    if (in64) {
        const QList<QByteArray> lines = stored.split('\n');
        QCOMPARE(lines.size(), 6); // 300 bytes: 400 characters
        QCOMPARE(lines.first(), rc4.EncodeArray64(expected).left(76).toLatin1() + "\r");
        QCOMPARE(QByteArray::fromBase64(QByteArray(stored).replace("\r\n", "")), expected);
    } else {
        QCOMPARE(stored, expected);
    }

    clsRC4 other;
    QVERIFY(other.DecryptFile(dir.filePath("cipher"), dir.filePath("back.bin"), false, "k1", in64));
    QCOMPARE(readAll(dir.filePath("back.bin")), original);
}

void tst_clsRC4::fileRefusals() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString in = dir.filePath("in.bin");
    const QString out = dir.filePath("out.bin");
    writeAll(in, "data");
    writeAll(out, "keep me");
    clsRC4 rc4;

    QVERIFY(!rc4.EncryptFile(dir.filePath("missing"), dir.filePath("new"), true, "k"));
    QVERIFY(!QFile::exists(dir.filePath("new")));
    QVERIFY(!rc4.EncryptFile(dir.path(), dir.filePath("new"), true, "k"));
    QVERIFY(!rc4.EncryptFile(in, out, false, "k"));
    QVERIFY(!rc4.DecryptFile(in, out, false, "k"));
    QCOMPARE(readAll(out), QByteArray("keep me"));
    QVERIFY(!clsRC4().EncryptFile(in, out, true));
    QCOMPARE(readAll(out), QByteArray("keep me"));
    QVERIFY(!rc4.EncryptFile(in, dir.filePath("no/such/folder/out"), true, "k"));

    QVERIFY(rc4.EncryptFile(in, out, true, "k"));
    QByteArray expected("data");
    QVERIFY(rc4.EncryptByte(expected, "k"));
    QCOMPARE(readAll(out), expected);
}

QTEST_GUILESS_MAIN(tst_clsRC4)
#include "tst_clsRC4.moc"
