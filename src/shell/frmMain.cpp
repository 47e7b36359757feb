#include "shell/frmMain.h"

#include "data/AppGlobals.h"
#include "editor/frmProp.h"
#include "editor/frmProtect.h"
#include "editor/frmRichStyle.h"
#include "editor/frmSakusei.h"
#include "formats/ProtectedFile.h"
#include "learner/MarkDefinitions.h"
#include "learner/QuestionFilter.h"
#include "learner/Statistics.h"
#include "platform/Accessibility.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/Texts.h"
#include "platform/Twips.h"
#include "platform/TwipsGeometry.h"
#include "platform/Widgets.h"
#include "printing/WorksheetPrinting.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

using Twips::place;

namespace {

constexpr int ButtonHeight = 345;

// Enter in a box's open list chooses the item there; the window's own Enter
// waits until the list is closed.
class ListTakesEnter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                event->accept();
        }
        return false;
    }
};
// The answering page's bottom row sits close to the page's lower edge.
constexpr int RowHeight = 300;
} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    setWindowTitle(u("くう・めも (ver0.00)"));
    createControls();
    createMenus();
    // The client area gets its designed size under the finished menu bar.
    resize(Twips::toPixels(10095), Twips::toPixels(5970) + menuBar()->sizeHint().height());
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        connect(enter, &QShortcut::activated, this, &frmMain::pressDefaultButton);
    }
    auto* listTakesEnter = new ListTakesEnter(this);
    for (QComboBox* box : {cmbFilter, cmbMark})
        box->view()->installEventFilter(listTakesEnter);
    connectLearner();
    connectSession();
    connectAccess();
    connectResults();
    connect(&document_, &QuestionDocument::recordsReset, this, &frmMain::documentReset);
    connect(&document_, &QuestionDocument::pathSet, this, &frmMain::documentPathSet);
    connect(&document_, &QuestionDocument::recordStored, this, &frmMain::showStoredQuestion);
    connect(&document_, &QuestionDocument::recordsAdded, this, &frmMain::showAddedQuestions);
    connect(&document_, &QuestionDocument::recordRemoved, this, &frmMain::removeQuestionRow);
    // The due count is of the file's questions, whatever the list shows.
    connect(&document_, &QuestionDocument::recordsReset, this, &frmMain::showDueCount);
    connect(&document_, &QuestionDocument::recordsAdded, this, &frmMain::showDueCount);
    connect(&document_, &QuestionDocument::recordRemoved, this, &frmMain::showDueCount);
    connect(&document_, &QuestionDocument::recordStored, this, [this](const QString&, bool added) {
        if (added)
            showDueCount();
    });
    connect(&document_, &QuestionDocument::loadProgress, this,
            [this](int read) { lblNum->setText("(Now)" + QString::number(read) + u("件")); });
    Form_Load();
}

frmMain::~frmMain() {
    delete sakusei_;
}

frmSakusei* frmMain::sakusei() {
    if (!sakusei_) {
        sakusei_ = new frmSakusei(document_);
        connect(sakusei_, &frmSakusei::modeReadRequested, this, &frmMain::returnFromEditor);
        // Closing the editor ends the program: the main window's shutdown
        // runs, which may keep it open when the learner's results could
        // not be written.
        connect(sakusei_, &frmSakusei::closeRequested, this, &frmMain::close);
        connect(sakusei_, &frmSakusei::historyImported, this, &frmMain::takeImportedHistory);
    }
    return sakusei_;
}

// The run window comes back where the learner left it, wherever the editor
// went meanwhile.
void frmMain::returnFromEditor() {
    move(runPlace_);
    show();
    // A window manager may place a window shown again as if it were new.
    QTimer::singleShot(150, this, [this] {
        if (isVisible() && windowHandle())
            windowHandle()->setFramePosition(runPlace_);
    });
    activateWindow();
}

void frmMain::setDefaultButton(QPushButton* button) {
    if (defaultButton_)
        defaultButton_->setDefault(false);
    defaultButton_ = button;
    if (button)
        button->setDefault(true);
}

// Enter on a button that has the focus presses that button, as anywhere
// else; in the other controls it presses the default button.
void frmMain::pressDefaultButton() {
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (!button)
        button = defaultButton_;
    if (button && button->isVisible() && button->isEnabled())
        button->click();
}

void frmMain::showQuestionsOfDocument() {
    lstMondai->setSorted(false);
    fillQuestionList(*lstMondai, document_, false);
    narrowed_ = false;
    showCount();
    // A list shown anew starts with no verdicts of this round.
    round().clearResults();
    session_.setQuestionFile(document_.path());
    matchUserData();
}

// Opened from either window, a file shows the learner's results; nothing of
// the file before stays answerable.
void frmMain::documentReset() {
    // A history held for a file never saved goes with that file.
    session_.dropHeldHistory();
    leaveRound();
    showQuestionsOfDocument();
    const bool any = lstMondai->count() >= 1;
    cmdStart->setEnabled(any);
    if (any) {
        txtMsg->hide();
        statusPanel1->setText(document_.properties().statusLine());
    }
}

// The answers given stay filed under the old name, where they were earned;
// the list shows the new name's results, as opening the file would. A path
// emptied is the editor closing with the program.
void frmMain::documentPathSet(const QString& oldPath) {
    // A file saved for the first time has a name the learner's records can
    // know it by: the history imported meanwhile is filed under it now.
    if (oldPath.isEmpty() && !document_.path().isEmpty() && session_.holdsHistory()) {
        session_.setQuestionFile(document_.path());
        for (const LearningSession::HistoryTaken& taken : session_.takeHeldHistory())
            reportHistory(taken);
    }
    if (!document_.path().isEmpty() && makeFileId(oldPath) != makeFileId(document_.path()))
        documentReset();
}

// A changed question keeps its row and results; a new one joins the list
// with its results unless the list has been narrowed.
void frmMain::showStoredQuestion(const QString& key, bool added) {
    const QString& text = document_.at(document_.indexOf(key)).text;
    if (const int row = lstMondai->find(key)) {
        lstMondai->setText(row, text);
        return;
    }
    if (added)
        showAddedQuestions({key});
}

void frmMain::showAddedQuestions(const QStringList& keys) {
    if (narrowed_)
        return;
    QVector<ListRowData> rows;
    rows.reserve(keys.size());
    for (const QString& key : keys) {
        const QString& text = document_.at(document_.indexOf(key)).text;
        rows.append({key, QStringList{text} + session_.statistics(key).columns()});
    }
    lstMondai->appendRows(rows);
    showCount();
}

void frmMain::narrowList(const QVector<int>& rows) {
    lstMondai->removeRows(rows);
    narrowed_ = true;
    showCount();
}

void frmMain::removeQuestionRow(const QString& key) {
    if (const int row = lstMondai->find(key)) {
        lstMondai->remove(row);
        showCount();
    }
    if (round().shownKey() == key)
        endShownQuestion();
}

void frmMain::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    SSTab1 = named(new QTabWidget(client), "SSTab1");
    auto* listPage = new QWidget;
    auto* answerPage = new QWidget;
    auto* afterPage = new QWidget;
    SSTab1->addTab(listPage, u("問題ﾘｽﾄ"));
    SSTab1->addTab(answerPage, u("各問題に回答"));
    SSTab1->addTab(afterPage, u("回答終了後の処理"));

    // The list page: a row of commands above the question list.
    cmdStart = named(new QPushButton(u("スタート"), listPage), "cmdStart");
    place(cmdStart, 120, 60, 1455, ButtonHeight);
    cmdStart->setEnabled(false);
    setDefaultButton(cmdStart);
    cmdFilterOff = named(new QPushButton(u("全ﾌｨﾙﾀ解除"), listPage), "cmdFilterOff");
    place(cmdFilterOff, 1680, 60, 1335, ButtonHeight);
    cmbFilter = named(new QComboBox(listPage), "cmbFilter");
    cmbFilter->setEditable(true);
    // A typed filter counts as typed, never completed to an item.
    cmbFilter->setCompleter(nullptr);
    place(cmbFilter, 3120, 60, 3015, ButtonHeight);
    cmbFilter->installEventFilter(this);
    cmdDoFilter = named(new QPushButton(u("ﾌｨﾙﾀ実行"), listPage), "cmdDoFilter");
    place(cmdDoFilter, 6120, 60, 1335, ButtonHeight);
    connect(cmdDoFilter, &QPushButton::clicked, this, &frmMain::cmdDoFilter_Click);
    connect(cmdFilterOff, &QPushButton::clicked, this, &frmMain::cmdFilterOff_Click);
    cmdRandom = named(new QPushButton(u("ﾗﾝﾀﾞﾑ順"), listPage), "cmdRandom");
    place(cmdRandom, 7680, 60, 975, ButtonHeight);
    lblNum = named(new QLabel(u("0件"), listPage), "lblNum");
    place(lblNum, 8715, 60, 1200, ButtonHeight);
    lblNum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The row of the list page has no room left, and the list starts right
    // under it: the due count stands in the tab strip's free end, above the
    // count, and only while the list page is shown.
    lblDue = named(new QLabel(SSTab1), "lblDue");
    lblDue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblDue->setAccessibleName(u("復習の時期が来た問題の数"));
    // Wide enough for any count, so the strip never moves as it changes.
    // It ends where the list below ends.
    lblDue->setContentsMargins(0, 0, Twips::toPixels(120), 0);
    lblDue->setMinimumWidth(lblDue->fontMetrics().horizontalAdvance(dueLabel(99999) + "  "));
    SSTab1->setCornerWidget(lblDue, Qt::TopRightCorner);
    tmrDue = new QTimer(this);
    tmrDue->setObjectName("tmrDue");
    tmrDue->setSingleShot(true);
    connect(tmrDue, &QTimer::timeout, this, &frmMain::showDueCount);
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int page) {
        lblDue->setVisible(page == 0);
        // Time has passed since the count was last shown.
        if (page == 0)
            showDueCount();
    });

    lstMondai = named(new ListView(listPage), "lstMondai");
    place(lstMondai, 120, 480, 9855, 4695);
    lstMondai->setMultiSelect(true);
    const std::pair<const char*, int> columns[] = {{"問題", 4260},   {"正解数", 720},
                                                   {"回答数", 720},  {"正解率", 720},
                                                   {"マーク", 2085}, {"今回正解?", 990}};
    for (const auto& [header, width] : columns)
        lstMondai->addColumn(u(header), width);
    // The widest statistic is seen whole whatever the font.
    for (const int column : {1, 2, 3})
        lstMondai->widenColumnFor(column, "100.0%");
    connect(lstMondai, &ListView::columnClick, this, &frmMain::lstMondai_ColumnClick);
    txtMsg = named(new QLineEdit(u("まず問題ﾌｧｲﾙを読み込んで下さい。"), listPage), "txtMsg");
    txtMsg->setReadOnly(true);
    txtMsg->setAlignment(Qt::AlignCenter);
    place(txtMsg, 2880, 2280, 4095, 375);

    // The answering page: question text, divider, choices, one row of commands.
    lblMsg = named(new QLabel(u("【問題ﾌｧｲﾙを読み込んで下さい】"), answerPage), "lblMsg");
    place(lblMsg, 120, 60, 9855, 285);
    Frame1 = named(new QFrame(answerPage), "Frame1");
    place(Frame1, 120, 360, 9855, 1935);
    txtMondai = named(new RichTextBox(Frame1), "txtMondai");
    txtMondai->setLocked(true);
    place(txtMondai, 0, 0, 9855, 1935);
    Picture1 = named(new QFrame(answerPage), "Picture1");
    Picture1->setFrameShape(QFrame::HLine);
    Picture1->setCursor(Qt::SizeVerCursor);
    place(Picture1, 0, 2280, 9855, 15);
    Picture2 = named(new QFrame(answerPage), "Picture2");
    Picture2->hide();
    place(Picture2, 0, 0, 1575, 5000);
    Frame2 = named(new QFrame(answerPage), "Frame2");
    place(Frame2, 120, 2400, 9855, 2415);
    createChoiceRow(0);
    createChoiceRow(1);
    lblChk[1]->hide();

    cmdHint = named(new QPushButton(u("ﾋﾝﾄ表示([Ctrl]+[H])"), answerPage), "cmdHint");
    place(cmdHint, 120, 4920, 1935, RowHeight);
    cmdKaisetsu = named(new QPushButton(u("解説表示([Ctrl]+[K])"), answerPage), "cmdKaisetsu");
    place(cmdKaisetsu, 120, 4920, 1935, RowHeight);
    cmdKaisetsu->hide();
    txtInput = named(new QLineEdit(answerPage), "txtInput");
    place(txtInput, 2160, 4920, 3495, RowHeight);
    lblMark = named(new QLabel(u("この問題に対するあなたの評価は？ ⇒"), answerPage), "lblMark");
    place(lblMark, 2160, 4920, 2400, RowHeight);
    // Fitted when first shown: measuring loads fonts, and it is hidden until
    // the first answer.
    lblMark->installEventFilter(this);
    lblMark->hide();
    cmbMark = named(new QComboBox(answerPage), "cmbMark");
    cmbMark->setEditable(true);
    place(cmbMark, 4560, 4920, 1095, RowHeight);
    cmbMark->hide();
    cmdKaitou = named(new QPushButton(u("回 答"), answerPage), "cmdKaitou");
    place(cmdKaitou, 5760, 4920, 1455, RowHeight);
    cmdMae = named(new QPushButton(u("←"), answerPage), "cmdMae");
    cmdMae->setToolTip(u("1つ前の問題に戻る"));
    place(cmdMae, 7320, 4920, 615, RowHeight);
    cmdTsugi = named(new QPushButton(u("→"), answerPage), "cmdTsugi");
    cmdTsugi->setToolTip(u("この問題は飛ばして次の問題へ"));
    place(cmdTsugi, 8040, 4920, 615, RowHeight);
    lblPosition = named(new QLabel(answerPage), "lblPosition");
    lblPosition->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPosition->setAccessibleName(u("何問目"));
    place(lblPosition, 8760, 4920, 1215, RowHeight);

    // Controls without a label beside them, as a screen reader names them.
    cmbFilter->setAccessibleName(u("ﾌｨﾙﾀ"));
    cmbFilter->lineEdit()->setAccessibleName(u("ﾌｨﾙﾀ"));
    lstMondai->setAccessibleName(u("問題一覧"));
    txtMsg->setAccessibleName(u("ﾒｯｾｰｼﾞ"));
    txtMondai->setAccessibleName(u("問題文"));
    txtInput->setAccessibleName(u("ｷｰ入力"));
    txtInput->setAccessibleDescription(u("数字ｷｰで回答を選び、Enterで回答します。"));
    // Named, not labelled: a label would be said instead of the verdict that
    // judging puts before its text.
    cmbMark->setAccessibleName(lblMark->text());
    cmbMark->lineEdit()->setAccessibleName(lblMark->text());
    for (QPushButton* arrow : {cmdMae, cmdTsugi})
        arrow->setAccessibleName(arrow->toolTip());

    Timer1 = named(new QTimer(this), "Timer1");
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    answerPage->installEventFilter(this);
    answerPage->setMouseTracking(true);
    Timer2 = named(new QTimer(this), "Timer2");

    StatusBar1 = named(new QStatusBar(client), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    statusPanel1 = named(new QLabel(u("くう・めも　―　KumemoSTUDIOS"), StatusBar1), "statusPanel1");
    StatusBar1->addWidget(statusPanel1, 1);
    lblRoundResult = named(new QLabel(StatusBar1), "lblRoundResult");
    lblRoundResult->setAccessibleName(u("今回の結果"));
    StatusBar1->addPermanentWidget(lblRoundResult);
    lblAnnounce = named(addAnnouncer(StatusBar1), "lblAnnounce");
}

void frmMain::createChoiceRow(int index) {
    const QString suffix = QStringLiteral("(%1)").arg(index);
    auto* key = named(new QLineEdit(QStringLiteral("(%1)").arg(index), Frame2), "txtKey" + suffix);
    key->setReadOnly(true);
    key->setAlignment(Qt::AlignCenter);
    place(key, 0, 0, 495, 600);
    auto* check = named(new QLabel(u("[レ]"), Frame2), "lblChk" + suffix);
    place(check, 510, 0, 480, 285);
    auto* choice = named(new RichTextBox(Frame2), "txtKaitou" + suffix);
    choice->setLocked(true);
    place(choice, 1005, 0, 8850, 600);
    if (index == 0) {
        key->hide();
        check->hide();
        choice->hide();
    }
    key->setAccessibleName(u("回答番号"));
    choice->setAccessibleName(u("回答") + suffix);
    // Rows made while a question is shown follow the row before them when
    // Tab moves through the page.
    if (RichTextBox* previous = txtKaitou.value(index - 1)) {
        setTabOrder(previous, key);
        setTabOrder(key, choice);
    }
    txtKey[index] = key;
    lblChk[index] = check;
    txtKaitou[index] = choice;
}

void frmMain::createMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = named(bar->addMenu(u("ﾌｧｲﾙ(&F)")), "mnuFile");
    mnuFileOpen = named(mnuFile->addAction(u("問題ﾌｧｲﾙの読み込み(&O)")), "mnuFileOpen");
    mnuFileOpen->setShortcut(QKeySequence("Ctrl+O"));
    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::mnuFileOpen_Click);
    mnuProp = named(mnuFile->addAction(u("文書のﾌﾟﾛﾊﾟﾃｨ(&P)")), "mnuProp");
    connect(mnuProp, &QAction::triggered, this, &frmMain::mnuProp_Click);
    mnuResults = named(mnuFile->addAction(u("成績の表示(&G)…")), "mnuResults");
    connect(mnuResults, &QAction::triggered, this, &frmMain::mnuResults_Click);
    named(mnuFile->addSeparator(), "mnuFileBar3");
    // Worksheets of the questions as the list shows them: its order, its filter.
    worksheet = addWorksheetCommands(mnuFile, this, document_, [this] {
        QStringList records;
        records.reserve(lstMondai->count());
        for (int row = 1; row <= lstMondai->count(); ++row) {
            const int at = document_.indexOf(lstMondai->key(row));
            if (at >= 0)
                records << document_.at(at).record;
        }
        return records;
    });
    named(mnuFile->addSeparator(), "mnuFileBar2");
    mnuChangeUser =
        named(mnuFile->addAction(u("ﾕｰｻﾞの切り替え(現在：権兵衛さん)(&U)")), "mnuChangeUser");
    connect(mnuChangeUser, &QAction::triggered, this, &frmMain::mnuChangeUser_Click);
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::mnuFile_Click);
    named(mnuFile->addSeparator(), "mnuFileBar1");
    mnuFileExit = named(mnuFile->addAction(u("終了(&X)")), "mnuFileExit");
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::mnuFileExit_Click);

    mnuSetup = named(bar->addMenu(u("設定(&S)")), "mnuSetup");
    mnuSetup1Click =
        named(mnuSetup->addAction(u("複数回答の問題以外は1ｸﾘｯｸで回答")), "mnuSetup1Click");
    mnuSetupRandom = named(mnuSetup->addAction(u("問題実施前にﾗﾝﾀﾞﾑに並び替え")), "mnuSetupRandom");
    for (QAction* item : {mnuSetup1Click, mnuSetupRandom}) {
        item->setCheckable(true);
        item->setChecked(true);
    }
    // Each click inverts the check mark (Qt's own toggling); the marks are
    // read when needed and stored at shutdown.
    named(mnuSetup->addSeparator(), "mnuSetupBar1");
    mnuSetupRetention = named(mnuSetup->addAction(u("復習の目標(&R)…")), "mnuSetupRetention");
    connect(mnuSetupRetention, &QAction::triggered, this, &frmMain::mnuSetupRetention_Click);

    mnuTool = named(bar->addMenu(u("ﾓｰﾄﾞ(&M)")), "mnuTool");
    mnuToolSakusei = named(mnuTool->addAction(u("問題ﾌｧｲﾙ作成ﾓｰﾄﾞ(&N)")), "mnuToolSakusei");
    connect(mnuToolSakusei, &QAction::triggered, this, &frmMain::mnuToolSakusei_Click);
}

void frmMain::fillFilterList(const QStringList& marks) {
    cmbFilter->clear();
    for (const QString& item : filterItems(marks)) {
        cmbFilter->addItem(item);
        if (item == defaultFilter())
            cmbFilter->setCurrentIndex(cmbFilter->count() - 1);
    }
}

void frmMain::Form_Load() {
    AppGlobals& g = appGlobals();
    const QString folder = ProgramFolder::locate();
    QDir::setCurrent(folder);
    Random::seedFromClock();
    g.programFolder = folder;
    g.appVersion = formatAppVersion(KUMEMO_VERSION_MAJOR, KUMEMO_VERSION_MINOR);
    setWindowTitle(u("くう・めも (ver") + g.appVersion + ")");
    g.learnerName = SettingsStore::get("UserName", u("ごんべえ"));
    mnuSetup1Click->setChecked(SettingsStore::getBool("setup1Click", true));
    mnuSetupRandom->setChecked(SettingsStore::getBool("setupRandom", true));

    ProgramFolder::provideSample(folder, MarkDefinitionFileName);
    MarkDefinitions marks;
    readMarkDefinitionFile(g.programFolder, marks);
    session_.learner().setMarks(marks);

    loadUserData();
    SSTab1->setTabEnabled(1, false);
    SSTab1->setTabEnabled(2, false);
    fillFilterList(marks.marks);
}

void frmMain::Form_Activate() {
    if (lstMondai->count() >= 1) {
        cmdStart->setEnabled(true);
        txtMsg->hide();
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblMark && event->type() == QEvent::Show) {
        lblMark->removeEventFilter(this);
        Twips::fitFontToWidth(lblMark, lblMark->text());
    } else if (watched == cmbFilter)
        filterBoxFocusEvent(event);
    else if (watched == Picture1->parentWidget() && dividerEvent(event))
        return true;
    if (sessionEvent(watched, event))
        return true;
    accessEvent(watched, event);
    return QMainWindow::eventFilter(watched, event);
}

bool frmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::mnuProp_Click() {
    // The editor comes first: with it the new document's dates.
    frmProp dialog(document_, sakusei(), this);
    dialog.exec();
}

bool frmMain::Form_Unload() {
    if (unloading_)
        return true;
    if (!saveUserDataBeforeClosing())
        return false;
    // A save the author chose that did not happen keeps the work and the
    // program.
    if (sakusei_ && !sakusei_->Form_Unload()) {
        Dialogs::message(u("問題ﾌｧｲﾙが保存されていないため、終了を取り消しました。"), u("終了中止"),
                         Dialogs::Icon::Exclamation);
        return false;
    }
    unloading_ = true;
    SettingsStore::saveBool("setup1Click", mnuSetup1Click->isChecked());
    SettingsStore::saveBool("setupRandom", mnuSetupRandom->isChecked());
    if (sakusei_)
        sakusei_->hide();
    // There are no scratch files on this platform to remove.
    hide();
    QApplication::quit();
    return true;
}

void frmMain::mnuFileOpen_Click() {
    openInRunMode([this] { return sakusei()->mnuFileOpen_Click(); });
}

// A name given from outside the program that leads to no file is told, and
// nothing open is touched.
static bool fileFoundOrTold(const QString& path) {
    if (QFileInfo::exists(path))
        return true;
    Dialogs::message(u("指定された問題ﾌｧｲﾙが見つかりません。") + "\r\n" + path, u("読み込みエラー"),
                     Dialogs::Icon::Exclamation);
    return false;
}

void frmMain::openFile(const QString& path) {
    if (!fileFoundOrTold(path))
        return;
    openInRunMode([this, &path] {
        sakusei()->openFile(path);
        return true;
    });
}

void frmMain::openHandedFile(const QString& path) {
    // A dialog holds the program: the file waits until it is answered.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        QTimer::singleShot(250, this, [this, path] { openHandedFile(path); });
        return;
    }
    // Work the learner chose to save and could not keeps the old file open.
    const bool inEditor = hasSakusei() && sakusei_->isVisible();
    QWidget* front = inEditor ? static_cast<QWidget*>(sakusei_) : this;
    // The editor's open empties its file before it reads: a name that leads
    // nowhere must not get that far.
    if (!path.isEmpty() && fileFoundOrTold(path) &&
        (!hasSakusei() || sakusei_->confirmSaveChanges())) {
        if (inEditor)
            sakusei_->openFile(path);
        else
            openFile(path);
    }
    front->showNormal();
    front->raise();
    front->activateWindow();
}

void frmMain::openInRunMode(const std::function<bool()>& open) {
    mnuFile->setEnabled(false);
    mnuToolSakusei->setEnabled(false);
    const bool opened = open();
    mnuToolSakusei->setEnabled(true);
    mnuFile->setEnabled(true);
    if (opened && lstMondai->count() >= 1) {
        SSTab1->setCurrentIndex(0);
        cmdStart->setFocus();
    }
}

void frmMain::mnuToolSakusei_Click() {
    if (document_.isLocked())
        frmProtect::unlockOrWarn(this, document_, ProtectedFile::stillLockedOtherFormatNotice());
    frmSakusei* editor = sakusei();
    editor->move(pos());
    editor->show();
    editor->placeRichStyle();
    editor->activateWindow();
    editor->setFocus();
    runPlace_ = pos();
    hide();
}
