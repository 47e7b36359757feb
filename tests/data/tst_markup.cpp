#include "data/AppGlobals.h"
#include "data/JapaneseDate.h"
#include "data/Markup.h"

#include "support/TestEnv.h"

#include <QDateTime>
#include <QTest>

class TestMarkup : public QObject {
    Q_OBJECT
  private slots:
    void encodeDecode_data() {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("all three") << "a<b>&c"
                                   << "a&lt;b&gt;&amp;c";
        QTest::newRow("quotes stay") << "it's \"x\""
                                     << "it's \"x\"";
        QTest::newRow("entity text") << "&lt;"
                                     << "&amp;lt;";
        QTest::newRow("rtf") << "{\\rtf1 \\'82\\'a0}"
                             << "{\\rtf1 \\'82\\'a0}";
        QTest::newRow("empty") << ""
                               << "";
    }
    void encodeDecode() {
        QFETCH(QString, plain);
        QFETCH(QString, encoded);
        QCOMPARE(encodeMarkup(plain), encoded);
        QCOMPARE(decodeMarkup(encoded), plain);
    }

    void decodeQuirks_data() {
        QTest::addColumn<QString>("encoded");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("double-encoded lt decodes once to an entity") << "&amp;lt;"
                                                                     << "&lt;";
        QTest::newRow("apostrophe entity") << "&#39;"
                                           << "'";
        QTest::newRow("apostrophe not encoded back") << "'"
                                                     << "'";
        QTest::newRow("order: gt before amp") << "&amp;gt;"
                                              << "&gt;";
    }
    void decodeQuirks() {
        QFETCH(QString, encoded);
        QFETCH(QString, decoded);
        QCOMPARE(decodeMarkup(encoded), decoded);
    }

    void tags_data() {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing") << "<a>x</a>"
                                 << "hint"
                                 << ""
                                 << "";
        QTest::newRow("first of two") << "<hint>one</hint><hint>two</hint>"
                                      << "hint"
                                      << "<hint>one</hint>"
                                      << "one";
        QTest::newRow("no closing tag") << "x<hint>abc<b>d"
                                        << "hint"
                                        << "<hint>abc<b>d"
                                        << "abc";
        QTest::newRow("decoded") << "<t>a&lt;b&amp;c</t>"
                                 << "t"
                                 << "<t>a&lt;b&amp;c</t>"
                                 << "a<b&c";
        QTest::newRow("longer name matches") << "<hinto>x</hinto><hint>y</hint>"
                                             << "hint"
                                             << "<hinto>x</hinto><hint>y</hint>"
                                             << "x";
        QTest::newRow("text before first child")
            << "<kaitou count=1 type=1>pre<sentakushi isSeikai=True>c</sentakushi></kaitou>"
            << "kaitou"
            << "<kaitou count=1 type=1>pre<sentakushi isSeikai=True>c</sentakushi></kaitou>"
            << "pre";
        QTest::newRow("opening tag ended by the closing one") << "<t</t>x<u>y</u>"
                                                              << "t"
                                                              << "<t</t>"
                                                              << "";
        QTest::newRow("no closing bracket") << "<hint"
                                            << "hint"
                                            << "<hint"
                                            << "";
    }
    void tags() {
        QFETCH(QString, markup);
        QFETCH(QString, tag);
        QFETCH(QString, block);
        QFETCH(QString, text);
        QCOMPARE(getTagBlock(markup, tag), block);
        QCOMPARE(getTagText(markup, tag), text);
    }

    void tagValue_data() {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("value");
        QTest::newRow("not decoded") << "<title value='A&amp;B'/>"
                                     << "A&amp;B";
        QTest::newRow("no closing") << "<title value='A&amp;B'>"
                                    << "";
        QTest::newRow("missing element") << "<other value='x'/>"
                                         << "";
        QTest::newRow("no value") << "<title/>"
                                  << "";
        QTest::newRow("empty") << "<title value=''/>"
                               << "";
        QTest::newRow("Japanese") << "<u-f1abcde value='1:2:3'/>"
                                  << "1:2:3";
    }
    void tagValue() {
        QFETCH(QString, markup);
        QFETCH(QString, value);
        const QString tag = markup.startsWith("<u-") ? "u-f1abcde" : "title";
        QCOMPARE(getTagValue(markup, tag), value);
    }

    void versionAndDates() {
        QCOMPARE(formatAppVersion(1, 6), QString("1.06"));
        QCOMPARE(formatAppVersion(1, 12), QString("1.12"));
        QCOMPARE(formatAppVersion(1, 0), QString("1.00"));
        QCOMPARE(formatJapaneseDate(QDateTime(QDate(2026, 12, 6), QTime(8, 45, 26))),
                 u8("2026/12/06(日) 08:45:26"));
        QCOMPARE(formatJapaneseDate(QDateTime(QDate(2027, 1, 4), QTime(23, 5, 0))),
                 u8("2027/01/04(月) 23:05:00"));
    }
};

QTEST_MAIN(TestMarkup)
#include "tst_markup.moc"
