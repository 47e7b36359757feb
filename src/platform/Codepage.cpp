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
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 10000:
        return "macintosh";
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

// Lead bytes of double-byte characters in code page 932.
static bool isLeadByte932(uchar byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct Decoder::State {
    QStringDecoder decoder;
    bool fixControls;
    // The converter holds a lead byte whose trail byte has not come yet.
    bool leadPending = false;
};

Decoder::Decoder(int codePage)
    : state_(new State{QStringDecoder(codecName(codePage).constData()), codePage == 932}) {}

Decoder::~Decoder() {
    delete state_;
}

// Question files are mostly ASCII (their rich text escapes everything else),
// so runs of plain ASCII are taken as they are and only the rest goes
// through the converter, in runs that never split a double-byte character.
QString Decoder::decode(QByteArrayView piece) {
    QStringDecoder& decoder = state_->decoder;
    if (!decoder.isValid())
        return QString::fromLatin1(piece);
    if (!state_->fixControls)
        return decoder.decode(piece);
    QString text;
    text.reserve(piece.size());
    const auto byteAt = [&piece](qsizetype i) { return uchar(piece.at(i)); };
    bool& leadPending = state_->leadPending;
    const qsizetype n = piece.size();
    qsizetype i = 0;
    while (i < n) {
        const uchar byte = byteAt(i);
        if (isSwappedControl(char(byte))) {
            text += QChar(byte);
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (!leadPending && byte < 0x80) {
            while (i < n && byteAt(i) < 0x80 && !isSwappedControl(char(byteAt(i))))
                ++i;
            text += QLatin1StringView(piece.sliced(start, i - start));
            continue;
        }
        while (i < n && !isSwappedControl(char(byteAt(i)))) {
            const uchar b = byteAt(i);
            if (leadPending)
                leadPending = false;
            else if (b < 0x80)
                break;
            else if (isLeadByte932(b))
                leadPending = true;
            ++i;
        }
        QString part = decoder.decode(piece.sliced(start, i - start));
        part.replace(QChar(0x1A), QChar::ReplacementCharacter);
        text += part;
    }
    return text;
}

namespace {
struct Tables932 {
    std::vector<char16_t> units = std::vector<char16_t>(0x10000, noUnit);
    std::vector<quint16> codes = std::vector<quint16>(0x10000, noUnit);
};

// Found by decoding every code once.
const Tables932& tables932() {
    static const Tables932 tables = [] {
        Tables932 t;
        const QByteArray name = codecName(932);
        QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
        QStringEncoder encoder(name.constData(), QStringConverter::Flag::Stateless);
        // Converters keep reporting an error once they had one, so only
        // their output tells: invalid bytes decode to a substitute.
        const auto consider = [&](const QByteArray& bytes) {
            const QString decoded = decoder.decode(bytes);
            if (decoded.size() != 1 || decoded.at(0) == QChar::ReplacementCharacter ||
                (decoded.at(0) == QChar(0x1A) && bytes != "\x1a"))
                return;
            quint16 code = static_cast<uchar>(bytes[0]);
            if (bytes.size() == 2)
                code = static_cast<quint16>(code << 8 | static_cast<uchar>(bytes[1]));
            t.units[code] = decoded.at(0).unicode();
            if (QByteArray(encoder.encode(decoded)) == bytes)
                t.codes[decoded.at(0).unicode()] = code;
        };
        for (int lead = 0; lead < 0x100; ++lead) {
            if (!isLeadByte932(static_cast<uchar>(lead))) {
                consider(QByteArray(1, static_cast<char>(lead)));
                continue;
            }
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
                consider(QByteArray(pair, 2));
            }
        }
        return t;
    }();
    return tables;
}
} // namespace

const std::vector<char16_t>& units932() {
    return tables932().units;
}

const std::vector<quint16>& codes932() {
    return tables932().codes;
}

bool decodeWellFormed932(QByteArrayView bytes, QString& out) {
    const std::vector<char16_t>& units = units932();
    const qsizetype before = out.size();
    out.resize(before + bytes.size());
    QChar* to = out.data() + before;
    const auto* b = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        unsigned code = b[i++];
        if (isLeadByte932(uchar(code))) {
            if (i == n) {
                out.resize(before);
                return false;
            }
            code = code << 8 | b[i++];
        }
        const char16_t unit = units[code];
        if (unit == noUnit) {
            out.resize(before);
            return false;
        }
        *to++ = QChar(unit);
    }
    out.resize(to - out.constData());
    return true;
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
    const auto isAscii = [](QChar c) { return c.unicode() < 0x80; };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (fixControls && isSwappedControl(c)) {
            out += char(c.unicode());
            ++i;
            continue;
        }
        // ASCII is itself in every code page the files use; only the rest
        // goes through the converter.
        const qsizetype start = i;
        const bool ascii = isAscii(c);
        while (i < n && isAscii(text.at(i)) == ascii &&
               !(fixControls && isSwappedControl(text.at(i))))
            ++i;
        const QStringView run = QStringView(text).sliced(start, i - start);
        if (ascii)
            out += run.toLatin1();
        else
            encodeRun(codec, run, out, uncarried);
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
