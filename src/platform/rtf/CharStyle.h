#pragma once

#include <QRgb>
#include <QString>

class QFont;
class QTextCharFormat;

namespace Rtf {

// The character style that RTF carries for a run of text: what the reader
// sets, what the writer writes, and what two boxes compare.
struct CharStyle {
    QString fontName;
    int halfPoints = 18;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hasColor = false; // false: the automatic colour
    QRgb color = 0;

    bool operator==(const CharStyle& other) const;
    bool operator!=(const CharStyle& other) const { return !(*this == other); }

    QTextCharFormat toFormat() const;
    // Properties the format leaves unset are taken from `defaultFont`, the
    // font the text is shown in without them.
    static CharStyle fromFormat(const QTextCharFormat& format, const QFont& defaultFont);
};

size_t qHash(const CharStyle& style, size_t seed = 0);

// The style of an empty box: the editor resets its boxes to it, and the RTF
// of an empty document carries it.
QString defaultFontName();
constexpr int defaultHalfPoints = 18;
CharStyle defaultStyle();

// Font sizes outside this range are taken as its nearest end.
constexpr int minHalfPoints = 1;
constexpr int maxHalfPoints = 3276;

} // namespace Rtf
