// RTF as question files store it: reading the dialects found in files,
// writing the Windows rich text control's dialect byte for byte, and round
// trips through documents and boxes.

#include "platform/Codepage.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/CharStyle.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QClipboard>
#include <QFile>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using Rtf::CharStyle;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString describe(const CharStyle& style) {
    QString text = style.fontName + ' ' + QString::number(style.halfPoints);
    if (style.bold)
        text += " b";
    if (style.italic)
        text += " i";
    if (style.underline)
        text += " u";
    if (style.strike)
        text += " s";
    if (style.hasColor)
        text += ' ' + QColor(style.color).name();
    return text;
}

// The document as the reader of a box sees it: runs of equal style as
// "[style]text", paragraphs separated by "¶".
QStringList runs(const QTextDocument& document) {
    QStringList result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            result += u("¶");
        QString lastStyle;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString style =
                describe(CharStyle::fromFormat(fragment.charFormat(), document.defaultFont()));
            if (style == lastStyle) {
                result.last() += fragment.text();
            } else {
                result += '[' + style + ']' + fragment.text();
                lastStyle = style;
            }
        }
    }
    return result;
}

QString boxText(const QTextDocument& document) {
    return plainTextWithCrLf(document.toPlainText());
}

QByteArray readSampleBytes(const QString& name) {
    QFile file(QStringLiteral(KUMEMO_TEST_DATA "/rtf/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(name));
    return file.readAll();
}

QString readSample(const QString& name) {
    return Codepage::decode(readSampleBytes(name), 932);
}

QStringList runsOfRtf(const QString& rtf) {
    QTextDocument document;
    Rtf::read(rtf, &document);
    return runs(document);
}

// Document building for the writer's tests.
void append(QTextCursor& cursor, const QString& text, const CharStyle& style) {
    const QStringList paragraphs = text.split('\n');
    for (int i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(QTextBlockFormat(), style.toFormat());
        cursor.insertText(paragraphs[i], style.toFormat());
    }
}

CharStyle style(const QString& font = u("ＭＳ ゴシック"), int halfPoints = 18) {
    CharStyle s;
    s.fontName = font;
    s.halfPoints = halfPoints;
    return s;
}

CharStyle colored(CharStyle s, QRgb color) {
    s.hasColor = true;
    s.color = color;
    return s;
}

const QString header = u("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{"
                         "\\f0\\fmodern\\fprq1\\fcharset128 "
                         "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n");

// A document of random runs drawn from what question files hold.
void fillRandomly(QTextDocument& document, QRandomGenerator& random) {
    static const QStringList pieces{
        u("問題"),   u("漢字"), u("ひらがな"), u("カタカナ"), u("、。「」"), u("ー～①Ⅻ"),
        u("表示"),   u("ｱｲｳ"),  u("ｶﾞﾊﾟｰ｡"),   u("abc"),      u("XYZ 09"),   u("{\\};"),
        u(" "),      u("\t"),   u("😀"),        u("𠮷"),       u("é€"),       u("〜¥"),
        u("\u2028"), u("\n"),   u("\n\n"),     u("\u00A0"),   u("\x01"),     u("\\par"),
    };
    static const QStringList fonts{u("ＭＳ ゴシック"), u("ＭＳ 明朝"), u("ＭＳ Ｐゴシック"),
                                   u("Arial"), u("Times New Roman")};
    static const int halfPoints[] = {14, 18, 20, 21, 24, 36, 72};
    QTextCursor cursor(&document);
    const int count = random.bounded(1, 30);
    for (int i = 0; i < count; ++i) {
        CharStyle s = style(fonts[random.bounded(fonts.size())], halfPoints[random.bounded(7)]);
        s.bold = random.bounded(3) == 0;
        s.italic = random.bounded(4) == 0;
        s.underline = random.bounded(4) == 0;
        s.strike = random.bounded(8) == 0;
        if (random.bounded(3) == 0)
            s = colored(s, qRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
        append(cursor, pieces[random.bounded(pieces.size())], s);
    }
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

  private slots:
    void samples_data();
    void samples();
    void readerText_data();
    void readerText();
    void afterAnotherField_data();
    void afterAnotherField();
    void readerStyles_data();
    void readerStyles();
    void charsetCodePages_data();
    void charsetCodePages();

    void emptyDocument();
    void writerMatchesControlDialect();
    void writerCharacters_data();
    void writerCharacters();
    void writerSwitches();
    void writerRange();

    void roundTripGenerated();
    void roundTripThroughBoxes();
    void boxEmptyAndLoaded();
    void missingFontShownInJapaneseFont();
    void selectionsCompare_data();
    void selectionsCompare();
    void copyOffersTextHtmlAndRtf();
    void pasteKeepsStyles_data();
    void pasteKeepsStyles();
    void copyAndPasteBetweenBoxes();
    void typedAnswerMatchesStoredAnswer();

    void truncatedSamples();
    void randomInput();
    void deepNesting_data();
    void deepNesting();
    void hugeNumbers();
};

void TestRtf::samples_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QStringList>("expectedRuns");

    QTest::newRow("Windows control") << "windows_control.rtf"
                                     << u("問題：次の単語の意味を答えよ。\r\n"
                                          "ｶﾀｶﾅ and ASCII {braces} \\ backslash\r\n"
                                          "Café ①～③\r\n\r\n"
                                          "\tタブの後\r\n改行の後取消")
                                     << QStringList{u("[ＭＳ ゴシック 18]問題：次の"),
                                                    u("[ＭＳ ゴシック 18 b #ff0000]単語"),
                                                    u("[ＭＳ ゴシック 18]の意味を答えよ。"),
                                                    u("¶"),
                                                    u("[ＭＳ 明朝 24 i u #0000ff]ｶﾀｶﾅ and ASCII "
                                                      "{braces} \\ backslash"),
                                                    u("¶"),
                                                    u("[Arial 20]Café "),
                                                    u("[ＭＳ ゴシック 18]①～③"),
                                                    u("¶"),
                                                    u("¶"),
                                                    u("[ＭＳ ゴシック 18]\tタブの後\u2028改行の後"),
                                                    u("[ＭＳ ゴシック 18 s]取消")};
    QTest::newRow("word processor")
        << "word_processor.rtf"
        << u("Café “quoted” – 日本語’s € 5\r\n本😀𠮷 and a link\r\n•\tItem\r\nA1\tB1\r\nBig")
        << QStringList{u("[Times New Roman 24]Café “quoted” – "),
                       u("[MS Mincho 24 b #c00000]日本語"),
                       u("[Times New Roman 24]’s € 5"),
                       u("¶"),
                       u("[MS Mincho 24]本😀𠮷"),
                       u("[Times New Roman 24] and "),
                       u("[Times New Roman 24 u #0000ff]a link"),
                       u("¶"),
                       u("[Times New Roman 24]•\t"),
                       u("[Times New Roman 24 i]Item"),
                       u("¶"),
                       u("[Times New Roman 24]A1\tB1"),
                       u("¶"),
                       u("[Times New Roman 32 s]Big")};
    // LibreOffice Writer styles Japanese text with the associated properties.
    QTest::newRow("LibreOffice from HTML")
        << "libreoffice_from_html.rtf"
        << u("問題：次の太字と斜体と下線と赤い字と大きな字を読みなさい。\r\n"
             "コード外の字：𠮷野家・😀・Café・€ and bold ASCII.")
        << QStringList{u("[Liberation Serif 24]問題：次の"),
                       u("[Liberation Serif 24 b]太字"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 24 i]斜体"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 24 u]下線"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 24 #ff0000]赤い字"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 28]大きな字"),
                       u("[Liberation Serif 24]を読みなさい。"),
                       u("¶"),
                       u("[Liberation Serif 24]コード外の字：𠮷野家・😀・Café・€ and "),
                       u("[Liberation Serif 24 b]bold ASCII"),
                       u("[Liberation Serif 24].")};
    QTest::newRow("LibreOffice from ODT")
        << "libreoffice_from_odt.rtf"
        << u("問題：太字と斜体と下線と赤い字と大きな字とゴシック体、全部 ｶﾀｶﾅ、Bold 混在\r\n"
             "コード外の字：𠮷・😀・é・€・ㇰ")
        << QStringList{u("[Liberation Serif 24]問題："),
                       u("[Liberation Serif 24 b]太字"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 24 i]斜体"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 24 u]下線"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 24 #ff0000]赤い字"),
                       u("[Liberation Serif 24]と"),
                       u("[Liberation Serif 28]大きな字"),
                       u("[Liberation Serif 24]と"),
                       u("[IPAGothic 24]ゴシック体"),
                       u("[Liberation Serif 24]、"),
                       u("[Liberation Serif 24 b i u #0000ff]全部 ｶﾀｶﾅ"),
                       u("[Liberation Serif 24]、"),
                       u("[Liberation Serif 24 b]Bold 混在"),
                       u("¶"),
                       u("[Liberation Serif 24]コード外の字：𠮷・😀・é・€・ㇰ")};
    QTest::newRow("minimal") << "minimal.rtf" << u("Hello, world!\r\nSecond line")
                             << QStringList{u("[ＭＳ ゴシック 24]Hello, "),
                                            u("[ＭＳ ゴシック 24 b]world"),
                                            u("[ＭＳ ゴシック 24]!"), u("¶"),
                                            u("[ＭＳ ゴシック 24]Second line")};
}

void TestRtf::samples() {
    QFETCH(QString, file);
    QFETCH(QString, plain);
    QFETCH(QStringList, expectedRuns);
    const QString rtf = readSample(file);
    QTextDocument document;
    Rtf::read(rtf, &document);
    QCOMPARE(runs(document), expectedRuns);
    QCOMPARE(boxText(document), plain);
    QCOMPARE(Rtf::toPlainText(rtf), plain);
}

void TestRtf::readerText_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("plain");

    QTest::newRow("final par ends the document") << u("{\\rtf1 abc\\par}") << u("abc");
    QTest::newRow("par before it is an empty line") << u("{\\rtf1 abc\\par\\par}") << u("abc\r\n");
    QTest::newRow("par between lines") << u("{\\rtf1 abc\\par def}") << u("abc\r\ndef");
    QTest::newRow("final par inside a group") << u("{\\rtf1 abc{\\b\\par}\r\n}") << u("abc");
    QTest::newRow("only a par") << u("{\\rtf1\\par}") << QString();
    QTest::newRow("backslash newline is a par") << u("{\\rtf1 a\\\r\nb}") << u("a\r\nb");
    QTest::newRow("raw line ends are no text") << u("{\\rtf1 a\r\nb\nc}") << u("abc");
    QTest::newRow("sections end paragraphs") << u("{\\rtf1 a\\sect b\\sect c}") << u("a\r\nb\r\nc");
    QTest::newRow("final sect ends the document") << u("{\\rtf1 a\\sect}") << u("a");
    // A section ends the paragraph only when one is open.
    QTest::newRow("sect after par") << u("{\\rtf1 a\\par\\sect b}") << u("a\r\nb");
    QTest::newRow("sect after a par in a group")
        << u("{\\rtf1{\\b a\\par }\\sect{\\b b\\par }\\sect}") << u("a\r\nb");
    QTest::newRow("sect first") << u("{\\rtf1\\sect a}") << u("a");
    QTest::newRow("sect keeps an empty line before it")
        << u("{\\rtf1 a\\par\\par\\sect b}") << u("a\r\n\r\nb");
    QTest::newRow("sect after a line break") << u("{\\rtf1 a\\line\\sect b}") << u("a\r\n\r\nb");
    QTest::newRow("pc is code page 437") << u("{\\rtf1\\pc \\'f1\\'9b}") << u("±¢");
    QTest::newRow("pca is code page 850") << u("{\\rtf1\\pca \\'f1\\'9b}") << u("±ø");
    QTest::newRow("mac is code page 10000") << u("{\\rtf1\\mac \\'b1\\'8e}") << u("±é");
    QTest::newRow("ansicpg after pc wins") << u("{\\rtf1\\pc\\ansicpg1252 \\'f1}") << u("ñ");
    QTest::newRow("line and tab") << u("{\\rtf1 a\\line b\\tab c}") << u("a\r\nb\tc");
    QTest::newRow("symbols") << u("{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote"
                                  "\\bullet}")
                             << u("—–‘’“”•");
    QTest::newRow("special spaces and hyphens")
        << u("{\\rtf1 a\\~b\\_c\\-d}") << u("a b\u2011c\u00ADd");
    QTest::newRow("escaped braces and backslash") << u("{\\rtf1 \\\\\\{\\}}") << u("\\{}");
    QTest::newRow("delimiting space is no text") << u("{\\rtf1\\b  a}") << u(" a");
    QTest::newRow("double-byte over two escapes")
        << u("{\\rtf1 \\'82\\'a0\\'82\\'a2}") << u("あい");
    QTest::newRow("escaped lead, raw trail") << u("{\\rtf1 \\'83V\\'83N}") << u("シク");
    // Trail bytes 0x5C, 0x7B and 0x7D come escaped as the Windows control writes them.
    QTest::newRow("trail backslash") << u("{\\rtf1 \\'95\\\\\\'8e\\'a6\\'83\\\\}") << u("表示ソ");
    QTest::newRow("trail braces") << u("{\\rtf1 \\'93\\'fa\\'96\\{\\'83\\}}") << u("日本マ");
    QTest::newRow("escaped brace alone") << u("{\\rtf1 a\\{b\\}\\\\}") << u("a{b}\\");
    QTest::newRow("escapes split by a line end") << u("{\\rtf1 \\'82\r\n\\'a0}") << u("あ");
    QTest::newRow("both codes of a character") << u("{\\rtf1 \\'87\\'9a\\'81\\'e6}") << u("∵∵");
    QTest::newRow("raw non-ASCII taken as it is") << u("{\\rtf1 日本語ｶﾅ}") << u("日本語ｶﾅ");
    QTest::newRow("no code page means 932") << u("{\\rtf1\\ansi \\'93\\'fa}") << u("日");
    QTest::newRow("ansicpg without font charset")
        << u("{\\rtf1\\ansi\\ansicpg1252 Caf\\'e9}") << u("Café");
    QTest::newRow("unknown ansicpg keeps 932") << u("{\\rtf1\\ansicpg77777 \\'82\\'a0}") << u("あ");
    QTest::newRow("unicode") << u("{\\rtf1 \\u12354?}") << u("あ");
    QTest::newRow("unicode negative") << u("{\\rtf1 \\u-162?}") << u("～");
    QTest::newRow("uc0 has no fallback") << u("{\\rtf1\\uc0\\u12354 x}") << u("あx");
    QTest::newRow("uc2 double-byte fallback") << u("{\\rtf1\\uc2\\u12354\\'82\\'a0x}") << u("あx");
    QTest::newRow("uc2 fallback whose trail looks like a lead")
        << u("{\\rtf1\\uc2\\u12353\\'82\\'9f\\'82\\'a0}") << u("ぁあ");
    QTest::newRow("uc1 with a double-byte fallback")
        << u("{\\rtf1\\uc1\\u12354\\'82\\'a0x}") << u("あx");
    QTest::newRow("uc1 single-byte fallback in 1252")
        << u("{\\rtf1\\ansicpg1252\\uc1\\u8364\\'80\\u233\\'e9}") << u("€é");
    QTest::newRow("uc is scoped to its group")
        << u("{\\rtf1{\\uc2\\u12354??}\\u12354?x}") << u("ああx");
    QTest::newRow("fallback stops at a brace") << u("{\\rtf1\\uc3\\u12354{x}y}") << u("あxy");
    QTest::newRow("fallback counts a control word") << u("{\\rtf1\\u8212\\emdash x}") << u("—x");
    QTest::newRow("raw double-byte fallback counts two")
        << u("{\\rtf1\\uc2\\u26085日x}") << u("日x");
    QTest::newRow("surrogate pair") << u("{\\rtf1 \\u-10179?\\u-8704?}") << u("😀");
    QTest::newRow("surrogate pair, one fallback") << u("{\\rtf1 \\u55362\\u57271?}") << u("𠮷");
    QTest::newRow("unicode code point") << u("{\\rtf1 \\u128512?\\u70000?x}") << u("😀\U00011170x");
    QTest::newRow("highest code point") << u("{\\rtf1 \\u1114111?}") << u("\U0010FFFF");
    QTest::newRow("unicode out of range") << u("{\\rtf1 a\\u1114112?b}") << u("ab");
    QTest::newRow("optional destination") << u("{\\rtf1 a{\\*\\foo b{c}}d}") << u("ad");
    QTest::newRow("picture") << u("{\\rtf1 a{\\pict\\pngblip 89ab{\\*\\x}}c}") << u("ac");
    QTest::newRow("binary data in a picture") << u("{\\rtf1 a{\\pict\\bin3 }{}}c}") << u("ac");
    QTest::newRow("binary data in text") << u("{\\rtf1 a\\bin2 xyb}") << u("ab");
    QTest::newRow("binary count past any integer")
        << u("{\\rtf1 a\\bin18446744073709551617 xy}b}") << u("a");
    QTest::newRow("info") << u("{\\rtf1{\\info{\\title t}{\\author x}}a}") << u("a");
    QTest::newRow("stylesheet") << u("{\\rtf1{\\stylesheet{\\s0 Normal;}}a}") << u("a");
    QTest::newRow("object") << u("{\\rtf1{\\object\\objemb{\\*\\objdata 01}{\\result r}}a}")
                            << u("a");
    QTest::newRow("field result shows")
        << u("{\\rtf1{\\field{\\*\\fldinst x}{\\fldrslt y}}}") << u("y");
    QTest::newRow("unknown words") << u("{\\rtf1 a\\foo b\\bar12 c\\baz-3 d}") << u("abcd");
    QTest::newRow("overlong word") << u("{\\rtf1 a\\") + QString(40, 'x') + u(" b}") << u("ab");
    QTest::newRow("unknown symbol") << u("{\\rtf1 a\\|b\\:c}") << u("abc");
    QTest::newRow("skipping at top level ignored") << u("{\\rtf1\\*\\pict a}") << u("a");
    QTest::newRow("table cells") << u("{\\rtf1\\trowd\\cellx100\\cellx200\\pard\\intbl a\\cell b"
                                      "\\cell\\row c}")
                                 << u("a\tb\r\nc");
    QTest::newRow("list text") << u("{\\rtf1{\\pntext\\bullet\\tab}{\\*\\pn{\\pntxtb x}}Item}")
                               << u("•\tItem");
    QTest::newRow("escaped line end breaks") << u("{\\rtf1 a\\'0d\\'0ab}") << u("a\r\n\r\nb");
    QTest::newRow("NUL dropped") << u("{\\rtf1 a\\'00b") + QChar(0) + u("c}") << u("abc");
    QTest::newRow("after last brace") << u("{\\rtf1 abc}\r\n") + QChar(0) + u("junk}") << u("abc");
    QTest::newRow("extra closing braces") << u("{\\rtf1 abc}}}") << u("abc");
    QTest::newRow("unclosed") << u("{\\rtf1 abc\\par def") << u("abc\r\ndef");
    QTest::newRow("unclosed after par") << u("{\\rtf1 abc\\par") << u("abc");
    QTest::newRow("leading blanks") << u(" \r\n{\\rtf1 x}") << u("x");
    QTest::newRow("no header: plain text")
        << u("line 1\r\nline 2\rline 3\nline 4") << u("line 1\r\nline 2\r\nline 3\r\nline 4");
    QTest::newRow("no header keeps final line end") << u("abc\r\n") << u("abc\r\n");
    QTest::newRow("no header with RTF words") << u("\\b {x}") << u("\\b {x}");
    QTest::newRow("upper case header is no header") << u("{\\RTF1 x}") << u("{\\RTF1 x}");
    QTest::newRow("empty") << QString() << QString();
}

void TestRtf::readerText() {
    QFETCH(QString, rtf);
    QFETCH(QString, plain);
    QCOMPARE(Rtf::toPlainText(rtf), plain);
    QTextDocument document;
    Rtf::read(rtf, &document);
    QCOMPARE(boxText(document), plain);
}

// Fields that begin alike are read alike, whatever field was read before.
void TestRtf::afterAnotherField_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("plain");
    const QString fonts = u("{\\rtf1{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 ");
    QTest::newRow("same header, other bytes")
        << fonts + u("\\'82\\'a0}") << fonts + u("\\'82\\'a2abc}") << u("いabc");
    QTest::newRow("same header, other text") << fonts + u("ab}") << fonts + u("xy\\'82\\'a0}")
                                             << u("xyあ");
    QTest::newRow("other text after the blank") << u("{\\rtf1\\b x}") << u("{\\rtf1\\b 5}")
                                                << u("5");
    QTest::newRow("a minus after the same word") << u("{\\rtf1\\b-a}") << u("{\\rtf1\\b-5}")
                                                 << QString();
    QTest::newRow("a paragraph in the header") << u("{\\rtf1\\par x}") << u("{\\rtf1\\par yz}")
                                               << u("\r\nyz");
    QTest::newRow("the other field is shorter") << u("{\\rtf1 ab}") << u("{\\rtf1 a") << u("a");
}

void TestRtf::afterAnotherField() {
    QFETCH(QString, before);
    QFETCH(QString, rtf);
    QFETCH(QString, plain);
    Rtf::toPlainText(before);
    QCOMPARE(Rtf::toPlainText(rtf), plain);
}

void TestRtf::readerStyles_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QStringList>("expectedRuns");

    const QString fonts = u("{\\rtf1\\deff1{\\fonttbl{\\f0\\fcharset128 "
                            "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}{\\f1 Arial;}"
                            "{\\f2\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83V"
                            "\\'83\\'62\\'83\\'4e;}}{\\colortbl ;\\red255\\green0\\blue0;"
                            "\\red0\\green128\\blue255;;}\\fs20 ");
    QTest::newRow("default font") << fonts + u("a}") << QStringList{u("[Arial 20]a")};
    QTest::newRow("font names decoded")
        << fonts + u("\\f0 a\\f2 b}")
        << QStringList{u("[ＭＳ 明朝 20]a"), u("[ＭＳ ゴシック 20]b")};
    QTest::newRow("unknown font is the default")
        << fonts + u("\\f9 a}") << QStringList{u("[Arial 20]a")};
    QTest::newRow("no font table") << u("{\\rtf1 a}") << QStringList{u("[ＭＳ ゴシック 24]a")};
    QTest::newRow("toggles") << fonts + u("\\b a\\b0 b\\i c\\i0\\ul d\\ul0 e\\ul f\\ulnone g"
                                          "\\uldb h\\ulnone\\strike i\\strike0 j}")
                             << QStringList{u("[Arial 20 b]a"), u("[Arial 20]b"),
                                            u("[Arial 20 i]c"), u("[Arial 20 u]d"),
                                            u("[Arial 20]e"),   u("[Arial 20 u]f"),
                                            u("[Arial 20]g"),   u("[Arial 20 u]h"),
                                            u("[Arial 20 s]i"), u("[Arial 20]j")};
    QTest::newRow("group restores")
        << fonts + u("a{\\b\\f0\\fs40\\cf1 b}c}")
        << QStringList{u("[Arial 20]a"), u("[ＭＳ 明朝 40 b #ff0000]b"), u("[Arial 20]c")};
    QTest::newRow("plain resets") << fonts + u("\\b\\i\\cf1\\f0\\fs40 a\\plain b}")
                                  << QStringList{u("[ＭＳ 明朝 40 b i #ff0000]a"),
                                                 u("[Arial 24]b")};
    QTest::newRow("pard keeps character format")
        << fonts + u("\\b a\\par\\pard b}")
        << QStringList{u("[Arial 20 b]a"), u("¶"), u("[Arial 20 b]b")};
    QTest::newRow("colours") << fonts + u("\\cf2 a\\cf0 b\\cf3 c\\cf9 d\\cf1 e}")
                             << QStringList{u("[Arial 20 #0080ff]a"), u("[Arial 20]bcd"),
                                            u("[Arial 20 #ff0000]e")};
    QTest::newRow("colour entries with components left out")
        << u("{\\rtf1{\\colortbl;\\red255;\\green128;\\blue255;;}\\cf1 a\\cf2 b\\cf3 c\\cf4 d}")
        << QStringList{u("[ＭＳ ゴシック 24 #ff0000]a"), u("[ＭＳ ゴシック 24 #008000]b"),
                       u("[ＭＳ ゴシック 24 #0000ff]c"), u("[ＭＳ ゴシック 24]d")};
    QTest::newRow("font sizes") << fonts + u("\\fs21 a\\fs b\\fs0 c\\fs-4 d\\fs99999 e}")
                                << QStringList{u("[Arial 21]a"), u("[Arial 24]bcd"),
                                               u("[Arial 3276]e")};
    QTest::newRow("font table without groups")
        << u("{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\fcharset128 \\'82\\'6c\\'82\\'72 "
             "\\'96\\'be\\'92\\'a9;}\\f1 a\\f0 b}")
        << QStringList{u("[ＭＳ 明朝 24]a"), u("[Arial 24]b")};
    QTest::newRow("font entry without semicolon")
        << u("{\\rtf1{\\fonttbl{\\f3 Courier New}}\\f3 a}") << QStringList{u("[Courier New 24]a")};
    QTest::newRow("font name with alternative")
        << u("{\\rtf1{\\fonttbl{\\f0{\\*\\panose 0}Century{\\*\\falt X};}}\\f0 a}")
        << QStringList{u("[Century 24]a")};
    QTest::newRow("font name in its own code page")
        << u("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}"
             "{\\f1 Caf\\'e9;}}\\f0 a\\f1 b}")
        << QStringList{u("[ＭＳ 24]a"), u("[Café 24]b")};
    QTest::newRow("caret style of an empty line")
        << fonts + u("a\\par\\b\\par b}")
        << QStringList{u("[Arial 20]a"), u("¶"), u("¶"), u("[Arial 20 b]b")};

    // Associated properties: word processors style double-byte text apart.
    QTest::newRow("associated properties of double-byte text")
        << fonts + u("\\dbch\\af0\\afs28\\acf1\\ab\\ai\\auldb\\astrike 字\\loch a}")
        << QStringList{u("[ＭＳ 明朝 28 b i u s #ff0000]字"), u("[Arial 20]a")};
    QTest::newRow("associated switch-offs")
        << fonts + u("\\b\\i\\ul\\strike\\cf1\\dbch\\ab0\\ai0\\aulnone\\astrike0\\acf0 字"
                     "\\aul 字\\aul0 字}")
        << QStringList{u("[Arial 20]字"), u("[Arial 20 u]字"), u("[Arial 20]字")};
    QTest::newRow("ordinary properties where none are associated")
        << fonts + u("\\b\\f2\\fs30\\dbch 字}") << QStringList{u("[ＭＳ ゴシック 30 b]字")};
    QTest::newRow("associated properties of other text ignored")
        << fonts + u("\\loch\\ab\\hich\\ai\\rtlch\\afs40\\ltrch\\aul\\af0 a\\dbch 字}")
        << QStringList{u("[Arial 20]a字")};
    QTest::newRow("only double-byte text takes them")
        << fonts + u("\\dbch\\ab\\loch a\\hich b\\rtlch c\\ltrch d\\dbch 字}")
        << QStringList{u("[Arial 20]abcd"), u("[Arial 20 b]字")};
    QTest::newRow("Latin letters in double-byte text")
        << fonts + u("\\dbch\\ab\\afs30  字Abc 12, Àɏ字「x×\\dbch  字}")
        << QStringList{u("[Arial 30 b] 字"), u("[Arial 20]Abc 12, Àɏ"), u("[Arial 30 b]字「"),
                       u("[Arial 20]x"), u("[Arial 30 b]× 字")};
    QTest::newRow("plain and groups end them")
        << fonts + u("{\\dbch\\ab 字}字\\dbch\\ab 字\\plain\\ab 字\\dbch 字}")
        << QStringList{u("[Arial 20 b]字"), u("[Arial 20]字"), u("[Arial 20 b]字"),
                       u("[Arial 24]字字")};
    QTest::newRow("associated font not in the table")
        << fonts + u("\\f0\\dbch\\af9 字}") << QStringList{u("[ＭＳ 明朝 20]字")};
    QTest::newRow("associated sizes")
        << fonts + u("\\dbch\\afs30 a字\\afs0 字\\afs 字}")
        << QStringList{u("[Arial 20]a"), u("[Arial 30]字字"), u("[Arial 24]字")};
}

void TestRtf::readerStyles() {
    QFETCH(QString, rtf);
    QFETCH(QStringList, expectedRuns);
    QTextDocument document;
    Rtf::read(rtf, &document);
    QCOMPARE(runs(document), expectedRuns);
}

void TestRtf::charsetCodePages_data() {
    QTest::addColumn<int>("charset");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 western") << 0 << "\\'e9" << u("é");
    QTest::newRow("128 Japanese") << 128 << "\\'82\\'a0" << u("あ");
    QTest::newRow("129 Korean") << 129 << "\\'b0\\'a1" << u("가");
    QTest::newRow("134 simplified Chinese") << 134 << "\\'c4\\'e3" << u("你");
    QTest::newRow("136 traditional Chinese") << 136 << "\\'a4\\'a4" << u("中");
    QTest::newRow("161 Greek") << 161 << "\\'e1" << u("α");
    QTest::newRow("162 Turkish") << 162 << "\\'fd" << u("ı");
    QTest::newRow("177 Hebrew") << 177 << "\\'e0" << u("א");
    QTest::newRow("178 Arabic") << 178 << "\\'c7" << u("ا");
    QTest::newRow("186 Baltic") << 186 << "\\'e0" << u("ą");
    QTest::newRow("204 Cyrillic") << 204 << "\\'c6" << u("Ж");
    QTest::newRow("222 Thai") << 222 << "\\'a1" << u("ก");
    QTest::newRow("238 Central European") << 238 << "\\'b3" << u("ł");
    QTest::newRow("unknown charset: document code page") << 2 << "\\'82\\'a0" << u("あ");
}

void TestRtf::charsetCodePages() {
    QFETCH(int, charset);
    QFETCH(QString, bytes);
    QFETCH(QString, text);
    const QString rtf = u("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset%1 F;}}\\f0 %2}")
                            .arg(charset)
                            .arg(bytes);
    QCOMPARE(Rtf::toPlainText(rtf), text);
}

void TestRtf::emptyDocument() {
    const QString empty = header + u("\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18\\par\r\n}\r\n");
    QTextDocument document;
    QCOMPARE(Rtf::write(&document), empty);
    QCOMPARE(Rtf::writePlain(QString()), empty);
    // Whatever style the caret has, an empty document is the same bytes.
    QTextCursor cursor(&document);
    CharStyle big = style(u("Arial"), 40);
    big.bold = true;
    cursor.setBlockCharFormat(big.toFormat());
    QCOMPARE(Rtf::write(&document), empty);
    // Read back, it leaves the default style for text typed into it.
    Rtf::read(empty, &document);
    QCOMPARE(document.characterCount(), 1);
    QCOMPARE(describe(CharStyle::fromFormat(QTextCursor(&document).charFormat(), QFont())),
             u("ＭＳ ゴシック 18"));
}

void TestRtf::writerMatchesControlDialect() {
    QTextDocument document;
    QTextCursor cursor(&document);
    append(cursor, u("問題"), style());
    CharStyle red = colored(style(), qRgb(255, 0, 0));
    red.bold = true;
    append(cursor, u("正"), red);
    QCOMPARE(Rtf::write(&document),
             header + u("{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                        "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18 \\'96\\'e2\\'91\\'e8"
                        "\\cf1\\b \\'90\\'b3\\par\r\n}\r\n"));
}

void TestRtf::writerCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("body");
    QTest::newRow("ASCII") << u("Ab 1;") << u("Ab 1;");
    QTest::newRow("RTF specials") << u("{a}\\") << u("\\{a\\}\\\\");
    QTest::newRow("hiragana") << u("あ") << u("\\'82\\'a0");
    QTest::newRow("trail byte is a backslash") << u("表") << u("\\'95\\'5c");
    QTest::newRow("half-width katakana") << u("ｱﾞ") << u("\\'b1\\'de");
    QTest::newRow("full-width tilde") << u("～") << u("\\'81\\'60");
    QTest::newRow("NEC and IBM extensions") << u("①Ⅹⅰ") << u("\\'87\\'40\\'87\\'5d\\'fa\\'40");
    QTest::newRow("character with two codes") << u("∵￢") << u("\\'81\\'e6\\'81\\'ca");
    QTest::newRow("not sign is not the full-width one") << u("¬") << u("\\u172?");
    QTest::newRow("wave dash is not the tilde") << u("〜") << u("\\u12316?");
    QTest::newRow("yen sign is not the backslash") << u("¥") << u("\\u165?");
    QTest::newRow("outside code page 932") << u("é€") << u("\\u233?\\u8364?");
    QTest::newRow("emoji as surrogate units") << u("😀") << u("\\u-10179?\\u-8704?");
    QTest::newRow("𠮷 as surrogate units") << u("𠮷") << u("\\u-10174?\\u-8265?");
    QTest::newRow("no-break space") << u("a\u00A0b") << u("a\\u160?b");
    QTest::newRow("control character") << u("a\x01") << u("a\\'01");
    QTest::newRow("tab") << u("a\tb") << u("a\\tab b");
    QTest::newRow("line break in a paragraph") << u("a\u2028b") << u("a\\line b");
    QTest::newRow("paragraphs") << u("a\n\nb") << u("a\\par\r\n\\par\r\nb");
}

void TestRtf::writerCharacters() {
    QFETCH(QString, text);
    QFETCH(QString, body);
    QTextDocument document;
    QTextCursor cursor(&document);
    append(cursor, text, style());
    QCOMPARE(Rtf::write(&document), header + u("\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18 ") +
                                        body + u("\\par\r\n}\r\n"));
    // Plain text imported from a table is written as if typed into a box.
    QCOMPARE(Rtf::writePlain(text), Rtf::write(&document));
}

void TestRtf::writerSwitches() {
    QTextDocument document;
    QTextCursor cursor(&document);
    CharStyle s = style();
    append(cursor, u("a"), s);
    s.bold = s.italic = true;
    append(cursor, u("b"), s);
    s.bold = false;
    s.underline = s.strike = true;
    append(cursor, u("c"), s);
    s = colored(style(u("Arial"), 21), qRgb(0, 0, 255));
    append(cursor, u("d\n"), s);
    s = colored(style(), qRgb(1, 2, 3));
    append(cursor, u("e"), s);
    append(cursor, u("f"), style());
    QCOMPARE(Rtf::write(&document),
             u("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{"
               "\\f0\\fmodern\\fprq1\\fcharset128 "
               "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}"
               "{\\f1\\fnil\\fcharset128 Arial;}}\r\n"
               "{\\colortbl ;\\red0\\green0\\blue255;\\red1\\green2\\blue3;}\r\n"
               "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18 a\\b\\i b\\b0\\ul\\strike c"
               "\\f1\\fs21\\cf1\\i0\\ulnone\\strike0 d\\par\r\n"
               "\\f0\\fs18\\cf2 e\\cf0 f\\par\r\n}\r\n"));
}

void TestRtf::writerRange() {
    QTextDocument document;
    QTextCursor cursor(&document);
    CharStyle bold = style();
    bold.bold = true;
    append(cursor, u("ab"), style());
    append(cursor, u("cd\nef"), bold);
    const QString start = header + u("\\viewkind4\\uc1\\pard\\lang1041");
    QCOMPARE(Rtf::write(&document, 1, 3), start + u("\\f0\\fs18 b\\b c\\par\r\n}\r\n"));
    QCOMPARE(Rtf::write(&document, 3, 6), start + u("\\f0\\fs18\\b d\\par\r\ne\\par\r\n}\r\n"));
    QCOMPARE(Rtf::write(&document, 2, 2), start + u("\\f0\\fs18\\par\r\n}\r\n"));
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    QCOMPARE(Rtf::write(cursor), start + u("\\f0\\fs18\\b cd\\par\r\n\\par\r\n}\r\n"));
    QCOMPARE(Rtf::write(&document, -5, 100), Rtf::write(&document));
}

void TestRtf::roundTripGenerated() {
    QRandomGenerator random(20240611);
    for (int i = 0; i < 300; ++i) {
        QTextDocument original;
        fillRandomly(original, random);
        const QString rtf = Rtf::write(&original);
        QTextDocument copy;
        Rtf::read(rtf, &copy);
        QCOMPARE(runs(copy), runs(original));
        QCOMPARE(boxText(copy), boxText(original));
        QCOMPARE(Rtf::toPlainText(rtf), boxText(original));
        QCOMPARE(Rtf::write(&copy), rtf);
        for (QChar c : rtf)
            QVERIFY2(c.unicode() < 0x80, qPrintable(rtf));
        QVERIFY(!rtf.contains(QRegularExpression("[^\r]\n|\r[^\n]")));
    }
}

void TestRtf::roundTripThroughBoxes() {
    QRandomGenerator random(7);
    for (int i = 0; i < 50; ++i) {
        RichTextBox first;
        fillRandomly(*first.document(), random);
        RichTextBox second;
        second.setTextRTF(first.textRTF());
        QCOMPARE(second.text(), first.text());
        QCOMPARE(runs(*second.document()), runs(*first.document()));
        QCOMPARE(second.textRTF(), first.textRTF());
        first.selectAllText();
        QCOMPARE(first.selRTF(), first.textRTF());
    }
}

void TestRtf::boxEmptyAndLoaded() {
    RichTextBox box;
    const QString empty = header + u("\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18\\par\r\n}\r\n");
    QCOMPARE(box.textRTF(), empty);
    box.setTextRTF(readSample("windows_control.rtf"));
    QCOMPARE(box.text(), Rtf::toPlainText(readSample("windows_control.rtf")));
    QCOMPARE(box.selStart(), 0);
    QCOMPARE(box.selFontName(), u("ＭＳ ゴシック"));
    QCOMPARE(box.selFontSize(), 9.0);
    box.setTextRTF(QString());
    QCOMPARE(box.textRTF(), empty);
    QCOMPARE(box.text(), QString());
}

void TestRtf::missingFontShownInJapaneseFont() {
    RichTextBox box;
    box.setTextRTF(u("{\\rtf1{\\fonttbl{\\f0 No Such Font;}}\\f0 \\'82\\'a0}"));
    QCOMPARE(box.selFontName(), u("No Such Font"));
    QVERIFY(box.textRTF().contains(u("No Such Font;")));
    QCOMPARE(QFontInfo(QFont(u("No Such Font"))).family(), u("IPAGothic"));
}

void TestRtf::selectionsCompare_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("equal");
    const QString start = u("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}{\\f2 Arial;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs20 ");
    QTest::newRow("same") << start + u("abc}") << start + u("abc}") << true;
    QTest::newRow("runs split differently")
        << start + u("{\\b a}{\\b bc}}") << start + u("\\b abc}") << true;
    QTest::newRow("same font under another number")
        << start + u("\\f0 abc}") << start + u("\\f2 abc}") << true;
    QTest::newRow("same text other code")
        << start + u("\\'82\\'a0}") << start + u("\\u12354?}") << true;
    QTest::newRow("final par or not") << start + u("abc\\par}") << start + u("abc}") << true;
    QTest::newRow("trailing blank") << start + u("abc}") << start + u("abc }") << false;
    QTest::newRow("full-width letters") << start + u("abc}") << start + u("ａｂｃ}") << false;
    QTest::newRow("letter case") << start + u("abc}") << start + u("ABC}") << false;
    QTest::newRow("bold") << start + u("abc}") << start + u("a\\b bc}") << false;
    QTest::newRow("italic") << start + u("abc}") << start + u("\\i abc}") << false;
    QTest::newRow("underline") << start + u("abc}") << start + u("\\ul abc}") << false;
    QTest::newRow("colour") << start + u("abc}") << start + u("\\cf1 abc}") << false;
    QTest::newRow("size") << start + u("abc}") << start + u("\\fs22 abc}") << false;
    QTest::newRow("font") << start + u("abc}") << start + u("\\f1 abc}") << false;
    QTest::newRow("empty line") << start + u("abc\\par}") << start + u("abc\\par\\par}") << false;
}

void TestRtf::selectionsCompare() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, equal);
    RichTextBox a;
    RichTextBox b;
    a.setTextRTF(first);
    b.setTextRTF(second);
    a.selectAllText();
    b.selectAllText();
    QCOMPARE(a.selRTF() == b.selRTF(), equal);
}

void TestRtf::copyOffersTextHtmlAndRtf() {
    RichTextBox box;
    box.setTextRTF(readSample("windows_control.rtf"));
    box.setSelStart(5);
    box.setSelLength(20);
    box.copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), u("単語の意味を答えよ。\nｶﾀｶﾅ and"));
    // RTF as question files hold it, which the office suite reads.
    QCOMPARE(data->data("text/rtf"), box.selRTF().toLatin1());
    QTextDocument html;
    html.setHtml(data->html());
    QCOMPARE(runs(html), (QStringList{u("[ＭＳ ゴシック 18 b #ff0000]単語"),
                                      u("[ＭＳ ゴシック 18]の意味を答えよ。"), u("¶"),
                                      u("[ＭＳ 明朝 24 i u #0000ff]ｶﾀｶﾅ and")}));
}

// Pasted between "<" and ">" in Arial 10 pt.
void TestRtf::pasteKeepsStyles_data() {
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QByteArrayList>("contents");
    QTest::addColumn<QStringList>("expectedRuns");
    const QString before = u("[Arial 20]<");
    const QString after = u("[Arial 20]>");
    // What LibreOffice Writer offers on copying the sample document.
    const QByteArray plain = u("問題：太字と斜体").toUtf8();
    const QByteArray rtf = readSampleBytes("libreoffice_from_odt.rtf");
    const QByteArray html = readSampleBytes("libreoffice_from_odt.html");
    const QStringList fromRtf =
        QStringList{before} + runsOfRtf(QString::fromLatin1(rtf)) + QStringList{after};
    QTest::newRow("RTF before HTML") << QStringList{"text/plain", "text/html", "text/rtf"}
                                     << QByteArrayList{plain, html, rtf} << fromRtf;
    QTest::newRow("richtext") << QStringList{"text/richtext"} << QByteArrayList{rtf} << fromRtf;
    QTest::newRow("application/rtf")
        << QStringList{"application/rtf"} << QByteArrayList{rtf} << fromRtf;
    QTest::newRow("HTML without RTF")
        << QStringList{"text/plain", "text/html"} << QByteArrayList{plain, html}
        << QStringList{before,
                       u("[IPAMincho 20]問題："),
                       u("[IPAMincho 20 b]太字"),
                       u("[IPAMincho 20]と"),
                       u("[IPAMincho 20 i]斜体"),
                       u("[IPAMincho 20]と"),
                       u("[IPAMincho 20 u]下線"),
                       u("[IPAMincho 20]と"),
                       u("[IPAMincho 20 #ff0000]赤い字"),
                       u("[IPAMincho 20]と"),
                       u("[IPAMincho 28]大きな字"),
                       u("[IPAMincho 20]と"),
                       u("[IPAGothic 20]ゴシック体"),
                       u("[IPAMincho 20]、"),
                       u("[IPAMincho 20 b i u #0000ff]全部 ｶﾀｶﾅ"),
                       u("[IPAMincho 20]、"),
                       u("[Arial 20 b]Bold "),
                       u("[IPAMincho 20 b]混在"),
                       u("¶"),
                       u("[IPAMincho 20]コード外の字：𠮷・😀・"),
                       u("[Arial 20]é"),
                       u("[IPAMincho 20]・€・ㇰ"),
                       after};
    QTest::newRow("HTML picture left out")
        << QStringList{"text/html"} << QByteArrayList{"<p>a<img src=\"x.png\"><b>b</b></p>"}
        << QStringList{u("[Arial 20]<a"), u("[Arial 20 b]b"), after};
    QTest::newRow("Qt's own rich text as plain text")
        << QStringList{"application/x-qrichtext", "text/plain"} << QByteArrayList{"<b>x</b>", "x"}
        << QStringList{u("[Arial 20]<x>")};
    QTest::newRow("plain text in the format at the caret")
        << QStringList{"text/plain"} << QByteArrayList{u("字\nx").toUtf8()}
        << QStringList{u("[Arial 20]<字"), u("¶"), u("[Arial 20]x>")};
}

void TestRtf::pasteKeepsStyles() {
    QFETCH(QStringList, types);
    QFETCH(QByteArrayList, contents);
    QFETCH(QStringList, expectedRuns);
    auto* data = new QMimeData;
    for (int i = 0; i < types.size(); ++i)
        data->setData(types[i], contents[i]);
    QApplication::clipboard()->setMimeData(data);
    RichTextBox box;
    box.setTextRTF(u("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 <>}"));
    box.setSelStart(1);
    QVERIFY(box.canPaste());
    box.paste();
    QCOMPARE(runs(*box.document()), expectedRuns);
}

void TestRtf::copyAndPasteBetweenBoxes() {
    QRandomGenerator random(31);
    for (int i = 0; i < 50; ++i) {
        RichTextBox first;
        fillRandomly(*first.document(), random);
        first.selectAll();
        first.copy();
        RichTextBox second;
        second.paste();
        QCOMPARE(runs(*second.document()), runs(*first.document()));
        // Programs that read HTML alone get the same styles.
        auto* html = new QMimeData;
        html->setHtml(QApplication::clipboard()->mimeData()->html());
        QApplication::clipboard()->setMimeData(html);
        RichTextBox third;
        third.paste();
        QCOMPARE(runs(*third.document()), runs(*first.document()));
    }
}

void TestRtf::typedAnswerMatchesStoredAnswer() {
    const QString answer = u("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 "
                             "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\\f0\\fs24\\b "
                             "\\'93\\'9a\\'82\\'a6 OK\\par}");
    RichTextBox stored;
    stored.setTextRTF(answer);
    RichTextBox entry;
    entry.setTextRTF(answer);
    entry.setText(QString());
    // Japanese arrives from the input method, the rest as keys.
    QInputMethodEvent typed;
    typed.setCommitString(u("答え"));
    QApplication::sendEvent(&entry, &typed);
    QTest::keyClicks(&entry, u(" OK"));
    stored.selectAllText();
    entry.selectAllText();
    QCOMPARE(entry.selRTF(), stored.selRTF());
    QTest::keyClick(&entry, Qt::Key_End);
    QTest::keyClicks(&entry, u(" "));
    entry.selectAllText();
    QVERIFY(entry.selRTF() != stored.selRTF());
}

void TestRtf::truncatedSamples() {
    for (const char* name :
         {"windows_control.rtf", "word_processor.rtf", "minimal.rtf", "libreoffice_from_odt.rtf"}) {
        const QString rtf = readSample(name);
        for (int length = 0; length <= rtf.size(); ++length) {
            const QString part = rtf.left(length);
            QTextDocument document;
            Rtf::read(part, &document);
            QCOMPARE(Rtf::toPlainText(part), boxText(document));
        }
    }
}

void TestRtf::randomInput() {
    static const QString alphabet = u("{}\\\\\\'*0123456789abcdefuclparbfsi -;\r\nあ😀") + QChar(0);
    QRandomGenerator random(99);
    for (int i = 0; i < 3000; ++i) {
        QString input = random.bounded(2) ? u("{\\rtf1") : QString();
        const int length = random.bounded(400);
        for (int j = 0; j < length; ++j) {
            if (random.bounded(4) == 0)
                input += QChar(static_cast<char16_t>(random.bounded(0x10000)));
            else
                input += alphabet[random.bounded(alphabet.size())];
        }
        QTextDocument document;
        Rtf::read(input, &document);
        QCOMPARE(Rtf::toPlainText(input), boxText(document));
        // Whatever was read writes and reads back the same.
        const QString rtf = Rtf::write(&document);
        QTextDocument copy;
        Rtf::read(rtf, &copy);
        QCOMPARE(Rtf::write(&copy), rtf);
    }
}

void TestRtf::deepNesting_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("plain");
    const int depth = 100000;
    const QString open(depth, '{');
    const QString close(depth, '}');
    QTest::newRow("closed") << u("{\\rtf1 a") + open + u("\\b b") + close + u("c}") << u("abc");
    QTest::newRow("unclosed") << u("{\\rtf1 a") + open + u("b") << u("ab");
    QTest::newRow("only closing") << u("{\\rtf1 a") + close + u("b") << u("a");
    QTest::newRow("in a skipped destination")
        << u("{\\rtf1 a{\\*\\x") + open + u("b") + close + u("}c}") << u("ac");
    QTest::newRow("skipped destination deep down")
        << u("{\\rtf1 a") + open + u("{\\*\\x b}c") + close + u("d}") << u("acd");
    QTest::newRow("unicode skips deep down")
        << u("{\\rtf1") + open + u("\\uc2\\u12354??") + close + u("}") << u("あ");
}

void TestRtf::deepNesting() {
    QFETCH(QString, rtf);
    QFETCH(QString, plain);
    QCOMPARE(Rtf::toPlainText(rtf), plain);
    QTextDocument document;
    Rtf::read(rtf, &document);
    QCOMPARE(boxText(document), plain);
}

void TestRtf::hugeNumbers() {
    // Far beyond any integer type; reading stays linear in the input.
    const QString digits(16 * 1024 * 1024, '9');
    const QString rtf = u("{\\rtf1{\\colortbl;\\red") + digits + u(";}\\fs") + digits +
                        u(" a\\cf") + digits + u(" b\\u") + digits + u("?c\\u-") + digits +
                        u("?d\\uc") + digits + u(" e\\f") + digits + u(" f\\bin") + digits + u("}");
    QCOMPARE(Rtf::toPlainText(rtf), u("abcdef"));
    QTextDocument document;
    Rtf::read(rtf, &document);
    QCOMPARE(runs(document), QStringList{u("[ＭＳ ゴシック 3276]abcdef")});
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
