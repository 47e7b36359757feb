#include "platform/Codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Codepage {

QByteArray codecName(int codePage) {
    switch (codePage) {
    case 932: return "windows-31j";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 874: return "windows-874";
    case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256:
    case 1257: case 1258:
        return "windows-" + QByteArray::number(codePage);
    default: return {};
    }
}

QString decode(const QByteArray& bytes, int codePage) {
    QStringDecoder decoder(codecName(codePage).constData());
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
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

QByteArray encode(const QString& text, int codePage, QString* uncarried) {
    QStringEncoder encoder(codecName(codePage).constData());
    if (!encoder.isValid())
        return text.toLatin1();
    // Fast path: the whole text converts cleanly.
    QByteArray whole = encoder.encode(text);
    if (!encoder.hasError())
        return whole;
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
                         text.at(i + 1).isLowSurrogate())
                            ? 2
                            : 1;
        QStringView ch = QStringView(text).mid(i, len);
        if (!encodeOne(codecName(codePage), ch, out)) {
            out += '?';
            if (uncarried && !uncarried->contains(ch))
                uncarried->append(ch);
        }
        i += len - 1;
    }
    return out;
}

bool canEncode(const QString& text, int codePage) {
    QStringEncoder encoder(codecName(codePage).constData());
    if (!encoder.isValid())
        return false;
    // The conversion runs only when its result is taken.
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

} // namespace Codepage
