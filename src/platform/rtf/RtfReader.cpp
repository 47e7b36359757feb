#include "platform/rtf/RtfReader.h"

#include "platform/rtf/RtfParser.h"
#include "platform/rtf/RtfSinks.h"

#include <QTextCursor>
#include <QTextDocument>

namespace Rtf {

using Reading::DocumentSink;
using Reading::HeaderMemo;
using Reading::Parser;
using Reading::PlainTextSink;

namespace {

// Where the RTF starts, after blanks and a byte order mark; -1 when the
// text has no RTF header.
qsizetype rtfStart(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i].isSpace() || text[i] == QChar(0xFEFF)))
        ++i;
    return text.mid(i).startsWith(u"{\\rtf") ? i : -1;
}

template <typename Sink> void parse(const QString& input, Sink& sink) {
    const qsizetype start = rtfStart(input);
    if (start >= 0) {
        Parser<Sink>(QStringView(input).mid(start), sink).readRtf();
    } else {
        Parser<Sink>(input, sink).readPlainText();
    }
}

} // namespace

void read(const QString& rtf, QTextDocument* document) {
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    DocumentSink sink(document);
    sink.cursor.beginEditBlock();
    parse(rtf, sink);
    sink.cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
}

void insert(const QString& rtf, QTextCursor& cursor) {
    DocumentSink sink(cursor);
    parse(rtf, sink);
    cursor = sink.cursor;
}

QString toPlainText(const QString& rtf) {
    PlainTextSink sink;
    sink.out.reserve(rtf.size() / 4);
    const qsizetype start = rtfStart(rtf);
    if (start < 0) {
        Parser<PlainTextSink>(rtf, sink).readPlainText();
    } else {
        thread_local HeaderMemo<PlainTextSink> memo;
        Parser<PlainTextSink>(QStringView(rtf).mid(start), sink).readRtf(&memo);
    }
    return sink.out;
}

} // namespace Rtf
