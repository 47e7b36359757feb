#include "platform/RichTextBox.h"

#include "platform/AppSetup.h"
#include "platform/Codepage.h"
#include "platform/ListView.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {
// The names under which programs put RTF on the clipboard.
const char* const rtfMimeTypes[] = {"text/rtf", "text/richtext", "application/rtf"};

// The first of them that `source` offers, or none.
const char* offeredRtfType(const QMimeData* source) {
    for (const char* type : rtfMimeTypes) {
        if (source->hasFormat(QLatin1String(type)))
            return type;
    }
    return nullptr;
}

// A line break of the document: one character there, CR LF in the plain text.
bool isLineBreak(QChar c) {
    return c == QChar('\n') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}
} // namespace

QString plainTextWithCrLf(const QString& documentText) {
    QString result;
    result.reserve(documentText.size() + documentText.size() / 16);
    for (QChar c : documentText) {
        if (isLineBreak(c))
            result += QStringLiteral("\r\n");
        else if (c == QChar::Nbsp)
            result += QChar(' ');
        else
            result += c;
    }
    return result;
}

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false); // rich text is pasted by insertFromMimeData alone
    // Tab moves on to the next control, as everywhere else; Ctrl+Tab types
    // the tab character.
    setTabChangesFocus(true);
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::changed);
}

QString RichTextBox::text() const {
    return plainTextWithCrLf(document()->toPlainText());
}

void RichTextBox::setText(const QString& text) {
    QTextCharFormat format = textCursor().charFormat();
    QString normalized = text;
    normalized.replace("\r\n", "\n").replace('\r', '\n');
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setCharFormat(format);
    cursor.setBlockCharFormat(format);
    cursor.insertText(normalized, format);
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
    setCurrentCharFormat(format);
}

QString RichTextBox::textRTF() const {
    return Rtf::write(document());
}

void RichTextBox::setTextRTF(const QString& rtf) {
    Rtf::read(rtf, document());
    for (const QTextFormat& format : document()->allFormats()) {
        if (format.isCharFormat())
            substituteMissingFont(format.toCharFormat().fontFamilies().toStringList().value(0));
    }
    QTextCursor cursor(document());
    setTextCursor(cursor);
    setCurrentCharFormat(cursor.charFormat());
}

QString RichTextBox::selRTF() const {
    return Rtf::write(textCursor());
}

// The plain text counts a line break as two characters (CR LF), the
// document as one.
int RichTextBox::toDocumentPosition(int textPosition) const {
    const QString plain = document()->toPlainText();
    int text = 0;
    int doc = 0;
    while (doc < plain.size() && text < textPosition) {
        const bool lineBreak = isLineBreak(plain.at(doc));
        if (lineBreak && text + 1 == textPosition)
            break; // inside the CR LF pair: stay before the break
        text += lineBreak ? 2 : 1;
        ++doc;
    }
    return doc;
}

int RichTextBox::toTextPosition(int documentPosition) const {
    const QString plain = document()->toPlainText();
    int text = 0;
    for (int doc = 0; doc < documentPosition && doc < plain.size(); ++doc)
        text += isLineBreak(plain.at(doc)) ? 2 : 1;
    return text;
}

int RichTextBox::selStart() const {
    return toTextPosition(textCursor().selectionStart());
}

void RichTextBox::setSelStart(int start) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(std::max(0, start)));
    setTextCursor(cursor);
}

int RichTextBox::selLength() const {
    const QTextCursor cursor = textCursor();
    return toTextPosition(cursor.selectionEnd()) - toTextPosition(cursor.selectionStart());
}

void RichTextBox::setSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = toDocumentPosition(toTextPosition(start) + std::max(0, length));
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextBox::insertText(const QString& text, bool bold, const QColor& color) {
    QTextCursor cursor = textCursor();
    QTextCharFormat format = cursor.charFormat();
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setForeground(color);
    QString normalized = text;
    normalized.replace("\r\n", "\n").replace('\r', '\n');
    cursor.insertText(normalized, format);
    setTextCursor(cursor);
}

template <typename Test> bool RichTextBox::wholeSelection(Test test) const {
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return test(cursor.charFormat());
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int fragStart = fragment.position();
            const int fragEnd = fragStart + fragment.length();
            if (fragEnd <= start || fragStart >= end)
                continue;
            if (!test(fragment.charFormat()))
                return false;
        }
    }
    return true;
}

void RichTextBox::mergeSelectionFormat(const QTextCharFormat& format) {
    QTextCursor cursor = textCursor();
    cursor.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
}

QString RichTextBox::selFontName() const {
    const QString first = textCursor().charFormat().fontFamilies().toStringList().value(0);
    const bool same = wholeSelection([&](const QTextCharFormat& f) {
        return f.fontFamilies().toStringList().value(0) == first;
    });
    return same ? first : QString();
}

void RichTextBox::setSelFontName(const QString& family) {
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    mergeSelectionFormat(format);
}

double RichTextBox::selFontSize() const {
    const double first = textCursor().charFormat().fontPointSize();
    const bool same =
        wholeSelection([&](const QTextCharFormat& f) { return f.fontPointSize() == first; });
    return same ? first : 0.0;
}

void RichTextBox::setSelFontSize(double points) {
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeSelectionFormat(format);
}

bool RichTextBox::selBold() const {
    return wholeSelection([](const QTextCharFormat& f) { return f.fontWeight() >= QFont::Bold; });
}

void RichTextBox::setSelBold(bool on) {
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelectionFormat(format);
}

bool RichTextBox::selItalic() const {
    return wholeSelection([](const QTextCharFormat& f) { return f.fontItalic(); });
}

void RichTextBox::setSelItalic(bool on) {
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeSelectionFormat(format);
}

bool RichTextBox::selUnderline() const {
    return wholeSelection([](const QTextCharFormat& f) { return f.fontUnderline(); });
}

void RichTextBox::setSelUnderline(bool on) {
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeSelectionFormat(format);
}

QColor RichTextBox::selColor() const {
    const QTextCharFormat first = textCursor().charFormat();
    const QColor color = first.hasProperty(QTextFormat::ForegroundBrush)
                             ? first.foreground().color()
                             : QColor(Qt::black);
    return color;
}

void RichTextBox::setSelColor(const QColor& color) {
    QTextCharFormat format;
    format.setForeground(color);
    mergeSelectionFormat(format);
}

void RichTextBox::setBackColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

QColor RichTextBox::backColor() const {
    return palette().color(QPalette::Base);
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const QTextDocumentFragment selection(cursor);
    auto* data = new QMimeData;
    data->setText(selection.toPlainText());
    data->setHtml(selection.toHtml());
    data->setData(QLatin1String(rtfMimeTypes[0]), Rtf::write(cursor).toLatin1());
    return data;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return offeredRtfType(source) || source->hasHtml() || QTextEdit::canInsertFromMimeData(source);
}

// Pasted rich text goes through the RTF that question files store, so the
// box holds no more of it than a file keeps: HTML pictures, table frames and
// paragraph formats fall away, and text without a style of its own takes
// the font at the caret.
void RichTextBox::insertFromMimeData(const QMimeData* source) {
    QString rtf;
    if (const char* type = offeredRtfType(source)) {
        rtf = Codepage::decode(source->data(QLatin1String(type)), 932);
    } else if (source->hasHtml()) {
        QTextDocument html;
        html.setDefaultFont(currentCharFormat().font().resolve(document()->defaultFont()));
        html.setHtml(source->html());
        QTextCursor picture;
        while (!(picture = html.find(QString(QChar::ObjectReplacementCharacter))).isNull())
            picture.removeSelectedText();
        rtf = Rtf::write(&html);
    } else {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    QTextDocument pasted;
    Rtf::read(rtf, &pasted);
    QTextCursor cursor = textCursor();
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void RichTextBox::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    emit clicked();
}

void RichTextBox::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    emit gotFocus();
}

void RichTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        int keyAscii = '\t';
        emit keyPress(keyAscii);
        if (keyAscii != 0)
            insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty()) {
        int keyAscii = typed.at(0).unicode();
        emit keyPress(keyAscii);
        if (keyAscii == 0) {
            event->accept();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::keyReleaseEvent(QKeyEvent* event) {
    QTextEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit keyUp(event->key(), shiftMask(event->modifiers()));
}
