#pragma once

#include <QString>
#include <QStringList>

// What a screen reader says on the answering page, where a sighted learner
// sees it at a glance: the new question, what a key picked, the verdict.

// A choice as it is said: its number, then its text on one line.
QString choiceName(const QString& number, const QString& plainText);

// The question and how to answer it, said when it comes up.
QString questionAnnouncement(const QString& questionPlainText, const QString& prompt);
// The choices one after another, then the keys that answer.
QString choicesAnnouncement(const QStringList& choiceNames);

// What a digit, a click or Space did to a choice.
QString pickAnnouncement(const QString& choiceName, bool picked);

// A typed answer left with Enter, and what the next Enter does.
QString typedEntryAnnouncement(const QString& entryPlainText);

// The verdict, then the right answer: the right choices' names, or the
// stored answer of a typed question ("正解：なし" when there is nothing to
// pick).
QString verdictAnnouncement(bool right, const QStringList& rightAnswers);

// A judged choice: whether it is one of the right ones.
QString judgedChoiceDescription(bool correct); // "正解" or "不正解"
