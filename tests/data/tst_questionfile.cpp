#include "data/QuestionDocument.h"
#include "data/QuestionFile.h"
#include "data/modKuMemo.h"

#include "support/TestEnv.h"

#include <QTest>

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
};

QTEST_MAIN(TestQuestionFile)
#include "tst_questionfile.moc"
