// The answering page for a learner who listens: the new question is said
// where the focus is; what a key picked, the verdict and the round's result
// are said at once, the verdict also as the name of the mark selector that
// takes the focus; the choices are choices; Ctrl+H and Ctrl+K work from
// every control of the page; a control covered by another leaves the Tab
// order.
#include "shell/frmMain.h"

#include "platform/Accessibility.h"
#include "platform/KeyMask.h"
#include "platform/RichTextBox.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "session/Announcements.h"
#include "session/Judging.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {
// Ctrl+H and Ctrl+K belong to the page, not to the text box that has the
// focus (a text box would take Ctrl+K to delete to the line's end).
class PageKeysFirst : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        return key->modifiers() == Qt::ControlModifier &&
               (key->key() == Qt::Key_H || key->key() == Qt::Key_K);
    }
};
} // namespace

void frmMain::connectAccess() {
    QWidget* page = Picture1->parentWidget();
    pageKeysFirst_ = new PageKeysFirst(this);
    for (const int key : {Qt::Key_H, Qt::Key_K}) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | key), page);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, key] {
            // The key box and the mark selector take these keys as they go up.
            QWidget* focus = focusWidget();
            if (focus == txtInput || cmbMark->isAncestorOf(focus))
                return;
            showPageMessage(answerPageKey(key, CtrlMask, 0).kind);
        });
    }
    // "解説表示" lies over "ﾋﾝﾄ表示" and the mark selector over the key box
    // while a question is judged.
    for (QWidget* cover : std::initializer_list<QWidget*>{cmdKaisetsu, cmbMark})
        cover->installEventFilter(this);
}

bool frmMain::accessEvent(QObject* watched, QEvent* event) {
    if ((watched == cmdKaisetsu || watched == cmbMark) &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        const bool covered = event->type() == QEvent::Show;
        (watched == cmdKaisetsu ? static_cast<QWidget*>(cmdHint) : txtInput)
            ->setFocusPolicy(covered ? Qt::NoFocus : Qt::StrongFocus);
    }
    return false;
}

void frmMain::accessQuestionShown() {
    const QString question = questionAnnouncement(txtMondai->toPlainText(), lblMsg->text());
    const bool typed = shownQuestion_.type == AnswerType::Typed;
    QStringList names;
    for (int i = 1; i <= choiceRowCount(); ++i) {
        RichTextBox* box = txtKaitou[i];
        box->installEventFilter(pageKeysFirst_);
        if (typed)
            continue;
        names << choiceName(txtKey[i]->text(), box->toPlainText());
        makeAccessibleChoice(box, names.last(), shownQuestion_.type == AnswerType::Single);
        // Space on a choice picks it, as a click does.
        connect(box, &RichTextBox::keyPress, this, [this, i](int& keyAscii) {
            if (keyAscii != ' ')
                return;
            keyAscii = 0;
            txtKaitou_Click(i);
        });
    }
    txtMondai->installEventFilter(pageKeysFirst_);
    for (QLineEdit* number : std::as_const(txtKey))
        number->installEventFilter(pageKeysFirst_);
    if (typed)
        txtKaitou[1]->setAccessibleName(question);
    // Said as the focus comes to the key box, or at once when it is there.
    txtInput->setAccessibleName(question);
    txtInput->setAccessibleDescription(typed ? QString() : choicesAnnouncement(names));
}

void frmMain::accessChoicePicked(int index) {
    const QList<bool>& picks = round().picks();
    for (int i = 1; i <= choiceRowCount(); ++i)
        setAccessibleChecked(txtKaitou[i], picks.value(i - 1));
    if (RichTextBox* box = txtKaitou.value(index))
        announce(lblAnnounce, pickAnnouncement(accessibleChoiceName(box), picks.value(index - 1)));
}

void frmMain::accessJudged(bool right) {
    QStringList rightAnswers;
    if (shownQuestion_.type == AnswerType::Typed) {
        rightAnswers << Rtf::toPlainText(shownQuestion_.rows.value(0).rtf);
        if (RichTextBox* answer = txtKaitou.value(2))
            answer->setAccessibleName(answerPrefix());
    } else {
        for (int i = 1; i <= choiceRowCount(); ++i) {
            const bool correct = shownQuestion_.rows.value(i - 1).correct;
            txtKaitou[i]->setAccessibleDescription(judgedChoiceDescription(correct));
            if (correct)
                rightAnswers << accessibleChoiceName(txtKaitou[i]);
        }
    }
    // Said as the focus comes to the mark selector, which is hidden until
    // now; its name, not a label, so that the verdict comes first.
    const QString verdict = verdictAnnouncement(right, rightAnswers) + u("　") + lblMark->text();
    cmbMark->setAccessibleName(verdict);
    cmbMark->lineEdit()->setAccessibleName(verdict);
}

// The first Enter of a typed answer leaves the entry for the key box: said
// as the focus comes there, with what the second Enter does.
void frmMain::accessTypedEntered() {
    if (RichTextBox* entry = txtKaitou.value(1))
        txtInput->setAccessibleName(typedEntryAnnouncement(entry->toPlainText()));
}

void frmMain::accessRoundEnded() {
    if (!lblRoundResult->text().isEmpty())
        announce(lblAnnounce, lblRoundResult->text());
}
