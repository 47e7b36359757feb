#pragma once

#include "platform/rtf/CharStyle.h"

#include <QString>
#include <QStringView>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

// Where the RTF parser puts what it reads: plain text, or a document built
// with its character styles.
namespace Rtf::Reading {

// Collects the plain text as the box would show it.
class PlainTextSink {
  public:
    static constexpr bool wantsStyles = false;

    void text(QStringView text) {
        const QChar* chunk = text.begin();
        for (const QChar* p = text.begin(); p != text.end(); ++p) {
            if (*p != QChar::LineSeparator && *p != QChar::Nbsp)
                continue;
            out.append(chunk, p - chunk);
            out += *p == QChar::Nbsp ? QStringView(u" ") : QStringView(u"\r\n");
            chunk = p + 1;
        }
        out.append(chunk, text.end() - chunk);
    }
    void paragraph() { out += QStringLiteral("\r\n"); }

    QString out;
};

// Builds the document run by run.
class DocumentSink {
  public:
    static constexpr bool wantsStyles = true;

    explicit DocumentSink(QTextDocument* document) : cursor(document) {}
    // Text inserted into a block that has its own style already.
    explicit DocumentSink(const QTextCursor& at) : cursor(at), blockStyled(true) {}

    void text(const QString& text, const CharStyle& style) {
        const QTextCharFormat f = format(style);
        if (!blockStyled) {
            cursor.setBlockCharFormat(f);
            blockStyled = true;
        }
        cursor.insertText(text, f);
    }
    // The new block takes the style in force at the break, so that text
    // typed into an empty line has it.
    void paragraph(const CharStyle& style) {
        const QTextCharFormat f = format(style);
        if (!blockStyled)
            cursor.setBlockCharFormat(f);
        cursor.insertBlock(cursor.blockFormat(), f);
        blockStyled = true;
    }
    // An empty document keeps the style the RTF ends with for the caret.
    void finish(const CharStyle& style) {
        if (!blockStyled)
            cursor.setBlockCharFormat(format(style));
    }

    QTextCursor cursor;

  private:
    QTextCharFormat format(const CharStyle& style);

    CharStyle lastStyle;
    QTextCharFormat lastFormat;
    bool blockStyled = false;
};

} // namespace Rtf::Reading
