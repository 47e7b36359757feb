#pragma once

#include <QByteArray>
#include <QString>

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

// True when every character of `text` has a byte form in the code page.
bool canEncode(const QString& text, int codePage = 932);

} // namespace Codepage
