#include "platform/LzExpand.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray sample(const QString& name) {
    QFile file(QStringLiteral(KUMEMO_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// lz-compressed.kmd was made from lz-plain.kmd with `mscompress`.
class tst_LzExpand : public QObject {
    Q_OBJECT
  private slots:
    void compressedFileReadsLikeItsPlainTwin();
    void otherBytesComeAsStored_data();
    void otherBytesComeAsStored();
    void damagedCompressedFile_data();
    void damagedCompressedFile();
    void garbageAfterTheHeader();
    void unreadableFile();
};

void tst_LzExpand::compressedFileReadsLikeItsPlainTwin() {
    const QByteArray plain = sample("lz-plain.kmd");
    QVERIFY(plain.startsWith("<kuMemo-data>\r\n"));
    QVERIFY(LzExpand::isCompressed(sample("lz-compressed.kmd")));

    const LzExpand::Content expanded =
        LzExpand::readFile(QStringLiteral(KUMEMO_TEST_DATA "/lz-compressed.kmd"));
    QCOMPARE(expanded.status, LzExpand::Status::Ok);
    QCOMPARE(expanded.bytes, plain);

    const LzExpand::Content asStored =
        LzExpand::readFile(QStringLiteral(KUMEMO_TEST_DATA "/lz-plain.kmd"));
    QCOMPARE(asStored.status, LzExpand::Status::Ok);
    QCOMPARE(asStored.bytes, plain);
}

void tst_LzExpand::otherBytesComeAsStored_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("<kuMemo-data>\r\n");
    QTest::newRow("signature cut short") << QByteArray("SZDD\x88\xF0\x27", 7);
    QTest::newRow("other signature") << QByteArray("SZDD\x88\xF0\x27\x34"
                                                   "A",
                                                   9);
    QTest::newRow("KWAJ") << QByteArray("KWAJ\x88\xF0\x27\xD1", 8);
}

void tst_LzExpand::otherBytesComeAsStored() {
    QFETCH(QByteArray, stored);
    QVERIFY(!LzExpand::isCompressed(stored));
    const LzExpand::Content content = LzExpand::expand(stored);
    QCOMPARE(content.status, LzExpand::Status::Ok);
    QCOMPARE(content.bytes, stored);
}

void tst_LzExpand::damagedCompressedFile_data() {
    const QByteArray whole = sample("lz-compressed.kmd");
    QVERIFY(whole.size() > 100);
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("signature only") << whole.left(8);
    QTest::newRow("header cut") << whole.left(12);
    QTest::newRow("header only") << whole.left(14);
    QTest::newRow("half") << whole.left(whole.size() / 2);
    QTest::newRow("last byte missing") << whole.chopped(1);
    QByteArray longer = whole;
    longer[10] = '\xff'; // the length in the header: more than the data holds
    QTest::newRow("length too large") << longer;
    QByteArray wrongMode = whole;
    wrongMode[8] = 'B';
    QTest::newRow("unknown compression mode") << wrongMode;
}

void tst_LzExpand::damagedCompressedFile() {
    QFETCH(QByteArray, stored);
    const LzExpand::Content content = LzExpand::expand(stored);
    QCOMPARE(content.status, LzExpand::Status::Damaged);
    QVERIFY(content.bytes.isEmpty());
}

// Any bytes expand to something; what comes out is either exactly as long as
// the header says or reported as damaged.
void tst_LzExpand::garbageAfterTheHeader() {
    const QByteArray header = sample("lz-compressed.kmd").left(14);
    QRandomGenerator generator(42);
    for (int round = 0; round < 200; ++round) {
        QByteArray stored = header;
        const int length = generator.bounded(2000);
        for (int i = 0; i < length; ++i)
            stored += static_cast<char>(generator.bounded(256));
        const LzExpand::Content content = LzExpand::expand(stored);
        if (content.status == LzExpand::Status::Ok)
            QCOMPARE(content.bytes.size(), 4797);
        else
            QVERIFY(content.bytes.isEmpty());
    }
}

void tst_LzExpand::unreadableFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(LzExpand::readFile(dir.filePath("missing.kmd")).status, LzExpand::Status::CannotRead);
    QCOMPARE(LzExpand::readFile(dir.path()).status, LzExpand::Status::CannotRead);
}

QTEST_GUILESS_MAIN(tst_LzExpand)
#include "tst_LzExpand.moc"
