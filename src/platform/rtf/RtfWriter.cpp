#include "platform/rtf/RtfWriter.h"

#include "platform/Codepage.h"
#include "platform/rtf/CharStyle.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace Rtf {
namespace {

// Font table entries say what kind of font a reader should fall back on.
// The Windows control describes its fixed-pitch Japanese fonts so; of any
// other font the writer does not know the kind.
const char* fontFamilyWords(const QString& name) {
    static const QStringList fixedPitch{QStringLiteral("ＭＳ ゴシック"),
                                        QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Gothic"),
                                        QStringLiteral("MS Mincho")};
    return fixedPitch.contains(name) ? "\\fmodern\\fprq1" : "\\fnil";
}

// Values numbered in the order they first occur, as the RTF tables list them.
template <typename T> class Numbering {
  public:
    int number(const T& value) {
        const auto it = numbers.constFind(value);
        if (it != numbers.constEnd())
            return *it;
        values.push_back(value);
        return numbers[value] = static_cast<int>(values.size()) - 1;
    }
    int operator[](const T& value) const { return numbers.value(value); }

    std::vector<T> values;

  private:
    QHash<T, int> numbers;
};

struct Item {
    int style = -1; // -1: a paragraph break
    QString text;
};

// What ends every document: the last paragraph and the group.
constexpr char ending[] = "\\par\r\n}\r\n";

class Writer {
  public:
    Writer() = default;
    // Goes on from `head`, which ends in a control word.
    explicit Writer(const QString& head) : out(head), afterWord(true) {}

    QString out;

    void word(const char* name) {
        out += QLatin1String(name);
        afterWord = true;
    }
    void word(const char* name, int value) {
        out += QLatin1String(name);
        out += QString::number(value);
        afterWord = true;
    }
    void raw(QLatin1String text) {
        out += text;
        afterWord = false;
    }
    void paragraph() {
        word("\\par");
        raw(QLatin1String("\r\n"));
    }

    // Text of the document, or of a font name (where ';' ends the name and
    // tabs and line breaks are no control words). Written straight into
    // room made for the longest form, "\\u-32768?" per unit.
    void text(QStringView text, bool fontName) {
        static const char hex[] = "0123456789abcdef";
        const std::vector<quint16>& codes = Codepage::codes932();
        const qsizetype before = out.size();
        out.resize(before + 1 + 9 * text.size());
        char16_t* p = reinterpret_cast<char16_t*>(out.data()) + before;
        const auto put = [&p](const char* ascii) {
            while (*ascii)
                *p++ = char16_t(*ascii++);
        };
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (!fontName && u == '\t') {
                put("\\tab");
                afterWord = true;
                continue;
            }
            if (!fontName && u == QChar::LineSeparator) {
                put("\\line");
                afterWord = true;
                continue;
            }
            if (u == 0xFDD0 || u == 0xFDD1)
                continue; // frame marks are structure, not text
            if (afterWord)
                *p++ = u' ';
            afterWord = false;
            if (u == '\\' || u == '{' || u == '}') {
                *p++ = u'\\';
                *p++ = u;
            } else if (u >= 0x20 && u < 0x7F && !(fontName && u == ';')) {
                *p++ = u;
            } else if (const quint16 code = codes[u]; code != Codepage::noUnit) {
                const auto escape = [&](int byte) {
                    *p++ = u'\\';
                    *p++ = u'\'';
                    *p++ = char16_t(hex[byte >> 4]);
                    *p++ = char16_t(hex[byte & 0xF]);
                };
                if (code > 0xFF)
                    escape(code >> 8);
                escape(code & 0xFF);
            } else {
                char number[8];
                std::snprintf(number, sizeof number, "%d", int(static_cast<qint16>(u)));
                put("\\u");
                put(number);
                *p++ = u'?';
            }
        }
        out.resize(p - reinterpret_cast<const char16_t*>(out.constData()));
    }

  private:
    // A control word followed by text needs a blank to end it.
    bool afterWord = false;
};

} // namespace

QString write(const QTextDocument* document) {
    return write(document, 0, document->characterCount() - 1);
}

QString write(const QTextCursor& selection) {
    return write(selection.document(), selection.selectionStart(), selection.selectionEnd());
}

namespace {
// The RTF of runs of text in numbered styles and paragraph breaks.
QString writeItems(std::vector<CharStyle> styles, const std::vector<Item>& items) {
    // Without text the document still says the style an empty box has.
    if (styles.empty())
        styles.push_back(defaultStyle());

    Numbering<QString> fonts;
    Numbering<QRgb> colors;
    for (const CharStyle& style : styles) {
        fonts.number(style.fontName);
        if (style.hasColor)
            colors.number(style.color);
    }

    Writer w;
    w.word("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl");
    for (std::size_t i = 0; i < fonts.values.size(); ++i) {
        w.word("{\\f", static_cast<int>(i));
        w.word(fontFamilyWords(fonts.values[i]));
        w.word("\\fcharset128");
        w.text(fonts.values[i], true);
        w.raw(QLatin1String(";}"));
    }
    w.raw(QLatin1String("}\r\n"));
    if (!colors.values.empty()) {
        w.raw(QLatin1String("{\\colortbl ;"));
        for (QRgb color : colors.values) {
            w.word("\\red", qRed(color));
            w.word("\\green", qGreen(color));
            w.word("\\blue", qBlue(color));
            w.raw(QLatin1String(";"));
        }
        w.raw(QLatin1String("}\r\n"));
    }
    w.word("\\viewkind4\\uc1\\pard\\lang1041");

    // Switches are written where the style changes; the first text sets the
    // font and size in any case.
    const CharStyle* current = nullptr;
    const auto switchTo = [&](const CharStyle& style) {
        if (!current || current->fontName != style.fontName)
            w.word("\\f", fonts[style.fontName]);
        if (!current || current->halfPoints != style.halfPoints)
            w.word("\\fs", style.halfPoints);
        const bool hadColor = current && current->hasColor;
        if (style.hasColor != hadColor || (hadColor && current->color != style.color))
            w.word("\\cf", style.hasColor ? colors[style.color] + 1 : 0);
        const auto toggle = [&](bool was, bool is, const char* on, const char* off) {
            if (was != is)
                w.word(is ? on : off);
        };
        toggle(current && current->bold, style.bold, "\\b", "\\b0");
        toggle(current && current->italic, style.italic, "\\i", "\\i0");
        toggle(current && current->underline, style.underline, "\\ul", "\\ulnone");
        toggle(current && current->strike, style.strike, "\\strike", "\\strike0");
        current = &style;
    };
    const auto firstText =
        std::find_if(items.begin(), items.end(), [](const Item& item) { return item.style >= 0; });
    switchTo(styles[firstText == items.end() ? 0 : firstText->style]);
    for (const Item& item : items) {
        if (item.style < 0) {
            w.paragraph();
            continue;
        }
        if (styles[item.style] != *current)
            switchTo(styles[item.style]);
        w.text(item.text, false);
    }
    w.raw(QLatin1String(ending));
    return w.out;
}
} // namespace

QString write(const QTextDocument* document, int from, int to) {
    const int last = std::max(document->characterCount() - 1, 0);
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);

    Numbering<CharStyle> styles;
    QHash<int, int> styleOfFormat;
    std::vector<Item> items;
    const QFont defaultFont = document->defaultFont();
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), from);
            const int end = std::min(fragment.position() + fragment.length(), to);
            if (start >= end)
                continue;
            // Fragments of one format share its number in the document.
            auto known = styleOfFormat.constFind(fragment.charFormatIndex());
            if (known == styleOfFormat.constEnd()) {
                known = styleOfFormat.insert(
                    fragment.charFormatIndex(),
                    styles.number(CharStyle::fromFormat(fragment.charFormat(), defaultFont)));
            }
            items.push_back(
                {*known, fragment.text().mid(start - fragment.position(), end - start)});
        }
        const int separator = block.position() + block.length() - 1;
        if (separator >= from && separator < to)
            items.push_back({});
    }
    return writeItems(styles.values, items);
}

QString writePlain(QStringView text) {
    // One style throughout: every plain text begins with the same header,
    // the empty text's up to its closing paragraph.
    static const QString head = [] {
        QString empty = writeItems({defaultStyle()}, {});
        empty.chop(int(std::char_traits<char>::length(ending)));
        return empty;
    }();
    Writer w(head);
    qsizetype from = 0;
    while (true) {
        const qsizetype lineEnd = text.indexOf(u'\n', from);
        w.text(text.mid(from, (lineEnd < 0 ? text.size() : lineEnd) - from), false);
        if (lineEnd < 0)
            break;
        w.paragraph();
        from = lineEnd + 1;
    }
    w.raw(QLatin1String(ending));
    return w.out;
}

QString writeRuns(const QVector<Run>& runs) {
    Numbering<CharStyle> styles;
    std::vector<Item> items;
    for (const Run& run : runs) {
        CharStyle style = defaultStyle();
        style.bold = run.bold;
        style.italic = run.italic;
        style.underline = run.underline;
        qsizetype from = 0;
        while (true) {
            const qsizetype lineEnd = run.text.indexOf(u'\n', from);
            const qsizetype end = lineEnd < 0 ? run.text.size() : lineEnd;
            // A style without text is never written.
            if (end > from)
                items.push_back({styles.number(style), run.text.mid(from, end - from)});
            if (lineEnd < 0)
                break;
            items.push_back({});
            from = lineEnd + 1;
        }
    }
    return writeItems(styles.values, items);
}

} // namespace Rtf
