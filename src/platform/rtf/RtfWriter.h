#pragma once

#include <QString>

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

} // namespace Rtf
