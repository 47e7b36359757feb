// Other programs' formats: HTML as rich text, Moodle XML and GIFT both ways,
// KVTML and Anki packages in, each read from files made as those programs
// make them, and each refusing a damaged file.

#include "AnkiPackageMaker.h"
#include "ExampleFiles.h"
#include "data/QuestionDocument.h"
#include "formats/QuestionFile.h"
#include "data/QuestionRecord.h"
#include "data/AppGlobals.h"
#include "data/Markup.h"
#include "formats/AnkiPackage.h"
#include "formats/Gift.h"
#include "formats/AnswerLog.h"
#include "formats/HtmlText.h"
#include "formats/Kvtml.h"
#include "formats/MoodleXml.h"
#include "formats/QuestionImport.h"
#include "platform/rtf/CharStyle.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include "support/TestEnv.h"

#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <zstd.h>

using Runs = QVector<Rtf::Run>;
Q_DECLARE_METATYPE(Runs)
Q_DECLARE_METATYPE(QuestionImport::Format)

namespace {

// Runs in a few characters: *bold*, /italic/, _underlined_, ¶ between
// paragraphs, ↵ for a line break.
QString run(const QString& text, bool bold, bool italic, bool underline) {
    QString shown = text;
    shown.replace(u'\n', u8("¶")).replace(QChar(0x2028), u8("↵"));
    const QString open = QString(bold ? "*" : "") + (italic ? "/" : "") + (underline ? "_" : "");
    QString close = open;
    std::reverse(close.begin(), close.end());
    return open + shown + close;
}

// A paragraph's end has no style of its own.
QString describeRuns(const Runs& runs) {
    QString out;
    for (const Rtf::Run& r : runs) {
        const QStringList paragraphs = r.text.split(u'\n');
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            if (i > 0)
                out += u8("¶");
            if (!paragraphs.at(i).isEmpty())
                out += run(paragraphs.at(i), r.bold, r.italic, r.underline);
        }
    }
    return out;
}

// The rich text as the same few characters: what a box would show.
QString styled(const QString& rtf) {
    QTextDocument document;
    Rtf::read(rtf, &document);
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString paragraph;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const Rtf::CharStyle style =
                Rtf::CharStyle::fromFormat(it.fragment().charFormat(), document.defaultFont());
            paragraph += run(it.fragment().text(), style.bold, style.italic, style.underline);
        }
        paragraphs << paragraph;
    }
    return paragraphs.join(u8("¶"));
}

// A question in a few words: "type|question|choices, * before a right
// one|hint|explanation", each text with its styles.
QString describe(const RecordFields& f) {
    QStringList choices;
    for (const RecordChoice& c : f.choices)
        choices << (c.correct ? "*" : "") + styled(c.rtf);
    return QStringList{f.type, styled(f.questionRtf), choices.join(','), styled(f.hintRtf),
                       styled(f.explanationRtf)}
        .join('|');
}

QStringList describeAll(const ImportedQuestions& read) {
    QStringList out;
    for (const QuestionTable::Question& q : read.questions)
        out << describe(q.fields);
    for (const ImportedQuestions::Skipped& s : read.skipped)
        out << QString("-%1×%2").arg(s.reason).arg(s.count);
    return out;
}

RecordFields question(QChar type, const Runs& text, const QList<RecordChoice>& choices,
                      const QString& hint, const Runs& explanation) {
    RecordFields f;
    f.type = type;
    f.questionRtf = Rtf::writeRuns(text);
    f.choices = choices;
    f.hintRtf = Rtf::writePlain(hint);
    f.explanationRtf = Rtf::writeRuns(explanation);
    return f;
}

RecordChoice choice(bool right, const QString& text) {
    return {right, Rtf::writePlain(text)};
}

// Three questions, one of each kind, with every character the formats
// escape, HTML that is text, Japanese and styles.
QVector<RecordFields> everyKind() {
    const QString marks = u8("~=#{}:\\ <b>&amp; ");
    return {
        question('1',
                 {{u8("次のうち"), false},
                  {u8("正しい"), true, false, true},
                  {u8("ものは？ ") + marks, false, true}},
                 {choice(false, u8("東京 ~ 大阪")), choice(true, u8("a = b {c}")),
                  choice(false, u8("#1: \\n"))},
                 u8("ヒント：") + marks, {{u8("解説\n二段落目\n\n四段落目 ") + marks}}),
        question('2', {{u8("素数を選べ  (2つ以上)\t ")}},
                 {choice(true, "2"), choice(false, "4"), choice(true, "3"), choice(false, "9"),
                  choice(true, "5")},
                 {}, {{u8("1 は素数ではない"), true}}),
        question('3', {{u8("「<b>」を") + QChar(0x2028) + u8("入力しなさい"), false, true}},
                 {choice(true, u8("<b> ~=#{}:\\ 答え"))}, u8("括弧"), {}),
    };
}

QStringList records(const QVector<RecordFields>& questions) {
    QStringList out;
    for (RecordFields f : questions) {
        f.key = "k";
        out << composeRecord(f);
    }
    return out;
}

// The sample question file's records.
QStringList sampleRecords() {
    QString error;
    const QString text = ExampleFiles::questionFileText(&error);
    QStringList out;
    qsizetype at = QuestionFile::readProperties(text, *std::make_unique<DocumentProperties>());
    QString record;
    while (QuestionFile::nextRecord(text, at, record))
        out << record;
    return out;
}

QByteArray zstd(const QByteArray& bytes) {
    QByteArray out(qsizetype(ZSTD_compressBound(size_t(bytes.size()))), Qt::Uninitialized);
    out.resize(qsizetype(
        ZSTD_compress(out.data(), size_t(out.size()), bytes.constData(), size_t(bytes.size()), 1)));
    return out;
}

using Anki = AnkiPackageMaker::Collection;

// One note of every kind, its cards and their reviews.
Anki everyNote(AnkiPackageMaker::Version version) {
    Anki c;
    c.version = version;
    const QString sep;
    c.notes = {
        {101, c.basicType, {u8("<b>犬</b>&nbsp;の英語は？"), "dog"}},
        {102,
         c.basicType,
         {u8("<div>一行目</div><div><i>二行目</i> &lt;&amp;&gt;</div><img src=\"a.jpg\">"),
          "two words[sound:say.mp3]", u8("第3ﾌｨｰﾙﾄﾞ")}},
        {103, c.clozeType, {u8("{{c1::東京}}は首都"), ""}},
        {104, c.basicType, {u8("ﾌｨｰﾙﾄﾞ1つ")}},
        {105, c.basicType, {"<img src=\"only.png\">", "picture"}},
        {106, c.basicType, {"lines", "one<br>two"}},
        {107, c.basicType, {"empty answer", "<img src=\"x.png\">"}},
        {108, c.basicType, {u8("{{c2::穴}}のある基本ﾉｰﾄ"), "x"}},
    };
    for (const AnkiPackageMaker::Note& note : c.notes) {
        c.cards.append({note.id * 10, note.id, 2, 2, 30, 5});
        c.reviews.append({1600000000000 + note.id, note.id * 10, 1, 0});
        c.reviews.append({1600000100000 + note.id, note.id * 10, 3, 1});
    }
    // The first note's reversed card, and a change made by hand, no review.
    c.cards.append({1011, 101, 2, 2, 31, 3, 1});
    c.reviews.append({1600000200000, 1011, 2, 1});
    c.reviews.append({1600000300000, 1010, 0, 4});
    return c;
}

// Each question's history: "answered/right", then each review's second
// and grade; "-" for none.
QStringList describeHistory(const ImportedQuestions& read) {
    QStringList out;
    for (const QuestionHistory& h : read.history) {
        QString text = h.isEmpty() ? "-" : QString("%1/%2").arg(h.answered).arg(h.right);
        for (const ImportedReview& r : h.reviews)
            text += QString(" %1:%2").arg(r.time).arg(r.grade);
        out << text;
    }
    return out;
}

QStringList everyNoteRead(bool swapped) {
    const QString none = styled(Rtf::writePlain({}));
    if (swapped)
        return {u8("3|dog|*犬 の英語は？|%1|%1").arg(none),
                u8("3|one↵two|*lines|%1|%1").arg(none),
                u8("-答えが2行以上のもの×1"),
                u8("-穴埋め(ｸﾛｰｽﾞ)のﾉｰﾄ×2"),
                u8("-ﾌｨｰﾙﾄﾞが2つないﾉｰﾄ×1"),
                u8("-答えが空のもの×1"),
                u8("-問題が画像や音声だけのﾉｰﾄ×1")};
    return {u8("3|*犬* の英語は？|*dog|%1|%1").arg(none),
            u8("3|一行目¶/二行目/ <&>|*two words|%1|%1").arg(none),
            u8("-穴埋め(ｸﾛｰｽﾞ)のﾉｰﾄ×2"),
            u8("-ﾌｨｰﾙﾄﾞが2つないﾉｰﾄ×1"),
            u8("-問題が画像や音声だけのﾉｰﾄ×1"),
            u8("-答えが2行以上のもの×1"),
            u8("-答えが空のもの×1")};
}

QByteArray kvtml(bool preGrades) {
    const QString grade = preGrades ? "<grade><pregrade>2</pregrade><currentgrade>3</currentgrade>"
                                      "<count>7</count><errorcount>2</errorcount>"
                                      "<date>2023-05-01T10:00:00</date><interval>259200</interval>"
                                      "</grade>"
                                    : "<grade><currentgrade>1</currentgrade><count>3</count>"
                                      "<errorcount>1</errorcount>"
                                      "<date>2010-01-01T00:00:00</date></grade>";
    return (u8("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
               "<kvtml version=\"2.0\">\n"
               " <information><generator>Parley</generator><title>単語</title></information>\n"
               " <identifiers>\n"
               "  <identifier id=\"0\"><name>English</name><locale>en</locale></identifier>\n"
               "  <identifier id=\"1\"><name>日本語</name><locale>ja</locale></identifier>\n"
               " </identifiers>\n"
               " <entries>\n"
               "  <entry id=\"0\">\n"
               "   <translation id=\"0\"><text>dog</text>") +
            grade +
            u8("</translation>\n"
               "   <translation id=\"1\"><text>犬</text><comment>動物</comment></translation>\n"
               "  </entry>\n"
               "  <entry id=\"1\">\n"
               "   <translation id=\"1\"><text>猫 &amp; 子猫</text>") +
            grade +
            u8("</translation>\n"
               "   <translation id=\"0\"><text>cat &amp; kitten</text></translation>\n"
               "  </entry>\n"
               "  <entry id=\"2\"><translation id=\"0\"><text>alone</text></translation></entry>\n"
               "  <entry id=\"3\"><translation id=\"0\"><text>lines</text></translation>"
               "<translation id=\"1\"><text>一\n二</text></translation></entry>\n"
               " </entries>\n"
               " <lessons><container><name>Lesson 1</name><entry id=\"0\"/></container></lessons>\n"
               "</kvtml>\n"))
        .toUtf8();
}

// A Moodle XML file as Moodle exports one: a category, <file> elements,
// feedback of each answer, and kinds this program cannot ask.
QByteArray moodleExport() {
    return u8(R"(<?xml version="1.0" encoding="UTF-8"?>
<quiz>
<!-- question: 0  -->
  <question type="category">
    <category>
      <text>$course$/top/既定</text>
    </category>
    <info format="html">
      <text></text>
    </info>
  </question>
<!-- question: 11  -->
  <question type="multichoice">
    <name>
      <text>首都</text>
    </name>
    <questiontext format="html">
      <text><![CDATA[<p dir="ltr">日本の<strong>首都</strong>は？&nbsp;<img src="@@PLUGINFILE@@/map.png" alt="map"></p>]]></text>
      <file name="map.png" path="/" encoding="base64">iVBORw0KGgo=</file>
    </questiontext>
    <generalfeedback format="html">
      <text><![CDATA[<p>東京です。</p><p>1868年から。</p>]]></text>
    </generalfeedback>
    <defaultgrade>1.0000000</defaultgrade>
    <penalty>0.3333333</penalty>
    <hidden>0</hidden>
    <idnumber></idnumber>
    <single>true</single>
    <shuffleanswers>true</shuffleanswers>
    <answernumbering>abc</answernumbering>
    <showstandardinstruction>0</showstandardinstruction>
    <correctfeedback format="html">
      <text>Your answer is correct.</text>
    </correctfeedback>
    <answer fraction="0" format="html">
      <text><![CDATA[<p>大阪</p>]]></text>
      <feedback format="html">
        <text><![CDATA[<p>違います</p>]]></text>
      </feedback>
    </answer>
    <answer fraction="100" format="html">
      <text><![CDATA[<p>東京</p>]]></text>
      <feedback format="html">
        <text></text>
      </feedback>
    </answer>
    <hint format="html">
      <text><![CDATA[<p>東の<em>京</em></p>]]></text>
    </hint>
    <hint format="html">
      <text>second hint</text>
    </hint>
  </question>
  <question type="multichoice">
    <name><text>primes</text></name>
    <questiontext format="moodle_auto_format"><text>Which are
prime?</text></questiontext>
    <generalfeedback format="html"><text></text></generalfeedback>
    <single>false</single>
    <answer fraction="50"><text>2</text></answer>
    <answer fraction="-100"><text>4</text></answer>
    <answer fraction="50"><text>3</text></answer>
    <answer fraction="0"><text></text></answer>
  </question>
  <question type="shortanswer">
    <name><text>spell</text></name>
    <questiontext format="plain_text"><text>Spell &lt;dog&gt; in Japanese</text></questiontext>
    <usecase>0</usecase>
    <answer fraction="50" format="moodle_auto_format"><text>いぬ</text></answer>
    <answer fraction="100" format="moodle_auto_format"><text>犬</text></answer>
  </question>
  <question type="truefalse">
    <name><text>tf</text></name>
    <questiontext format="html"><text>地球は丸い</text></questiontext>
    <answer fraction="100" format="moodle_auto_format"><text>true</text></answer>
    <answer fraction="0" format="moodle_auto_format"><text>false</text></answer>
  </question>
  <question type="essay">
    <name><text>e</text></name>
    <questiontext format="html"><text>Write.</text></questiontext>
  </question>
  <question type="matching">
    <name><text>m</text></name>
    <questiontext format="html"><text>Match.</text></questiontext>
  </question>
  <question type="matching">
    <name><text>m2</text></name>
    <questiontext format="html"><text>Match.</text></questiontext>
  </question>
  <question type="ddwtos">
    <name><text>d</text></name>
    <questiontext format="html"><text>Drag.</text></questiontext>
  </question>
  <question type="multichoice">
    <name><text>none right</text></name>
    <questiontext format="html"><text>?</text></questiontext>
    <answer fraction="0"><text>a</text></answer>
  </question>
</quiz>
)")
        .toUtf8();
}

// A GIFT file as teachers write one, with Moodle's own examples of each
// kind.
QByteArray giftFile() {
    return u8(R"(// question: 1 name: 首都
// 日本語のコメント
$CATEGORY: $course$/top/地理

::首都::日本の首都は？{
	=東京#正解！
	~大阪#違います
	~京都
	####東京は1868年から首都です。
}

Grant is {~buried =entombed ~living} in Grant's tomb.

//ヒント：<b>2</b>つ選びます
::Grant's tomb::What two people are entombed in Grant's tomb? {
	~%-100%No one
	~%50%Grant
	~%50%Grant's wife
	~%-100%Grant's father
}

[plain]Who's buried in <Grant's> tomb?{=Grant =Ulysses S. Grant #right}

[html]1 \+ 1 \= 2 \{true\}\: 太陽は<i>東</i>から昇る{TRUE####そうです}

What is a number from 1 to 5? {#3:2}

Match: {=a -> b =c -> d}

Write an essay about Japan.{}

A line\nbreak and a backslash \\ here{=x\=y\:z\\}
)")
        .toUtf8();
}

} // namespace

class TestFormats : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void htmlIsReadAsABrowserShowsIt_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "abc"
                               << "abc";
        QTest::newRow("styles") << "<b>bold</b> <I>it</I> <u>un</u> <strong><em>both</em></strong>"
                                << "*bold* /it/ _un_ */both/*";
        QTest::newRow("entities") << u8("&amp;&lt;&gt;&quot;&apos;&#12354;&#x3042;&hellip;&yen;"
                                        "&unknown; & x &#;")
                                  << u8("&<>\"'ああ…¥&unknown; & x &#;");
        QTest::newRow("references to line ends")
            << "a&#10;b&#13;c&#x2029;d&#x2028; e" << u8("a¶b¶c¶d↵e");
        QTest::newRow("out of range references")
            << "&#0;&#xD800;&#99999999;" << u8("\uFFFD\uFFFD\uFFFD");
        QTest::newRow("blanks collapse") << "  a \n\t b  "
                                         << "a b";
        QTest::newRow("blanks that stay") << "a&nbsp;&nbsp;b&nbsp;"
                                          << "a  b ";
        QTest::newRow("line breaks") << "a<br>b<BR/> c <br >d" << u8("a↵b↵c↵d");
        QTest::newRow("paragraphs") << "<p>a</p>\n<p>b</p>" << u8("a¶b");
        QTest::newRow("an empty paragraph stays") << "<p>a</p><p></p><p>b</p>" << u8("a¶¶b");
        QTest::newRow("as Anki's editor writes lines")
            << "a<div>b</div><div><br></div><div>c</div>" << u8("a¶b¶¶c");
        QTest::newRow("nested blocks")
            << "<div><div>a</div></div>b<ul><li>c</li></ul>" << u8("a¶b¶c");
        QTest::newRow("breaks at the end go") << "a<br><div></div><br>"
                                              << "a";
        QTest::newRow("a break before a block shows nothing")
            << "a<br><div>b<br></div>c<br><br>" << u8("a¶b¶c↵");
        QTest::newRow("a break in an empty block")
            << "<div>a</div><div><br/`x><div><i></div>z" << u8("a¶¶¶/z/");
        QTest::newRow("hidden content")
            << "<script>x<b></script>y<style>p{}</style><!-- <b>c --><?php ?>z<!DOCTYPE html>"
            << "yz";
        QTest::newRow("pictures and sounds")
            << "<img src=\"a.png\">x<audio src=a><source src=b></audio><video/>"
            << "x";
        QTest::newRow("styled spans")
            << "<span style=\"font-weight: bold\">b</span><span style='font-style:italic; "
               "text-decoration: underline'>iu</span><span>p</span>"
            << "*b*/_iu_/p";
        QTest::newRow("tags closed out of turn") << "<b>a<i>b</b>c</i>d</u>"
                                                 << "*a**/b/*cd";
        QTest::newRow("text that looks like a tag") << "a < b, 1<2, x<3 <"
                                                    << "a < b, 1<2, x<3 <";
        QTest::newRow("a quoted >") << "<span title=\"a>b\">t</span>"
                                    << "t";
        QTest::newRow("upper-case tags") << "<A HREF=\"x.html\">link</A> <B>b</B>"
                                         << "link *b*";
        QTest::newRow("a tag cut short") << "a<b"
                                         << "a";
        QTest::newRow("a script never closed") << "a<script>b"
                                               << "a";
    }
    void htmlIsReadAsABrowserShowsIt() {
        QFETCH(QString, html);
        QFETCH(QString, shown);
        QCOMPARE(describeRuns(HtmlText::read(html)), shown);
        // The rich text holds the same.
        QCOMPARE(styled(HtmlText::toRtf(html)), describeRuns(HtmlText::read(html)));
    }

    // Rich text → HTML → rich text gives the same bytes.
    void htmlCarriesTheRichText_data() {
        QTest::addColumn<Runs>("runs");
        QTest::addColumn<QString>("html");
        QTest::newRow("empty") << Runs{} << "";
        QTest::newRow("blanks a browser would collapse")
            << Runs{{" lead  two   three\ttab trail "}}
            << "&nbsp;lead &nbsp;two &nbsp;&nbsp;three&#9;tab trail&nbsp;";
        QTest::newRow("markup characters")
            << Runs{{"<b>&amp;</b>"}} << "&lt;b&gt;&amp;amp;&lt;/b&gt;";
        QTest::newRow("line breaks")
            << Runs{{QString("a ") + QChar(0x2028) + " b"}} << "a&nbsp;<br>&nbsp;b";
        QTest::newRow("paragraphs, one empty")
            << Runs{{"p1\n\np3"}} << "<p>p1</p><p><br></p><p>p3</p>";
        QTest::newRow("breaks at the ends of paragraphs")
            << Runs{{QString("a") + QChar(0x2028) + "\n" + QChar(0x2028) + "\nb" + QChar(0x2028)}}
            << "<p>a<br><br></p><p><br><br></p><p>b<br><br></p>";
        QTest::newRow("a break at the end")
            << Runs{{QString("a") + QChar(0x2028), false, true}} << "<i>a<br><br></i>";
        QTest::newRow("styles with blanks at their edges")
            << Runs{{"a ", false}, {" b ", true}, {"c", false, true, true}}
            << "a <b>&nbsp;b </b><i><u>c</u></i>";
        QTest::newRow("Japanese") << Runs{{u8("日本語　全角の空白"), false, false, true}}
                                  << u8("<u>日本語　全角の空白</u>");
        QTest::newRow("control characters")
            << Runs{{QString("a") + QChar(0x0C) + "b" + QChar(0x1B) + "c"}} << "a&#12;b&#27;c";
    }
    void htmlCarriesTheRichText() {
        QFETCH(Runs, runs);
        QFETCH(QString, html);
        const QString rtf = Rtf::writeRuns(runs);
        QCOMPARE(HtmlText::fromRtf(rtf), html);
        QCOMPARE(HtmlText::toRtf(html), rtf);
    }

    void plainRunsAreTheEditorsPlainText() {
        QCOMPARE(Rtf::writeRuns({{u8("一\n二")}}), Rtf::writePlain(u8("一\n二")));
        QCOMPARE(Rtf::writeRuns({}), Rtf::writePlain({}));
        QCOMPARE(Rtf::writeRuns({{"", true}}), Rtf::writePlain({}));
    }

    // questions → format → questions: text, kind, choices, right answers,
    // explanation and hint, byte for byte.
    void quizRoundTrip_data() {
        QTest::addColumn<bool>("gift");
        QTest::newRow("Moodle XML") << false;
        QTest::newRow("GIFT") << true;
    }
    void quizRoundTrip() {
        QFETCH(bool, gift);
        const QVector<RecordFields> written = everyKind();
        const QStringList out = records(written);
        const ImportedQuestions read = gift ? Gift::read(QString::fromUtf8(Gift::write(out)))
                                            : MoodleXml::read(MoodleXml::write(out));
        QVERIFY(read.ok);
        QVERIFY(read.skipped.isEmpty());
        QCOMPARE(read.questions.size(), written.size());
        for (int i = 0; i < written.size(); ++i) {
            const RecordFields& a = written.at(i);
            const RecordFields& b = read.questions.at(i).fields;
            QCOMPARE(b.type, a.type);
            QCOMPARE(b.questionRtf, a.questionRtf);
            QCOMPARE(b.choices.size(), a.choices.size());
            for (int c = 0; c < a.choices.size(); ++c) {
                QCOMPARE(b.choices.at(c).correct, a.choices.at(c).correct);
                QCOMPARE(b.choices.at(c).rtf, a.choices.at(c).rtf);
            }
            QCOMPARE(b.hintRtf, a.hintRtf);
            QCOMPARE(b.explanationRtf, a.explanationRtf);
        }
        // The sample file's questions keep their texts and styles.
        const QStringList sample = sampleRecords();
        const ImportedQuestions again = gift ? Gift::read(QString::fromUtf8(Gift::write(sample)))
                                             : MoodleXml::read(MoodleXml::write(sample));
        QCOMPARE(again.questions.size(), sample.size());
        for (int i = 0; i < sample.size(); ++i)
            QCOMPARE(describe(again.questions.at(i).fields),
                     describe(recordFields({}, sample.at(i))));
    }

    // What GIFT reads, written and read again, is the same: a single choice
    // with several right answers stays one, and a choice question without
    // a wrong answer left is a short answer from the start.
    void giftReadsBackAsItWasRead_data() {
        QTest::addColumn<QString>("gift");
        QTest::addColumn<QStringList>("read");
        QTest::newRow("a single choice with two right answers")
            << "Q{=a ~%50%b}" << QStringList{"1|Q|*a,*b||"};
        QTest::newRow("two answers marked =") << "Q{=a =b ~c}" << QStringList{"1|Q|*a,*b,c||"};
        QTest::newRow("a blank wrong answer") << "Q{=a ~ #no}" << QStringList{"3|Q|*a||"};
        QTest::newRow("NUL, which no question file holds")
            << QString("Q") + QChar(0) + "{=a" + QChar(0) + "b ~c}" << QStringList{"1|Q|*ab,c||"};
        QTest::newRow("a typed answer with NUL")
            << QString("[plain]Q{=a") + QChar(0) + "b}" << QStringList{"3|Q|*ab||"};
        QTest::newRow("a typed answer whose NUL hid a blank")
            << QString("Q{~") + QChar(0) + "\v<p}" << QStringList{"3|Q|*<p||"};
        QTest::newRow("an ideographic space at the ends of a text")
            << u8("[html]<p>\u3000Q\u3000</p>{=a ~b ####<p>c\u3000</p>}")
            << QStringList{u8("1|\u3000Q\u3000|*a,b||c\u3000")};
        QTest::newRow("answers that begin as weights do")
            << "Q{~ %50%a =b}\n\nR{= %100%c}" << QStringList{"1|Q|%50%a,*b||", "3|R|*%100%c||"};
        QTest::newRow("a multiple choice without wrong answers")
            << "Q{~%50%a ~%50%b}" << QStringList{"2|Q|*a,*b||"};
    }
    void giftReadsBackAsItWasRead() {
        QFETCH(QString, gift);
        QFETCH(QStringList, read);
        const ImportedQuestions first = Gift::read(gift);
        QCOMPARE(describeAll(first), read);
        QStringList out;
        for (const QuestionTable::Question& q : first.questions)
            out << records({q.fields});
        QCOMPARE(describeAll(Gift::read(QString::fromUtf8(Gift::write(out)))), read);
    }

    // The files as a learning platform reads them, byte for byte.
    void moodleXmlAsWritten() {
        const QString xml = QString::fromUtf8(MoodleXml::write(records(everyKind())));
        const QString expected = u8(R"(<?xml version="1.0" encoding="UTF-8"?>
<quiz>
    <question type="multichoice">
        <name>
            <text>次のうち正しいものは？ ~=#{}:\ &lt;b&gt;&amp;amp;</text>
        </name>
        <questiontext format="html">
            <text><![CDATA[次のうち<b><u>正しい</u></b><i>ものは？ ~=#{}:\ &lt;b&gt;&amp;amp;&nbsp;</i>]]></text>
        </questiontext>
        <generalfeedback format="html">
            <text><![CDATA[<p>解説</p><p>二段落目</p><p><br></p><p>四段落目 ~=#{}:\ &lt;b&gt;&amp;amp;&nbsp;</p>]]></text>
        </generalfeedback>
        <defaultgrade>1</defaultgrade>
        <penalty>0.3333333</penalty>
        <hidden>0</hidden>
        <single>true</single>
        <shuffleanswers>true</shuffleanswers>
        <answernumbering>123</answernumbering>
        <answer fraction="0" format="html">
            <text><![CDATA[東京 ~ 大阪]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <answer fraction="100" format="html">
            <text><![CDATA[a = b {c}]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <answer fraction="0" format="html">
            <text><![CDATA[#1: \n]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <hint format="html">
            <text><![CDATA[ヒント：~=#{}:\ &lt;b&gt;&amp;amp;&nbsp;]]></text>
        </hint>
    </question>
    <question type="multichoice">
        <name>
            <text>素数を選べ  (2つ以上)</text>
        </name>
        <questiontext format="html">
            <text><![CDATA[素数を選べ &nbsp;(2つ以上)&#9;&nbsp;]]></text>
        </questiontext>
        <generalfeedback format="html">
            <text><![CDATA[<b>1 は素数ではない</b>]]></text>
        </generalfeedback>
        <defaultgrade>1</defaultgrade>
        <penalty>0.3333333</penalty>
        <hidden>0</hidden>
        <single>false</single>
        <shuffleanswers>true</shuffleanswers>
        <answernumbering>123</answernumbering>
        <answer fraction="33.33333" format="html">
            <text><![CDATA[2]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <answer fraction="-50" format="html">
            <text><![CDATA[4]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <answer fraction="33.33333" format="html">
            <text><![CDATA[3]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <answer fraction="-50" format="html">
            <text><![CDATA[9]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <answer fraction="33.33333" format="html">
            <text><![CDATA[5]]></text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
    </question>
    <question type="shortanswer">
        <name>
            <text>「&lt;b&gt;」を</text>
        </name>
        <questiontext format="html">
            <text><![CDATA[<i>「&lt;b&gt;」を<br>入力しなさい</i>]]></text>
        </questiontext>
        <generalfeedback format="html">
            <text/>
        </generalfeedback>
        <defaultgrade>1</defaultgrade>
        <penalty>0.3333333</penalty>
        <hidden>0</hidden>
        <usecase>1</usecase>
        <answer fraction="100" format="moodle_auto_format">
            <text>&lt;b&gt; ~=#{}:\ 答え</text>
            <feedback format="html">
                <text/>
            </feedback>
        </answer>
        <hint format="html">
            <text><![CDATA[括弧]]></text>
        </hint>
    </question>
</quiz>
)");
        QCOMPARE(xml, expected);
    }

    void giftAsWritten() {
        const QString gift = QString::fromUtf8(Gift::write(records(everyKind())));
        const QString expected =
            u8("//ヒント：ヒント：\\~\\=\\#\\{\\}\\:\\\\ &lt;b&gt;&amp;amp;&nbsp;\r\n"
               "::次のうち正しいものは？ \\~\\=\\#\\{\\}\\:\\\\ <b>&amp;::[html]"
               "次のうち<b><u>正しい</u></b><i>ものは？ \\~\\=\\#\\{\\}\\:\\\\ "
               "&lt;b&gt;&amp;amp;&nbsp;</i>{\r\n"
               "\t~東京 \\~ 大阪\r\n"
               "\t=a \\= b \\{c\\}\r\n"
               "\t~\\#1\\: \\\\n\r\n"
               "\t####<p>解説</p><p>二段落目</p><p><br></p><p>四段落目 "
               "\\~\\=\\#\\{\\}\\:\\\\ &lt;b&gt;&amp;amp;&nbsp;</p>\r\n"
               "}\r\n\r\n"
               "::素数を選べ  (2つ以上)::[html]素数を選べ "
               "&nbsp;(2つ以上)&\\#9;&nbsp;{\r\n"
               "\t~%33.33333%2\r\n"
               "\t~%-50%4\r\n"
               "\t~%33.33333%3\r\n"
               "\t~%-50%9\r\n"
               "\t~%33.33333%5\r\n"
               "\t####<b>1 は素数ではない</b>\r\n"
               "}\r\n\r\n"
               "//ヒント：括弧\r\n"
               "::「<b>」を::[html]<i>「&lt;b&gt;」を<br>入力しなさい</i>{\r\n"
               "\t=<b> \\~\\=\\#\\{\\}\\:\\\\ 答え\r\n"
               "}\r\n\r\n");
        QCOMPARE(gift, expected);
    }

    void readsFilesAsThoseProgramsMakeThem_data() {
        QTest::addColumn<QuestionImport::Format>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("swap");
        QTest::addColumn<QStringList>("read");
        QTest::addColumn<QStringList>("history");
        const QString none = styled(Rtf::writePlain({}));
        const auto nothingLearned = [](int questions) { return QStringList(questions, "-"); };
        QTest::newRow("Moodle XML")
            << QuestionImport::Format::MoodleXml << moodleExport() << false
            << QStringList{u8("1|日本の*首都*は？ |大阪,*東京|東の/京/|東京です。¶1868年から。"),
                           u8("2|Which are↵prime?|*2,4,*3|%1|").arg(none),
                           u8("3|Spell <dog> in Japanese|*犬|%1|").arg(none),
                           u8("1|地球は丸い|*正しい,誤り|%1|").arg(none),
                           u8("-記述問題×1"),
                           u8("-組み合わせ問題×2"),
                           u8("-ﾄﾞﾗｯｸﾞ&ﾄﾞﾛｯﾌﾟの問題×1"),
                           u8("-正解の選択肢がない問題×1")}
            << nothingLearned(4);
        QTest::newRow("GIFT")
            << QuestionImport::Format::Gift << giftFile() << false
            << QStringList{
                   u8("1|日本の首都は？|*東京,大阪,京都|%1|東京は1868年から首都です。").arg(none),
                   u8("1|Grant is ＿＿＿ in Grant's tomb.|buried,*entombed,living|%1|%1").arg(none),
                   u8("2|What two people are entombed in Grant's tomb?|No one,*Grant,"
                      "*Grant's wife,Grant's father|*2*つ選びます|%1")
                       .arg(none),
                   u8("3|Who's buried in <Grant's> tomb?|*Grant|%1|%1").arg(none),
                   u8("1|1 \\+ 1 = 2 {true}: 太陽は/東/から昇る|*正しい,誤り|%1|そうです")
                       .arg(none),
                   u8("3|A line↵break and a backslash \\ here|*x=y:z\\|%1|%1").arg(none),
                   u8("-数値の問題×1"),
                   u8("-組み合わせ問題×1"),
                   u8("-記述問題×1")}
            << nothingLearned(6);
        QTest::newRow("KVTML with grades")
            << QuestionImport::Format::Kvtml << kvtml(false) << false
            << QStringList{u8("3|dog|*犬|%1|%1").arg(none),
                           u8("3|cat & kitten|*猫 & 子猫|%1|%1").arg(none),
                           u8("-訳語が2つないもの×1"), u8("-答えが2行以上のもの×1")}
            << QStringList{"3/2", "3/2"};
        QTest::newRow("KVTML with pregrades and intervals, sides swapped")
            << QuestionImport::Format::Kvtml << kvtml(true) << true
            << QStringList{u8("3|犬|*dog|%1|%1").arg(none),
                           u8("3|猫 & 子猫|*cat & kitten|%1|%1").arg(none),
                           u8("3|一¶二|*lines|%1|%1").arg(none), u8("-訳語が2つないもの×1")}
            << QStringList{"7/5", "7/5", "-"};
        using AnkiPackageMaker::Version;
        for (const auto& [name, version] :
             {std::pair{"collection.anki2", Version::Anki2},
              std::pair{"collection.anki21", Version::Anki21},
              std::pair{"collection.anki21b with meta", Version::Anki21b}}) {
            for (const bool swap : {false, true})
                QTest::addRow("Anki %s%s", name, swap ? ", sides swapped" : "")
                    << QuestionImport::Format::Anki << AnkiPackageMaker::package(everyNote(version))
                    << swap << everyNoteRead(swap)
                    << (swap ? QStringList{"1/1 1600000200:2", "2/1 1600000000:1 1600000100:3"}
                             : QStringList{"2/1 1600000000:1 1600000100:3",
                                           "2/1 1600000000:1 1600000100:3"});
        }
        // The answer log holds the years 1 to 9999: a review in its last
        // second comes along, one at the first moment of the year 10000 or
        // before 1970 does not.
        Anki farReviews = everyNote(Version::Anki21);
        farReviews.reviews.append({(AnswerLogTimeEnd - 1) * 1000, 1010, 3, 1});
        farReviews.reviews.append({AnswerLogTimeEnd * 1000, 1010, 3, 1});
        farReviews.reviews.append({-1000, 1010, 3, 1});
        QTest::newRow("Anki reviews at the ends of the log's years")
            << QuestionImport::Format::Anki << AnkiPackageMaker::package(farReviews) << false
            << everyNoteRead(false)
            << QStringList{"3/2 1600000000:1 1600000100:3 253402300799:3",
                           "2/1 1600000000:1 1600000100:3"};
    }
    void readsFilesAsThoseProgramsMakeThem() {
        QFETCH(QuestionImport::Format, format);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, swap);
        QFETCH(QStringList, read);
        QFETCH(QStringList, history);
        QCOMPARE(QuestionImport::detect(bytes), format);
        const ImportedQuestions got = QuestionImport::read(format, bytes, swap);
        QVERIFY2(got.ok, qPrintable(got.refusal));
        QCOMPARE(describeAll(got), read);
        QCOMPARE(describeHistory(got), history);
    }

    void damagedFilesAreRefused_data() {
        QTest::addColumn<QuestionImport::Format>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");
        using AnkiPackageMaker::Version;
        const QByteArray whole = AnkiPackageMaker::package(everyNote(Version::Anki21));
        QTest::newRow("a ZIP file cut short")
            << QuestionImport::Format::Anki << whole.left(whole.size() - 30)
            << u8("ZIPﾌｧｲﾙとして読めません。途中で切れているか、壊れています");
        const QByteArray database = AnkiPackageMaker::database(everyNote(Version::Anki21b));
        // A frame whose blocks say what no compressor writes.
        const QByteArray garbled = zstd(database).left(6) + QByteArray(300, '\xFF');
        const QByteArray meta("\x08\x03", 2);
        QTest::newRow("zstd that does not decompress")
            << QuestionImport::Format::Anki
            << AnkiPackageMaker::zip({{"meta", meta}, {"collection.anki21b", garbled}})
            << u8("collection.anki21bを展開できません(");
        QTest::newRow("zstd cut short")
            << QuestionImport::Format::Anki
            << AnkiPackageMaker::zip(
                   {{"meta", meta}, {"collection.anki21b", zstd(database).left(100)}})
            << u8("collection.anki21bを展開できません(");
        Anki withoutNotes = everyNote(Version::Anki21);
        withoutNotes.withNotesTable = false;
        QTest::newRow("SQLite without notes")
            << QuestionImport::Format::Anki << AnkiPackageMaker::package(withoutNotes)
            << u8("ｺﾚｸｼｮﾝにﾉｰﾄの表(notes)がありません。");
        Anki oddLog = everyNote(Version::Anki2);
        oddLog.reviewLogWithoutEase = true;
        QTest::newRow("a review log of another shape")
            << QuestionImport::Format::Anki << AnkiPackageMaker::package(oddLog)
            << u8("ｺﾚｸｼｮﾝの復習の記録(revlog)を読めません(no such column");
        QTest::newRow("no SQLite at all")
            << QuestionImport::Format::Anki
            << AnkiPackageMaker::zip({{"collection.anki2", "not a database"}})
            << u8("ｺﾚｸｼｮﾝがSQLiteのﾃﾞｰﾀﾍﾞｰｽではありません。");
        QTest::newRow("a SQLite database cut short")
            << QuestionImport::Format::Anki
            << AnkiPackageMaker::zip({{"collection.anki21", database.left(4096 + 100)}})
            << u8("ｺﾚｸｼｮﾝのﾃﾞｰﾀﾍﾞｰｽを読めません(");
        QTest::newRow("a SQLite header alone")
            << QuestionImport::Format::Anki
            << AnkiPackageMaker::zip({{"collection.anki21", QByteArray("SQLite format 3\0\x10", 17)}})
            << u8("ｺﾚｸｼｮﾝのﾃﾞｰﾀﾍﾞｰｽを読めません(");
        QTest::newRow("a ZIP without a collection")
            << QuestionImport::Format::Anki << AnkiPackageMaker::zip({{"media", "{}"}})
            << u8("Ankiのﾊﾟｯｹｰｼﾞではありません(ｺﾚｸｼｮﾝがありません)。");
        QTest::newRow("a newer version")
            << QuestionImport::Format::Anki
            << AnkiPackageMaker::zip({{"meta", QByteArray("\x08\x04", 2)}})
            << u8("このAnkiのﾊﾟｯｹｰｼﾞの版(4)は読めません。");
        QTest::newRow("Moodle XML not well formed")
            << QuestionImport::Format::MoodleXml
            << QByteArray("<?xml version=\"1.0\"?>\n<quiz>\n<question type=\"multichoice\">\n"
                          "<name><text>a</name>\n</question></quiz>")
            << u8("XMLとして読めません(4行目：");
        QTest::newRow("Moodle XML cut short")
            << QuestionImport::Format::MoodleXml << moodleExport().left(2000)
            << u8("XMLとして読めません(");
        QTest::newRow("KVTML not well formed")
            << QuestionImport::Format::Kvtml << kvtml(false).replace("</entry>", "</entri>")
            << u8("XMLとして読めません(");
        QTest::newRow("KVTML 1")
            << QuestionImport::Format::Kvtml << QByteArray("<kvtml><e><o>a</o><t>b</t></e></kvtml>")
            << u8("KVTMLの版「」は読めません。KVTML 2のﾌｧｲﾙを指定して下さい。");
        QTest::newRow("GIFT with a brace never closed")
            << QuestionImport::Format::Gift << QByteArray("::a::b{=c}\n\n// x\nd{=e\n~f\n")
            << u8("4行目から始まる問題の「{」が閉じられていません。");
    }
    void damagedFilesAreRefused() {
        QFETCH(QuestionImport::Format, format);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        QCOMPARE(QuestionImport::detect(bytes), format);
        const ImportedQuestions read = QuestionImport::read(format, bytes, false);
        QVERIFY(!read.ok);
        QVERIFY2(read.refusal.startsWith(refusal), qPrintable(read.refusal));
        QVERIFY(read.questions.isEmpty());
    }

    // Told apart by content, not by name.
    void formatsAreToldByTheirContent_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QuestionImport::Format>("format");
        QTest::newRow("a table") << QByteArray("q,a\r\n1+1,2\r\n") << QuestionImport::Format::Table;
        QTest::newRow("a table with braces")
            << QByteArray("q,a\r\nf{x},{y}\r\n") << QuestionImport::Format::Table;
        QTest::newRow("a table with a header")
            << u8("問題,正解\r\nA,{=B}\r\n").toUtf8() << QuestionImport::Format::Table;
        QTest::newRow("GIFT without a title")
            << QByteArray("// c\r\nWhat?{=yes ~no}\r\n") << QuestionImport::Format::Gift;
        QTest::newRow("GIFT in Shift-JIS")
            << QByteArray("::t::\x82\xa0{T}") << QuestionImport::Format::Gift;
        QTest::newRow("GIFT in UTF-16") << QByteArray("\xFF\xFE:\0:\0t\0:\0:\0q\0{\0T\0}\0", 20)
                                        << QuestionImport::Format::Gift;
        QTest::newRow("Moodle XML with a BOM")
            << QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- x -->\n<quiz/>")
            << QuestionImport::Format::MoodleXml;
        QTest::newRow("KVTML") << QByteArray("<?xml version=\"1.0\"?><kvtml version=\"2.0\"/>")
                               << QuestionImport::Format::Kvtml;
        QTest::newRow("other XML")
            << QByteArray("<?xml version=\"1.0\"?><html/>") << QuestionImport::Format::Table;
        QTest::newRow("an empty ZIP")
            << QByteArray("PK\x05\x06", 4) << QuestionImport::Format::Anki;
    }
    void formatsAreToldByTheirContent() {
        QFETCH(QByteArray, bytes);
        QFETCH(QuestionImport::Format, format);
        QCOMPARE(QuestionImport::detect(bytes), format);
    }

    void protobufVarints_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("field");
        QTest::addColumn<qint64>("value"); // -1: none
        QTest::newRow("version 3") << QByteArray("\x08\x03", 2) << 1 << qint64(3);
        QTest::newRow("after other fields")
            << QByteArray("\x12\x02xy\x1d\x01\x02\x03\x04\x11\x01\x02\x03\x04\x05\x06\x07\x08"
                          "\x08\x96\x01",
                          22)
            << 1 << qint64(150);
        QTest::newRow("another field") << QByteArray("\x10\x03", 2) << 1 << qint64(-1);
        QTest::newRow("cut short") << QByteArray("\x08\x96", 2) << 1 << qint64(-1);
        QTest::newRow("a length past the end")
            << QByteArray("\x12\x7f\x08\x01", 4) << 1 << qint64(-1);
        QTest::newRow("empty") << QByteArray() << 1 << qint64(-1);
    }
    void protobufVarints() {
        QFETCH(QByteArray, message);
        QFETCH(int, field);
        QFETCH(qint64, value);
        const std::optional<quint64> got = AnkiPackage::protobufVarint(message, field);
        QCOMPARE(got ? qint64(*got) : qint64(-1), value);
    }
};

QTEST_MAIN(TestFormats)
#include "tst_formats.moc"
