#include "learner/Learners.h"

#include "platform/Texts.h"

#include <QDir>

namespace {
const QString Extension = QStringLiteral(".kmu");
const QString Forbidden = QStringLiteral("\\/:,;*?\"<>|");
} // namespace

QString learnerFilePath(const QString& programFolder, const QString& learnerName) {
    return programFolder + learnerName + Extension;
}

QString roundLogPath(const QString& programFolder, const QString& learnerName) {
    return programFolder + learnerName + QStringLiteral(".kmr");
}

QString answerLogPath(const QString& programFolder, const QString& learnerName) {
    return programFolder + learnerName + QStringLiteral(".kma");
}

LearnerFileOutcome logAnswer(const QString& programFolder, const QString& learnerName,
                             const AnswerLine& line) {
    return logAnswers(programFolder, learnerName, {line});
}

LearnerFileOutcome logAnswers(const QString& programFolder, const QString& learnerName,
                              const QVector<AnswerLine>& lines) {
    // Under the learner file's lock, as the learner file and the round log
    // are written: a line is never written unlocked.
    const QString path = answerLogPath(programFolder, learnerName);
    LearnerLock lock(learnerFilePath(programFolder, learnerName));
    QString reason;
    if (!lock.take(path, reason))
        return {false, path, reason};
    const bool ok = appendAnswerLines(path, lines, &reason);
    return {ok, path, ok ? QString() : reason};
}

QStringList existingLearners(const QString& programFolder) {
    // Only names ending exactly in ".kmu" open as learner files again.
    const QStringList files =
        QDir(programFolder)
            .entryList({"*" + Extension}, QDir::Files | QDir::CaseSensitive, QDir::Name);
    QStringList names;
    for (const QString& file : files)
        names << file.chopped(Extension.size());
    return names;
}

QString learnerNameError(const QString& name) {
    if (name.isEmpty())
        return u("回答者名を入力して下さい");
    for (const QChar c : Forbidden)
        if (name.contains(c))
            return u("回答者名には次の文字は使えません\r\n　　\\ / : , ; * ? \" < > |");
    return {};
}

QString changeUserCaption(const QString& learnerName) {
    return u("回答者の切り替え(現在：") + learnerName + u("さん)(&U)");
}

QString currentLearnerStatus(const QString& learnerName) {
    return u("現在の回答者は、") + learnerName + u("さんです");
}
