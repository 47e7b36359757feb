#include "formats/HtmlText.h"

#include "platform/rtf/CharStyle.h"
#include "platform/rtf/RtfReader.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace HtmlText {
namespace {

bool isHtmlSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isNameChar(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

QChar entityNamed(QStringView name) {
    static const struct {
        const char16_t* name;
        char16_t code;
    } entities[] = {
        {u"amp", u'&'},     {u"lt", u'<'},       {u"gt", u'>'},       {u"quot", u'"'},
        {u"apos", u'\''},   {u"nbsp", u' '},     {u"copy", 0x00A9},   {u"reg", 0x00AE},
        {u"times", 0x00D7}, {u"divide", 0x00F7}, {u"middot", 0x00B7}, {u"deg", 0x00B0},
        {u"yen", 0x00A5},   {u"euro", 0x20AC},   {u"hellip", 0x2026}, {u"mdash", 0x2014},
        {u"ndash", 0x2013}, {u"lsquo", 0x2018},  {u"rsquo", 0x2019},  {u"ldquo", 0x201C},
        {u"rdquo", 0x201D}, {u"laquo", 0x00AB},  {u"raquo", 0x00BB},  {u"bull", 0x2022},
        {u"trade", 0x2122}, {u"larr", 0x2190},   {u"rarr", 0x2192},   {u"uarr", 0x2191},
        {u"darr", 0x2193},  {u"plusmn", 0x00B1}, {u"sect", 0x00A7},   {u"para", 0x00B6},
    };
    for (const auto& entity : entities)
        if (name == QStringView(entity.name))
            return QChar(entity.code);
    return {};
}

// Elements whose content is never shown.
bool hidesContent(QStringView name) {
    return name == u"script" || name == u"style" || name == u"head" || name == u"title";
}

// Elements that stand on lines of their own.
bool isBlock(QStringView name) {
    static const char16_t* const blocks[] = {
        u"p",  u"div", u"li", u"ul", u"ol", u"h1",  u"h2",         u"h3", u"h4",    u"h5",
        u"h6", u"tr",  u"dt", u"dd", u"dl", u"pre", u"blockquote", u"hr", u"table", u"section"};
    return std::any_of(std::begin(blocks), std::end(blocks),
                       [name](const char16_t* block) { return name == QStringView(block); });
}

struct Styles {
    int bold = 0;
    int italic = 0;
    int underline = 0;
};

// What an element switches on: by its name, or for a span by its style.
Styles stylesOf(QStringView name, QStringView attributes) {
    Styles s;
    if (name == u"b" || name == u"strong")
        s.bold = 1;
    else if (name == u"i" || name == u"em")
        s.italic = 1;
    else if (name == u"u" || name == u"ins")
        s.underline = 1;
    else if (name == u"span") {
        QString style = attributes.toString().toLower();
        style.remove(u' ');
        if (style.contains(u"font-weight:bold") || style.contains(u"font-weight:700") ||
            style.contains(u"font-weight:800") || style.contains(u"font-weight:900"))
            s.bold = 1;
        if (style.contains(u"font-style:italic"))
            s.italic = 1;
        if (style.contains(u"text-decoration:underline") ||
            style.contains(u"text-decoration-line:underline"))
            s.underline = 1;
    }
    return s;
}

class Reader {
  public:
    QVector<Rtf::Run> runs;

    void read(QStringView html) {
        const qsizetype n = html.size();
        for (qsizetype i = 0; i < n;) {
            const QChar c = html.at(i);
            if (c == u'<') {
                i = tag(html, i);
            } else if (c == u'&') {
                i = entity(html, i);
            } else if (isHtmlSpace(c)) {
                if (!atLineStart && !spacePending) {
                    spacePending = true;
                    spaceStyles = styles;
                }
                ++i;
            } else {
                put(c);
                ++i;
            }
        }
        trimEnd();
    }

  private:
    struct Open {
        QString name;
        Styles styles;
    };
    QVector<Open> open;
    Styles styles;
    bool atLineStart = true;
    bool spacePending = false;
    Styles spaceStyles;
    bool lastWasOpen = false; // the last thing read opened a block

    void append(QChar c) { append(c, styles); }

    void append(QChar c, const Styles& in) {
        const bool bold = in.bold > 0, italic = in.italic > 0, underline = in.underline > 0;
        if (runs.isEmpty() || runs.last().bold != bold || runs.last().italic != italic ||
            runs.last().underline != underline)
            runs.append({{}, bold, italic, underline});
        runs.last().text += c;
    }

    void put(QChar c) {
        // A question file holds neither NUL nor the marks its rich text
        // uses for structure.
        if (c.isNull() || c == QChar(0xFDD0) || c == QChar(0xFDD1))
            return;
        // A reference to a line or paragraph end breaks the text there, as
        // the rich text would.
        if (c == u'\n' || c == u'\r' || c == QChar(0x2029) || c == QChar(0x2028)) {
            lineBreak(c == QChar(0x2028) ? c : QChar(u'\n'));
            lastWasOpen = false;
            return;
        }
        // A collapsed blank keeps the style it was read in.
        if (spacePending && !atLineStart)
            append(u' ', spaceStyles);
        spacePending = false;
        append(c);
        atLineStart = false;
        lastWasOpen = false;
    }

    void lineBreak(QChar mark) {
        spacePending = false;
        append(mark);
        atLineStart = true;
    }

    QChar last() const { return runs.isEmpty() ? QChar() : runs.last().text.back(); }

    // A line break that ends a paragraph shows nothing: a browser ends the
    // line there in any case.
    void endParagraph() {
        spacePending = false;
        if (last() == QChar(0x2028)) {
            runs.last().text.back() = u'\n';
            atLineStart = true;
        } else if (!atLineStart) {
            lineBreak(u'\n');
        }
    }

    void blockOpens() {
        endParagraph();
        lastWasOpen = true;
    }

    // An empty block is an empty line.
    void blockCloses() {
        if (lastWasOpen)
            lineBreak(u'\n');
        else
            endParagraph();
        lastWasOpen = false;
    }

    // The text ends as a paragraph does, without empty lines after it.
    void trimEnd() {
        if (last() == QChar(0x2028))
            runs.last().text.chop(1);
        while (!runs.isEmpty()) {
            QString& text = runs.last().text;
            while (!text.isEmpty() && text.back() == u'\n')
                text.chop(1);
            if (!text.isEmpty())
                break;
            runs.removeLast();
        }
    }

    qsizetype entity(QStringView html, qsizetype at) {
        const qsizetype end = html.indexOf(u';', at + 1);
        if (end < 0 || end - at > 12) {
            put(u'&');
            return at + 1;
        }
        const QStringView name = html.sliced(at + 1, end - at - 1);
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X')
                                  ? name.sliced(2).toUInt(&ok, 16)
                                  : name.sliced(1).toUInt(&ok, 10);
            if (!ok) {
                put(u'&');
                return at + 1;
            }
            const char32_t shown =
                code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)
                    ? char32_t(0xFFFD)
                    : char32_t(code);
            for (QChar unit : QString::fromUcs4(&shown, 1))
                put(unit);
            return end + 1;
        }
        const QChar named = entityNamed(name);
        if (named.isNull()) {
            put(u'&');
            return at + 1;
        }
        put(named);
        return end + 1;
    }

    // Reads the tag, comment or declaration at `at`; returns where reading
    // goes on.
    qsizetype tag(QStringView html, qsizetype at) {
        const qsizetype n = html.size();
        if (html.sliced(at).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", at + 4);
            return end < 0 ? n : end + 3;
        }
        if (at + 1 < n && (html.at(at + 1) == u'!' || html.at(at + 1) == u'?')) {
            const qsizetype end = html.indexOf(u'>', at);
            return end < 0 ? n : end + 1;
        }
        qsizetype i = at + 1;
        const bool closing = i < n && html.at(i) == u'/';
        if (closing)
            ++i;
        const qsizetype nameStart = i;
        while (i < n && isNameChar(html.at(i)))
            ++i;
        // "a < b" and "x<3" are text.
        if (i == nameStart || !(html.at(nameStart).isLetter())) {
            put(u'<');
            return at + 1;
        }
        const QString name = html.sliced(nameStart, i - nameStart).toString().toLower();
        // The attributes reach to the '>' outside quotes.
        const qsizetype attributesStart = i;
        QChar quote;
        while (i < n && (!quote.isNull() || html.at(i) != u'>')) {
            const QChar c = html.at(i);
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            }
            ++i;
        }
        const QStringView attributes = html.sliced(attributesStart, i - attributesStart);
        const qsizetype after = i < n ? i + 1 : n;
        if (!closing && hidesContent(name)) {
            const QString end = QLatin1String("</") + name;
            qsizetype close = after;
            while ((close = html.indexOf(end, close, Qt::CaseInsensitive)) >= 0) {
                const qsizetype next = close + end.size();
                if (next >= n || !isNameChar(html.at(next)))
                    break;
                close = next;
            }
            if (close < 0)
                return n;
            const qsizetype closeEnd = html.indexOf(u'>', close);
            return closeEnd < 0 ? n : closeEnd + 1;
        }
        if (name == u"br") {
            lineBreak(QChar(0x2028));
            lastWasOpen = false;
            return after;
        }
        if (isBlock(name)) {
            if (closing)
                blockCloses();
            else if (name == u"hr")
                blockCloses();
            else
                blockOpens();
            return after;
        }
        const bool selfClosing = attributes.endsWith(u'/');
        if (closing)
            close(name);
        else if (!selfClosing)
            openElement(name, attributes);
        return after;
    }

    void openElement(const QString& name, QStringView attributes) {
        const Styles s = stylesOf(name, attributes);
        if (name != u"span" && s.bold + s.italic + s.underline == 0)
            return;
        // Deep nesting costs nothing more than its own tags.
        open.append({name, s});
        styles.bold += s.bold;
        styles.italic += s.italic;
        styles.underline += s.underline;
    }

    void close(const QString& name) {
        const auto it = std::find_if(open.rbegin(), open.rend(),
                                     [&name](const Open& o) { return o.name == name; });
        if (it == open.rend())
            return;
        const qsizetype keep = open.rend() - it - 1;
        for (qsizetype k = open.size() - 1; k >= keep; --k) {
            styles.bold -= open.at(k).styles.bold;
            styles.italic -= open.at(k).styles.italic;
            styles.underline -= open.at(k).styles.underline;
        }
        open.resize(keep);
    }
};

// The characters from `from` to `to` of a paragraph's text as HTML text.
// A blank is judged by its neighbours in the whole paragraph.
void appendEscaped(QString& out, QStringView text, qsizetype from, qsizetype to) {
    const auto breaksAt = [&text](qsizetype i) {
        return i < 0 || i >= text.size() || text.at(i) == QChar(0x2028);
    };
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = text.at(i);
        if (c == u'&')
            out += QLatin1String("&amp;");
        else if (c == u'<')
            out += QLatin1String("&lt;");
        else if (c == u'>')
            out += QLatin1String("&gt;");
        else if (c == QChar(0x2028))
            out += QLatin1String("<br>");
        else if (c == u' ' && (breaksAt(i - 1) || breaksAt(i + 1) || text.at(i - 1) == u' '))
            out += QLatin1String("&nbsp;"); // a browser would collapse it
        else if (c.unicode() < 0x20)
            out += QStringLiteral("&#%1;").arg(c.unicode()); // a tab or a control character
        else
            out += c;
    }
}

// One paragraph's runs as HTML; an empty one is an empty line.
QString paragraphHtml(const QVector<Rtf::Run>& runs) {
    QString text;
    for (const Rtf::Run& run : runs)
        text += run.text;
    if (text.isEmpty())
        return QStringLiteral("<br>");
    QString out;
    qsizetype at = 0;
    for (const Rtf::Run& run : runs) {
        if (run.bold)
            out += QLatin1String("<b>");
        if (run.italic)
            out += QLatin1String("<i>");
        if (run.underline)
            out += QLatin1String("<u>");
        appendEscaped(out, text, at, at + run.text.size());
        at += run.text.size();
        // A break at the end of a paragraph shows only when another follows.
        if (at == text.size() && text.endsWith(QChar(0x2028)))
            out += QLatin1String("<br>");
        if (run.underline)
            out += QLatin1String("</u>");
        if (run.italic)
            out += QLatin1String("</i>");
        if (run.bold)
            out += QLatin1String("</b>");
    }
    return out;
}

QString paragraphsHtml(const QVector<QVector<Rtf::Run>>& paragraphs) {
    if (paragraphs.size() == 1)
        return paragraphHtml(paragraphs.first());
    QString out;
    for (const QVector<Rtf::Run>& paragraph : paragraphs)
        out += QLatin1String("<p>") + paragraphHtml(paragraph) + QLatin1String("</p>");
    return out;
}

} // namespace

QVector<Rtf::Run> read(QStringView html) {
    Reader reader;
    reader.read(html);
    return reader.runs;
}

QString toRtf(QStringView html) {
    return Rtf::writeRuns(read(html));
}

QString toPlain(QStringView html) {
    QString text;
    for (const Rtf::Run& run : read(html))
        text += run.text;
    text.replace(QChar(0x2028), u'\n');
    return text;
}

QString fromRtf(const QString& rtf) {
    QTextDocument document;
    Rtf::read(rtf, &document);
    const QFont font = document.defaultFont();
    QVector<QVector<Rtf::Run>> paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QVector<Rtf::Run> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const Rtf::CharStyle style = Rtf::CharStyle::fromFormat(fragment.charFormat(), font);
            runs.append({fragment.text(), style.bold, style.italic, style.underline});
        }
        paragraphs.append(runs);
    }
    // The final paragraph mark ends the document and holds no paragraph.
    while (paragraphs.size() > 1 && paragraphs.last().isEmpty())
        paragraphs.removeLast();
    if (paragraphs.size() == 1 && paragraphs.first().isEmpty())
        return {};
    return paragraphsHtml(paragraphs);
}

} // namespace HtmlText
