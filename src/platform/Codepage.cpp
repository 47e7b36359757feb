#include "platform/Codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace Codepage {

QByteArray codecName(int codePage) {
    switch (codePage) {
    case 932:
        return "windows-31j";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 874:
        return "windows-874";
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
        return "windows-" + QByteArray::number(codePage);
    default:
        return {};
    }
}

namespace {
// The converter for code page 932 swaps three control codes (0x1A, 0x1C and
// 0x7F) and writes U+001A for an invalid byte. None of the three bytes can
// be part of a double-byte character, so they are taken out and converted
// here; U+001A from the converter is then always an invalid byte.
bool isSwappedControl(char byte) {
    return byte == 0x1A || byte == 0x1C || byte == 0x7F;
}
bool isSwappedControl(QChar c) {
    return c.unicode() == 0x1A || c.unicode() == 0x1C || c.unicode() == 0x7F;
}
} // namespace

struct Decoder::State {
    QStringDecoder decoder;
    bool fixControls;
};

Decoder::Decoder(int codePage)
    : state_(new State{QStringDecoder(codecName(codePage).constData()), codePage == 932}) {}

Decoder::~Decoder() {
    delete state_;
}

QString Decoder::decode(QByteArrayView piece) {
    QStringDecoder& decoder = state_->decoder;
    if (!decoder.isValid())
        return QString::fromLatin1(piece);
    if (!state_->fixControls)
        return decoder.decode(piece);
    QString text;
    text.reserve(piece.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i <= piece.size(); ++i) {
        if (i < piece.size() && !isSwappedControl(piece.at(i)))
            continue;
        if (i > start) {
            QString part = decoder.decode(piece.sliced(start, i - start));
            part.replace(QChar(0x1A), QChar::ReplacementCharacter);
            text += part;
        }
        if (i < piece.size())
            text += QChar(uchar(piece.at(i)));
        start = i + 1;
    }
    return text;
}

QString decode(const QByteArray& bytes, int codePage) {
    // A line feed after the end makes a lone lead byte there show as invalid
    // instead of waiting for a trail byte that never comes.
    QString text = Decoder(codePage).decode(bytes + '\n');
    text.chop(1);
    return text;
}

static bool encodeOne(const QByteArray& codec, QStringView ch, QByteArray& out) {
    // A fresh encoder per character: an error stays with an encoder.
    QStringEncoder encoder(codec.constData());
    QByteArray bytes = encoder.encode(ch);
    if (encoder.hasError() || bytes.isEmpty())
        return false;
    out += bytes;
    return true;
}

// Encodes a run of text at once, or character by character when something
// in it has no byte form.
static void encodeRun(const QByteArray& codec, QStringView run, QByteArray& out,
                      QString* uncarried) {
    QStringEncoder encoder(codec.constData());
    const QByteArray whole = encoder.encode(run);
    if (!encoder.hasError()) {
        out += whole;
        return;
    }
    for (qsizetype i = 0; i < run.size(); ++i) {
        const qsizetype len =
            (run.at(i).isHighSurrogate() && i + 1 < run.size() && run.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        const QStringView ch = run.mid(i, len);
        if (!encodeOne(codec, ch, out)) {
            out += '?';
            if (uncarried && !uncarried->contains(ch))
                uncarried->append(ch);
        }
        i += len - 1;
    }
}

QByteArray encode(const QString& text, int codePage, QString* uncarried) {
    const QByteArray codec = codecName(codePage);
    if (codec.isEmpty())
        return text.toLatin1();
    QByteArray out;
    out.reserve(text.size() * 2);
    const bool fixControls = codePage == 932;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !(fixControls && isSwappedControl(text.at(i))))
            continue;
        if (i > start)
            encodeRun(codec, QStringView(text).sliced(start, i - start), out, uncarried);
        if (i < text.size())
            out += char(text.at(i).unicode());
        start = i + 1;
    }
    return out;
}

bool canEncode(const QString& text, int codePage) {
    if (codePage == 932 &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return isSwappedControl(c); }))
        return true;
    QStringEncoder encoder(codecName(codePage).constData());
    if (!encoder.isValid())
        return false;
    // The conversion runs only when its result is taken.
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

} // namespace Codepage
