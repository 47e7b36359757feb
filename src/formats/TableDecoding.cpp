#include "formats/TableDecoding.h"

#include "platform/Codepage.h"

#include <QtEndian>

#include <algorithm>

namespace QuestionTable {
namespace {

int lineOfOffset(QByteArrayView bytes, qsizetype offset) {
    return int(std::count(bytes.begin(), bytes.begin() + offset, '\n')) + 1;
}

int lineOfPosition(QStringView text, qsizetype position) {
    return int(std::count(text.begin(), text.begin() + position, u'\n')) + 1;
}

struct Utf8Scan {
    qsizetype firstBad = -1;
    qsizetype bad = 0;       // bytes that begin no well-formed sequence
    qsizetype multiByte = 0; // well-formed sequences of two bytes or more
};

Utf8Scan scanUtf8(QByteArrayView b) {
    Utf8Scan scan;
    const qsizetype n = b.size();
    const auto follows = [&](qsizetype k, uchar low = 0x80, uchar high = 0xBF) {
        return k < n && uchar(b[k]) >= low && uchar(b[k]) <= high;
    };
    for (qsizetype i = 0; i < n;) {
        const uchar c = uchar(b[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = follows(i + 1) ? 2 : 0;
        else if (c == 0xE0)
            length = follows(i + 1, 0xA0) && follows(i + 2) ? 3 : 0;
        else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF)
            length = follows(i + 1) && follows(i + 2) ? 3 : 0;
        else if (c == 0xED)
            length = follows(i + 1, 0x80, 0x9F) && follows(i + 2) ? 3 : 0;
        else if (c == 0xF0)
            length = follows(i + 1, 0x90) && follows(i + 2) && follows(i + 3) ? 4 : 0;
        else if (c >= 0xF1 && c <= 0xF3)
            length = follows(i + 1) && follows(i + 2) && follows(i + 3) ? 4 : 0;
        else if (c == 0xF4)
            length = follows(i + 1, 0x80, 0x8F) && follows(i + 2) && follows(i + 3) ? 4 : 0;
        if (length == 0) {
            if (scan.firstBad < 0)
                scan.firstBad = i;
            ++scan.bad;
            ++i;
            continue;
        }
        ++scan.multiByte;
        i += length;
    }
    return scan;
}

Decoded refused(int line) {
    Decoded d;
    d.badLine = line;
    return d;
}

Decoded accepted(QString text) {
    Decoded d;
    d.ok = true;
    d.text = std::move(text);
    return d;
}

Decoded decodeUtf16(QByteArrayView body, bool littleEndian) {
    QString text(body.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar* at = reinterpret_cast<const uchar*>(body.data()) + 2 * i;
        text[i] =
            QChar(littleEndian ? qFromLittleEndian<quint16>(at) : qFromBigEndian<quint16>(at));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return refused(lineOfPosition(text, i));
    }
    if (body.size() % 2)
        return refused(lineOfPosition(text, text.size()));
    return accepted(text);
}

} // namespace

Decoded decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        const QByteArrayView body = QByteArrayView(bytes).sliced(3);
        const Utf8Scan scan = scanUtf8(body);
        if (scan.bad)
            return refused(lineOfOffset(body, scan.firstBad));
        return accepted(QString::fromUtf8(body));
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), bytes.at(0) == '\xFF');
    // Without a mark, NUL bytes tell a UTF-16 text or no text at all.
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        return refused(lineOfOffset(bytes, nul));
    const Utf8Scan scan = scanUtf8(bytes);
    if (scan.bad == 0)
        return accepted(QString::fromUtf8(bytes));
    // Mostly well-formed UTF-8 is UTF-8 with damaged bytes, never code page
    // 932 that happens to read as something.
    if (scan.multiByte > 3 * scan.bad)
        return refused(lineOfOffset(bytes, scan.firstBad));
    QString text = Codepage::decode(bytes, 932);
    const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
    if (bad >= 0)
        return refused(lineOfPosition(text, bad));
    return accepted(text);
}

} // namespace QuestionTable
