#include "platform/rtf/CharStyle.h"

#include <QFont>
#include <QHashFunctions>
#include <QTextCharFormat>

#include <algorithm>
#include <cmath>

namespace Rtf {

QString defaultFontName() {
    return QStringLiteral("ＭＳ ゴシック");
}

CharStyle defaultStyle() {
    CharStyle style;
    style.fontName = defaultFontName();
    style.halfPoints = defaultHalfPoints;
    return style;
}

bool CharStyle::operator==(const CharStyle& other) const {
    return fontName == other.fontName && halfPoints == other.halfPoints && bold == other.bold &&
           italic == other.italic && underline == other.underline && strike == other.strike &&
           hasColor == other.hasColor && (!hasColor || color == other.color);
}

size_t qHash(const CharStyle& style, size_t seed) {
    return qHashMulti(seed, style.fontName, style.halfPoints, style.bold, style.italic,
                      style.underline, style.strike, style.hasColor,
                      style.hasColor ? style.color : 0);
}

QTextCharFormat CharStyle::toFormat() const {
    QTextCharFormat format;
    format.setFontFamilies(QStringList{fontName});
    format.setFontPointSize(halfPoints / 2.0);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    format.setFontUnderline(underline);
    format.setFontStrikeOut(strike);
    if (hasColor)
        format.setForeground(QColor::fromRgb(color));
    return format;
}

CharStyle CharStyle::fromFormat(const QTextCharFormat& format, const QFont& defaultFont) {
    CharStyle style;
    style.fontName = format.fontFamilies().toStringList().value(0);
    if (style.fontName.isEmpty())
        style.fontName = format.stringProperty(QTextFormat::FontFamily);
    if (style.fontName.isEmpty())
        style.fontName = defaultFont.family();
    if (style.fontName.isEmpty())
        style.fontName = defaultFontName();
    double points = format.fontPointSize();
    if (points <= 0)
        points = defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : defaultHalfPoints / 2.0;
    style.halfPoints =
        std::clamp(static_cast<int>(std::lround(points * 2)), minHalfPoints, maxHalfPoints);
    const auto has = [&](QTextFormat::Property property) { return format.hasProperty(property); };
    style.bold =
        (has(QTextFormat::FontWeight) ? format.fontWeight() : defaultFont.weight()) >= QFont::Bold;
    style.italic = has(QTextFormat::FontItalic) ? format.fontItalic() : defaultFont.italic();
    style.underline = has(QTextFormat::TextUnderlineStyle) || has(QTextFormat::FontUnderline)
                          ? format.fontUnderline()
                          : defaultFont.underline();
    style.strike =
        has(QTextFormat::FontStrikeOut) ? format.fontStrikeOut() : defaultFont.strikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush) {
        style.hasColor = true;
        style.color = format.foreground().color().rgb();
    }
    return style;
}

} // namespace Rtf
