#pragma once

#include <QByteArrayView>
#include <QString>

// The bytes of \'hh escapes as text, in the code page of their font or of
// the document.
namespace Rtf::Reading {

// The code page a font's \fcharset names; 0 for one this reader does not
// know, which means the document's code page.
int codePageOfCharset(int charset);

// Whether `byte` begins a double-byte character in `codePage`.
inline bool isLeadByte(int codePage, uchar byte) {
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

// The bytes as text in `codePage`; bytes of a code page without a converter
// are taken as Latin-1.
QString decodeBytes(QByteArrayView bytes, int codePage);

} // namespace Rtf::Reading
