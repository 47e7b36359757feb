#include "data/QuestionDocument.h"

#include "data/JapaneseDate.h"
#include "data/QuestionRecord.h"
#include "platform/Random.h"

#include <utility>

bool DocumentProperties::operator==(const DocumentProperties& o) const {
    return title == o.title && subject == o.subject && version == o.version && namae == o.namae &&
           mail == o.mail && url == o.url && comment == o.comment && cdate == o.cdate &&
           mdate == o.mdate;
}

QString DocumentProperties::statusLine() const {
    const QString shownSubject = subject.isEmpty() ? QString() : " <" + subject + ">";
    return QString::fromUtf8("『") + title + shownSubject + QString::fromUtf8("』(by ") + namae +
           ")";
}

QuestionDocument::QuestionDocument(QObject* parent) : QObject(parent) {
    clearDataProp();
}

void QuestionDocument::setPath(const QString& path) {
    const QString oldPath = std::exchange(path_, path);
    emit pathSet(oldPath);
}

void QuestionDocument::clearDataProp() {
    const QDateTime created = Clock::now();
    const QDateTime updated = Clock::now();
    properties_ = DocumentProperties{};
    properties_.cdate = formatJapaneseDate(created);
    properties_.mdate = formatJapaneseDate(updated);
}

int QuestionDocument::indexOf(const QString& key) const {
    return index_.value(key, -1);
}

void QuestionDocument::setRecord(const QString& key, const QString& text, const QString& record) {
    const int at = indexOf(key);
    if (at >= 0) {
        entries_[at].text = text;
        entries_[at].record = record;
        emit recordStored(key, false);
        return;
    }
    index_.insert(key, int(entries_.size()));
    entries_.append({key, text, record});
    emit recordStored(key, true);
}

void QuestionDocument::addRecords(const QVector<QuestionEntry>& added) {
    QStringList keys;
    keys.reserve(added.size());
    entries_.reserve(entries_.size() + added.size());
    for (const QuestionEntry& entry : added) {
        index_.insert(entry.key, int(entries_.size()));
        entries_.append(entry);
        keys << entry.key;
    }
    emit recordsAdded(keys);
}

void QuestionDocument::remove(const QString& keyToRemove) {
    // A copy: the caller's key may be the record's own.
    const QString key = keyToRemove;
    const int at = indexOf(key);
    if (at < 0)
        return;
    entries_.remove(at);
    index_.remove(key);
    for (int i = at; i < entries_.size(); ++i)
        index_[entries_[i].key] = i;
    emit recordRemoved(key);
}

void QuestionDocument::reorder(const QStringList& keys) {
    QVector<QuestionEntry> ordered;
    ordered.reserve(entries_.size());
    QVector<bool> taken(entries_.size(), false);
    for (const QString& key : keys) {
        const int at = indexOf(key);
        if (at >= 0 && !taken[at]) {
            taken[at] = true;
            ordered.append(std::move(entries_[at]));
        }
    }
    for (int i = 0; i < entries_.size(); ++i)
        if (!taken[i])
            ordered.append(std::move(entries_[i]));
    entries_ = std::move(ordered);
    rebuildIndex();
}

QString QuestionDocument::makeUniqueKey() const {
    while (true) {
        const QString key = makeRandomKey();
        if (!contains(key))
            return key;
    }
}

bool QuestionDocument::unlock(const QString& typed) {
    if (typed != filePassword_)
        return false;
    pendingPassword_.clear();
    return true;
}

void QuestionDocument::setPasswords(const QString& filePassword, const QString& pendingPassword) {
    filePassword_ = filePassword;
    pendingPassword_ = pendingPassword;
}

void QuestionDocument::markEdited() {
    edited_ = true;
    if (!path_.isEmpty())
        setUnsaved(true);
}

void QuestionDocument::forgetUnsavedChanges() {
    edited_ = false;
    setUnsaved(false);
}

void QuestionDocument::keepUnsavedAfterFailure() {
    if (edited_)
        markEdited();
}

void QuestionDocument::setUnsaved(bool on) {
    if (unsaved_ == on)
        return;
    unsaved_ = on;
    emit unsavedChanged(on);
}

void QuestionDocument::clearRecords() {
    entries_.clear();
    index_.clear();
}

void QuestionDocument::rebuildIndex() {
    index_.clear();
    index_.reserve(entries_.size());
    for (int i = 0; i < entries_.size(); ++i)
        index_.insert(entries_[i].key, i);
}

void QuestionDocument::beginLoad(const QString& path) {
    path_ = path;
    forgetUnsavedChanges();
    clearRecords();
    clearDataProp();
    setPasswords({}, {});
    emit recordsReset();
}

QStringList QuestionDocument::records() const {
    QStringList records;
    records.reserve(entries_.size());
    for (const QuestionEntry& entry : entries_)
        records << entry.record;
    return records;
}
