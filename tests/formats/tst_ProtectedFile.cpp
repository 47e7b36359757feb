#include "formats/PieceDecoder.h"
#include "formats/ProtectedFile.h"

#include <QRandomGenerator>
#include <QTest>

using ProtectedFile::Status;

namespace {
const QString kText = QStringLiteral("<kuMemo-data>\r\n<kuMemoVer value='1.00'/>\r\n"
                                     "<title value='地理 ①～∥'/>\r\n</kuMemo-data>\r\n");
}

class tst_ProtectedFile : public QObject {
    Q_OBJECT
  private slots:
    void exactBytes();
    void roundTrip_data();
    void roundTrip();
    void notReadable_data();
    void notReadable();
    void protectedPath_data();
    void protectedPath();
    void pieceBoundary_data();
    void pieceBoundary();
};

// Made by a separate textbook RC4 over the UTF-16LE text.
void tst_ProtectedFile::exactBytes() {
    const QByteArray bytes =
        ProtectedFile::compose(QStringLiteral("秘密"), QStringLiteral("<kuMemo-data>\r\n"));
    QCOMPARE(bytes.toHex(), QByteArray("18936c2cc9765e17fcf06fae7b8d25b32d93483dcc9efcc2e5d7169ce3"
                                       "12a3637fd381d95d16cc7bdb6832ca9d9d92dd038caf755785f760"));
    QCOMPARE(bytes.size(), 2 * QStringLiteral("password=秘密\r\n<kuMemo-data>\r\n").size());
}

void tst_ProtectedFile::roundTrip_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty password") << "" << kText;
    QTest::newRow("japanese password") << QStringLiteral("ぱすﾜｰﾄﾞ") << kText;
    QTest::newRow("stars and equals") << "**=*" << kText;
    QTest::newRow("text with its own password line")
        << "outer" << QStringLiteral("password=inner\r\n") + kText;
    QTest::newRow("empty text") << "pw"
                                << "";
    QTest::newRow("beyond the code page") << "pw" << QStringLiteral("𠮷野家 😀");
}

void tst_ProtectedFile::roundTrip() {
    QFETCH(QString, password);
    QFETCH(QString, text);
    const QByteArray bytes = ProtectedFile::compose(password, text);
    QCOMPARE(bytes.size(), 2 * (9 + password.size() + 2 + text.size()));
    QVERIFY(!bytes.contains("password"));

    const ProtectedFile::Content content = ProtectedFile::parse(bytes);
    QCOMPARE(content.status, Status::Ok);
    QCOMPARE(content.password, password);
    QCOMPARE(content.text, text);
}

void tst_ProtectedFile::notReadable_data() {
    const QByteArray whole = ProtectedFile::compose("abc", kText);
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("text");
    const int notProtected = int(Status::NotProtected);
    const int noLine = int(Status::NoPasswordLine);

    QTest::newRow("empty file") << QByteArray() << notProtected << ""
                                << "";
    QTest::newRow("plain question file") << kText.toUtf8() << notProtected << ""
                                         << "";
    QByteArray noise(4096, '\0');
    QRandomGenerator generator(5);
    for (char& byte : noise)
        byte = static_cast<char>(generator.bounded(256));
    QTest::newRow("random bytes") << noise << notProtected << ""
                                  << "";
    QTest::newRow("cut inside \"password=\"") << whole.left(10) << notProtected << ""
                                              << "";
    QTest::newRow("cut inside the password") << whole.left(2 * 11) << noLine << ""
                                             << "password=ab";
    QTest::newRow("cut between CR and LF") << whole.left(2 * 13) << noLine << ""
                                           << "password=abc\r";
    QTest::newRow("cut after the password line") << whole.left(2 * 14) << int(Status::Ok) << "abc"
                                                 << "";
    QTest::newRow("cut inside the text, odd length")
        << whole.left(2 * 34 + 1) << int(Status::Ok) << "abc" << kText.left(20);
}

void tst_ProtectedFile::notReadable() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(QString, password);
    QFETCH(QString, text);
    const ProtectedFile::Content content = ProtectedFile::parse(bytes);
    QCOMPARE(int(content.status), status);
    QCOMPARE(content.password, password);
    QCOMPARE(content.text, text);
}

void tst_ProtectedFile::protectedPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isProtected");
    QTest::newRow("kme") << "/home/a/q.kme" << true;
    QTest::newRow("capitals") << "/home/a/Q.KME" << true;
    QTest::newRow("mixed") << "q.kMe" << true;
    QTest::newRow("kmd") << "/home/a/q.kmd" << false;
    QTest::newRow("kme inside") << "/home/a/q.kme.bak" << false;
    QTest::newRow("no dot") << "/home/a/kme" << false;
}

void tst_ProtectedFile::protectedPath() {
    QFETCH(QString, path);
    QFETCH(bool, isProtected);
    QCOMPARE(ProtectedFile::isProtectedPath(path), isProtected);
}

// "あ" is 82 a0 and "ｱ" b1 in code page 932; `at` is the byte position of
// the character's first byte.
void tst_ProtectedFile::pieceBoundary_data() {
    QTest::addColumn<qsizetype>("at");
    QTest::addColumn<QString>("character");
    QTest::addColumn<qsizetype>("total");
    const qsizetype piece = PieceDecoder::PieceSize;
    QTest::newRow("double-byte before the boundary") << piece - 2 << "あ" << piece + 10;
    QTest::newRow("double-byte across the boundary") << piece - 1 << "あ" << piece + 10;
    QTest::newRow("double-byte after the boundary") << piece << "あ" << piece + 10;
    QTest::newRow("across the second boundary") << 2 * piece - 1 << "あ" << 2 * piece + 1;
    QTest::newRow("last bytes of the file") << piece - 1 << "あ" << piece + 1;
    QTest::newRow("half-width katakana at the boundary") << piece - 1 << "ｱ" << piece + 10;
}

void tst_ProtectedFile::pieceBoundary() {
    QFETCH(qsizetype, at);
    QFETCH(QString, character);
    QFETCH(qsizetype, total);
    const QByteArray encoded = character == "あ" ? QByteArray("\x82\xa0") : QByteArray("\xb1");
    QByteArray bytes(at, 'a');
    bytes += encoded;
    bytes += QByteArray(total - bytes.size(), 'b');

    QList<qsizetype> progress;
    const QString text = PieceDecoder::decode(
        bytes, [&](qsizetype decoded, qsizetype all) { progress << decoded << all; });
    QCOMPARE(text.size(), total - encoded.size() + 1);
    QCOMPARE(text.mid(at, 1), character);
    QCOMPARE(text.count(QLatin1Char('a')), at);
    QCOMPARE(text.count(QLatin1Char('b')), total - at - encoded.size());

    QList<qsizetype> expected;
    for (qsizetype end = PieceDecoder::PieceSize;; end += PieceDecoder::PieceSize) {
        expected << std::min(end, total) << total;
        if (end >= total)
            break;
    }
    QCOMPARE(progress, expected);
}

QTEST_GUILESS_MAIN(tst_ProtectedFile)
#include "tst_ProtectedFile.moc"
