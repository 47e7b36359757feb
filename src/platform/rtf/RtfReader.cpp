#include "platform/rtf/RtfReader.h"

#include "platform/Codepage.h"
#include "platform/rtf/CharStyle.h"

#include <QHash>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Rtf {
namespace {

// Deeper groups still count braces but share the state of the deepest saved
// one, so nesting costs no memory beyond this.
constexpr int maxSavedGroups = 256;
// Numbers saturate here; every parameter we use is far smaller.
constexpr qint64 numberLimit = 1'000'000'000;
// Files from Japanese systems that name no code page mean code page 932.
constexpr int fallbackCodePage = 932;

enum class Destination : quint8 { Text, FontTable, ColorTable };

// Character properties that word processors give for double-byte text
// alone (\dbch followed by \af, \afs, \ab, ...); those not given are the
// ordinary ones.
struct DoubleByteFormat {
    static constexpr int notGiven = -2; // -1 is the default font
    int font = notGiven;
    int halfPoints = 0;
    int color = -1;
    qint8 bold = -1;
    qint8 italic = -1;
    qint8 underline = -1;
    qint8 strike = -1;
};

struct State {
    Destination destination = Destination::Text;
    int font = -1; // -1: the default font (\deff)
    int halfPoints = 24;
    int color = 0;
    int unicodeSkip = 1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    // After \dbch the text is double-byte text and the associated properties
    // describe it; after \loch, \hich, \ltrch or \rtlch they describe other
    // kinds of text, whose ordinary properties this reader uses.
    bool doubleByte = false;
    DoubleByteFormat doubleByteFormat;
};

bool sameCharacterFormat(const State& a, const State& b) {
    return a.font == b.font && a.halfPoints == b.halfPoints && a.color == b.color &&
           a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.strike == b.strike;
}

struct Font {
    QString name;
    int codePage = 0; // 0: the document's code page
};

enum class Word {
    Unknown,
    // document
    AnsiCodePage,
    CharacterSet, // \pc, \pca, \mac
    DefaultFont,
    FontTable,
    ColorTable,
    SkippedDestination,
    // font and colour tables
    Charset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // character format
    Plain,
    Font,
    FontSize,
    Color,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    // associated character format
    DoubleByteText,
    OtherText,
    AssociatedFont,
    AssociatedFontSize,
    AssociatedColor,
    AssociatedBold,
    AssociatedItalic,
    AssociatedUnderline,
    AssociatedUnderlineNone,
    AssociatedStrike,
    // text
    Paragraph,
    Section,
    Line,
    Tab,
    Cell,
    Row,
    Unicode,
    UnicodeSkip,
    Binary,
    Symbol, // a word that stands for one character
};

struct WordInfo {
    Word word;
    char16_t value = 0; // the character of a symbol, the code page of a character set
};

// Control words are short: a hash of a few multiplications beats the
// library's general one.
struct WordHash {
    std::size_t operator()(std::string_view name) const {
        std::size_t h = 0xcbf29ce484222325u;
        for (const char c : name)
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
        return h;
    }
};

const WordInfo& lookUp(std::string_view name) {
    static const std::unordered_map<std::string_view, WordInfo, WordHash> words = {
        {"ansicpg", {Word::AnsiCodePage}},
        {"pc", {Word::CharacterSet, 437}},
        {"pca", {Word::CharacterSet, 850}},
        {"mac", {Word::CharacterSet, 10000}},
        {"deff", {Word::DefaultFont}},
        {"fonttbl", {Word::FontTable}},
        {"colortbl", {Word::ColorTable}},
        // Destinations whose text is not the document's.
        {"stylesheet", {Word::SkippedDestination}},
        {"info", {Word::SkippedDestination}},
        {"pict", {Word::SkippedDestination}},
        {"object", {Word::SkippedDestination}},
        {"header", {Word::SkippedDestination}},
        {"headerl", {Word::SkippedDestination}},
        {"headerr", {Word::SkippedDestination}},
        {"headerf", {Word::SkippedDestination}},
        {"footer", {Word::SkippedDestination}},
        {"footerl", {Word::SkippedDestination}},
        {"footerr", {Word::SkippedDestination}},
        {"footerf", {Word::SkippedDestination}},
        {"footnote", {Word::SkippedDestination}},
        {"annotation", {Word::SkippedDestination}},
        {"fldinst", {Word::SkippedDestination}},
        {"filetbl", {Word::SkippedDestination}},
        {"revtbl", {Word::SkippedDestination}},
        {"listtable", {Word::SkippedDestination}},
        {"listoverridetable", {Word::SkippedDestination}},
        {"pn", {Word::SkippedDestination}},
        {"pntxta", {Word::SkippedDestination}},
        {"pntxtb", {Word::SkippedDestination}},
        {"xe", {Word::SkippedDestination}},
        {"tc", {Word::SkippedDestination}},
        {"txe", {Word::SkippedDestination}},
        {"rxe", {Word::SkippedDestination}},
        {"nonshppict", {Word::SkippedDestination}},
        {"fcharset", {Word::Charset}},
        {"cpg", {Word::FontCodePage}},
        {"red", {Word::Red}},
        {"green", {Word::Green}},
        {"blue", {Word::Blue}},
        {"plain", {Word::Plain}},
        {"f", {Word::Font}},
        {"fs", {Word::FontSize}},
        {"cf", {Word::Color}},
        {"b", {Word::Bold}},
        {"i", {Word::Italic}},
        {"ul", {Word::Underline}},
        {"uld", {Word::Underline}},
        {"uldash", {Word::Underline}},
        {"uldashd", {Word::Underline}},
        {"uldashdd", {Word::Underline}},
        {"uldb", {Word::Underline}},
        {"ulhwave", {Word::Underline}},
        {"ulldash", {Word::Underline}},
        {"ulth", {Word::Underline}},
        {"ulthd", {Word::Underline}},
        {"ulthdash", {Word::Underline}},
        {"ulthdashd", {Word::Underline}},
        {"ulthdashdd", {Word::Underline}},
        {"ulthldash", {Word::Underline}},
        {"ululdbwave", {Word::Underline}},
        {"ulw", {Word::Underline}},
        {"ulwave", {Word::Underline}},
        {"ulnone", {Word::UnderlineNone}},
        {"strike", {Word::Strike}},
        {"striked", {Word::Strike}},
        {"dbch", {Word::DoubleByteText}},
        {"loch", {Word::OtherText}},
        {"hich", {Word::OtherText}},
        {"ltrch", {Word::OtherText}},
        {"rtlch", {Word::OtherText}},
        {"af", {Word::AssociatedFont}},
        {"afs", {Word::AssociatedFontSize}},
        {"acf", {Word::AssociatedColor}},
        {"ab", {Word::AssociatedBold}},
        {"ai", {Word::AssociatedItalic}},
        {"aul", {Word::AssociatedUnderline}},
        {"auld", {Word::AssociatedUnderline}},
        {"auldash", {Word::AssociatedUnderline}},
        {"auldashd", {Word::AssociatedUnderline}},
        {"auldashdd", {Word::AssociatedUnderline}},
        {"auldb", {Word::AssociatedUnderline}},
        {"aulhwave", {Word::AssociatedUnderline}},
        {"aulldash", {Word::AssociatedUnderline}},
        {"aulth", {Word::AssociatedUnderline}},
        {"aulthd", {Word::AssociatedUnderline}},
        {"aulthdash", {Word::AssociatedUnderline}},
        {"aulthdashd", {Word::AssociatedUnderline}},
        {"aulthdashdd", {Word::AssociatedUnderline}},
        {"aulthldash", {Word::AssociatedUnderline}},
        {"aululdbwave", {Word::AssociatedUnderline}},
        {"aulw", {Word::AssociatedUnderline}},
        {"aulwave", {Word::AssociatedUnderline}},
        {"aulnone", {Word::AssociatedUnderlineNone}},
        {"astrike", {Word::AssociatedStrike}},
        {"astriked", {Word::AssociatedStrike}},
        {"par", {Word::Paragraph}},
        {"sect", {Word::Section}},
        {"line", {Word::Line}},
        {"tab", {Word::Tab}},
        {"cell", {Word::Cell}},
        {"nestcell", {Word::Cell}},
        {"row", {Word::Row}},
        {"nestrow", {Word::Row}},
        {"u", {Word::Unicode}},
        {"uc", {Word::UnicodeSkip}},
        {"bin", {Word::Binary}},
        {"emdash", {Word::Symbol, u'\u2014'}},
        {"endash", {Word::Symbol, u'\u2013'}},
        {"lquote", {Word::Symbol, u'\u2018'}},
        {"rquote", {Word::Symbol, u'\u2019'}},
        {"ldblquote", {Word::Symbol, u'\u201C'}},
        {"rdblquote", {Word::Symbol, u'\u201D'}},
        {"bullet", {Word::Symbol, u'\u2022'}},
    };
    static const WordInfo unknown{Word::Unknown};
    const auto it = words.find(name);
    return it == words.end() ? unknown : it->second;
}

int codePageOfCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 0;
    }
}

bool isLeadByte(int codePage, uchar byte) {
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

// \fs and \afs: half-points, the default without a number; sizes of zero
// and less are ignored.
int fontSize(bool hasParameter, int parameter, int current) {
    if (!hasParameter)
        return 24;
    return parameter > 0 ? std::min(parameter, maxHalfPoints) : current;
}

bool isAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

bool isLatinLetterOrDigit(QChar c) {
    const char16_t u = c.unicode();
    return isAsciiLetter(c) || isDigit(c) || (u >= 0xC0 && u <= 0x24F && u != 0xD7 && u != 0xF7);
}

// Blanks, signs and punctuation that Latin and Japanese text share.
bool isNeutral(QChar c) {
    const char16_t u = c.unicode();
    return u < 0xC0 || (u >= 0x2000 && u <= 0x206F);
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Collects the plain text as the box would show it.
class PlainTextSink {
  public:
    static constexpr bool wantsStyles = false;

    void text(QStringView text) {
        const QChar* chunk = text.begin();
        for (const QChar* p = text.begin(); p != text.end(); ++p) {
            if (*p != QChar::LineSeparator && *p != QChar::Nbsp)
                continue;
            out.append(chunk, p - chunk);
            out += *p == QChar::Nbsp ? QStringView(u" ") : QStringView(u"\r\n");
            chunk = p + 1;
        }
        out.append(chunk, text.end() - chunk);
    }
    void paragraph() { out += QStringLiteral("\r\n"); }

    QString out;
};

// Builds the document run by run.
class DocumentSink {
  public:
    static constexpr bool wantsStyles = true;

    explicit DocumentSink(QTextDocument* document) : cursor(document) {}
    // Text inserted into a block that has its own style already.
    explicit DocumentSink(const QTextCursor& at) : cursor(at), blockStyled(true) {}

    void text(const QString& text, const CharStyle& style) {
        const QTextCharFormat f = format(style);
        if (!blockStyled) {
            cursor.setBlockCharFormat(f);
            blockStyled = true;
        }
        cursor.insertText(text, f);
    }
    // The new block takes the style in force at the break, so that text
    // typed into an empty line has it.
    void paragraph(const CharStyle& style) {
        const QTextCharFormat f = format(style);
        if (!blockStyled)
            cursor.setBlockCharFormat(f);
        cursor.insertBlock(cursor.blockFormat(), f);
        blockStyled = true;
    }
    // An empty document keeps the style the RTF ends with for the caret.
    void finish(const CharStyle& style) {
        if (!blockStyled)
            cursor.setBlockCharFormat(format(style));
    }

    QTextCursor cursor;

  private:
    QTextCharFormat format(const CharStyle& style) {
        if (style == lastStyle)
            return lastFormat;
        // The formats outlive one text: a sheet or a file inserts thousands
        // in a few styles.
        thread_local QHash<CharStyle, QTextCharFormat> formats;
        auto it = formats.constFind(style);
        if (it == formats.constEnd()) {
            if (formats.size() >= 4096)
                formats.clear();
            it = formats.insert(style, style.toFormat());
        }
        lastStyle = style;
        lastFormat = *it;
        return lastFormat;
    }

    CharStyle lastStyle;
    QTextCharFormat lastFormat;
    bool blockStyled = false;
};

template <typename Sink> struct HeaderMemo;

template <typename Sink> class Parser {
  public:
    Parser(QStringView input, Sink& sink)
        : begin(input.begin()), pos(input.begin()), end(input.end()), sink(&sink) {}

    void readRtf(HeaderMemo<Sink>* memo = nullptr);
    void readPlainText();

  private:
    void openGroup();
    bool closeGroup();
    void controlWord();
    void controlSymbol();
    bool completesDoubleByte(char16_t trail);
    void rawText();
    void hexByte();
    void word(const WordInfo& info, bool hasParameter, int parameter);
    void associatedWord(Word word, bool hasParameter, int parameter);
    void skipGroup();
    qint64 readNumber(bool* found);

    bool skipFallback(bool isByte, uchar byte, int count = 1);
    bool skippingFallback() const { return fallbackLeft > 0 || fallbackMidChar; }
    void endFallback() {
        fallbackLeft = 0;
        fallbackMidChar = false;
    }

    int codePage() const;
    QStringDecoder& decoder(int codePage);
    void flushBytes();
    void addText(QStringView text);
    void addContent(QStringView text);
    void addDoubleByteContent(QStringView text);
    void addRun(QStringView text, const State& format);
    State doubleByteState() const;
    void emitPendingParagraph();
    void paragraphBreak();
    void flushRun();
    void finish();
    CharStyle styleOf(const State& s) const;

    void beginFontEntry(int number);
    void endFontEntry();
    void endColorEntry();

    bool resumeFrom(const HeaderMemo<Sink>& memo);
    void remember(HeaderMemo<Sink>& memo) const;

    const QChar* begin;
    const QChar* pos;
    const QChar* end;
    Sink* sink;

    State state;
    std::vector<State> saved;
    qsizetype unsavedDepth = 0;
    bool nested() const { return saved.size() + unsavedDepth > 1; }

    std::map<int, Font> fonts;
    int defaultFont = 0;
    int ansiCodePage = fallbackCodePage;
    std::vector<std::optional<QRgb>> colors;
    int red = 0, green = 0, blue = 0;
    bool colorGiven = false;

    bool fontEntryOpen = false;
    int entryNumber = 0;
    Font entry;

    std::string bytes; // \'hh bytes waiting to be decoded together

    int fallbackLeft = 0;         // characters after \uN still to skip
    bool fallbackMidChar = false; // the skipped bytes end inside a double-byte character

    QString run;
    State runState;
    bool latinBefore = false; // the last letter of double-byte text was a Latin one
    int pendingCells = 0;
    bool paragraphPending = false;
    bool paragraphOpen = false; // text came after the last paragraph break
    bool keepFinalParagraph = false;
    State paragraphState;
    std::optional<State> endState;
};

// How a parse stood just before the first text of a document: the fields
// of one file mostly begin with the same header, which is then read once.
template <typename Sink> struct HeaderMemo {
    // The input read until then, and any characters after it that ended its
    // last token.
    QString key;
    std::optional<Parser<Sink>> parser;
    QString out;
};

template <typename Sink> bool Parser<Sink>::resumeFrom(const HeaderMemo<Sink>& memo) {
    if (!memo.parser || !QStringView(begin, end).startsWith(memo.key))
        return false;
    const QChar* const input = begin;
    const QChar* const inputEnd = end;
    Sink* const output = sink;
    *this = *memo.parser;
    pos = input + (pos - begin);
    begin = input;
    end = inputEnd;
    sink = output;
    sink->out += memo.out; // keeps the room made for the text
    return true;
}

// A header that ends in a brace, a line end or the blank after a control
// word ended without a look further. Else the next two characters told
// where its last control word ended, and they are part of the key.
template <typename Sink> void Parser<Sink>::remember(HeaderMemo<Sink>& memo) const {
    const qsizetype read = pos - begin;
    const char16_t last = read > 0 ? pos[-1].unicode() : u'{';
    const qsizetype lookahead =
        last == u' ' || last == u'{' || last == u'}' || last == u'\r' || last == u'\n' ? 0 : 2;
    if (end - pos < lookahead)
        return;
    memo.key = QStringView(begin, read + lookahead).toString();
    memo.parser = *this;
    memo.out = sink->out;
}

template <typename Sink> void Parser<Sink>::readRtf(HeaderMemo<Sink>* memo) {
    if constexpr (Sink::wantsStyles)
        memo = nullptr; // a document is built from its start
    else if (memo && resumeFrom(*memo))
        memo = nullptr;
    const auto beforeText = [&] {
        if constexpr (!Sink::wantsStyles)
            if (memo && state.destination == Destination::Text) {
                remember(*memo);
                memo = nullptr;
            }
    };
    while (pos < end) {
        switch (pos->unicode()) {
        case '{':
            ++pos;
            flushBytes();
            endFallback();
            openGroup();
            break;
        case '}':
            ++pos;
            flushBytes();
            endFallback();
            if (!closeGroup()) {
                finish();
                return; // anything after the document's closing brace is not RTF
            }
            break;
        case '\\':
            if (pos + 1 < end && pos[1] == QChar('\''))
                beforeText();
            ++pos;
            if (pos < end && *pos == QChar('\''))
                hexByte();
            else if (pos < end && isAsciiLetter(*pos))
                controlWord();
            else
                controlSymbol();
            break;
        case '\r':
        case '\n':
        case 0:
            ++pos;
            break;
        default:
            beforeText();
            rawText();
            break;
        }
    }
    finish();
}

template <typename Sink> void Parser<Sink>::readPlainText() {
    keepFinalParagraph = true;
    state.halfPoints = defaultHalfPoints;
    while (pos < end) {
        const QChar* lineEnd = pos;
        while (lineEnd < end && *lineEnd != QChar('\r') && *lineEnd != QChar('\n'))
            ++lineEnd;
        addText(QStringView(pos, lineEnd));
        pos = lineEnd;
        if (pos < end) {
            if (*pos == QChar('\r') && pos + 1 < end && pos[1] == QChar('\n'))
                ++pos;
            ++pos;
            paragraphBreak();
        }
    }
    finish();
}

template <typename Sink> void Parser<Sink>::openGroup() {
    if (static_cast<int>(saved.size()) < maxSavedGroups && unsavedDepth == 0)
        saved.push_back(state);
    else
        ++unsavedDepth;
}

template <typename Sink> bool Parser<Sink>::closeGroup() {
    if (unsavedDepth > 0) {
        --unsavedDepth;
        return true;
    }
    if (saved.empty())
        return false;
    if (state.destination == Destination::FontTable && fontEntryOpen && !entry.name.isEmpty())
        endFontEntry(); // an entry whose ';' is missing
    if (saved.size() == 1)
        endState = state;
    state = saved.back();
    saved.pop_back();
    return !saved.empty();
}

template <typename Sink> qint64 Parser<Sink>::readNumber(bool* found) {
    bool negative = false;
    if (pos + 1 < end && *pos == QChar('-') && isDigit(pos[1])) {
        negative = true;
        ++pos;
    }
    qint64 value = 0;
    *found = false;
    while (pos < end && isDigit(*pos)) {
        *found = true;
        if (value < numberLimit)
            value = value * 10 + (pos->unicode() - '0');
        ++pos;
    }
    value = std::min(value, numberLimit);
    return negative ? -value : value;
}

template <typename Sink> void Parser<Sink>::controlWord() {
    // Control words have at most 32 letters; a longer one is unknown.
    char name[33];
    qsizetype length = 0;
    while (pos < end && isAsciiLetter(*pos)) {
        if (length < 33)
            name[length] = static_cast<char>(pos->unicode());
        ++length;
        ++pos;
    }
    bool hasParameter = false;
    const int parameter = static_cast<int>(readNumber(&hasParameter));
    if (pos < end && *pos == QChar(' '))
        ++pos;
    flushBytes();
    const WordInfo& info =
        length <= 32 ? lookUp(std::string_view(name, length)) : lookUp(std::string_view());
    // A \u ends the fallback of the one before it instead of being its
    // fallback: writers put surrogate halves next to each other.
    if (info.word != Word::Unicode && info.word != Word::Binary && skipFallback(false, 0))
        return;
    word(info, hasParameter, parameter);
}

template <typename Sink>
void Parser<Sink>::word(const WordInfo& info, bool hasParameter, int parameter) {
    const bool on = !hasParameter || parameter != 0;
    switch (info.word) {
    case Word::Unknown:
        break;
    case Word::AnsiCodePage:
        if (!Codepage::codecName(parameter).isEmpty())
            ansiCodePage = parameter;
        break;
    case Word::CharacterSet:
        ansiCodePage = info.value;
        break;
    case Word::DefaultFont:
        defaultFont = parameter;
        break;
    case Word::FontTable:
        state.destination = Destination::FontTable;
        fontEntryOpen = false;
        break;
    case Word::ColorTable:
        state.destination = Destination::ColorTable;
        colorGiven = false;
        red = green = blue = 0;
        break;
    case Word::SkippedDestination:
        if (nested())
            skipGroup();
        break;
    case Word::Charset:
        if (state.destination == Destination::FontTable)
            entry.codePage = codePageOfCharset(parameter);
        break;
    case Word::FontCodePage:
        if (state.destination == Destination::FontTable &&
            !Codepage::codecName(parameter).isEmpty())
            entry.codePage = parameter;
        break;
    case Word::Red:
        red = std::clamp(parameter, 0, 255);
        colorGiven = true;
        break;
    case Word::Green:
        green = std::clamp(parameter, 0, 255);
        colorGiven = true;
        break;
    case Word::Blue:
        blue = std::clamp(parameter, 0, 255);
        colorGiven = true;
        break;
    case Word::Plain:
        state.font = -1;
        state.halfPoints = 24;
        state.color = 0;
        state.bold = state.italic = state.underline = state.strike = false;
        state.doubleByte = false;
        state.doubleByteFormat = DoubleByteFormat();
        break;
    case Word::Font:
        if (state.destination == Destination::FontTable)
            beginFontEntry(parameter);
        else
            state.font = parameter;
        break;
    case Word::FontSize:
        state.halfPoints = fontSize(hasParameter, parameter, state.halfPoints);
        break;
    case Word::Color:
        state.color = std::max(parameter, 0);
        break;
    case Word::Bold:
        state.bold = on;
        break;
    case Word::Italic:
        state.italic = on;
        break;
    case Word::Underline:
        state.underline = on;
        break;
    case Word::UnderlineNone:
        state.underline = false;
        break;
    case Word::Strike:
        state.strike = on;
        break;
    case Word::DoubleByteText:
        state.doubleByte = true;
        latinBefore = false;
        break;
    case Word::OtherText:
        state.doubleByte = false;
        break;
    case Word::AssociatedFont:
    case Word::AssociatedFontSize:
    case Word::AssociatedColor:
    case Word::AssociatedBold:
    case Word::AssociatedItalic:
    case Word::AssociatedUnderline:
    case Word::AssociatedUnderlineNone:
    case Word::AssociatedStrike:
        if (state.doubleByte)
            associatedWord(info.word, hasParameter, parameter);
        break;
    case Word::Paragraph:
        paragraphBreak();
        break;
    // Office suites end a section's last paragraph with \par and show no
    // empty one after it.
    case Word::Section:
        if (paragraphOpen)
            paragraphBreak();
        break;
    case Word::Line:
        addText(u"\u2028");
        break;
    case Word::Tab:
        addText(u"\t");
        break;
    case Word::Cell:
        if (state.destination == Destination::Text)
            ++pendingCells;
        break;
    case Word::Row:
        pendingCells = 0;
        paragraphBreak();
        break;
    case Word::Unicode:
        endFallback();
        if (hasParameter) {
            // Signed 16-bit: negative values are the units above 0x7FFF.
            // Some writers give a whole code point above 0xFFFF instead of
            // its two surrogate units.
            const int code = parameter < 0 ? parameter + 0x10000 : parameter;
            if (code >= 0 && code <= 0x10FFFF)
                addText(QChar::fromUcs4(static_cast<char32_t>(code)));
            fallbackLeft = state.unicodeSkip;
        }
        break;
    case Word::UnicodeSkip:
        state.unicodeSkip = std::max(parameter, 0);
        break;
    case Word::Binary:
        skipFallback(false, 0);
        if (hasParameter && parameter > 0)
            pos += std::min<qint64>(parameter, end - pos);
        break;
    case Word::Symbol: {
        const QChar c(info.value);
        addText(QStringView(&c, 1));
        break;
    }
    }
}

template <typename Sink>
void Parser<Sink>::associatedWord(Word word, bool hasParameter, int parameter) {
    DoubleByteFormat& f = state.doubleByteFormat;
    const qint8 on = !hasParameter || parameter != 0;
    switch (word) {
    case Word::AssociatedFont:
        f.font = parameter;
        break;
    case Word::AssociatedFontSize:
        f.halfPoints = fontSize(hasParameter, parameter, f.halfPoints);
        break;
    case Word::AssociatedColor:
        f.color = std::max(parameter, 0);
        break;
    case Word::AssociatedBold:
        f.bold = on;
        break;
    case Word::AssociatedItalic:
        f.italic = on;
        break;
    case Word::AssociatedUnderline:
        f.underline = on;
        break;
    case Word::AssociatedUnderlineNone:
        f.underline = 0;
        break;
    case Word::AssociatedStrike:
        f.strike = on;
        break;
    default:
        break;
    }
}

// A double-byte character may have its lead byte escaped and its trail
// byte written as it is: a letter or sign, or an escaped "\\", "{" or "}"
// (the Windows control writes "表" as \'95\\).
template <typename Sink> bool Parser<Sink>::completesDoubleByte(char16_t trail) {
    if (bytes.empty() || trail < 0x40 || trail >= 0x7F)
        return false;
    const int cp = codePage();
    int i = 0;
    const int size = int(bytes.size());
    while (i < size)
        i += isLeadByte(cp, static_cast<uchar>(bytes[i])) ? 2 : 1;
    if (i <= size)
        return false;
    bytes.push_back(static_cast<char>(trail));
    flushBytes();
    return true;
}

template <typename Sink> void Parser<Sink>::controlSymbol() {
    if (pos >= end)
        return;
    const QChar c = *pos++;
    if ((c == QChar('\\') || c == QChar('{') || c == QChar('}')) &&
        completesDoubleByte(c.unicode()))
        return;
    flushBytes();
    if (skipFallback(false, 0))
        return;
    switch (c.unicode()) {
    case '\\':
    case '{':
    case '}':
        addText(QStringView(&c, 1));
        break;
    case '~':
        addText(u"\u00A0");
        break;
    case '_':
        addText(u"\u2011");
        break;
    case '-':
        addText(u"\u00AD");
        break;
    case '\r':
    case '\n':
        paragraphBreak();
        break;
    case '*':
        if (nested())
            skipGroup(); // an optional destination this reader does not know
        break;
    default:
        break;
    }
}

template <typename Sink> void Parser<Sink>::hexByte() {
    ++pos; // the quote
    int value = 0;
    int digits = 0;
    while (digits < 2 && pos < end && hexValue(*pos) >= 0) {
        value = value * 16 + hexValue(*pos);
        ++digits;
        ++pos;
    }
    if (digits == 0)
        return;
    const uchar byte = static_cast<uchar>(value);
    if (skipFallback(true, byte))
        return;
    bytes.push_back(static_cast<char>(byte));
}

template <typename Sink> void Parser<Sink>::rawText() {
    const QChar c = *pos;
    // A character taken as it is stood for one byte of code page 932, or
    // two unless it is ASCII or half-width katakana.
    const char16_t u = c.unicode();
    const int byteCount = u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F) ? 1 : 2;
    if (skippingFallback() && skipFallback(u < 0x80, static_cast<uchar>(u), byteCount)) {
        ++pos;
        return;
    }
    if (completesDoubleByte(u)) {
        ++pos;
        return;
    }
    flushBytes();
    switch (state.destination) {
    case Destination::Text: {
        const QChar* start = pos;
        while (pos < end) {
            const char16_t next = pos->unicode();
            if (next == '\\' || next == '{' || next == '}' || next == '\r' || next == '\n' ||
                next == 0)
                break;
            ++pos;
        }
        addText(QStringView(start, pos));
        break;
    }
    case Destination::FontTable:
        ++pos;
        if (c == QChar(';'))
            endFontEntry();
        else if (fontEntryOpen)
            entry.name += c;
        break;
    case Destination::ColorTable:
        ++pos;
        if (c == QChar(';'))
            endColorEntry();
        break;
    }
}

// Counts a token as a fallback character of the last \uN when one is due.
// Fallback bytes that stop inside a double-byte character take its trail
// byte along (writers that give \uc1 for a two-byte fallback).
template <typename Sink> bool Parser<Sink>::skipFallback(bool isByte, uchar byte, int count) {
    if (fallbackLeft > 0) {
        fallbackLeft = std::max(fallbackLeft - count, 0);
        if (!isByte)
            fallbackMidChar = false;
        else if (fallbackMidChar)
            fallbackMidChar = false;
        else
            fallbackMidChar = isLeadByte(codePage(), byte);
        return true;
    }
    if (fallbackMidChar) {
        fallbackMidChar = false;
        return isByte;
    }
    return false;
}

template <typename Sink> void Parser<Sink>::skipGroup() {
    qsizetype depth = 0;
    while (pos < end) {
        const char16_t u = pos->unicode();
        if (u == '\\') {
            ++pos;
            if (pos < end && isAsciiLetter(*pos)) {
                const QChar* name = pos;
                while (pos < end && isAsciiLetter(*pos))
                    ++pos;
                const bool binary = QStringView(name, pos) == u"bin";
                bool found = false;
                const qint64 length = readNumber(&found);
                if (binary && length > 0) {
                    if (pos < end && *pos == QChar(' '))
                        ++pos;
                    pos += std::min<qint64>(length, end - pos);
                }
            } else if (pos < end) {
                ++pos;
            }
            continue;
        }
        if (u == '{') {
            ++depth;
        } else if (u == '}') {
            if (depth == 0)
                return; // the main loop closes the group
            --depth;
        }
        ++pos;
    }
}

template <typename Sink> int Parser<Sink>::codePage() const {
    if (state.destination == Destination::FontTable)
        return entry.codePage != 0 ? entry.codePage : ansiCodePage;
    auto it = fonts.find(state.font < 0 ? defaultFont : state.font);
    if (it == fonts.end() || it->second.codePage == 0)
        return ansiCodePage;
    return it->second.codePage;
}

// Opening a converter costs more than decoding most fields' bytes, so each
// thread keeps the ones it has opened; there are only as many as code pages
// with a name.
template <typename Sink> QStringDecoder& Parser<Sink>::decoder(int codePage) {
    thread_local std::vector<std::pair<int, std::unique_ptr<QStringDecoder>>> opened;
    for (auto& [number, decoder] : opened) {
        if (number == codePage)
            return *decoder;
    }
    const QByteArray name = Codepage::codecName(codePage);
    if (name.isEmpty()) {
        thread_local QStringDecoder unknown;
        return unknown;
    }
    opened.emplace_back(codePage, std::make_unique<QStringDecoder>(
                                      name.constData(), QStringConverter::Flag::Stateless));
    return *opened.back().second;
}

template <typename Sink> void Parser<Sink>::flushBytes() {
    if (bytes.empty())
        return;
    const QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    const int cp = codePage();
    QString text;
    if (cp != 932 || !Codepage::decodeWellFormed932(view, text)) {
        QStringDecoder& d = decoder(cp);
        text = d.isValid() ? d.decode(view) : QString::fromLatin1(view);
    }
    bytes.clear();
    addText(text);
}

// Text from any source: raw characters, decoded bytes, \uN, symbols.
template <typename Sink> void Parser<Sink>::addText(QStringView text) {
    switch (state.destination) {
    case Destination::FontTable:
        if (fontEntryOpen)
            entry.name += text;
        return;
    case Destination::ColorTable:
        return;
    case Destination::Text:
        break;
    }
    // Characters a document block cannot hold: line ends break the paragraph
    // as the document itself would, NULs and frame marks are dropped.
    const QChar* chunk = text.begin();
    for (const QChar* p = text.begin(); p != text.end(); ++p) {
        const char16_t u = p->unicode();
        if (u >= 0x20 && u != 0x2029 && u != 0xFDD0 && u != 0xFDD1)
            continue;
        if (u == '\t' || (u > 0 && u < 0x20 && u != '\r' && u != '\n'))
            continue;
        addContent(QStringView(chunk, p));
        chunk = p + 1;
        if (u == '\r' || u == '\n' || u == 0x2029)
            paragraphBreak();
    }
    addContent(QStringView(chunk, text.end()));
}

template <typename Sink> void Parser<Sink>::addContent(QStringView text) {
    if (text.isEmpty())
        return;
    emitPendingParagraph();
    paragraphOpen = true;
    if constexpr (Sink::wantsStyles) {
        if (state.doubleByte)
            addDoubleByteContent(text);
        else
            addRun(text, state);
    } else {
        addRun(text, state);
    }
}

// Latin letters and digits are never double-byte text, even where a writer
// left \dbch in force for a whole paragraph; blanks and punctuation go with
// the character before them.
template <typename Sink> void Parser<Sink>::addDoubleByteContent(QStringView text) {
    const State doubleByte = doubleByteState();
    const QChar* start = text.begin();
    for (const QChar* p = text.begin(); p != text.end(); ++p) {
        const bool latin = isLatinLetterOrDigit(*p) || (latinBefore && isNeutral(*p));
        if (latin == latinBefore)
            continue;
        addRun(QStringView(start, p), latinBefore ? state : doubleByte);
        start = p;
        latinBefore = latin;
    }
    addRun(QStringView(start, text.end()), latinBefore ? state : doubleByte);
}

template <typename Sink> void Parser<Sink>::addRun(QStringView text, const State& format) {
    if (text.isEmpty())
        return;
    if constexpr (Sink::wantsStyles) {
        if (!run.isEmpty() && !sameCharacterFormat(format, runState))
            flushRun();
        if (run.isEmpty())
            runState = format;
    }
    // Cells of a table row stand side by side, separated by tabs.
    for (; pendingCells > 0; --pendingCells)
        run += QChar('\t');
    if constexpr (Sink::wantsStyles) {
        run += text;
    } else {
        flushRun();
        sink->text(text);
    }
}

// The ordinary character format with the double-byte properties given in
// its place; an associated font the font table lacks is not given.
template <typename Sink> State Parser<Sink>::doubleByteState() const {
    const DoubleByteFormat& f = state.doubleByteFormat;
    State s = state;
    if (f.font != DoubleByteFormat::notGiven && fonts.count(f.font) > 0)
        s.font = f.font;
    if (f.halfPoints > 0)
        s.halfPoints = f.halfPoints;
    if (f.color >= 0)
        s.color = f.color;
    const auto take = [](bool& property, qint8 given) {
        if (given >= 0)
            property = given;
    };
    take(s.bold, f.bold);
    take(s.italic, f.italic);
    take(s.underline, f.underline);
    take(s.strike, f.strike);
    return s;
}

template <typename Sink> void Parser<Sink>::emitPendingParagraph() {
    if (!paragraphPending)
        return;
    flushRun();
    if constexpr (Sink::wantsStyles)
        sink->paragraph(styleOf(paragraphState));
    else
        sink->paragraph();
    paragraphPending = false;
}

// A break waits until more text follows: the last \par ends the document.
template <typename Sink> void Parser<Sink>::paragraphBreak() {
    if (state.destination != Destination::Text)
        return;
    emitPendingParagraph();
    flushRun();
    paragraphPending = true;
    paragraphOpen = false;
    paragraphState = state;
}

template <typename Sink> void Parser<Sink>::flushRun() {
    if (run.isEmpty())
        return;
    if constexpr (Sink::wantsStyles)
        sink->text(run, styleOf(runState));
    else
        sink->text(run);
    run.clear();
}

template <typename Sink> void Parser<Sink>::finish() {
    flushBytes();
    if (keepFinalParagraph)
        emitPendingParagraph();
    flushRun();
    if constexpr (Sink::wantsStyles)
        sink->finish(styleOf(paragraphPending ? paragraphState : endState.value_or(state)));
}

template <typename Sink> CharStyle Parser<Sink>::styleOf(const State& s) const {
    CharStyle style;
    auto font = fonts.find(s.font < 0 ? defaultFont : s.font);
    if (font == fonts.end())
        font = fonts.find(defaultFont);
    style.fontName =
        font != fonts.end() && !font->second.name.isEmpty() ? font->second.name : defaultFontName();
    style.halfPoints = s.halfPoints;
    style.bold = s.bold;
    style.italic = s.italic;
    style.underline = s.underline;
    style.strike = s.strike;
    if (s.color > 0 && s.color < static_cast<int>(colors.size()) && colors[s.color]) {
        style.hasColor = true;
        style.color = *colors[s.color];
    }
    return style;
}

template <typename Sink> void Parser<Sink>::beginFontEntry(int number) {
    fontEntryOpen = true;
    entryNumber = number;
    entry = Font();
}

template <typename Sink> void Parser<Sink>::endFontEntry() {
    if (!fontEntryOpen)
        return;
    entry.name = entry.name.trimmed();
    fonts.insert_or_assign(entryNumber, std::move(entry));
    entry = Font();
    fontEntryOpen = false;
}

template <typename Sink> void Parser<Sink>::endColorEntry() {
    // An entry without components is the automatic colour.
    if (colorGiven)
        colors.emplace_back(qRgb(red, green, blue));
    else
        colors.emplace_back(std::nullopt);
    colorGiven = false;
    red = green = blue = 0;
}

// Where the RTF starts, after blanks and a byte order mark; -1 when the
// text has no RTF header.
qsizetype rtfStart(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i].isSpace() || text[i] == QChar(0xFEFF)))
        ++i;
    return text.mid(i).startsWith(u"{\\rtf") ? i : -1;
}

template <typename Sink> void parse(const QString& input, Sink& sink) {
    const qsizetype start = rtfStart(input);
    if (start >= 0) {
        Parser<Sink>(QStringView(input).mid(start), sink).readRtf();
    } else {
        Parser<Sink>(input, sink).readPlainText();
    }
}

} // namespace

void read(const QString& rtf, QTextDocument* document) {
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    DocumentSink sink(document);
    sink.cursor.beginEditBlock();
    parse(rtf, sink);
    sink.cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
}

void insert(const QString& rtf, QTextCursor& cursor) {
    DocumentSink sink(cursor);
    parse(rtf, sink);
    cursor = sink.cursor;
}

QString toPlainText(const QString& rtf) {
    PlainTextSink sink;
    sink.out.reserve(rtf.size() / 4);
    const qsizetype start = rtfStart(rtf);
    if (start < 0) {
        Parser<PlainTextSink>(rtf, sink).readPlainText();
    } else {
        thread_local HeaderMemo<PlainTextSink> memo;
        Parser<PlainTextSink>(QStringView(rtf).mid(start), sink).readRtf(&memo);
    }
    return sink.out;
}

} // namespace Rtf
