#pragma once

#include "data/QuestionRecord.h"

#include <QColor>
#include <QList>
#include <QString>

// How the learner answers a question.
enum class AnswerType { Single, Multiple, Typed };

// The answer type of a record's type character: "2" multiple choice, "3" a
// typed answer, anything else single choice (the editor's first type).
AnswerType answerTypeOf(QChar type);

// The marks of a choice row: the mark is the only record of what the
// learner has chosen.
QString selectedMark();   // "[レ]"
QString unselectedMark(); // "[　]"
// A selected choice's background; an unselected one shows the window
// background of the system's palette.
QColor selectedColour();

// One row of the answering page, left to right: mark, number, text.
struct ChoiceRow {
    QString mark;   // lblChk(i)
    QString number; // txtKey(i): "(1)", "(2)", … "(10)"
    // txtKaitou(i). For a typed answer the stored answer: the entry box
    // loads it and then empties its text, keeping the answer's character
    // format for what is typed ("" when the question has no stored answer).
    QString rtf;
    bool correct = false;
};

// What the answering page shows for a question.
struct QuestionView {
    AnswerType type = AnswerType::Single;
    QString prompt;        // lblMsg
    QList<ChoiceRow> rows; // in the order shown
    QString questionRtf;   // txtMondai
    QString hintRtf;
    QString explanationRtf;
    bool hintEnabled = false;
    bool explanationEnabled = false;
};

// The question as it is shown this time: its choices in a new random order
// (one draw per choice, also for a typed answer's single row), a typed
// answer as one empty, editable entry row marked "[レ]", choices unmarked.
// Hint and explanation are offered when their plain text is not empty.
QuestionView presentQuestion(const RecordFields& question);

// Which choices are selected after a click on row `row` (from 1): a single
// choice selects only that row, a multiple choice toggles it. A typed
// answer's entry box is no choice; a click there changes nothing.
QList<bool> selectionAfterClick(AnswerType type, QList<bool> selected, int row);

// Whether a click on a single choice, or Enter in a typed answer's entry
// box, judges the answer by itself: with the one-click setting on, after a
// delay that lets the click finish first. A multiple choice never does.
bool judgesByItself(AnswerType type, bool oneClickSetting);
constexpr int judgeDelayMs = 10;

// A key released on the answering page. `key` is the toolkit's key code and
// `shift` the modifier mask (1 Shift, 2 Ctrl, 4 Alt); the numeric keypad's
// digits arrive as the digit keys, without a modifier in the mask.
struct PageKey {
    enum Kind { None, Hint, Explanation, Choice };
    Kind kind = None;
    int row = 0; // for Choice: the choice row, 1 to 9
};
// Ctrl+H asks for the hint, Ctrl+K for the explanation (shown only when its
// button is enabled, and for the explanation visible); a digit 1 to 9
// without modifier picks that choice row if there is one.
PageKey answerPageKey(int key, int shift, int choiceRows);
