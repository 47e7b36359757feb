#include "data/modKuMemo.h"

#include <QDateTime>

#include <algorithm>

AppGlobals& appGlobals() {
    static AppGlobals globals;
    return globals;
}

QString formatAppVersion(int major, int minor) {
    return QString::number(major) + "." + QStringLiteral("%1").arg(minor, 2, 10, QChar('0'));
}

QString formatJapaneseDate(const QDateTime& moment) {
    static const char* const weekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
    return moment.toString("yyyy/MM/dd") + "(" +
           QString::fromUtf8(weekdays[moment.date().dayOfWeek() - 1]) + ") " +
           moment.toString("HH:mm:ss");
}

QString trimSpaces(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

QString encodeMarkup(const QString& text) {
    // One pass, and none for a text without these characters (rich text
    // fields, mostly).
    const auto special = [](QChar c) { return c == u'&' || c == u'<' || c == u'>'; };
    if (std::none_of(text.begin(), text.end(), special))
        return text;
    QString result;
    result.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        if (c == u'&')
            result += QLatin1String("&amp;");
        else if (c == u'<')
            result += QLatin1String("&lt;");
        else if (c == u'>')
            result += QLatin1String("&gt;");
        else
            result += c;
    }
    return result;
}

QString decodeMarkup(const QString& text) {
    // Rich text fields hold no entity at all, mostly.
    if (!text.contains(QChar('&')))
        return text;
    QString result = text;
    result.replace(QLatin1String("&#39;"), QLatin1String("'"));
    result.replace(QLatin1String("&gt;"), QLatin1String(">"));
    result.replace(QLatin1String("&lt;"), QLatin1String("<"));
    result.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return result;
}

QString getTagBlock(const QString& markup, const QString& tag) {
    const qsizetype start = markup.indexOf("<" + tag);
    if (start < 0)
        return {};
    const QString closing = "</" + tag + ">";
    const qsizetype end = markup.indexOf(closing, start);
    if (end < 0)
        return markup.mid(start);
    return markup.mid(start, end + closing.size() - start);
}

QString getTagText(const QString& markup, const QString& tag) {
    QString block = getTagBlock(markup, tag);
    const qsizetype gt = block.indexOf('>');
    if (gt >= 0)
        block = block.mid(gt + 1);
    const qsizetype lt = block.indexOf('<');
    if (lt >= 0)
        block.truncate(lt);
    return decodeMarkup(block);
}

QString getTagValue(const QString& markup, const QString& tag) {
    const qsizetype start = markup.indexOf("<" + tag);
    if (start < 0)
        return {};
    static const QString valueMark = QStringLiteral(" value='");
    const qsizetype value = markup.indexOf(valueMark, start);
    if (value < 0)
        return {};
    const qsizetype from = value + valueMark.size();
    const qsizetype end = markup.indexOf("'/>", from);
    if (end < 0)
        return {};
    return markup.mid(from, end - from);
}
