#pragma once

#include <QString>

class QTextCursor;
class QTextDocument;

// Reading the RTF that question files hold for each text field: the dialect
// of the Windows rich text control, and whatever other writers produced.
// `rtf` is the field as decoded from the file, so mostly ASCII with \'hh
// escapes; other characters in it are taken as they are.
//
// Reading never fails: malformed input (unbalanced braces, truncation, huge
// numbers, deep nesting) gives what could be read, in time and memory linear
// in the input. Input without the "{\rtf" header is taken as plain text.
namespace Rtf {

// Replaces the document's content with the text and character styles of
// `rtf`. The final \par of the RTF ends the document and adds no empty line.
void read(const QString& rtf, QTextDocument* document);

// Inserts the text and character styles of `rtf` at the cursor, which
// moves to the end of what was inserted. Paragraphs take the block format
// the cursor is in.
void insert(const QString& rtf, QTextCursor& cursor);

// The plain text `read` would put into a document, lines separated by CR LF
// as the rich text box shows them, without building the document.
QString toPlainText(const QString& rtf);

} // namespace Rtf
