#include "platform/rtf/RtfSinks.h"

#include <QHash>

namespace Rtf::Reading {

QTextCharFormat DocumentSink::format(const CharStyle& style) {
    if (style == lastStyle)
        return lastFormat;
    // The formats outlive one text: a sheet or a file inserts thousands
    // in a few styles.
    thread_local QHash<CharStyle, QTextCharFormat> formats;
    auto it = formats.constFind(style);
    if (it == formats.constEnd()) {
        if (formats.size() >= 4096)
            formats.clear();
        it = formats.insert(style, style.toFormat());
    }
    lastStyle = style;
    lastFormat = *it;
    return lastFormat;
}

} // namespace Rtf::Reading
