#include "printing/Worksheet.h"

#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "platform/Texts.h"
#include "platform/rtf/CharStyle.h"
#include "platform/rtf/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// A few sizes, asked for thousands of times on a long sheet.
QTextCharFormat textFormat(qreal points, bool bold = false) {
    thread_local QHash<QPair<qreal, bool>, QTextCharFormat> made;
    QTextCharFormat& format = made[{points, bold}];
    if (format.isEmpty()) {
        format.setFontFamilies(QStringList{Rtf::defaultFontName()});
        format.setFontPointSize(points);
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    }
    return format;
}

QTextBlockFormat blockFormat(qreal indent = 0, qreal spaceBefore = 0) {
    QTextBlockFormat format;
    format.setLeftMargin(indent);
    format.setTopMargin(spaceBefore);
    return format;
}

// Starts a block, except at the start of the empty document.
void newBlock(QTextCursor& cursor, const QTextBlockFormat& format, const QTextCharFormat& chars) {
    if (cursor.document()->isEmpty()) {
        cursor.setBlockFormat(format);
        cursor.setBlockCharFormat(chars);
    } else {
        cursor.insertBlock(format, chars);
    }
}

constexpr qreal ChoiceIndent = 24;
constexpr qreal QuestionSpace = 14;

} // namespace

Worksheet::Worksheet(const DocumentProperties& properties, const QStringList& records,
                     bool answerKey) {
    document_.setUseDesignMetrics(true);
    document_.setDocumentMargin(0);
    document_.setUndoRedoEnabled(false);
    document_.setDefaultFont(textFormat(10.5).font());
    QTextCursor cursor(&document_);
    // One edit: the sheet is laid out once, when it is finished.
    cursor.beginEditBlock();
    const auto heading = [&](const QString& text, qreal points, bool bold) {
        if (text.isEmpty())
            return;
        QTextBlockFormat format;
        format.setAlignment(Qt::AlignHCenter);
        newBlock(cursor, format, textFormat(points, bold));
        cursor.insertText(text, textFormat(points, bold));
    };
    heading(properties.title, 16, true);
    heading(properties.subject, 12, false);
    heading(properties.namae, 10.5, false);

    // Each record is taken apart once, for the sheet and for its key.
    QVector<RecordFields> questions;
    questions.reserve(records.size());
    for (const QString& record : records)
        questions.append(recordFields({}, record));

    for (int i = 0; i < questions.size(); ++i) {
        const RecordFields& question = questions.at(i);
        startItem(cursor, QuestionSpace);
        label(cursor, u("問%1　").arg(i + 1));
        Rtf::insert(question.questionRtf, cursor);
        if (question.type == QChar('3')) {
            newBlock(cursor, blockFormat(ChoiceIndent, 4), textFormat(10.5));
            cursor.insertText(u("答え "), textFormat(10.5));
            QTextCharFormat line = textFormat(10.5);
            line.setFontUnderline(true);
            cursor.insertText(QString(16, QChar(0x3000)), line);
        } else {
            for (const RecordChoice& choice : question.choices) {
                newBlock(cursor, blockFormat(ChoiceIndent, 2), textFormat(10.5));
                cursor.insertText(u("□ "), textFormat(10.5));
                Rtf::insert(choice.rtf, cursor);
            }
        }
        endItem(cursor);
    }

    if (answerKey)
        addAnswerKey(cursor, questions);
    cursor.endEditBlock();
}

void Worksheet::addAnswerKey(QTextCursor& cursor, const QVector<RecordFields>& questions) {
    QTextBlockFormat keyPage;
    keyPage.setAlignment(Qt::AlignHCenter);
    newBlock(cursor, keyPage, textFormat(14, true));
    keyHeadingBlock_ = cursor.blockNumber();
    cursor.insertText(u("解答"), textFormat(14, true));
    for (int i = 0; i < questions.size(); ++i) {
        const RecordFields& question = questions.at(i);
        startItem(cursor, QuestionSpace / 2);
        label(cursor, u("問%1　").arg(i + 1));
        // A typed answer is its one answer; of choices, the right ones.
        const bool typed = question.type == QChar('3');
        bool first = true;
        for (const RecordChoice& choice : question.choices) {
            if (!choice.correct && !typed)
                continue;
            if (!first)
                cursor.insertText(u("　／　"), textFormat(10.5));
            first = false;
            Rtf::insert(choice.rtf, cursor);
            if (typed)
                break;
        }
        if (!Rtf::toPlainText(question.explanationRtf).trimmed().isEmpty()) {
            newBlock(cursor, blockFormat(ChoiceIndent, 2), textFormat(10.5));
            cursor.insertText(u("解説："), textFormat(10.5, true));
            Rtf::insert(question.explanationRtf, cursor);
        }
        endItem(cursor);
    }
}

void Worksheet::label(QTextCursor& cursor, const QString& text) {
    cursor.insertText(text, textFormat(10.5, true));
}

// The space before an item goes to its first block only, not to the
// paragraphs of its rich text that follow in the same format.
void Worksheet::startItem(QTextCursor& cursor, qreal spaceBefore) {
    newBlock(cursor, blockFormat(), textFormat(10.5));
    items_.append({cursor.blockNumber(), cursor.blockNumber(), spaceBefore});
}

void Worksheet::endItem(QTextCursor& cursor) {
    Item& item = items_.last();
    item.lastBlock = cursor.blockNumber();
    QTextCursor(document_.findBlockByNumber(item.firstBlock))
        .setBlockFormat(blockFormat(0, item.spaceBefore));
}

void Worksheet::layOut(QPagedPaintDevice* device) {
    // The sheet is laid out in points, whatever it is printed on. Its
    // layout is made here, once, not while it was being built.
    pointDevice_.setDotsPerMeterX(qRound(72 / 0.0254));
    pointDevice_.setDotsPerMeterY(qRound(72 / 0.0254));
    document_.documentLayout()->setPaintDevice(&pointDevice_);
    const QSizeF page = device->pageLayout().paintRect(QPageLayout::Point).size();
    // One endless page, cut into pages here. Qt's own pages would need a
    // break set on every question that moves, and its layout places the
    // blocks after such a change wrongly on a long sheet: questions and the
    // key were lost.
    document_.setTextWidth(page.width());
    breakPages(page.height());
}

void Worksheet::breakPages(qreal pageHeight) {
    QAbstractTextDocumentLayout* layout = document_.documentLayout();
    pageStarts_ = {0};
    const auto startPageAt = [&](qreal y) {
        if (y > pageStarts_.last())
            pageStarts_.append(y);
    };
    int nextItem = 0;
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
        const int number = block.blockNumber();
        const QRectF rect = layout->blockBoundingRect(block);
        if (number == keyHeadingBlock_) {
            startPageAt(rect.top());
        } else if (nextItem < items_.size() && items_.at(nextItem).firstBlock == number) {
            // A question that does not fit the rest of its page starts the next one.
            const qreal bottom =
                layout
                    ->blockBoundingRect(document_.findBlockByNumber(items_.at(nextItem).lastBlock))
                    .bottom();
            if (bottom - pageStarts_.last() > pageHeight && bottom - rect.top() <= pageHeight)
                startPageAt(rect.top());
            ++nextItem;
        }
        // Within a block, a line that would be cut starts the next page; a
        // line taller than a page is cut where it must be.
        const QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal top = rect.top() + line.y();
            const qreal bottom = top + line.height();
            if (bottom - pageStarts_.last() > pageHeight)
                startPageAt(top);
            while (bottom - pageStarts_.last() > pageHeight)
                pageStarts_.append(pageStarts_.last() + pageHeight);
        }
    }
}

void Worksheet::print(QPagedPaintDevice* device) {
    layOut(device);
    QAbstractTextDocumentLayout* layout = document_.documentLayout();
    const qreal width = document_.textWidth();
    const qreal end = layout->documentSize().height();
    const QPageRanges chosen = device->pageRanges();
    QPainter painter(device);
    painter.scale(device->logicalDpiX() / 72.0, device->logicalDpiY() / 72.0);
    // Paper is white whatever the desktop's colours: text without a colour
    // of its own is black.
    painter.setPen(Qt::black);
    QTextBlock block = document_.begin();
    bool first = true;
    for (int number = 1; number <= pageStarts_.size(); ++number) {
        if (!chosen.isEmpty() && !chosen.contains(number))
            continue;
        if (!first)
            device->newPage();
        first = false;
        const qreal top = pageStarts_.at(number - 1);
        const qreal bottom = number < pageStarts_.size() ? pageStarts_.at(number) : end;
        // Lines touching the page's ends belong to the pages before and
        // after it: not drawn here, not even clipped away, as a PDF would
        // still hold their text.
        const QRectF lines(0, top + 0.05, width, bottom - top - 0.1);
        painter.save();
        painter.translate(0, -top);
        painter.setClipRect(QRectF(0, top, width, bottom - top));
        while (block.isValid() && layout->blockBoundingRect(block).bottom() <= lines.top())
            block = block.next();
        for (QTextBlock b = block; b.isValid(); b = b.next()) {
            const QRectF rect = layout->blockBoundingRect(b);
            if (rect.top() >= lines.bottom())
                break;
            // A block of the sheet itself stands at its layout's place.
            b.layout()->draw(&painter, rect.topLeft() - b.layout()->position(), {}, lines);
        }
        painter.restore();
    }
}
