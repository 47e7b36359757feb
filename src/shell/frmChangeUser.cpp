#include "shell/frmChangeUser.h"

#include "data/AppGlobals.h"
#include "learner/Learners.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include "platform/Texts.h"
#include "platform/TwipsGeometry.h"
#include "platform/Widgets.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using Twips::place;

namespace {
constexpr int FormWidth = 4250;
constexpr int FormHeight = 2050;
constexpr int Margin = 120;
constexpr int Indent = 360;
constexpr int BoxHeight = 300;
constexpr int ButtonWidth = 1215;
constexpr int ButtonHeight = 345;
} // namespace

frmChangeUser::frmChangeUser(frmMain& main) : QDialog(&main), main_(main) {
    setObjectName("frmChangeUser");
    setWindowTitle(u("回答者切り替え"));
    setModal(true);
    setFixedSize(Twips::toPixels(FormWidth), Twips::toPixels(FormHeight));

    const int boxWidth = FormWidth - Indent - Margin;
    Option1[0] = named(new QRadioButton(u("新規回答者作成"), this), "Option1(0)");
    place(Option1[0], Margin, 120, FormWidth - 2 * Margin, 255);
    Option1[0]->setChecked(true);
    Text1 = named(new QLineEdit(this), "Text1");
    place(Text1, Indent, 420, boxWidth, BoxHeight);
    Option1[1] = named(new QRadioButton(u("既存の回答者から選ぶ"), this), "Option1(1)");
    place(Option1[1], Margin, 840, FormWidth - 2 * Margin, 255);
    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->setEditable(true);
    place(Combo1, Indent, 1140, boxWidth, BoxHeight);

    Text1->setAccessibleName(u("新しい回答者名"));
    Combo1->setAccessibleName(u("既存の回答者名"));
    Combo1->lineEdit()->setAccessibleName(Combo1->accessibleName());

    // "ｷｬﾝｾﾙ" left of "切り替え", both at the bottom right.
    const int buttonTop = FormHeight - Margin - ButtonHeight;
    Command2 = named(new QPushButton(u("ｷｬﾝｾﾙ"), this), "Command2");
    place(Command2, FormWidth - 2 * (ButtonWidth + Margin), buttonTop, ButtonWidth, ButtonHeight);
    Command1 = named(new QPushButton(u("切り替え"), this), "Command1");
    place(Command1, FormWidth - ButtonWidth - Margin, buttonTop, ButtonWidth, ButtonHeight);
    Command1->setDefault(true);

    connect(Text1, &QLineEdit::textChanged, this, &frmChangeUser::Text1_Change);
    connect(Combo1, &QComboBox::activated, this, &frmChangeUser::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &frmChangeUser::Command1_Click);
    // Esc closes the dialog as "ｷｬﾝｾﾙ" does.
    connect(Command2, &QPushButton::clicked, this, &frmChangeUser::Command2_Click);
    Form_Load();
}

void frmChangeUser::Form_Load() {
    const QStringList learners = existingLearners(appGlobals().programFolder);
    if (learners.isEmpty()) {
        Option1[1]->setEnabled(false);
        Combo1->setEditText(u("既存回答者が存在しません"));
        Combo1->setEnabled(false);
    } else {
        Combo1->addItems(learners);
        Combo1->setEditText(learners.first());
    }
    Text1->setText(appGlobals().learnerName);
}

void frmChangeUser::Text1_Change() {
    Option1[0]->setChecked(true);
}

void frmChangeUser::Combo1_Click() {
    Option1[1]->setChecked(true);
}

void frmChangeUser::Command1_Click() {
    const bool typed = Option1[0]->isChecked();
    const QString name = typed ? Text1->text() : Combo1->currentText();
    const QString refusal = learnerNameError(name);
    if (!refusal.isEmpty()) {
        Dialogs::message(refusal, u("入力ｴﾗｰ"), Dialogs::Icon::Exclamation);
        QLineEdit* source = typed ? Text1 : Combo1->lineEdit();
        source->selectAll();
        source->setFocus();
        return;
    }
    // When the old learner's results cannot be written, the learner stays
    // (the main window has said why).
    if (!main_.switchLearner(name))
        return;
    accept();
}

void frmChangeUser::Command2_Click() {
    reject();
}
