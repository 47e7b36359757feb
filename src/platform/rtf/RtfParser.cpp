#include "platform/rtf/RtfParser.h"

#include "platform/Codepage.h"
#include "platform/rtf/RtfDecoding.h"
#include "platform/rtf/RtfSinks.h"

#include <algorithm>
#include <utility>

namespace Rtf::Reading {

namespace {

bool sameCharacterFormat(const State& a, const State& b) {
    return a.font == b.font && a.halfPoints == b.halfPoints && a.color == b.color &&
           a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.strike == b.strike;
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

} // namespace

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

template <typename Sink> void Parser<Sink>::flushBytes() {
    if (bytes.empty())
        return;
    const QString text =
        decodeBytes(QByteArrayView(bytes.data(), qsizetype(bytes.size())), codePage());
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

// The reader's two sinks; the parser is built once for each, here.
template void Parser<PlainTextSink>::readRtf(HeaderMemo<PlainTextSink>* memo);
template void Parser<PlainTextSink>::readPlainText();
template void Parser<DocumentSink>::readRtf(HeaderMemo<DocumentSink>* memo);
template void Parser<DocumentSink>::readPlainText();

} // namespace Rtf::Reading
