#include "session/Announcements.h"

#include "platform/Texts.h"
#include "session/Judging.h"

namespace {
const QString Gap = u("　");

QString oneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QChar('\n'), QChar(' '));
    text.replace(QChar('\r'), QChar(' '));
    return text.trimmed();
}
} // namespace

QString choiceName(const QString& number, const QString& plainText) {
    return number + " " + oneLine(plainText);
}

QString questionAnnouncement(const QString& questionPlainText, const QString& prompt) {
    return oneLine(questionPlainText) + Gap + prompt;
}

QString choicesAnnouncement(const QStringList& choiceNames) {
    return choiceNames.join(Gap) + Gap + u("数字ｷｰで回答を選び、Enterで回答します。");
}

QString pickAnnouncement(const QString& choiceName, bool picked) {
    return choiceName + (picked ? u(" を選びました。") : u(" の選択を外しました。"));
}

QString typedEntryAnnouncement(const QString& entryPlainText) {
    return entryPrefix() + oneLine(entryPlainText) + Gap + u("Enterで回答します。");
}

QString verdictAnnouncement(bool right, const QStringList& rightAnswers) {
    QStringList answers;
    for (const QString& answer : rightAnswers)
        answers << oneLine(answer);
    return verdictLine(right).trimmed() + Gap + answerPrefix() +
           (answers.isEmpty() ? u("なし") : answers.join(u("、")));
}

QString judgedChoiceDescription(bool correct) {
    return correct ? u("正解") : u("不正解");
}
