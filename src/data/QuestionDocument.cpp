#include "data/QuestionDocument.h"

#include "data/JapaneseDate.h"
#include "data/QuestionRecord.h"
#include "platform/Random.h"

#include <algorithm>
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

void QuestionDocument::setProperties(const DocumentProperties& properties) {
    properties_ = properties;
    markEdited();
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

QString QuestionDocument::record(const QString& key) const {
    const int at = indexOf(key);
    return at < 0 ? QString() : entries_.at(at).record;
}

void QuestionDocument::setRecord(const QString& key, const QString& text, const QString& record) {
    const int at = indexOf(key);
    if (at >= 0) {
        entries_[at].text = text;
        entries_[at].record = record;
    } else {
        index_.insert(key, int(entries_.size()));
        entries_.append({key, text, record});
    }
    markEdited();
    emit recordStored(key, at < 0);
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
    markEdited();
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
    markEdited();
    emit recordRemoved(key);
}

void QuestionDocument::sortByText() {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const QuestionEntry& a, const QuestionEntry& b) {
                         return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
                     });
    rebuildIndex();
    emit recordsReordered();
}

void QuestionDocument::moveRecord(const QString& key, int index) {
    const int at = indexOf(key);
    if (at < 0 || at == index)
        return;
    entries_.move(at, index);
    for (int i = std::min(at, index); i <= std::max(at, index); ++i)
        index_[entries_[i].key] = i;
    emit recordsReordered();
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
