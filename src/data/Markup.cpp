#include "data/Markup.h"

#include <algorithm>

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

qsizetype indexOfTag(QStringView markup, QStringView tag, qsizetype from) {
    // Text between tags holds no "<" of its own, so the tags are found from
    // one "<" to the next, without reading the text for the whole name.
    while ((from = markup.indexOf(u'<', from)) >= 0) {
        if (markup.sliced(from).startsWith(tag))
            return from;
        ++from;
    }
    return -1;
}

QString getTagBlock(const QString& markup, const QString& tag) {
    const qsizetype start = indexOfTag(markup, QString(u'<' + tag));
    if (start < 0)
        return {};
    const QString closing = "</" + tag + ">";
    const qsizetype end = indexOfTag(markup, closing, start);
    if (end < 0)
        return markup.mid(start);
    return markup.mid(start, end + closing.size() - start);
}

QString getTagText(const QString& markup, const QString& tag) {
    return tagTextAt(markup, indexOfTag(markup, QString(u'<' + tag)), tag);
}

QString tagTextAt(QStringView markup, qsizetype start, QStringView tag) {
    // The text of the tag's block from its first ">" to the next "<", found
    // without taking the block out first.
    if (start < 0)
        return {};
    const qsizetype gt = markup.indexOf(u'>', start);
    if (gt < 0)
        return {};
    // That ">" may end the closing tag itself ("<tag</tag>"): no text then.
    const qsizetype closingSize = 2 + tag.size() + 1; // "</tag>"
    if (gt + 1 - closingSize >= start) {
        const QStringView closing = markup.sliced(gt + 1 - closingSize, closingSize);
        if (closing.startsWith(u"</") && closing.sliced(2).startsWith(tag))
            return {};
    }
    qsizetype lt = markup.indexOf(u'<', gt + 1);
    if (lt < 0)
        lt = markup.size();
    return decodeMarkup(markup.sliced(gt + 1, lt - gt - 1).toString());
}

QString getTagValue(const QString& markup, const QString& tag) {
    const qsizetype start = indexOfTag(markup, QString(u'<' + tag));
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
