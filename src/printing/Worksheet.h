#pragma once

#include <QImage>
#include <QStringList>
#include <QTextDocument>
#include <QVector>

struct DocumentProperties;
struct RecordFields;
class QPagedPaintDevice;
class QTextCursor;

// A printed worksheet of questions: the file's title, subject and author at
// the top, the questions numbered with their rich text styles, boxes to tick
// beside the choices and a line to write a typed answer on; hints are left
// out. An answer key with the explanations may follow on a page of its own.
class Worksheet {
  public:
    Worksheet(const DocumentProperties& properties, const QStringList& records, bool answerKey);

    const QTextDocument& document() const { return document_; }

    // Lays the sheet out on the device's pages, in points. A question, or an entry of
    // the key, that would be cut by a page end starts on the next page; one
    // longer than a page goes on over the next ones, never cutting a line.
    // The key starts a page of its own.
    void layOut(QPagedPaintDevice* device);
    // Lays out and prints every page.
    void print(QPagedPaintDevice* device);
    // Where each page begins in the laid-out sheet, in points from its top;
    // a page shows what lies between its start and the next one's.
    const QVector<qreal>& pageStarts() const { return pageStarts_; }

    // The first and last block of each question, then of each key entry.
    struct Item {
        int firstBlock = 0;
        int lastBlock = 0;
        qreal spaceBefore = 0;
    };
    const QVector<Item>& items() const { return items_; }

  private:
    void addAnswerKey(QTextCursor& cursor, const QVector<RecordFields>& questions);
    void label(QTextCursor& cursor, const QString& text);
    void startItem(QTextCursor& cursor, qreal spaceBefore);
    void endItem(QTextCursor& cursor);
    void breakPages(qreal pageHeight);

    QImage pointDevice_{1, 1, QImage::Format_Mono};
    QTextDocument document_;
    QVector<Item> items_;
    int keyHeadingBlock_ = -1;
    QVector<qreal> pageStarts_;
};
