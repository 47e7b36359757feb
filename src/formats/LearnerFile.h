#pragma once

#include <QByteArray>
#include <QHash>
#include <QLockFile>
#include <QString>
#include <QVector>

// A learner's results for one question. The counts may carry the blanks of
// the list columns they were copied from; the file holds them trimmed.
struct LearnerRecord {
    QString correct;
    QString answered;
    QString level; // "" when the learner gave no mark
};

// The current learner's records for every question file, keyed by file
// identifier + ":" + question key. Rows keep the order they were read in;
// new records are appended. A learner file of many files' questions is
// read at every round's start, so adding takes one look-up.
class LearnerRecords {
  public:
    int count() const { return int(rows_.size()); }
    int find(const QString& key) const { return index_.value(key, 0); } // 0 when absent
    const QString& key(int row) const { return rows_.at(row - 1).key; } // rows from 1
    const LearnerRecord& record(int row) const { return rows_.at(row - 1).record; }
    // A record given other fields counts as changed since the file was read.
    void setRecord(int row, const LearnerRecord& record);
    // Appends a record, changed. An empty key, or one that another record
    // has, is refused.
    void add(const QString& key, const LearnerRecord& record);
    // Appends a record as a file holds it: `stored` is its value's text,
    // written back byte for byte while the record keeps its fields.
    void addStored(const QString& key, const LearnerRecord& record, const QString& stored);
    // The value's text as the file held it; empty once the record changed.
    const QString& stored(int row) const { return rows_.at(row - 1).stored; }
    void reserve(int rows);
    void clear();
    // What this program changed or added since the records were last read
    // from or written to their file.
    bool changed(int row) const { return rows_.at(row - 1).changed; }
    bool anyChanged() const;
    // The record as the file held it when last read or written; empty for
    // one the file did not hold.
    const LearnerRecord& filed(int row) const {
        const Row& r = rows_.at(row - 1);
        return r.changed ? r.filed : r.record;
    }
    void markFiled();

  private:
    struct Row {
        QString key;
        LearnerRecord record;
        // The record as filed, kept from its first change on; until then
        // the record itself is.
        LearnerRecord filed;
        QString stored;
        bool changed = true;
    };
    QVector<Row> rows_;
    QHash<QString, int> index_; // key -> row
};

// Reads the lines of a learner file (code page 932; CR LF, LF or CR end a
// line) into `records`, after the records already there. Lines that are
// not records are skipped; of two lines with one key the first counts.
void readLearnerRecords(const QByteArray& bytes, LearnerRecords& records);

// One line of a learner file taken apart without copying: the record's key
// and its value (the fields with their ":"). False for a line that holds no
// record, which the reader skips.
bool parseLearnerLine(QStringView line, QStringView& key, QStringView& value);

// The whole learner file: one line per record, in table order,
// "<u-" key " value='" correct ":" answered ":" level "'/>" CR LF, with the
// blanks around each field removed. A record whose key would not read back
// as itself (a blank, a line end, a character code page 932 lacks) is left
// out.
QByteArray composeLearnerFile(const LearnerRecords& records);

// What became of reading or writing a learner file.
struct LearnerFileOutcome {
    bool ok = true;
    QString path;
    QString reason; // why it failed, empty when ok
};

// Two programs of one learner take turns at the learner's files: the
// learner file and the round log beside it are read for a change and
// written only while this lock is held. It is a file beside the learner
// file, named as it is with ".lock" added; it goes when the lock does.
//
// It is QLockFile's lock file, in QLockFile's bytes. Taken where no other
// program holds it, it is made directly and not synced to the disk, as
// QLockFile does: a lock need not outlive the machine, and the sync was
// most of each answer's time. A lock held elsewhere, left behind, or not
// to be made is QLockFile's to wait for, take over or explain.
class LearnerLock {
  public:
    explicit LearnerLock(const QString& learnerFile);
    ~LearnerLock();
    LearnerLock(const LearnerLock&) = delete;
    LearnerLock& operator=(const LearnerLock&) = delete;
    // Waits a few seconds while another program holds the lock. False when
    // it cannot be had; `reason` then says why, and nothing may be written
    // to `fileToWrite`.
    bool take(const QString& fileToWrite, QString& reason);
    // The lock could not be had because another program holds it.
    bool heldElsewhere() const { return lock_.error() == QLockFile::LockFailedError; }

  private:
    QByteArray path_; // the lock file's, in the system's encoding
    int made_ = -1;   // the lock file made directly, while it is held
    QLockFile lock_;
};

// Empties `records` and reads the file into them. A missing file is no
// failure: the learner has no records yet.
LearnerFileOutcome loadLearnerFile(const QString& path, LearnerRecords& records);

// Replaces the file whole under the learner's lock, or leaves it untouched
// and says why; a lock held by another program all the while is such a
// failure, and `records` stay as they were for a later try. Another
// program may have written the file since it was read, even answered the
// same questions: what this one added to a record's counts since it read
// or wrote the file is added to the counts the file holds now, and its
// mark replaces the file's only where this one changed the mark. Records
// it did not change are taken as the file holds them now, so neither
// program loses the other's answers. `records` then hold what was
// written. With one program the file holds the records in table order,
// as always.
LearnerFileOutcome saveLearnerFile(const QString& path, LearnerRecords& records);

// The identifier that stands for a question file in record keys, made from
// the file's base name (no folder, no extension) in code page 932 bytes:
// the first and last four hex digits of the bytes written one after the
// other, then their sum and their number in hex. "abc" gives
// "616262631263", an empty path "00".
QString makeFileId(const QString& path);

// The key of a question's record.
inline QString recordKey(const QString& fileId, const QString& questionKey) {
    return fileId + ":" + questionKey;
}
