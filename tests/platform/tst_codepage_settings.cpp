#include "platform/Codepage.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsStore.h"

#include "support/TestEnv.h"

#include <QDir>
#include <QStringDecoder>
#include <QTest>

class TestCodepageSettings : public QObject {
    Q_OBJECT
  private slots:
    void windows31jRoundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("wave dash") << u8("～") << QByteArray::fromHex("8160");
        QTest::newRow("minus") << u8("－") << QByteArray::fromHex("817c");
        QTest::newRow("parallel") << u8("∥") << QByteArray::fromHex("8161");
        QTest::newRow("not") << u8("￢") << QByteArray::fromHex("81ca");
        QTest::newRow("circled one") << u8("①") << QByteArray::fromHex("8740");
        QTest::newRow("small roman one") << u8("ⅰ") << QByteArray::fromHex("fa40");
        QTest::newRow("taka") << u8("髙") << QByteArray::fromHex("fbfc");
        QTest::newRow("half-width katakana") << u8("ｱｲｳ") << QByteArray::fromHex("b1b2b3");
        QTest::newRow("mixed") << u8("Q1：問題") << QByteArray::fromHex("5131814696e291e8");
        QTest::newRow("control codes stay themselves")
            << QString("a\x1a\x1c\x7f\x1b\tz") << QByteArray("a\x1a\x1c\x7f\x1b\tz");
        QTest::newRow("control code beside kanji")
            << u8("問\x7f題") << QByteArray::fromHex("96e27f91e8");
    }
    void windows31jRoundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QString uncarried;
        QCOMPARE(Codepage::encode(text, 932, &uncarried), bytes);
        QVERIFY(uncarried.isEmpty());
        QCOMPARE(Codepage::decode(bytes), text);
        QVERIFY(Codepage::canEncode(text));
    }

    void uncarriedCharactersAreReported() {
        QString uncarried;
        const QByteArray bytes = Codepage::encode(u8("a😀b𠮷😀"), 932, &uncarried);
        QCOMPARE(bytes, QByteArray("a?b??"));
        QCOMPARE(uncarried, u8("😀𠮷"));
        QVERIFY(!Codepage::canEncode(u8("𠮷")));
    }

    void invalidBytesNeverFailDecoding() {
        const QString text = Codepage::decode(QByteArray::fromHex("41fd82a07f82"));
        QCOMPARE(text, QString("A") + QChar::ReplacementCharacter + u8("あ") + QChar(0x7F) +
                           QChar::ReplacementCharacter);
    }

    void piecesKeepADoubleByteCharacterWhole() {
        Codepage::Decoder decoder;
        QString text = decoder.decode(QByteArray::fromHex("4182"));
        text += decoder.decode(QByteArray::fromHex("a01a42"));
        QCOMPARE(text, u8("Aあ\x1a"
                          "B"));
    }

    // ASCII runs skip the converter; the text must be what the converter
    // alone gives, however the bytes are cut into pieces.
    void asciiShortcutDecodesLikeTheConverter() {
        const QByteArray alphabet =
            QByteArray::fromHex("41425c7b7f1a1c0a0d2081829fa0a1dfe0fcfdfeff4080");
        quint32 state = 12345;
        const auto next = [&state](quint32 below) {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) % below;
        };
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes;
            for (quint32 i = 0, n = 1 + next(40); i < n; ++i)
                bytes += alphabet.at(next(alphabet.size()));
            // The converter on its own, the three swapped control codes aside.
            QStringDecoder reference("windows-31j");
            QString expected;
            for (const char byte : bytes) {
                if (byte == 0x1A || byte == 0x1C || byte == 0x7F) {
                    expected += QChar(uchar(byte));
                    continue;
                }
                expected += QString(reference.decode(QByteArrayView(&byte, 1)))
                                .replace(QChar(0x1A), QChar::ReplacementCharacter);
            }
            Codepage::Decoder decoder;
            QString actual;
            for (qsizetype at = 0; at < bytes.size();) {
                const qsizetype length = 1 + next(6);
                actual += decoder.decode(
                    QByteArrayView(bytes).sliced(at).first(std::min(length, bytes.size() - at)));
                at += length;
            }
            QVERIFY2(actual == expected, bytes.toHex().constData());
        }
    }

    // The table decodes whole characters exactly as the converter does, and
    // leaves anything else to it.
    void tableDecodesLikeTheConverter() {
        QString text = u8("前:");
        QVERIFY(Codepage::decodeWellFormed932(Codepage::encode(u8("Q1：問題①ｱ髙～")), text));
        QCOMPARE(text, u8("前:Q1：問題①ｱ髙～"));
        const QByteArray alphabet =
            QByteArray::fromHex("41815c4081a0829f889fe0fcfa40fdff1a7f80a1df");
        quint32 state = 54321;
        int decoded = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            for (quint32 i = 0, n = 1 + (state = state * 1664525u + 1013904223u) % 12; i < n; ++i)
                bytes +=
                    alphabet.at(((state = state * 1664525u + 1013904223u) >> 8) % alphabet.size());
            QString out = QStringLiteral("x");
            if (!Codepage::decodeWellFormed932(bytes, out)) {
                QCOMPARE(out, QStringLiteral("x"));
                continue;
            }
            ++decoded;
            QStringDecoder reference("windows-31j", QStringConverter::Flag::Stateless);
            QVERIFY2(out == "x" + QString(reference.decode(bytes)), bytes.toHex().constData());
        }
        QVERIFY(decoded > 100);
    }

    void settingsDefaultsAndBooleanTexts() {
        TestEnv env;
        QCOMPARE(SettingsStore::get("UserName", u8("ごんべえ")), u8("ごんべえ"));
        QVERIFY(SettingsStore::getBool("setupRandom", true));
        SettingsStore::saveBool("setupRandom", false);
        QCOMPARE(SettingsStore::get("setupRandom", "x"), QString("False"));
        QVERIFY(!SettingsStore::getBool("setupRandom", true));
        SettingsStore::saveBool("setupRandom", true);
        QCOMPARE(SettingsStore::get("setupRandom", "x"), QString("True"));
        SettingsStore::save("UserName", u8("太郎"));
        QCOMPARE(SettingsStore::get("UserName", {}), u8("太郎"));
    }

    // The program keeps its files beside itself where the user may write,
    // except in the system folder it is installed into, writable for root.
    void programFolderBesideTheProgram_data() {
        QTest::addColumn<QString>("exeFolder");
        QTest::addColumn<bool>("ownFolder");
        QTest::newRow("writable") << QDir::tempPath() << true;
        QTest::newRow("installed into") << QString(KUMEMO_INSTALLED_BINDIR) << false;
        QTest::newRow("installed into, trailing separator")
            << QString(KUMEMO_INSTALLED_BINDIR "/") << false;
        QTest::newRow("missing") << QDir::tempPath() + "/kumemo-no-such-folder" << false;
        QTest::newRow("none") << QString() << false;
    }
    void programFolderBesideTheProgram() {
        QFETCH(QString, exeFolder);
        QFETCH(bool, ownFolder);
        QCOMPARE(ProgramFolder::usesOwnFolder(exeFolder), ownFolder);
    }
};

QTEST_MAIN(TestCodepageSettings)
#include "tst_codepage_settings.moc"
