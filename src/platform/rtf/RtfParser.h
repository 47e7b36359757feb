#pragma once

#include "platform/rtf/CharStyle.h"
#include "platform/rtf/RtfControlWords.h"

#include <QRgb>
#include <QString>
#include <QStringView>

#include <map>
#include <optional>
#include <string>
#include <vector>

// The RTF parser: it reads control words, groups and text, keeps the
// character state, the font and colour tables, and hands runs of text and
// paragraph breaks to a sink (RtfSinks.h).
namespace Rtf::Reading {

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

struct Font {
    QString name;
    int codePage = 0; // 0: the document's code page
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

} // namespace Rtf::Reading
