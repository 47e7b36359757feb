#pragma once

#include "support/TestEnv.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

// Answers the next modal form as a person would, once it is shown.
inline void whenModal(std::function<void(QWidget*)> answer) {
    auto attempt = std::make_shared<std::function<void(int)>>();
    *attempt = [answer, attempt](int tries) {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            answer(modal);
            return;
        }
        if (tries > 0)
            QTimer::singleShot(5, [attempt, tries] { (*attempt)(tries - 1); });
    };
    QTimer::singleShot(0, [attempt] { (*attempt)(400); });
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
