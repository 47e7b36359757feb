// Composing one question in the editor: the record from the fields and
// back, the answer choices, the two Ctrl+Q text commands and the key field.
#include "data/QuestionRecord.h"
#include "editor/TextCommands.h"
#include "editor/frmProp.h"
#include "editor/frmRichStyle.h"
#include "editor/frmSakusei.h"
#include "platform/Dialogs.h"
#include "platform/KeyMask.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"
#include "platform/Texts.h"
#include "platform/TrimSpaces.h"
#include "platform/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString correctMark = QString::fromUtf8("○");
const QString wrongMark = QString::fromUtf8("×");
} // namespace

void frmSakusei::connectQuestionEditing() {
    connect(cmdAdd, &QPushButton::clicked, this, &frmSakusei::cmdAdd_Click);
    connect(cmdKaitouAdd, &QPushButton::clicked, this, &frmSakusei::cmdKaitouAdd_Click);
    connect(cmdKaitouDel, &QPushButton::clicked, this, &frmSakusei::cmdKaitouDel_Click);
    connect(lstKaitou, &ListView::clicked, this, &frmSakusei::lstKaitou_Click);
    connect(lstKaitou, &ListView::keyUp, this, &frmSakusei::lstKaitou_Click);
    connect(lstKaitou, &ListView::doubleClicked, this, &frmSakusei::lstKaitou_DblClick);
    connect(txtKaitou, &RichTextBox::keyUp, this, &frmSakusei::txtKaitou_KeyUp);
    connect(txtMondai, &RichTextBox::keyUp, this, &frmSakusei::txtMondai_KeyUp);
    connect(mnuFileProp, &QAction::triggered, this, &frmSakusei::mnuFileProp_Click);
    txtKey->installEventFilter(this);
    setKeyLocked(true);

    // The style dialog works on the box last clicked or focused; the hint box
    // reports each change instead of clicks.
    const auto reportStyleTarget = [this](RichTextBox* box) {
        return [this, box] { richStyle_->setRichText(box); };
    };
    for (RichTextBox* box : {txtMondai, txtKaitou, txtKaisetsu})
        connect(box, &RichTextBox::clicked, this, reportStyleTarget(box));
    connect(txtHint, &RichTextBox::changed, this, reportStyleTarget(txtHint));
    for (RichTextBox* box : {txtMondai, txtKaitou, txtHint, txtKaisetsu})
        connect(box, &RichTextBox::gotFocus, this, reportStyleTarget(box));
}

void frmSakusei::cmdAdd_Click() {
    if (!txtKaitou->text().isEmpty() && lstKaitou->count() == 0)
        cmdKaitouAdd_Click();
    if (cmbKaitouType->currentText().startsWith("3.")) {
        if (lstKaitou->count() != 1) {
            Dialogs::message(u("直接入力ﾀｲﾌﾟの回答は1つにして下さい"), u("ｴﾗｰ"),
                             Dialogs::Icon::Exclamation);
            return;
        }
        if (lstKaitou->subItem(1, 1).contains("\r\n")) {
            Dialogs::message(u("直接入力ﾀｲﾌﾟの回答に改行を含むものは設定できません"), u("ｴﾗｰ"),
                             Dialogs::Icon::Exclamation);
            return;
        }
    }
    // A key typed by hand must survive the file it is written to.
    const QString typedKey = txtKey->text();
    if (!typedKey.isEmpty() && typedKey != loadedKey_) {
        const QString problem = handTypedKeyProblem(typedKey);
        if (!problem.isEmpty()) {
            Dialogs::message(problem, u("入力ｴﾗｰ"), Dialogs::Icon::Exclamation);
            return;
        }
    }

    RecordFields fields = questionFields();
    fields.key = typedKey.isEmpty() ? document_.makeUniqueKey() : typedKey;
    storeQuestion(fields.key, txtMondai->text(), composeRecord(fields));
    const int row = lstMondai->find(fields.key);

    cmdClear_Click();
    lstMondai->clearSelection();
    lstMondai->setSelectedRow(row);
    lstMondai->ensureRowVisible(row);
    lstMondai->setFocus();
    lstMondai_Click();
}

// A changed question keeps its place. A new one in a sorted list goes first,
// after any questions without text, where the sorted list has always put it,
// and the others are sorted again.
void frmSakusei::storeQuestion(const QString& key, const QString& text, const QString& record) {
    if (!listSorted_ || document_.contains(key)) {
        document_.setRecord(key, text, record);
        return;
    }
    document_.sortByText();
    int place = 0;
    while (place < document_.count() && document_.at(place).text.isEmpty())
        ++place;
    document_.setRecord(key, text, record);
    document_.moveRecord(key, place);
}

RecordFields frmSakusei::questionFields() const {
    RecordFields fields;
    fields.questionRtf = txtMondai->textRTF();
    fields.type = cmbKaitouType->currentText().at(0);
    for (int row = 1; row <= lstKaitou->count(); ++row)
        fields.choices.append({lstKaitou->text(row) == correctMark, lstKaitou->subItem(row, 2)});
    fields.hintRtf = txtHint->textRTF();
    fields.explanationRtf = txtKaisetsu->textRTF();
    return fields;
}

void frmSakusei::lstMondai_Click() {
    const int row = lstMondai->selectedRow();
    if (row < 1)
        return;
    const QString key = lstMondai->key(row);
    txtKey->setText(key);
    loadedKey_ = key;
    cmdAdd->setText(key.isEmpty() ? u("この問題を追加する") : u("この問題を修正する"));
    const QString record = document_.record(key);
    const RecordFields fields = recordFields(key, record);
    txtMondai->setTextRTF(fields.questionRtf);
    txtHint->setTextRTF(fields.hintRtf);
    txtKaisetsu->setTextRTF(fields.explanationRtf);

    const QChar type = recordAnswerType(record);
    for (int i = 0; i < cmbKaitouType->count(); ++i) {
        if (!type.isNull() && cmbKaitouType->itemText(i).at(0) == type) {
            cmbKaitouType->setCurrentIndex(i);
            break;
        }
    }

    lstKaitou->clearRows();
    for (const RecordChoice& choice : fields.choices) {
        const int choiceRow = lstKaitou->add(choice.correct ? correctMark : wrongMark);
        lstKaitou->setSubItem(choiceRow, 2, choice.rtf);
        txtKaitou->setTextRTF(choice.rtf);
        lstKaitou->setSubItem(choiceRow, 1, txtKaitou->text());
    }
}

void frmSakusei::cmdKaitouAdd_Click() {
    if (txtKaitou->text().isEmpty())
        return;
    // The choices are the question being edited: changing them is an edit
    // of the file even before the question is stored.
    document_.markEdited();
    const int row = lstKaitou->add(chkKaitouIsSeikai->isChecked() ? correctMark : wrongMark);
    lstKaitou->setSubItem(row, 1, trimSpaces(txtKaitou->text()));
    lstKaitou->setSubItem(row, 2, txtKaitou->textRTF());
    txtKaitou->setText(QString());
    chkKaitouIsSeikai->setChecked(false);
    txtKaitou->setFocus();
}

void frmSakusei::cmdKaitouDel_Click() {
    const int row = lstKaitou->selectedRow();
    if (row < 1)
        return;
    document_.markEdited();
    lstKaitou->remove(row);
}

void frmSakusei::lstKaitou_Click() {
    const int row = lstKaitou->selectedRow();
    if (row < 1)
        return;
    chkKaitouIsSeikai->setChecked(lstKaitou->text(row) == correctMark);
    txtKaitou->setTextRTF(lstKaitou->subItem(row, 2));
}

void frmSakusei::lstKaitou_DblClick() {
    const int row = lstKaitou->selectedRow();
    if (row < 1)
        return;
    lstKaitou->setText(row, lstKaitou->text(row) == correctMark ? wrongMark : correctMark);
}

void frmSakusei::txtKaitou_KeyUp(int key, int shift) {
    if (key != Qt::Key_Q || shift != 2)
        return;
    for (const QString& choice : splitPastedChoices(txtKaitou->text())) {
        txtKaitou->setText(choice);
        cmdKaitouAdd_Click();
    }
}

void frmSakusei::txtMondai_KeyUp(int key, int shift) {
    if (key == Qt::Key_Q && shift == CtrlMask)
        txtMondai->setText(tidyQuestionText(txtMondai->text()));
}

void frmSakusei::setKeyLocked(bool locked) {
    txtKey->setReadOnly(locked);
    showAsLocked(txtKey, locked);
}

void frmSakusei::txtKey_DblClick() {
    setKeyLocked(!txtKey->isReadOnly());
}

bool frmSakusei::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtKey && event->type() == QEvent::MouseButtonDblClick)
        txtKey_DblClick();
    return QMainWindow::eventFilter(watched, event);
}

void frmSakusei::mnuFileProp_Click() {
    frmProp dialog(document_, this, this);
    dialog.exec();
}
