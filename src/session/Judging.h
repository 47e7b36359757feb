#pragma once

#include <QColor>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class QTextDocument;

// The answer button's caption is the answer state: "回 答" until the shown
// question is judged, "次問題" after.
QString answerCaption(); // "回 答"
QString nextCaption();   // "次問題"

// What the answer button does.
enum class AnswerAction {
    Judge,             // "回 答": judge the shown question
    StoreMarkThenNext, // "次問題": keep the selector's mark, then the next question
    Next,              // no current question: straight to the next question
};
AnswerAction answerAction(bool hasCurrentRow, const QString& caption);

// Choices as judged: right exactly when the selected choices are the right
// ones (so a question without right choices is right with nothing
// selected, and a single choice without a selection is wrong). Each row's
// mark becomes "○→" or "×→" by its own flag; right choices turn
// rightAnswerColour(), a wrongly chosen one keeps the selection colour.
struct JudgedChoices {
    bool right = true;
    QStringList marks;
};
JudgedChoices judgeChoices(const QList<bool>& correct, const QList<bool>& selected);

// A typed answer is right when the entry's whole content is the stored
// answer's whole content as rich text: the same characters (no blank
// trimmed, letter case and full-width forms distinct) in the same character
// style. The entry takes on the answer's style, so a plain typed answer
// differs only in what was typed.
bool typedAnswerRight(const QTextDocument* entry, const QString& answerRtf);

// After judging a typed answer the entry box shows "入力：" before the
// entry, and the stored answer appears over the entry box's lower half
// after "正解：".
QString entryPrefix();  // "入力："
QString answerPrefix(); // "正解："
QRect answerBoxGeometry(const QRect& entryBox);

// The verdict line put in bold at the top of the question text.
QString verdictLine(bool right); // "【正解しました】" or "【不正解でした】" and CR LF
QColor verdictColour(bool right);

// Background colours after judging: right choices, a right typed entry and
// the stored answer in blue; a wrong typed entry in the selection colour.
QColor rightAnswerColour();
QColor entryColour(bool right);

// The hint and explanation window in twips: the text over the client area
// but for a strip at the bottom, "閉じる" in the lower right corner.
struct MessageLayout {
    QRect text;
    QRect closeButton;
};
MessageLayout messageLayout(int clientWidth, int clientHeight);
