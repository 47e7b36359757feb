// The learning session on the main window: a question on the answering
// page, the learner's choice, the verdict, and the round through the list.
#include "shell/frmMain.h"

#include "data/QuestionRecord.h"
#include "learner/QuestionFilter.h"
#include "platform/KeyMask.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"
#include "platform/Texts.h"
#include "platform/TwipsGeometry.h"
#include "platform/Widgets.h"
#include "session/Judging.h"
#include "session/Round.h"
#include "session/Shuffle.h"
#include "session/Statistics.h"
#include "shell/frmMessage.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {
constexpr int ListPage = 0;
constexpr int AnsweringPage = 1;
constexpr int EnterKey = 13;

// Removes the elements of a control array, all but the hidden template.
template <typename W> void removeElements(QMap<int, W*>& array) {
    for (auto it = array.begin(); it != array.end();) {
        if (it.key() == 0) {
            ++it;
            continue;
        }
        delete it.value();
        it = array.erase(it);
    }
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}
} // namespace

void frmMain::connectSession() {
    connect(cmdKaitou, &QPushButton::clicked, this, &frmMain::cmdKaitou_Click);
    connect(cmdHint, &QPushButton::clicked, this, &frmMain::cmdHint_Click);
    connect(cmdKaisetsu, &QPushButton::clicked, this, &frmMain::cmdKaisetsu_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmMain::cmdStart_Click);
    connect(cmdRandom, &QPushButton::clicked, this, &frmMain::cmdRandom_Click);
    connect(cmdTsugi, &QPushButton::clicked, this, &frmMain::cmdTsugi_Click);
    connect(cmdMae, &QPushButton::clicked, this, &frmMain::cmdMae_Click);
    connect(Timer2, &QTimer::timeout, this, &frmMain::Timer2_Timer);
    connect(lstMondai, &ListView::doubleClicked, this, &frmMain::lstMondai_DblClick);
    connect(lstMondai, &ListView::keyDown, this, &frmMain::lstMondai_KeyDown);
    connect(SSTab1, &QTabWidget::currentChanged, this, &frmMain::SSTab1_Click);
    // A click on the page already shown runs the page change too.
    SSTab1->tabBar()->installEventFilter(this);
    txtInput->installEventFilter(this);
    cmbMark->installEventFilter(this);
}

bool frmMain::sessionEvent(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == SSTab1->tabBar() && type == QEvent::MouseButtonRelease) {
        SSTab1_Click();
        return false;
    }
    const bool input = watched == txtInput;
    const bool mark = watched == cmbMark;
    if (!input && !mark)
        return false;
    if (input && type == QEvent::FocusIn)
        txtInput_GotFocus();
    else if (input && type == QEvent::FocusOut)
        txtInput_LostFocus();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyRelease) {
        if (!key->isAutoRepeat()) {
            const int shift = shiftMask(key->modifiers());
            input ? txtInput_KeyUp(key->key(), shift) : cmbMark_KeyUp(key->key(), shift);
        }
        return false;
    }
    if (!mark || !isEnter(key))
        return false;
    // Enter in the mark selector is the selector's, not the default button's.
    if (type == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    int keyAscii = EnterKey;
    cmbMark_KeyPress(keyAscii);
    return keyAscii == 0;
}

void frmMain::showNextQuestion() {
    showQuestion(0);
}

void frmMain::showQuestion(int n) {
    n = rowToShow(n, round());
    if (n == 0) {
        // The round is over: the wrongly answered questions are one Enter away.
        round().end();
        saveUserData();
        cmbFilter->setCurrentText(wrongThisTimeFilter());
        SSTab1->setCurrentIndex(ListPage);
        cmdDoFilter->setFocus();
        accessRoundEnded();
        return;
    }

    // The question comes from the open file by its key; the editor's fields
    // keep what the author is writing.
    const QString key = lstMondai->key(n);
    const int at = document_.indexOf(key);
    const RecordFields question =
        at >= 0 ? recordFields(key, document_.at(at).record) : RecordFields{};
    shownQuestion_ = presentQuestion(question);
    txtMondai->setTextRTF(shownQuestion_.questionRtf);

    removeChoiceRows();
    lblMsg->setText(shownQuestion_.prompt);
    for (int i = 1; i <= shownQuestion_.rows.size(); ++i) {
        const ChoiceRow& row = shownQuestion_.rows[i - 1];
        createChoiceRow(i);
        lblChk[i]->setText(row.mark);
        txtKey[i]->setText(row.number);
        txtKaitou[i]->setTextRTF(row.rtf);
        // Rows made while the page is shown do not show by themselves.
        for (QWidget* element : std::initializer_list<QWidget*>{lblChk[i], txtKey[i], txtKaitou[i]})
            element->show();
        connect(txtKaitou[i], &RichTextBox::clicked, this, [this, i] { txtKaitou_Click(i); });
        connect(txtKaitou[i], &RichTextBox::keyPress, this,
                [this, i](int& keyAscii) { txtKaitou_KeyPress(i, keyAscii); });
    }
    const bool typed = shownQuestion_.type == AnswerType::Typed;
    if (typed) {
        // Empty, in the stored answer's character format, which typed text
        // takes on.
        txtKaitou[1]->setLocked(false);
        txtKaitou[1]->setText(QString());
    }
    Form_Resize();
    SSTab1->setTabEnabled(AnsweringPage, true);
    SSTab1->setCurrentIndex(AnsweringPage);
    cmdHint->setEnabled(shownQuestion_.hintEnabled);
    cmdKaisetsu->setEnabled(shownQuestion_.explanationEnabled);
    // A question always opens unanswered, whatever was left on the page.
    showJudgedState(false);
    if (at >= 0) {
        QList<bool> picks;
        for (const ChoiceRow& row : shownQuestion_.rows)
            picks << (row.mark == selectedMark());
        round().show(key, picks);
    } else {
        round().endShown();
    }
    accessQuestionShown();
    if (typed)
        txtKaitou[1]->setFocus();
    else
        txtInput->setFocus();
}

void frmMain::showJudgedState(bool judged) {
    cmdKaitou->setText(judged ? nextCaption() : answerCaption());
    for (QWidget* control : std::initializer_list<QWidget*>{cmdKaisetsu, cmbMark, lblMark})
        control->setVisible(judged);
}

void frmMain::endShownQuestion() {
    if (!round().hasShownQuestion())
        return;
    round().endShown();
    shownQuestion_ = QuestionView{};
    txtMondai->setText(QString());
    lblMsg->clear();
    removeChoiceRows();
    cmdHint->setEnabled(false);
    showJudgedState(false);
}

void frmMain::leaveRound() {
    const bool answering = round().isRunning() || round().hasShownQuestion();
    endShownQuestion();
    round().leave();
    clearRoundResult();
    // Once for the file left: a learner file that cannot be written is told
    // once, not again as the next file's load ends.
    if (answering && session_.learner().anyChanged())
        saveUserData();
}

void frmMain::removeChoiceRows() {
    removeElements(lblChk);
    removeElements(txtKey);
    removeElements(txtKaitou);
}

int frmMain::choiceRowCount() const {
    return int(lblChk.size()) - 1;
}

// Each row moved once, with all its columns: thousands of rows take no
// longer than a glance.
// A shuffle turns sorting off until the next click on a heading.
void frmMain::shuffleListItems(ListView* list) {
    list->setSorted(false);
    list->reorderRows(shuffleOrder(list->count()));
}

void frmMain::txtKaitou_Click(int index) {
    const AnswerType type = shownQuestion_.type;
    if (type == AnswerType::Typed || !lblChk.contains(index))
        return;
    const QList<bool> selected = selectionAfterClick(type, round().picks(), index);
    round().setPicks(selected);
    // A single choice redraws every row, a multiple choice only the one
    // clicked.
    for (int i = 1; i <= choiceRowCount(); ++i) {
        if (type == AnswerType::Multiple && i != index)
            continue;
        const bool on = selected[i - 1];
        lblChk[i]->setText(on ? selectedMark() : unselectedMark());
        txtKaitou[i]->setBackColor(on ? selectedColour()
                                      : QApplication::palette().color(QPalette::Base));
    }
    accessChoicePicked(index);
    txtInput->setFocus();
    if (judgesByItself(type, mnuSetup1Click->isChecked()))
        startJudgeTimer();
}

void frmMain::txtKaitou_KeyPress(int, int& keyAscii) {
    if (shownQuestion_.type != AnswerType::Typed || keyAscii != EnterKey)
        return;
    keyAscii = 0;
    // From txtInput a second Enter presses "回 答".
    const bool judging = judgesByItself(shownQuestion_.type, mnuSetup1Click->isChecked());
    if (!judging)
        accessTypedEntered();
    txtInput->setFocus();
    if (judging)
        startJudgeTimer();
}

// The judging waits until the click or key that asked for it is finished;
// asking again before then still judges once.
void frmMain::startJudgeTimer() {
    Timer2->start(judgeDelayMs);
}

void frmMain::Timer2_Timer() {
    Timer2->stop();
    cmdKaitou_Click();
}

void frmMain::txtInput_GotFocus() {
    setDefaultButton(cmdKaitou);
}

void frmMain::txtInput_LostFocus() {
    if (defaultButton() == cmdKaitou)
        setDefaultButton(nullptr);
}

void frmMain::txtInput_KeyUp(int key, int shift) {
    const PageKey pressed = answerPageKey(key, shift, choiceRowCount());
    // The box only takes the keys; what they typed is not kept.
    txtInput->clear();
    switch (pressed.kind) {
    case PageKey::Hint:
    case PageKey::Explanation:
        // The focus stays where the keys were pressed, or comes back there
        // when the window closes.
        showPageMessage(pressed.kind);
        return;
    case PageKey::Choice:
        txtKaitou_Click(pressed.row);
        break;
    case PageKey::None:
        break;
    }
    txtInput->setFocus();
}

void frmMain::showPageMessage(PageKey::Kind kind) {
    if (kind == PageKey::Hint && cmdHint->isEnabled())
        cmdHint_Click();
    else if (kind == PageKey::Explanation && cmdKaisetsu->isEnabled() && !cmdKaisetsu->isHidden())
        cmdKaisetsu_Click();
}

void frmMain::cmbMark_KeyPress(int& keyAscii) {
    if (keyAscii != EnterKey)
        return;
    keyAscii = 0;
    cmdKaitou_Click();
}

void frmMain::cmbMark_KeyUp(int key, int shift) {
    if (shift == CtrlMask)
        txtInput_KeyUp(key, shift);
}

void frmMain::cmdKaitou_Click() {
    const int row = currentPosition();
    switch (answerAction(row != 0, cmdKaitou->text())) {
    case AnswerAction::Judge: {
        showJudgedState(true);
        const bool right =
            shownQuestion_.type == AnswerType::Typed ? judgeTypedEntry() : judgeShownChoices();
        // The mark is proposed from the one the question had when answered.
        const QString proposed = session_.proposedMark(right, cmbMark->currentText());
        // The answer is on disk before its verdict shows.
        const LearnerFileOutcome logged = session_.judge(right);
        if (!logged.ok) {
            lblRoundResult->setText(u("回答の記録に書き込めませんでした"));
            lblRoundResult->setToolTip(logged.path + "\n" + logged.reason);
        }
        txtMondai->setSelStart(0);
        txtMondai->setSelLength(0);
        txtMondai->insertText(verdictLine(right), true, verdictColour(right));
        cmbMark->setCurrentText(proposed);
        accessJudged(right);
        cmbMark->setFocus();
        return;
    }
    case AnswerAction::StoreMarkThenNext:
        session_.storeMark(cmbMark->currentText());
        break;
    case AnswerAction::Next:
        break;
    }
    showJudgedState(false);
    showNextQuestion();
}

bool frmMain::judgeShownChoices() {
    QList<bool> correct;
    for (int i = 1; i <= choiceRowCount(); ++i)
        correct << shownQuestion_.rows.value(i - 1).correct;
    const JudgedChoices judged = judgeChoices(correct, round().picks());
    // Judged rows show their verdicts, no longer a pick.
    round().setPicks(QList<bool>(correct.size(), false));
    for (int i = 1; i <= choiceRowCount(); ++i) {
        lblChk[i]->setText(judged.marks[i - 1]);
        if (correct[i - 1])
            txtKaitou[i]->setBackColor(rightAnswerColour());
    }
    return judged.right;
}

bool frmMain::judgeTypedEntry() {
    RichTextBox* entry = txtKaitou.value(1);
    if (!entry)
        return false;
    const QString answerRtf = shownQuestion_.rows.value(0).rtf;
    const bool right = typedAnswerRight(entry->document(), answerRtf);
    entry->setBackColor(entryColour(right));
    entry->setSelStart(0);
    entry->setSelLength(0);
    entry->insertPlainText(entryPrefix());

    // The stored answer over the entry's lower half; judging the same
    // question again uses the box it already has.
    RichTextBox* answer = txtKaitou.value(2);
    if (!answer) {
        answer = named(new RichTextBox(Frame2), "txtKaitou(2)");
        answer->setLocked(true);
        txtKaitou[2] = answer;
    }
    answer->setTextRTF(answerRtf);
    Twips::setRect(answer, answerBoxGeometry(Twips::rectOf(entry)));
    answer->insertPlainText(answerPrefix());
    answer->setBackColor(rightAnswerColour());
    answer->show();
    answer->raise();
    return right;
}

void frmMain::cmdHint_Click() {
    showMessage(shownQuestion_.hintRtf, u("ヒント"));
}

void frmMain::cmdKaisetsu_Click() {
    showMessage(shownQuestion_.explanationRtf, u("解説"));
}

// The learner goes on where the keys were pressed: typing the answer in its
// box, choosing a mark; after a click on the button, at the key box.
void frmMain::showMessage(const QString& rtf, const QString& what) {
    QPointer<QWidget> back = focusWidget();
    if (!back || back == cmdHint || back == cmdKaisetsu)
        back = txtInput;
    frmMessage::showText(this, rtf, what);
    if (back)
        back->setFocus();
}

void frmMain::cmdStart_Click() {
    RoundStart steps;
    steps.shuffle = [this] { cmdRandom_Click(); };
    steps.lockLearner = [this] { mnuChangeUser->setEnabled(false); };
    steps.clearThisRound = [this] { round().begin(); };
    steps.saveRecords = [this] { return saveUserData(); };
    steps.loadRecords = [this] { loadUserData(); };
    steps.openAnsweringPage = [this] { SSTab1->setTabEnabled(AnsweringPage, true); };
    steps.showNextQuestion = [this] { showNextQuestion(); };
    startRound(lstMondai->count(), mnuSetupRandom->isChecked(), steps);
}

void frmMain::cmdRandom_Click() {
    shuffleListItems(lstMondai);
    if (cmdStart->isEnabled() && cmdStart->isVisible())
        cmdStart->setFocus();
}

// The row of the question shown, 0 when there is none.
int frmMain::currentPosition() {
    return round().position();
}

void frmMain::cmdTsugi_Click() {
    // With nothing left to answer on the page the round goes on.
    if (!round().hasShownQuestion()) {
        showNextQuestion();
        return;
    }
    if (const int row = nextRow(currentPosition(), lstMondai->count()))
        showQuestion(row);
}

void frmMain::cmdMae_Click() {
    if (const int row = previousRow(currentPosition()))
        showQuestion(row);
}

void frmMain::lstMondai_DblClick() {
    if (const int row = lstMondai->selectedRow())
        showQuestion(row);
}

// Delete and Backspace take the selected rows out of this list only; the
// question file and the learner's records keep them.
void frmMain::lstMondai_KeyDown(int key, int) {
    if (key != Qt::Key_Delete && key != Qt::Key_Backspace)
        return;
    QVector<int> selected;
    for (int row = 1; row <= lstMondai->count(); ++row)
        if (lstMondai->isRowSelected(row))
            selected << row;
    narrowList(selected);
}

void frmMain::SSTab1_Click() {
    const int page = SSTab1->currentIndex();
    if (page == ListPage)
        setDefaultButton(cmdStart);
    else if (defaultButton() == cmdStart)
        setDefaultButton(nullptr);
    if (page == AnsweringPage) {
        Picture1->show();
        txtInput->setFocus();
    } else {
        Picture1->hide();
    }
}
