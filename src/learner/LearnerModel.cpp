#include "learner/LearnerModel.h"

void LearnerModel::setMarks(const MarkDefinitions& marks) {
    marks_ = marks;
    emit reset();
}

void LearnerModel::setFileId(const QString& fileId) {
    if (fileId == fileId_)
        return;
    fileId_ = fileId;
    emit reset();
}

LearnerFileOutcome LearnerModel::load(const QString& path) {
    const LearnerFileOutcome outcome = loadLearnerFile(path, records_);
    emit reset();
    return outcome;
}

namespace {
// The questions of `fileId` whose record `after` holds otherwise than
// `before`, or holds where `before` held none. Both are mostly the same rows
// in the same order, so a row is first looked for where it was.
QStringList changedQuestions(const LearnerRecords& before, const LearnerRecords& after,
                             const QString& fileId) {
    const QString prefix = recordKey(fileId, QString());
    QStringList keys;
    for (int row = 1; row <= after.count(); ++row) {
        const QString& key = after.key(row);
        // Compared as plain characters: most keys are another file's.
        if (key.size() < prefix.size() || QStringView(key).first(prefix.size()) != prefix)
            continue;
        const int was = row <= before.count() && before.key(row) == key ? row : before.find(key);
        const LearnerRecord& now = after.record(row);
        if (was) {
            const LearnerRecord& then = before.record(was);
            if (now.correct == then.correct && now.answered == then.answered &&
                now.level == then.level)
                continue;
        }
        keys << key.sliced(prefix.size());
    }
    return keys;
}
} // namespace

LearnerFileOutcome LearnerModel::save(const QString& path) {
    return storeAllAndSave({}, path);
}

RowStatistics LearnerModel::statistics(const QString& questionKey) const {
    return joinedStatistics(records_, fileId_, questionKey, marks_.table);
}

RowNumbers LearnerModel::numbers(const QString& questionKey) const {
    return joinedNumbers(records_, fileId_, questionKey);
}

template <typename Row, typename Look>
QVector<Row> LearnerModel::eachRecord(const QStringList& questionKeys, Look look) const {
    QVector<Row> rows;
    rows.reserve(questionKeys.size());
    // One record key for all the look-ups, its question part replaced.
    QString key = recordKey(fileId_, QString());
    const qsizetype prefix = key.size();
    for (const QString& questionKey : questionKeys) {
        key.truncate(prefix);
        key += questionKey;
        rows.append(look(key));
    }
    return rows;
}

QVector<RowStatistics> LearnerModel::statistics(const QStringList& questionKeys) const {
    return eachRecord<RowStatistics>(questionKeys, [this](const QString& key) {
        return recordStatistics(records_, key, marks_.table);
    });
}

QVector<RowNumbers> LearnerModel::numbers(const QStringList& questionKeys) const {
    return eachRecord<RowNumbers>(
        questionKeys, [this](const QString& key) { return recordNumbers(records_, key); });
}

void LearnerModel::storeMark(const QString& questionKey, const QString& mark) {
    if (!isKnownMark(mark, marks_.table))
        return;
    RowStatistics row = statistics(questionKey);
    row.mark = mark;
    store(questionKey, row);
}

void LearnerModel::store(const QString& questionKey, const RowStatistics& statistics) {
    updateRecord(records_, fileId_, questionKey, statistics, marks_.table);
    emit changed(questionKey);
}

LearnerFileOutcome
LearnerModel::storeAllAndSave(const QVector<QPair<QString, RowStatistics>>& questions,
                              const QString& path) {
    // Shared with records_ until they change, not copied.
    const LearnerRecords before = records_;
    for (const auto& [key, row] : questions)
        updateRecord(records_, fileId_, key, row, marks_.table);
    const LearnerFileOutcome outcome = saveLearnerFile(path, records_);
    // Another program's answers merged into the file show here too; a row
    // whose numbers came back as they were is not shown again. A file that
    // could not be written leaves the new numbers in memory, shown.
    for (const QString& key : changedQuestions(before, records_, fileId_))
        emit changed(key);
    return outcome;
}
