#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "formats/ProtectedFile.h"
#include "formats/QuestionDocumentFile.h"
#include "formats/QuestionFile.h"
#include "platform/Random.h"

#include "support/DocumentRecords.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {
QString fileText(const QStringList& records) {
    return "<kuMemo-data>\r\n<dataprop>\r\n<title value='T &amp; U'/>\r\n</dataprop>\r\n" +
           records.join("\r\n") + "\r\n</kuMemo-data>\r\n";
}
} // namespace

class TestQuestionFile : public QObject {
    Q_OBJECT
  private slots:
    void composeExactText() {
        DocumentProperties g;
        g.title = "A&B";
        g.subject = "<s>";
        g.version = "it's";
        g.namae = u8("山田");
        g.mail = "m@x";
        g.url = "http://x/?a=1&b=2";
        g.comment = "line1\r\nx < y";
        g.cdate = u8("2026/12/06(日) 08:45:26");
        g.mdate = u8("2026/12/07(月) 09:00:00");
        const QString text = QuestionFile::compose("1.00", g, {"<Mondai key='a'>r1</Mondai>", ""});
        QCOMPARE(text, u8("<kuMemo-data>\r\n"
                          "<kuMemoVer value='1.00'/>\r\n"
                          "<dataprop>\r\n"
                          "<title value='A&amp;B'/>\r\n"
                          "<subject value='&lt;s&gt;'/>\r\n"
                          "<version value='it's'/>\r\n"
                          "<namae value='山田'/>\r\n"
                          "<mail value='m@x'/>\r\n"
                          "<url value='http://x/?a=1&amp;b=2'/>\r\n"
                          "<comment>line1\r\nx &lt; y</comment>\r\n"
                          "<cdate value='2026/12/06(日) 08:45:26'/>\r\n"
                          "<mdate value='2026/12/07(月) 09:00:00'/>\r\n"
                          "</dataprop>\r\n"
                          "<Mondai key='a'>r1</Mondai>\r\n"
                          "\r\n"
                          "</kuMemo-data>\r\n"));
        const QByteArray bytes = QuestionFile::plainFileBytes(text);
        QVERIFY(bytes.endsWith("</kuMemo-data>\r\n\r\n"));
        QVERIFY(bytes.contains(QByteArray::fromHex("8e52936327"))); // 山田' in code page 932

        DocumentProperties back;
        const qsizetype recordsAt = QuestionFile::readProperties(text, back);
        QCOMPARE(back.title, g.title);
        QCOMPARE(back.subject, g.subject);
        QCOMPARE(back.version, g.version);
        QCOMPARE(back.url, g.url);
        QCOMPARE(back.comment, g.comment);
        QCOMPARE(back.cdate, g.cdate);
        QCOMPARE(back.mdate, g.mdate);
        QCOMPARE(text.mid(recordsAt, 2), QString("\r\n"));
    }

    void signature_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exact") << "<kuMemo-data>\r\n" << true;
        QTest::newRow("byte-order mark") << QString(QChar(0xFEFF)) + "<kuMemo-data>" << false;
        QTest::newRow("blank line") << "\r\n<kuMemo-data>" << false;
        QTest::newRow("white space") << " <kuMemo-data>" << false;
        QTest::newRow("other case") << "<KuMemo-data>" << false;
        QTest::newRow("empty") << "" << false;
    }
    void signature() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(QuestionFile::hasSignature(text), accepted);
    }

    void recordsAndKeys() {
        const QString text = "junk</Mondai>x<Mondai key='k1'>a</Mondai>between"
                             "<Mondai>b</Mondai><Mondai key='abcdefghijklmnopqrst'>c</Mondai>"
                             "<Mondai key='1234567890123456789'>d</Mondai></kuMemo-data>tail";
        qsizetype position = 0;
        QString record;
        QStringList records;
        // The first candidate holds no "<Mondai": the scan stops there.
        QVERIFY(!QuestionFile::nextRecord(text, position, record));
        position = text.indexOf('x');
        while (QuestionFile::nextRecord(text, position, record))
            records << record;
        QCOMPARE(records.size(), 4);
        QCOMPARE(records[0], QString("<Mondai key='k1'>a</Mondai>"));
        QString key;
        QCOMPARE(QuestionFile::recordKey(records[0], key), QuestionFile::KeyState::Found);
        QCOMPARE(key, QString("k1"));
        QCOMPARE(QuestionFile::recordKey(records[1], key), QuestionFile::KeyState::Missing);
        QCOMPARE(QuestionFile::withNewKey(records[1], "newK1"),
                 QString("<Mondai key='newK1'>b</Mondai>"));
        QCOMPARE(QuestionFile::recordKey(records[2], key), QuestionFile::KeyState::Unclosed);
        QCOMPARE(QuestionFile::recordKey(records[3], key), QuestionFile::KeyState::Found);
        QCOMPARE(key, QString("1234567890123456789"));
    }
    void loadKeepsFileOrderAndRepairsKeysTheSameEveryTime() {
        const QString text =
            fileText({record("k1", "one"), record({}, "keyless"), record("k1", "again"),
                      record("", "empty key"), record("abcdefghijklmnopqrstu", "cut")});
        QStringList firstKeys;
        for (quint64 seed : {1u, 2u}) {
            Random::seed(seed); // repaired keys must not depend on the generator
            QuestionDocument d;
            QSignalSpy reset(&d, &QuestionDocument::recordsReset);
            const QuestionDocumentFile::LoadResult result = QuestionDocumentFile::loadText(d, text);
            QVERIFY(result.isQuestionFile);
            QCOMPARE(result.duplicateKeys.size(), 1);
            QCOMPARE(result.duplicateKeys.first().number, 35602);
            QCOMPARE(reset.size(), 1);
            QCOMPARE(d.properties().title, QString("T & U"));
            QStringList texts;
            for (const QuestionEntry& e : d.entries()) {
                texts << e.text;
                QVERIFY(e.record.startsWith("<Mondai key='" + e.key + "'"));
                QCOMPARE(e.key.size(), texts.size() == 1 ? 2 : 5); // "k1" is kept
                for (QChar c : e.key)
                    QVERIFY(keyAlphabet.contains(c));
                QCOMPARE(d.indexOf(e.key), texts.size() - 1);
            }
            QCOMPARE(texts, (QStringList{"one", "keyless", "again", "empty key", "cut"}));
            const QStringList keys = keysOf(d);
            QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), 5);
            if (firstKeys.isEmpty())
                firstKeys = keys;
            else
                QCOMPARE(keys, firstKeys);
        }
        QuestionDocument d;
        QVERIFY(!QuestionDocumentFile::loadText(d, "x" + fileText({})).isQuestionFile);
        QCOMPARE(d.count(), 0);
    }

    void readFileTakesThePasswordLine() {
        TestEnv env;
        const QString text = fileText({record("k1", "one")});
        env.writeFile("p.kme", ProtectedFile::compose("geheim", text));
        env.writeFile("bad.kme", QByteArray("<kuMemo-data>"));
        QuestionDocument d;
        QuestionDocumentFile::ReadResult read =
            QuestionDocumentFile::readFile(d, env.path("p.kme"));
        QCOMPARE(read.status, QuestionDocumentFile::ReadStatus::Ok);
        QCOMPARE(read.text, text);
        QVERIFY(d.isLocked());
        QCOMPARE(d.filePassword(), QString("geheim"));
        QCOMPARE(QuestionDocumentFile::readFile(d, env.path("bad.kme")).status,
                 QuestionDocumentFile::ReadStatus::NotProtected);
        QCOMPARE(QuestionDocumentFile::readFile(d, env.path("gone.kme")).status,
                 QuestionDocumentFile::ReadStatus::CannotRead);
        read = QuestionDocumentFile::readFile(d, env.path("gone.kmd"));
        QCOMPARE(read.status, QuestionDocumentFile::ReadStatus::Ok);
        QVERIFY(read.text.isEmpty());
    }

    void saveForms_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << int(QuestionDocumentFile::SaveForm::Plain) << "q.KME";
        QTest::newRow("protected") << int(QuestionDocumentFile::SaveForm::Protected) << "q.KME";
        QTest::newRow("plain copy") << int(QuestionDocumentFile::SaveForm::PlainCopy) << "q.kmd";
    }
    void saveForms() {
        QFETCH(int, form);
        QFETCH(QString, written);
        TestEnv env;
        QuestionDocument d;
        QuestionDocumentFile::loadText(d, fileText({record("k1", u8("一"))}));
        d.properties().namae = u8("😀");
        d.setPath(env.path("q.KME"));
        const auto saveForm = QuestionDocumentFile::SaveForm(form);
        const QuestionDocumentFile::SaveResult saved =
            QuestionDocumentFile::save(d, saveForm, "1.23", "pw");
        QVERIFY(saved.ok);
        QCOMPARE(saved.path, env.path(written));
        const QString text =
            QuestionFile::compose("1.23", d.properties(), {record("k1", u8("一"))});
        if (saveForm == QuestionDocumentFile::SaveForm::Protected) {
            QCOMPARE(fileBytes(saved.path), ProtectedFile::compose("pw", text));
            QCOMPARE(d.filePassword(), QString("pw"));
            QCOMPARE(saved.uncarried, QString());
        } else {
            QCOMPARE(fileBytes(saved.path), QuestionFile::plainFileBytes(text));
            QCOMPARE(d.filePassword(), QString());
            QCOMPARE(saved.uncarried, u8("😀"));
        }
    }

    void failedSaveTellsWhyAndKeepsThePassword() {
        TestEnv env;
        QuestionDocument d;
        d.setPasswords("old", "");
        d.setPath(env.path("no/such/folder/q.kme"));
        const QuestionDocumentFile::SaveResult saved =
            QuestionDocumentFile::save(d, QuestionDocumentFile::SaveForm::Protected, "1.00", "new");
        QVERIFY(!saved.ok);
        QVERIFY(!saved.error.isEmpty());
        QCOMPARE(d.filePassword(), QString("old"));
        QVERIFY(!QFile::exists(saved.path));
    }
};

QTEST_MAIN(TestQuestionFile)
#include "tst_questionfile.moc"
