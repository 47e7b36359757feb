#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

class QTextCursor;
class QTextDocument;

// Writing RTF in the dialect of the Windows rich text control, so that any
// reader of that dialect can open the question files we write: code page
// 932 (\'hh for every byte of a character it carries, \uN? for every other
// UTF-16 unit), fonts with \fcharset128, CR LF line ends. The same text and
// character styles always give the same bytes; an empty document always
// gives the RTF of an empty box in the default style.
namespace Rtf {

QString write(const QTextDocument* document);
// The content between two document positions; a block end inside the range
// is a paragraph break.
QString write(const QTextDocument* document, int from, int to);
// The cursor's selection.
QString write(const QTextCursor& selection);
// Plain text in the style of an empty box, as if typed into it: the same
// bytes as a document holding that text. Each "\n" ends a paragraph.
QString writePlain(QStringView text);

// A run of text in the style of an empty box, but bold, italic or
// underlined as it says: what other programs' formats carry of a style.
// "\n" ends a paragraph, U+2028 breaks a line.
struct Run {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};
// The same bytes as a document holding these runs.
QString writeRuns(const QVector<Run>& runs);

} // namespace Rtf
