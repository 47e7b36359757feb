#include "session/Question.h"

#include "platform/KeyMask.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "session/Shuffle.h"

#include <QtCore/qnamespace.h>

AnswerType answerTypeOf(QChar type) {
    if (type == QChar('2'))
        return AnswerType::Multiple;
    if (type == QChar('3'))
        return AnswerType::Typed;
    return AnswerType::Single;
}

QString selectedMark() {
    return u("[レ]");
}

QString unselectedMark() {
    return u("[　]");
}

QColor selectedColour() {
    return {255, 192, 192};
}

namespace {
QString promptFor(AnswerType type) {
    switch (type) {
    case AnswerType::Single:
        return u("回答を１つ選んで下さい。");
    case AnswerType::Multiple:
        return u("回答を選んで下さい。（複数回答）");
    case AnswerType::Typed:
        break;
    }
    return u("答えを入力して下さい。");
}

QString choiceNumber(int row) {
    return '(' + QString::number(row) + ')';
}
} // namespace

QuestionView presentQuestion(const RecordFields& question) {
    QuestionView view;
    view.type = answerTypeOf(question.type);
    view.prompt = promptFor(view.type);
    const QList<RecordChoice> choices =
        inOrder(question.choices, shuffleOrder(int(question.choices.size())));
    if (view.type == AnswerType::Typed) {
        const RecordChoice answer = choices.value(0);
        view.rows.append({selectedMark(), choiceNumber(1), answer.rtf, answer.correct});
    } else {
        for (int i = 0; i < choices.size(); ++i)
            view.rows.append(
                {unselectedMark(), choiceNumber(i + 1), choices[i].rtf, choices[i].correct});
    }
    view.questionRtf = question.questionRtf;
    view.hintRtf = question.hintRtf;
    view.explanationRtf = question.explanationRtf;
    view.hintEnabled = !Rtf::toPlainText(question.hintRtf).isEmpty();
    view.explanationEnabled = !Rtf::toPlainText(question.explanationRtf).isEmpty();
    return view;
}

QList<bool> selectionAfterClick(AnswerType type, QList<bool> selected, int row) {
    if (row < 1 || row > selected.size())
        return selected;
    if (type == AnswerType::Single) {
        selected.fill(false);
        selected[row - 1] = true;
    } else if (type == AnswerType::Multiple) {
        selected[row - 1] = !selected[row - 1];
    }
    return selected;
}

bool judgesByItself(AnswerType type, bool oneClickSetting) {
    return oneClickSetting && type != AnswerType::Multiple;
}

PageKey answerPageKey(int key, int shift, int choiceRows) {
    if (shift == CtrlMask && key == Qt::Key_H)
        return {PageKey::Hint};
    if (shift == CtrlMask && key == Qt::Key_K)
        return {PageKey::Explanation};
    const int digit = key - Qt::Key_0;
    if (shift == 0 && digit >= 1 && digit <= 9 && digit <= choiceRows)
        return {PageKey::Choice, digit};
    return {};
}
