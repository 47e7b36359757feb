#include "editor/frmSakusei.h"

#include "editor/frmRichStyle.h"
#include "platform/Dialogs.h"
#include "platform/KeyMask.h"
#include "platform/ListView.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/Texts.h"
#include "platform/Widgets.h"
#include "printing/WorksheetPrinting.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

frmSakusei::frmSakusei(QuestionDocument& document) : QMainWindow(nullptr), document_(document) {
    setObjectName("frmSakusei");
    setWindowTitle(u("くう・めも - 問題作成モード"));
    createControls();
    createMenus();
    richStyle_ = new frmRichStyle(this);
    connectQuestionEditing();
    connectSearch();
    connect(&document_, &QuestionDocument::recordsReset, this, &frmSakusei::documentReset);
    connect(&document_, &QuestionDocument::recordStored, this, &frmSakusei::showStoredQuestion);
    connect(&document_, &QuestionDocument::recordsAdded, this, &frmSakusei::showAddedQuestions);
    connect(&document_, &QuestionDocument::recordRemoved, this, &frmSakusei::removeQuestionRow);
    connect(&document_, &QuestionDocument::recordsReordered, this, &frmSakusei::showQuestionOrder);
    documentReset();
    Form_Load();
}

void frmSakusei::createControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    lstMondai = named(new ListView, "lstMondai");
    lstMondai->addColumn(QString(), 3600);
    lstMondai->addColumn(QString(), 1500);
    connect(lstMondai, &ListView::clicked, this, &frmSakusei::lstMondai_Click);
    connect(lstMondai, &ListView::keyUp, this, &frmSakusei::lstMondai_KeyUp);
    connect(lstMondai, &ListView::mouseUp, this, &frmSakusei::lstMondai_MouseUp);
    connect(lstMondai, &ListView::columnClick, this, &frmSakusei::lstMondai_ColumnClick);

    // A label names the field beside it for screen readers too, without the
    // blank that pads the caption.
    auto label = [](const char* text, const char* name, QWidget* field) {
        auto* caption = named(new QLabel(QString::fromUtf8(text)), name);
        caption->setBuddy(field);
        field->setAccessibleName(caption->text().trimmed());
        return caption;
    };
    txtMondai = named(new RichTextBox, "txtMondai");
    cmbKaitouType = named(new QComboBox, "cmbKaitouType");
    txtKaitou = named(new RichTextBox, "txtKaitou");
    chkKaitouIsSeikai = named(new QCheckBox(u("これが正解である")), "chkKaitouIsSeikai");
    cmdKaitouAdd = named(new QPushButton(u("回答追加")), "cmdKaitouAdd");
    cmdKaitouDel = named(new QPushButton(u("回答削除")), "cmdKaitouDel");
    lstKaitou = named(new ListView, "lstKaitou");
    lstKaitou->addColumn(u("正解"), 600);
    lstKaitou->addColumn(u("選択肢"), 4200);
    lstKaitou->addColumn(u("選択肢(RTF)"), 1500);
    txtHint = named(new RichTextBox, "txtHint");
    txtKaisetsu = named(new RichTextBox, "txtKaisetsu");
    txtKey = named(new QLineEdit, "txtKey");
    txtKey->setReadOnly(true);
    txtKey->setMaximumWidth(140);
    chkIfRich = named(new QCheckBox(u("ﾘｯﾁﾃｷｽﾄで保存")), "chkIfRich");
    chkIfRich->setChecked(true);
    cmdAdd = named(new QPushButton(u("この問題を追加する")), "cmdAdd");
    cmdClear = named(new QPushButton(u("新規問題")), "cmdClear");
    cmdDel = named(new QPushButton(u("問題削除")), "cmdDel");
    connect(cmdClear, &QPushButton::clicked, this, &frmSakusei::cmdClear_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmSakusei::cmdDel_Click);

    // Controls without a label beside them, as a screen reader names them.
    lstMondai->setAccessibleName(u("問題一覧"));
    lstMondai->setColumnAccessibleName(0, u("問題"));
    lstMondai->setColumnAccessibleName(1, u("問題ﾃﾞｰﾀ"), false);
    cmbKaitouType->setAccessibleName(u("回答の種類"));
    lstKaitou->setAccessibleName(u("回答一覧"));
    lstKaitou->setColumnAccessibleName(2, u("選択肢(RTF)"), false);
    txtKey->setAccessibleName(u("問題ｷｰ"));

    for (RichTextBox* box : {txtMondai, txtKaitou, txtHint, txtKaisetsu})
        clearRichText(box);
    txtMondai->setMinimumHeight(110);
    txtKaitou->setMaximumHeight(70);
    lstKaitou->setMaximumHeight(110);
    lstKaitou->setWholeRows(true);
    txtHint->setMaximumHeight(70);
    txtKaisetsu->setMaximumHeight(90);

    auto* fields = new QGridLayout;
    int row = 0;
    fields->addWidget(label("問題文 ", "Label1", txtMondai), row, 0, Qt::AlignTop);
    fields->addWidget(txtMondai, row++, 1, 1, 3);
    fields->addWidget(cmbKaitouType, row++, 1, 1, 3);
    fields->addWidget(label("回　答 ", "Label2", txtKaitou), row, 0, Qt::AlignTop);
    fields->addWidget(txtKaitou, row++, 1, 1, 3);
    auto* choiceButtons = new QHBoxLayout;
    choiceButtons->addWidget(chkKaitouIsSeikai);
    choiceButtons->addStretch();
    choiceButtons->addWidget(cmdKaitouAdd);
    choiceButtons->addWidget(cmdKaitouDel);
    fields->addLayout(choiceButtons, row++, 1, 1, 3);
    fields->addWidget(lstKaitou, row++, 1, 1, 3);
    fields->addWidget(label("ヒント ", "Label3", txtHint), row, 0, Qt::AlignTop);
    fields->addWidget(txtHint, row++, 1, 1, 3);
    fields->addWidget(label("解　説 ", "Label4", txtKaisetsu), row, 0, Qt::AlignTop);
    fields->addWidget(txtKaisetsu, row++, 1, 1, 3);
    auto* commands = new QHBoxLayout;
    commands->addWidget(txtKey);
    commands->addWidget(chkIfRich);
    commands->addStretch();
    commands->addWidget(cmdAdd);
    commands->addWidget(cmdClear);
    commands->addWidget(cmdDel);
    fields->addLayout(commands, row++, 0, 1, 4);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(0, 3);
    fields->setRowStretch(4, 1);

    auto* fieldPanel = new QWidget;
    fieldPanel->setLayout(fields);
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(lstMondai);
    splitter->addWidget(fieldPanel);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    auto* outer = new QVBoxLayout(client);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(splitter);

    StatusBar1 = named(new QStatusBar, "StatusBar1");
    statusPanel1 = named(new QLabel, "statusPanel1");
    StatusBar1->addWidget(statusPanel1, 1);
    setStatusBar(StatusBar1);
    resize(900, 640);
}

void frmSakusei::createMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = named(bar->addMenu(u("ﾌｧｲﾙ(&F)")), "mnuFile");
    mnuFileOpen = named(mnuFile->addAction(u("ﾃﾞｰﾀﾌｧｲﾙの読み込み(&O)")), "mnuFileOpen");
    mnuFileOpen->setShortcut(QKeySequence("Ctrl+O"));
    named(mnuFile->addSeparator(), "mnuFileBar1");
    mnuFileSave = named(mnuFile->addAction(u("上書き保存(&S)")), "mnuFileSave");
    mnuFileSave->setShortcut(QKeySequence("Ctrl+S"));
    mnuFileSaveAs = named(mnuFile->addAction(u("名前を付けて保存(&A)")), "mnuFileSaveAs");
    named(mnuFile->addSeparator(), "mnuFileBar4");
    mnuFileImport = named(mnuFile->addAction(u("ﾌｧｲﾙから問題を取り込む(&I)…")), "mnuFileImport");
    mnuFileExport = named(mnuFile->addAction(u("ﾃｷｽﾄﾌｧｲﾙに書き出す(&E)…")), "mnuFileExport");
    mnuFileExportMoodle =
        named(mnuFile->addAction(u("Moodle XMLに書き出す…")), "mnuFileExportMoodle");
    mnuFileExportGift = named(mnuFile->addAction(u("GIFTに書き出す…")), "mnuFileExportGift");
    named(mnuFile->addSeparator(), "mnuFileBar5");
    worksheet =
        addWorksheetCommands(mnuFile, this, document_, [this] { return document_.records(); });
    named(mnuFile->addSeparator(), "mnuFileBar2");
    mnuFileProp = named(mnuFile->addAction(u("文書のﾌﾟﾛﾊﾟﾃｨ(&P)")), "mnuFileProp");
    named(mnuFile->addSeparator(), "mnuFileBar3");
    mnuFileExit = named(mnuFile->addAction(u("閉じる(&X)")), "mnuFileExit");
    mnuFileSave->setEnabled(document_.hasUnsavedChanges());
    mnuFileSaveAs->setEnabled(false);
    connect(&document_, &QuestionDocument::unsavedChanged, mnuFileSave, &QAction::setEnabled);
    connect(mnuFile, &QMenu::aboutToShow, this, &frmSakusei::mnuFile_Click);
    connect(mnuFileExit, &QAction::triggered, this, &frmSakusei::mnuFileExit_Click);
    connect(mnuFileOpen, &QAction::triggered, this, &frmSakusei::mnuFileOpen_Click);
    connect(mnuFileSave, &QAction::triggered, this, &frmSakusei::mnuFileSave_Click);
    connect(mnuFileSaveAs, &QAction::triggered, this, &frmSakusei::mnuFileSaveAs_Click);
    connect(mnuFileImport, &QAction::triggered, this, &frmSakusei::mnuFileImport_Click);
    connect(mnuFileExport, &QAction::triggered, this, &frmSakusei::mnuFileExport_Click);
    connect(mnuFileExportMoodle, &QAction::triggered, this, &frmSakusei::mnuFileExportMoodle_Click);
    connect(mnuFileExportGift, &QAction::triggered, this, &frmSakusei::mnuFileExportGift_Click);

    mnuSetup = named(bar->addMenu(u("設定(&S)")), "mnuSetup");
    mnuSetupKMEpKMD =
        named(mnuSetup->addAction(u("保護付ﾃﾞｰﾀを書き出す時に、標準ﾃﾞｰﾀも一緒に書き出す")),
              "mnuSetupKMEpKMD");
    mnuSetupKMEpKMD->setCheckable(true);
    mnuSetupKMEpKMD->setChecked(true);
    connect(mnuSetup, &QMenu::aboutToShow, this, &frmSakusei::mnuSetup_Click);

    mnuFormat = named(bar->addMenu(u("書式(&O)")), "mnuFormat");
    mnuFormatChar = named(mnuFormat->addAction(u("文字(&C)…")), "mnuFormatChar");
    mnuFormatChar->setShortcut(QKeySequence("Ctrl+T"));
    connect(mnuFormatChar, &QAction::triggered, this, &frmSakusei::mnuFormatChar_Click);

    // Its own mnemonic: "設定(&S)" has S.
    mnuSearch = named(bar->addMenu(u("検索(&K)")), "mnuSearch");
    mnuSearchList = named(mnuSearch->addAction(u("一覧から検索(&M)")), "mnuSearchList");
    named(mnuSearch->addSeparator(), "mnuSearchBar1");
    mnuSearchNext = named(mnuSearch->addAction(u("次を検索(&N)")), "mnuSearchNext");
    mnuSearchNext->setShortcut(QKeySequence(Qt::Key_F3));
    mnuSearchBefore = named(mnuSearch->addAction(u("前を検索(&B)")), "mnuSearchBefore");
    mnuSearchBefore->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));

    mnuMode = named(bar->addMenu(u("ﾓｰﾄﾞ(&M)")), "mnuMode");
    mnuModeRead = named(mnuMode->addAction(u("問題ﾌｧｲﾙ実施ﾓｰﾄﾞ(&R)")), "mnuModeRead");
    connect(mnuModeRead, &QAction::triggered, this, &frmSakusei::mnuModeRead_Click);
}

void frmSakusei::Form_Load() {
    cmbKaitouType->clear();
    cmbKaitouType->addItems(
        {u("1.ﾗｼﾞｵﾎﾞﾀﾝ(1つを選択)"), u("2.ﾁｪｯｸﾎﾞｯｸｽ(複数回答)"), u("3.ﾃｷｽﾄﾎﾞｯｸｽ(入力)")});
    cmbKaitouType->setCurrentIndex(0);
    document_.setPath({});
    document_.clearDataProp();
    mnuSetupKMEpKMD->setChecked(SettingsStore::getBool("setupKMEpKMD", true));
}

void frmSakusei::clearRichText(RichTextBox* box) {
    box->clear();
    QTextCharFormat format;
    format.setFontFamilies(QStringList{u("ＭＳ ゴシック")});
    format.setFontPointSize(9);
    QTextCursor cursor(box->document());
    cursor.setCharFormat(format);
    cursor.setBlockCharFormat(format);
    box->setCurrentCharFormat(format);
    box->document()->setDefaultFont(format.font());
}

void frmSakusei::cmdClear_Click() {
    clearFields();
    txtMondai->setFocus();
}

void frmSakusei::clearFields() {
    clearRichText(txtMondai);
    clearRichText(txtKaitou);
    lstKaitou->clearRows();
    chkKaitouIsSeikai->setChecked(false);
    clearRichText(txtHint);
    clearRichText(txtKaisetsu);
    txtKey->clear();
    loadedKey_.clear();
    cmdAdd->setText(u("この問題を追加する"));
}

void frmSakusei::removeQuestion(int row) {
    document_.remove(lstMondai->key(row));
}

// The list shows each question's text and, in its second column, its
// record; it only shows them: the fields read a question from the file.
// A file opened shows in file order, not sorted.
void frmSakusei::documentReset() {
    listSorted_ = false;
    fillQuestionList(*lstMondai, document_, true);
}

void frmSakusei::showStoredQuestion(const QString& key) {
    const QuestionEntry& entry = document_.at(document_.indexOf(key));
    if (const int row = lstMondai->find(key)) {
        lstMondai->setText(row, entry.text);
        lstMondai->setSubItem(row, 1, entry.record);
    } else {
        lstMondai->appendRows({{key, {entry.text, entry.record}}});
    }
}

void frmSakusei::showAddedQuestions(const QStringList& keys) {
    QVector<ListRowData> rows;
    rows.reserve(keys.size());
    for (const QString& key : keys) {
        const QuestionEntry& entry = document_.at(document_.indexOf(key));
        rows.append({key, {entry.text, entry.record}});
    }
    lstMondai->appendRows(rows);
}

// The fields are emptied when they showed the question removed.
void frmSakusei::removeQuestionRow(const QString& key) {
    if (const int row = lstMondai->find(key))
        lstMondai->remove(row);
    if (key == loadedKey_)
        clearFields();
}

// The rows move with their questions, so the selection stays on its question.
void frmSakusei::showQuestionOrder() {
    QList<int> order;
    order.reserve(document_.count());
    for (const QuestionEntry& entry : document_.entries())
        order << lstMondai->find(entry.key);
    lstMondai->reorderRows(order);
}

void frmSakusei::cmdDel_Click() {
    const int row = lstMondai->selectedRow();
    if (row < 1)
        return;
    if (Dialogs::message(u("この問題を削除してもよろしいですか?"), u("削除しますか?"),
                         Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                         Dialogs::Answer::No) != Dialogs::Answer::Yes)
        return;
    removeQuestion(row);
}

void frmSakusei::lstMondai_KeyUp(int key, int shift) {
    lstMondai_Click();
    if (key == Qt::Key_Delete && shift == 0) {
        const int row = lstMondai->selectedRow();
        if (row >= 1)
            removeQuestion(row);
    } else if (key == Qt::Key_F && shift == CtrlMask) {
        mnuSearchList->trigger();
    }
    // F3 and Shift+F3 are the search items' own shortcuts: the key press has
    // run the search once already.
}

void frmSakusei::lstMondai_MouseUp(int button) {
    if (button == Qt::RightButton)
        mnuSearch->popup(QCursor::pos());
}

// Switching sorting off leaves the questions in their present order.
void frmSakusei::lstMondai_ColumnClick(int) {
    listSorted_ = !listSorted_;
    if (listSorted_)
        document_.sortByText();
}

void frmSakusei::mnuFile_Click() {
    for (QAction* exporting : {mnuFileExport, mnuFileExportMoodle, mnuFileExportGift})
        exporting->setEnabled(document_.count() >= 1);
    if (document_.count() >= 1) {
        mnuFileSaveAs->setEnabled(true);
    } else {
        // An empty list has nothing to save.
        document_.forgetUnsavedChanges();
        mnuFileSaveAs->setEnabled(false);
    }
}

void frmSakusei::mnuSetup_Click() {
    mnuSetupKMEpKMD->setEnabled(!document_.isLocked());
}

void frmSakusei::mnuModeRead_Click() {
    confirmSaveChanges();
    emit modeReadRequested();
    hide();
    richStyle_->hide();
}

void frmSakusei::placeRichStyle() {
    const QRect frame = frameGeometry();
    richStyle_->move(frame.x() + frame.width(), frame.y());
    richStyle_->show();
}

void frmSakusei::mnuFormatChar_Click() {
    if (!richStyle_->isVisible())
        placeRichStyle();
    richStyle_->raise();
    richStyle_->activateWindow();
    richStyle_->cmbFont->setFocus();
}

void frmSakusei::mnuFileExit_Click() {
    close();
}

void frmSakusei::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    // The program's shutdown decides, and unloads this window on its way.
    event->ignore();
    emit closeRequested();
}

bool frmSakusei::Form_Unload() {
    if (unloading_)
        return true;
    SettingsStore::saveBool("setupKMEpKMD", mnuSetupKMEpKMD->isChecked());
    if (!confirmSaveChanges())
        return false;
    unloading_ = true;
    document_.clearDataProp();
    document_.setPath({});
    return true;
}
