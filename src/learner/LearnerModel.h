#pragma once

#include "formats/LearnerFile.h"
#include "learner/MarkDefinitions.h"
#include "learner/Statistics.h"

#include <QObject>

// A learner's results: the records of the learner file, the marks a
// question can be given, and which question file the records are read for.
// Every list and window that shows a count, a rate or a mark reads it here,
// and every answer and mark is given here; records this program does not
// change keep the bytes they were read with.
class LearnerModel : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The marks of the mark definition file, read once at start-up.
    void setMarks(const MarkDefinitions& marks);
    const QStringList& marks() const { return marks_.marks; }
    const KeyedTable& markTable() const { return marks_.table; }

    // The question file whose questions are looked up, by its identifier.
    void setFileId(const QString& fileId);
    const QString& fileId() const { return fileId_; }

    // Reading and writing the learner file: all records, of every file.
    LearnerFileOutcome load(const QString& path);
    LearnerFileOutcome save(const QString& path);
    const LearnerRecords& records() const { return records_; }
    bool anyChanged() const { return records_.anyChanged(); }

    // A question's counts, rate and mark as the question list shows them;
    // there is no this-round result here.
    RowStatistics statistics(const QString& questionKey) const;
    // The same as numbers, unformatted, for choosing rows.
    RowNumbers numbers(const QString& questionKey) const;
    // The columns and the numbers of each of `questionKeys`, in their order.
    QVector<RowStatistics> statistics(const QStringList& questionKeys) const;
    QVector<RowNumbers> numbers(const QStringList& questionKeys) const;

    // The question's counts and mark become these; a mark the definitions
    // do not know keeps the level the record had.
    void store(const QString& questionKey, const RowStatistics& statistics);
    // Many questions' counts and marks at once, as store gives one, then
    // the learner file written as save writes it; the lists are told of
    // each row that changed, whether or not the file could be written.
    LearnerFileOutcome storeAllAndSave(const QVector<QPair<QString, RowStatistics>>& questions,
                                       const QString& path);
    // The learner gives the question a mark; a text that is not a mark of
    // the definitions changes nothing.
    void storeMark(const QString& questionKey, const QString& mark);

  signals:
    // The results of one question of the open file changed.
    void changed(const QString& questionKey);
    // Every question's results may have changed: another file, another
    // learner, the file read again.
    void reset();

  private:
    // `look` of each question's record key, in the order of `questionKeys`.
    template <typename Row, typename Look>
    QVector<Row> eachRecord(const QStringList& questionKeys, Look look) const;

    MarkDefinitions marks_;
    LearnerRecords records_;
    QString fileId_;
};
