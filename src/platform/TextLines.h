#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <cstring>

// Where the line from `from` on ends: the first CR or LF, or the end.
inline qsizetype lineEnd(QStringView text, qsizetype from) {
    while (from < text.size() && text.at(from) != '\n' && text.at(from) != '\r')
        ++from;
    return from;
}

// Bytes are searched by the library: an answer log has millions of them.
inline qsizetype lineEnd(QByteArrayView bytes, qsizetype from) {
    if (from >= bytes.size())
        return bytes.size();
    const char* start = bytes.data() + from;
    const auto lf = static_cast<const char*>(std::memchr(start, '\n', size_t(bytes.size() - from)));
    const qsizetype length = lf ? lf - start : bytes.size() - from;
    const auto cr = static_cast<const char*>(std::memchr(start, '\r', size_t(length)));
    return from + (cr ? cr - start : length);
}

// Calls `line` with each line of `text`, without its line end. CR LF, a lone
// LF and a lone CR each end a line; the empty line between CR and LF is
// passed too, and callers skip it as they skip any empty line. The number
// passed with each line counts the line ends before it, from 1. Text and
// bytes (an ASCII file read without decoding) are cut alike.
template <typename View, typename LineFunction> void forEachLineOf(View text, LineFunction line) {
    qsizetype start = 0;
    int number = 1;
    for (;;) {
        const qsizetype end = lineEnd(text, start);
        line(text.sliced(start, end - start), number);
        if (end == text.size())
            return;
        // CR LF is one line end.
        if (!(end + 1 < text.size() && text.at(end) == '\r' && text.at(end + 1) == '\n'))
            ++number;
        start = end + 1;
    }
}

template <typename LineFunction> void forEachLine(QStringView text, LineFunction line) {
    forEachLineOf(text, line);
}

template <typename LineFunction> void forEachLine(QByteArrayView bytes, LineFunction line) {
    forEachLineOf(bytes, line);
}
