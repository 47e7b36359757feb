#pragma once

#include "support/TestEnv.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

// Looks for a modal form every 5 ms, `tries` times, and answers the first.
inline void answerModal(const std::function<void(QWidget*)>& answer, int tries) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        answer(modal);
        return;
    }
    if (tries > 0)
        QTimer::singleShot(5, [answer, tries] { answerModal(answer, tries - 1); });
}

// Answers the next modal form as a person would, once it is shown.
inline void whenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] { answerModal(answer, 400); });
}

// Types into the named box of a form and presses its named button.
inline void typeAndPress(QWidget* form, const QStringList& boxesAndTexts, const char* button) {
    for (int i = 0; i + 1 < boxesAndTexts.size(); i += 2) {
        auto* box = form->findChild<QLineEdit*>(boxesAndTexts[i]);
        box->clear();
        typeText(box, boxesAndTexts[i + 1]);
    }
    QTest::mouseClick(form->findChild<QPushButton*>(button), Qt::LeftButton);
}
