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

LearnerFileOutcome LearnerModel::save(const QString& path) {
    const LearnerFileOutcome outcome = saveLearnerFile(path, records_);
    // Another program's answers merged into the file show here too.
    if (outcome.ok)
        emit reset();
    return outcome;
}

RowStatistics LearnerModel::statistics(const QString& questionKey) const {
    return joinedStatistics(records_, fileId_, questionKey, marks_.table);
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
    for (const auto& [key, row] : questions)
        updateRecord(records_, fileId_, key, row, marks_.table);
    const LearnerFileOutcome outcome = saveLearnerFile(path, records_);
    emit reset();
    return outcome;
}
