#pragma once

#include "platform/rtf/RtfWriter.h"

#include <QString>
#include <QStringView>
#include <QVector>

// The HTML that other programs keep a text in (Moodle's question texts,
// Anki's fields), as far as the program's rich text can carry it: bold,
// italic, underline, line breaks and paragraphs. Fonts, colours, pictures,
// sounds and scripts are left out; entities become their characters.
namespace HtmlText {

// The runs a browser would show. Blanks collapse as in a browser; "&nbsp;"
// is a blank that never does. Paragraphs end in "\n", line breaks are
// U+2028, and none stands at the end.
QVector<Rtf::Run> read(QStringView html);

// The runs as the rich text a question file holds.
QString toRtf(QStringView html);

// The text alone, each paragraph and line on a line of its own ("\n").
QString toPlain(QStringView html);

// The rich text as HTML that reads back to the same text and styles: one
// paragraph bare, several each in <p>. Blanks a browser would collapse are
// written as "&nbsp;".
QString fromRtf(const QString& rtf);

} // namespace HtmlText
