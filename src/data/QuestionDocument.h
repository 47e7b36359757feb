#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// The nine document properties of a question file, in file order.
struct DocumentProperties {
    QString title;
    QString subject;
    QString version;
    QString namae;
    QString mail;
    QString url;
    QString comment; // keeps its CR LF line ends
    QString cdate;
    QString mdate;

    bool operator==(const DocumentProperties& other) const;
    // The status bar's line for an opened file: 『title <subject>』(by author).
    QString statusLine() const;
};

// One question of the open file: its key, the plain text of its question
// (what the lists show) and the whole record.
struct QuestionEntry {
    QString key;
    QString text;
    QString record;
};

// The question file that is open: its path, properties, records in file
// order, password state and unsaved changes. Windows show it and change it
// through it; it never shows anything itself, nor reads or writes a file:
// formats/QuestionDocumentFile fills it from one and writes it out.
class QuestionDocument : public QObject {
    Q_OBJECT
  public:
    explicit QuestionDocument(QObject* parent = nullptr);

    // --- the file and its properties ---
    QString path() const { return path_; }
    // Says so with pathSet; a load says recordsReset instead.
    void setPath(const QString& path);
    DocumentProperties& properties() { return properties_; }
    const DocumentProperties& properties() const { return properties_; }
    // Takes the properties an author edited: an edit of the file.
    void setProperties(const DocumentProperties& properties);
    // Empties the properties of a new file and dates it now.
    void clearDataProp();

    // --- records, in file order, found by key in constant time; storing,
    // adding and removing them are edits of the file (see markEdited) ---
    int count() const { return int(entries_.size()); }
    const QuestionEntry& at(int index) const { return entries_.at(index); }
    const QVector<QuestionEntry>& entries() const { return entries_; }
    int indexOf(const QString& key) const; // -1 when there is none
    // Every record, in file order.
    QStringList records() const;
    bool contains(const QString& key) const { return indexOf(key) >= 0; }
    // The record with this key; empty when there is none.
    QString record(const QString& key) const;
    // Replaces the record with this key, or appends it as a new question;
    // says so with recordStored.
    void setRecord(const QString& key, const QString& text, const QString& record);
    // Appends new questions whose keys no record has, and says so once with
    // recordsAdded.
    void addRecords(const QVector<QuestionEntry>& added);
    // Takes the record out and says so with recordRemoved.
    void remove(const QString& key);
    // Puts the records into the order of their texts, compared as text with
    // case ignored; equal texts keep their order. Says so with
    // recordsReordered. The file is written in this order.
    void sortByText();
    // Moves the record with this key to `index` (from 0, below count()), the
    // others keeping their order, and says so with recordsReordered.
    void moveRecord(const QString& key, int index);
    // A random key of the key alphabet that no record has.
    QString makeUniqueKey() const;

    // --- protection ---
    QString filePassword() const { return filePassword_; }
    QString pendingPassword() const { return pendingPassword_; }
    // A protected file whose password has not been given yet.
    bool isLocked() const { return !filePassword_.isEmpty() && !pendingPassword_.isEmpty(); }
    // Unlocks when `typed` is the file's password exactly.
    bool unlock(const QString& typed);
    void setPasswords(const QString& filePassword, const QString& pendingPassword);

    // --- unsaved changes ---
    // The flag is raised by edits only while the file has a path; edits of a
    // document without a path are remembered apart, so they are not lost.
    bool hasUnsavedChanges() const { return unsaved_; }
    bool needsSaving() const { return unsaved_ || (path_.isEmpty() && edited_); }
    void markEdited();
    void lowerUnsavedFlag() { setUnsaved(false); }
    // After reading or writing the file, or when there is nothing to save.
    void forgetUnsavedChanges();
    // Nothing was written: edits made before are unsaved again.
    void keepUnsavedAfterFailure();

    // --- loading, as the question file's reader fills it ---
    // Starts a new load of `path`: no records, properties cleared, no
    // passwords, nothing unsaved.
    void beginLoad(const QString& path);
    // Appends a record read from the file without a word: the load says
    // recordsReset when it ends.
    void appendLoadedRecord(const QString& key, const QString& text, const QString& record) {
        index_.insert(key, int(entries_.size()));
        entries_.append({key, text, record});
    }
    void reportLoadProgress(int recordsRead) { emit loadProgress(recordsRead); }
    void endLoad() { emit recordsReset(); }

  signals:
    void unsavedChanged(bool unsaved);
    // The file was given a path, as a save under another name does;
    // `oldPath` is the one it had.
    void pathSet(const QString& oldPath);
    // One record was stored: its text or record changed, or with `added` it
    // is a new question at the end.
    void recordStored(const QString& key, bool added);
    void recordRemoved(const QString& key);
    // New questions were appended at the end, these keys in this order.
    void recordsAdded(const QStringList& keys);
    // The same records are in a new order.
    void recordsReordered();
    // The records were replaced as a whole (a load began or ended).
    void recordsReset();
    void loadProgress(int recordsRead);

  private:
    void setUnsaved(bool on);
    void clearRecords();
    void rebuildIndex();

    QString path_;
    DocumentProperties properties_;
    QVector<QuestionEntry> entries_;
    QHash<QString, int> index_;
    QString filePassword_;
    QString pendingPassword_;
    bool unsaved_ = false;
    bool edited_ = false;
};
