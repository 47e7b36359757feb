#pragma once

#include <QByteArrayView>
#include <QStringView>

// Calls `line` with each line of `text`, without its line end. CR LF, a lone
// LF and a lone CR each end a line; the empty line between CR and LF is
// passed too, and callers skip it as they skip any empty line. The number
// passed with each line counts the line ends before it, from 1. Text and
// bytes (an ASCII file read without decoding) are cut alike.
template <typename View, typename LineFunction> void forEachLineOf(View text, LineFunction line) {
    qsizetype start = 0;
    int number = 1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != '\n' && text.at(i) != '\r')
            continue;
        line(text.sliced(start, i - start), number);
        // CR LF is one line end.
        if (!(i + 1 < text.size() && text.at(i) == '\r' && text.at(i + 1) == '\n'))
            ++number;
        start = i + 1;
    }
}

template <typename LineFunction> void forEachLine(QStringView text, LineFunction line) {
    forEachLineOf(text, line);
}

template <typename LineFunction> void forEachLine(QByteArrayView bytes, LineFunction line) {
    forEachLineOf(bytes, line);
}
