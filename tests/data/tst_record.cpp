#include "data/Markup.h"
#include "data/QuestionRecord.h"

#include "support/TestEnv.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(QList<RecordChoice>)

class TestRecord : public QObject {
    Q_OBJECT
  private slots:
    void composeExactBytes_data() {
        QTest::addColumn<QChar>("type");
        QTest::addColumn<QStringList>("choices"); // "T:rtf" or "F:rtf"
        QTest::addColumn<QString>("record");
        const QString q = "{\\rtf1 Q<1>&}";
        QTest::newRow("single choice")
            << QChar('1') << QStringList{"T:{a}", "F:{b}"}
            << "<Mondai key='abcde'><mondaibun>{\\rtf1 Q&lt;1&gt;&amp;}</mondaibun>"
               "<kaitou count=2 type=1><sentakushi isSeikai=True>{a}</sentakushi>"
               "<sentakushi isSeikai=False>{b}</sentakushi></kaitou><hint>{h}</hint>"
               "<kaisetsu>{k}</kaisetsu></Mondai>";
        QTest::newRow("multiple choice")
            << QChar('2') << QStringList{"T:{a}", "T:{b}", "F:{c}"}
            << "<Mondai key='abcde'><mondaibun>{\\rtf1 Q&lt;1&gt;&amp;}</mondaibun>"
               "<kaitou count=3 type=2><sentakushi isSeikai=True>{a}</sentakushi>"
               "<sentakushi isSeikai=True>{b}</sentakushi><sentakushi isSeikai=False>{c}"
               "</sentakushi></kaitou><hint>{h}</hint><kaisetsu>{k}</kaisetsu></Mondai>";
        QTest::newRow("typed answer")
            << QChar('3') << QStringList{"T:{\\rtf1 x\r\n}"}
            << "<Mondai key='abcde'><mondaibun>{\\rtf1 Q&lt;1&gt;&amp;}</mondaibun>"
               "<kaitou count=1 type=3><sentakushi isSeikai=True>{\\rtf1 x\r\n}</sentakushi>"
               "</kaitou><hint>{h}</hint><kaisetsu>{k}</kaisetsu></Mondai>";
        QTest::newRow("no choices")
            << QChar('1') << QStringList{}
            << "<Mondai key='abcde'><mondaibun>{\\rtf1 Q&lt;1&gt;&amp;}</mondaibun>"
               "<kaitou count=0 type=1></kaitou><hint>{h}</hint><kaisetsu>{k}</kaisetsu>"
               "</Mondai>";
        Q_UNUSED(q);
    }
    void composeExactBytes() {
        QFETCH(QChar, type);
        QFETCH(QStringList, choices);
        QFETCH(QString, record);
        RecordFields fields;
        fields.key = "abcde";
        fields.questionRtf = "{\\rtf1 Q<1>&}";
        fields.type = type;
        for (const QString& c : choices)
            fields.choices.append({c.startsWith('T'), c.mid(2)});
        fields.hintRtf = "{h}";
        fields.explanationRtf = "{k}";
        QCOMPARE(composeRecord(fields), record);

        // Taken apart and composed again, the record is the same.
        QCOMPARE(recordAnswerType(record), type);
        const QList<RecordChoice> parsed = recordChoices(record);
        QCOMPARE(parsed.size(), choices.size());
        RecordFields again = fields;
        again.choices = parsed;
        again.questionRtf = getTagText(record, "mondaibun");
        again.hintRtf = getTagText(record, "hint");
        again.explanationRtf = getTagText(record, "kaisetsu");
        QCOMPARE(composeRecord(again), record);
    }

    void choicesAreScannedNotCounted_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QStringList>("choices"); // "T:rtf" or "F:rtf"
        QTest::newRow("count not read, case of True matters")
            << "<Mondai key='x'><kaitou count=5 type=2><sentakushi isSeikai=true>{a}</sentakushi>"
               "<sentakushi isSeikai=True>{b&amp;}</sentakushi><sentakushi>{c}</sentakushi>"
               "</kaitou></Mondai>"
            << QStringList{"F:{a}", "T:{b&}", "F:{c}"};
        QTest::newRow("the words in a wrong choice's text")
            << "<kaitou count=1 type=1><sentakushi isSeikai=False>{\\rtf1 x isSeikai=True}"
               "</sentakushi></kaitou>"
            << QStringList{"F:{\\rtf1 x isSeikai=True}"};
        QTest::newRow("unclosed last choice")
            << "<sentakushi isSeikai=False>{a}</sentakushi><sentakushi isSeikai=True>{b}"
            << QStringList{"F:{a}", "T:{b}"};
        QTest::newRow("opening tag without its end")
            << "<sentakushi isSeikai=True<sentakushi isSeikai=False>{b}</sentakushi>"
            << QStringList{"T:", "F:{b}"};
        QTest::newRow("none") << "<Mondai key='x'></Mondai>" << QStringList{};
    }
    void choicesAreScannedNotCounted() {
        QFETCH(QString, record);
        QFETCH(QStringList, choices);
        QStringList read;
        for (const RecordChoice& choice : recordChoices(record))
            read << QString(choice.correct ? "T:" : "F:") + choice.rtf;
        QCOMPARE(read, choices);
    }

    // Taken apart in one pass, a record gives what each getter finds alone,
    // however damaged it is.
    void fieldsInOnePassAsTheGettersFindThem() {
        const QStringList pieces{"<mondaibun>", "</mondaibun>", "<kaitou count=2 type=", "3>",
                                 "</kaitou>", "<sentakushi isSeikai=True>", "<sentakushi",
                                 "</sentakushi>", "<hint>", "</hint", "<kaisetsu>", "</kaisetsu>",
                                 "<", ">", "{x}", "&lt;", " type=1", " isSeikai=True", "<hin"};
        QRandomGenerator random(7);
        for (int i = 0; i < 5000; ++i) {
            QString record;
            for (int n = random.bounded(12); n > 0; --n)
                record += pieces.at(random.bounded(pieces.size()));
            const RecordFields fields = recordFields("k", record);
            QCOMPARE(fields.questionRtf, getTagText(record, "mondaibun"));
            const QChar type = recordAnswerType(record);
            QCOMPARE(fields.type, type.isNull() ? QChar('1') : type);
            const QList<RecordChoice> choices = recordChoices(record);
            QCOMPARE(fields.choices.size(), choices.size());
            for (int c = 0; c < choices.size(); ++c) {
                QCOMPARE(fields.choices.at(c).correct, choices.at(c).correct);
                QCOMPARE(fields.choices.at(c).rtf, choices.at(c).rtf);
            }
            QCOMPARE(fields.hintRtf, getTagText(record, "hint"));
            QCOMPARE(fields.explanationRtf, getTagText(record, "kaisetsu"));
        }
    }

    void answerTypeFollowsTypeMark() {
        QCOMPARE(recordAnswerType("<kaitou count=5 type=2><sentakushi>"), QChar('2'));
        QVERIFY(recordAnswerType("<kaitou count=1>").isNull());
        QVERIFY(recordAnswerType("<kaitou type=").isNull());
        QCOMPARE(recordAnswerType("<kaitou><sentakushi type=3>"), QChar('3'));
        QVERIFY(recordAnswerType("<kaitou></kaitou><hint type=3>").isNull());
    }

    void handTypedKeys_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "myKey01" << true;
        QTest::newRow("Japanese") << u8("問題１") << true;
        QTest::newRow("19 characters") << QString(19, 'a') << true;
        QTest::newRow("20 characters") << QString(20, 'a') << false;
        QTest::newRow("apostrophe") << "it's" << false;
        QTest::newRow("double quote") << "a\"b" << false;
        QTest::newRow("less than") << "a<b" << false;
        QTest::newRow("greater than") << "a>b" << false;
        QTest::newRow("ampersand") << "a&b" << false;
        QTest::newRow("blank") << "a b" << false;
        QTest::newRow("ideographic space") << u8("a　b") << false;
        QTest::newRow("line break") << "a\r\nb" << false;
    }
    void handTypedKeys() {
        QFETCH(QString, key);
        QFETCH(bool, accepted);
        QCOMPARE(handTypedKeyProblem(key).isEmpty(), accepted);
    }
};

QTEST_MAIN(TestRecord)
#include "tst_record.moc"
