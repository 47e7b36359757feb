#include "formats/clsRC4.h"

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

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}
} // namespace

class tst_clsRC4 : public QObject {
    Q_OBJECT
  private slots:
    void keystream_data();
    void keystream();
    void everyCallStartsTheKeystreamAfresh();
    void withoutKeyNothingIsEnciphered();
    void progressRule_data();
    void progressRule();
    void base64_data();
    void base64();
    void decodeArray64SkipsBreaksAndPadding_data();
    void decodeArray64SkipsBreaksAndPadding();
    void strings();
    void files();
    void fileRefusals();
};

// RFC 6229, section 2, for the keys 0x0102... (the 256-bit one holds 0x1a
// and 0x1c, which the code page converter does not carry as themselves), and
// text keys. Of a Japanese key only as many code page bytes take part as it
// has characters: "あいうえお" keys with 82 a0 82 a2 82.
void tst_clsRC4::keystream_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    const struct {
        int keyLength;
        int offset;
        const char* hex;
    } rfc6229[] = {
        {5, 0x0000, "b2396305f03dc027ccc3524a0a1118a8"},
        {5, 0x1000, "ff25b58995996707e51fbdf08b34d875"},
        {7, 0x0000, "293f02d47f37c9b633f2af5285feb46b"},
        {8, 0x0000, "97ab8a1bf0afb96132f2f67258da15a8"},
        {10, 0x0000, "ede3b04643e586cc907dc21851709902"},
        {16, 0x0000, "9ac7cc9a609d1ef7b2932899cde41b97"},
        {16, 0x1000, "a36a4c301ae8ac13610ccbc12256cacc"},
        {24, 0x0000, "0595e57fe5f0bb3c706edac8a4b2db11"},
        {24, 0x1000, "3cb0f3b5020a98b82af9fe154484a168"},
    };
    for (const auto& row : rfc6229) {
        QTest::addRow("%d-bit key @%04x", row.keyLength * 8, row.offset)
            << countingKey(row.keyLength) << QByteArray(row.offset + 16, '\0') << row.offset
            << QByteArray::fromHex(row.hex);
    }
    QTest::newRow("Key") << "Key" << QByteArray("Plaintext") << 0
                         << QByteArray::fromHex("bbf316e8d940af0ad3");
    QTest::newRow("Secret") << "Secret" << QByteArray("Attack at dawn") << 0
                            << QByteArray::fromHex("45a01f645fc35b383552544b9bf5");
    QTest::newRow("Japanese") << QStringLiteral("あいうえお") << QByteArray(8, '\0') << 0
                              << QByteArray::fromHex("c2ea2f63378e2a69");
}

void tst_clsRC4::keystream() {
    QFETCH(QString, key);
    QFETCH(QByteArray, plain);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);
    clsRC4 rc4;
    const QByteArray original = plain;
    QVERIFY(rc4.EncryptByte(plain, key));
    QCOMPARE(plain.mid(offset).toHex(), expected.toHex());
    QVERIFY(rc4.DecryptByte(plain, key));
    QCOMPARE(plain, original);
}

void tst_clsRC4::everyCallStartsTheKeystreamAfresh() {
    clsRC4 rc4;
    QByteArray first(16, '\0');
    QVERIFY(rc4.EncryptByte(first, countingKey(5)));

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
    QVERIFY(!rc4.DecryptByte(bytes, ""));
    rc4.setKey("k");
    rc4.setKey("");
    QVERIFY(!rc4.EncryptByte(bytes));
    QCOMPARE(bytes, QByteArray("plain"));
    QCOMPARE(progress.count(), 0);
    QCOMPARE(rc4.EncryptString("plain", "", true), QString());
}

void tst_clsRC4::progressRule_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("expected");
    QList<int> evens;
    QList<int> all;
    for (int p = 0; p <= 100; ++p) {
        all << p;
        if (p % 2 == 0)
            evens << p;
    }
    QTest::newRow("empty") << 0 << QList<int>{100};
    QTest::newRow("1 byte") << 1 << QList<int>{0, 100};
    QTest::newRow("3 bytes") << 3 << QList<int>{0, 33, 66, 100};
    QTest::newRow("50 bytes") << 50 << evens;
    QTest::newRow("1000 bytes") << 1000 << all;
    QTest::newRow("123457 bytes") << 123457 << all;
}

void tst_clsRC4::progressRule() {
    QFETCH(int, length);
    QFETCH(QList<int>, expected);
    clsRC4 rc4;
    QList<int> percents;
    connect(&rc4, &clsRC4::Progress, [&](int percent) { percents << percent; });
    QByteArray bytes(length, 'x');
    QVERIFY(rc4.EncryptByte(bytes, "key"));
    QCOMPARE(percents, expected);
}

// RFC 4648, section 10; lines of 76 characters.
void tst_clsRC4::base64_data() {
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
    QTest::newRow("high bytes") << QByteArray::fromHex("fbff00") << "+/8A";
    QTest::newRow("57 bytes, one full line") << QByteArray(57, '\0') << QString(76, 'A');
    QTest::newRow("60 bytes") << QByteArray(60, '\0') << QString(76, 'A') + "\r\nAAAA";
    QTest::newRow("116 bytes") << QByteArray(116, '\xff')
                               << QString(76, '/') + "\r\n" + QString(76, '/') + "\r\n//8=";
}

void tst_clsRC4::base64() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoded);
    clsRC4 rc4;
    QCOMPARE(rc4.EncodeArray64(bytes), encoded);
    QCOMPARE(rc4.DecodeArray64(encoded).toHex(), bytes.toHex());
}

void tst_clsRC4::decodeArray64SkipsBreaksAndPadding_data() {
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("breaks and padding anywhere") << "Z=m9\nvY\r\n\rmE==" << QByteArray("fooba");
    QTest::newRow("padding missing") << "Zm9vYg" << QByteArray("foob");
    QTest::newRow("blanks and stray characters") << " Zm 9v\tY*mFy " << QByteArray("foobar");
}

void tst_clsRC4::decodeArray64SkipsBreaksAndPadding() {
    QFETCH(QString, encoded);
    QFETCH(QByteArray, bytes);
    QCOMPARE(clsRC4().DecodeArray64(encoded), bytes);
}

// Texts go through code page 932 ("あ～" is 82 a0 81 60). Enciphered and in
// Base64, any text of the code page comes back exactly; one the code page
// cannot carry is refused.
void tst_clsRC4::strings() {
    clsRC4 rc4;
    QCOMPARE(rc4.Encode64(QStringLiteral("あ～")), QString("gqCBYA=="));
    QCOMPARE(rc4.Decode64("gqCBYA=="), QStringLiteral("あ～"));

    for (const QString& text :
         {QStringLiteral("問題ﾌｧｲﾙ ①～∥ 漢字かな交じり文"), QString(500, QChar(0x3042))}) {
        const QString enciphered = rc4.EncryptString(text, "secret", true);
        QVERIFY(!enciphered.isEmpty());
        QCOMPARE(clsRC4().DecryptString(enciphered, "secret", true), text);
        const QString asText = rc4.EncryptString(text, "secret", false);
        if (!asText.isEmpty())
            QCOMPARE(rc4.DecryptString(asText, "secret", false), text);
    }
    QCOMPARE(rc4.EncryptString(QStringLiteral("a😀b"), "secret", true), QString());
    QCOMPARE(rc4.EncryptString(QStringLiteral("a😀b"), "secret", false), QString());
}

void tst_clsRC4::files() {
    QTemporaryDir dir;
    QByteArray original;
    for (int i = 0; i < 300; ++i)
        original += static_cast<char>(i);
    writeAll(dir.filePath("plain.bin"), original);
    QByteArray expected = original;
    clsRC4 rc4;
    QVERIFY(rc4.EncryptByte(expected, "k1"));

    QVERIFY(rc4.EncryptFile(dir.filePath("plain.bin"), dir.filePath("bytes"), false, "k1"));
    QCOMPARE(readAll(dir.filePath("bytes")), expected);
    QVERIFY(rc4.EncryptFile(dir.filePath("plain.bin"), dir.filePath("b64"), false, "k1", true));
    const QByteArray text = readAll(dir.filePath("b64"));
    QCOMPARE(text.split('\n').size(), 6); // 300 bytes: 400 characters
    QCOMPARE(QByteArray::fromBase64(QByteArray(text).replace("\r\n", "")), expected);

    QVERIFY(clsRC4().DecryptFile(dir.filePath("bytes"), dir.filePath("1"), false, "k1"));
    QVERIFY(clsRC4().DecryptFile(dir.filePath("b64"), dir.filePath("2"), false, "k1", true));
    QCOMPARE(readAll(dir.filePath("1")), original);
    QCOMPARE(readAll(dir.filePath("2")), original);
}

void tst_clsRC4::fileRefusals() {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.bin");
    const QString out = dir.filePath("out.bin");
    writeAll(in, "data");
    writeAll(out, "keep me");
    clsRC4 rc4;

    QVERIFY(!rc4.EncryptFile(dir.filePath("missing"), dir.filePath("new"), true, "k"));
    QVERIFY(!rc4.EncryptFile(dir.path(), dir.filePath("new"), true, "k"));
    QVERIFY(!QFile::exists(dir.filePath("new")));
    QVERIFY(!rc4.EncryptFile(in, out, false, "k"));
    QVERIFY(!rc4.DecryptFile(in, out, false, "k"));
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
