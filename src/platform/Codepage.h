#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Conversion between text and the Windows code pages the files use. Code
// page 932 is Microsoft's Shift-JIS variant (windows-31j), never plain JIS.
namespace Codepage {

// The converter name of a Windows code page number, empty when unknown.
QByteArray codecName(int codePage);

// Decodes bytes; invalid bytes never fail the decoding, they become U+FFFD.
QString decode(const QByteArray& bytes, int codePage = 932);

// Decodes bytes that come in pieces: a double-byte character split between
// two pieces is decoded whole.
class Decoder {
  public:
    explicit Decoder(int codePage = 932);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    QString decode(QByteArrayView piece);

  private:
    struct State;
    State* state_;
};

// Encodes text. Characters the code page cannot carry become "?", and are
// reported in `uncarried` (each once, in order of appearance) when given.
QByteArray encode(const QString& text, int codePage = 932, QString* uncarried = nullptr);

// Code page 932 a character at a time, from tables the converter filled
// once: what a code (a byte, or lead << 8 | trail) decodes to, and the code
// of every UTF-16 unit the code page carries. A character with two codes
// (NEC and IBM duplicates) takes the one the converter writes.
constexpr char16_t noUnit = 0xFFFF; // in neither table: no code decodes to it
const std::vector<char16_t>& units932();
const std::vector<quint16>& codes932();

// Appends the text of code page 932 bytes decoded by the tables, exactly as
// the converter decodes them; false, with nothing appended, when a byte or
// pair is not a whole character that decodes cleanly, for the converter to
// decide.
bool decodeWellFormed932(QByteArrayView bytes, QString& out);

// True when every character of `text` has a byte form in the code page.
bool canEncode(const QString& text, int codePage = 932);

} // namespace Codepage
