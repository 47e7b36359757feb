#include "session/Judging.h"

#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "session/Question.h"

#include <QTextDocument>

QString answerCaption() {
    return u("回 答");
}

QString nextCaption() {
    return u("次問題");
}

AnswerAction answerAction(bool hasCurrentRow, const QString& caption) {
    if (!hasCurrentRow)
        return AnswerAction::Next;
    return caption == answerCaption() ? AnswerAction::Judge : AnswerAction::StoreMarkThenNext;
}

JudgedChoices judgeChoices(const QList<bool>& correct, const QList<bool>& selected) {
    JudgedChoices judged;
    for (qsizetype i = 0; i < correct.size(); ++i) {
        if (selected.value(i) != correct[i])
            judged.right = false;
        judged.marks.append(correct[i] ? u("○→") : u("×→"));
    }
    return judged;
}

bool typedAnswerRight(const QTextDocument* entry, const QString& answerRtf) {
    QTextDocument answer;
    answer.setDefaultFont(entry->defaultFont());
    Rtf::read(answerRtf, &answer);
    return Rtf::write(entry) == Rtf::write(&answer);
}

QString entryPrefix() {
    return u("入力：");
}

QString answerPrefix() {
    return u("正解：");
}

QRect answerBoxGeometry(const QRect& entryBox) {
    const int half = entryBox.height() / 2;
    return {entryBox.left(), entryBox.top() + half, entryBox.width(), half};
}

QString verdictLine(bool right) {
    return (right ? u("【正解しました】") : u("【不正解でした】")) + "\r\n";
}

QColor verdictColour(bool right) {
    return right ? QColor(0, 0, 255) : QColor(255, 0, 0);
}

QColor rightAnswerColour() {
    return {102, 102, 255};
}

QColor entryColour(bool right) {
    return right ? rightAnswerColour() : selectedColour();
}

MessageLayout messageLayout(int clientWidth, int clientHeight) {
    constexpr int buttonWidth = 975;
    constexpr int buttonHeight = 375;
    return {{0, 0, clientWidth, clientHeight - buttonHeight},
            {clientWidth - buttonWidth, clientHeight - 390, buttonWidth, buttonHeight}};
}
