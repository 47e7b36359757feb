#include "platform/rtf/RtfDecoding.h"

#include "platform/Codepage.h"

#include <QStringDecoder>

#include <memory>
#include <utility>
#include <vector>

namespace Rtf::Reading {

namespace {

// Opening a converter costs more than decoding most fields' bytes, so each
// thread keeps the ones it has opened; there are only as many as code pages
// with a name.
QStringDecoder& decoder(int codePage) {
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

} // namespace

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

QString decodeBytes(QByteArrayView bytes, int codePage) {
    QString text;
    if (codePage != 932 || !Codepage::decodeWellFormed932(bytes, text)) {
        QStringDecoder& d = decoder(codePage);
        text = d.isValid() ? d.decode(bytes) : QString::fromLatin1(bytes);
    }
    return text;
}

} // namespace Rtf::Reading
