#pragma once

#include "data/QuestionDocument.h"
#include "learner/Results.h"
#include "printing/WorksheetPrinting.h"
#include "session/LearningSession.h"
#include "session/Question.h"

#include <QMainWindow>
#include <QMap>

#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class ListView;
class RichTextBox;
class frmSakusei;

// The run-mode window. It owns the program's life: its load does the whole
// start-up, its unload the whole shutdown, which also ends the editor.
class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The editor window, created on first use and then only hidden and shown.
    frmSakusei* sakusei();
    bool hasSakusei() const { return sakusei_ != nullptr; }
    // The open question file, which both windows show.
    QuestionDocument& document() { return document_; }
    // What the window decides without widgets: the learner's results and
    // the round on the answering page.
    LearningSession& session() { return session_; }
    Round& round() { return session_.round(); }

    // Enter in any control of the window presses this button, when it is
    // visible and enabled; a window has no default button of its own.
    void setDefaultButton(QPushButton* button);
    QPushButton* defaultButton() const { return defaultButton_; }

    // Start-up and shutdown.
    void Form_Load();
    void Form_Activate();
    // False when the learner chose to keep the program open.
    bool Form_Unload();
    void Form_Resize();

    // The divider: dragged over itself, dropped (twips, in the bar and in
    // the drop area), and the re-layout half a second after a drop.
    void Picture1_DragOver(int x, int y);
    void Picture2_DragDrop(int x, int y);
    void Timer1_Timer();

    // Menu commands.
    void mnuFileOpen_Click();
    // Opens the question file at `path` as mnuFileOpen_Click does once its
    // file dialog has chosen it; a path that does not exist is reported.
    void openFile(const QString& path);
    // A file handed over by a second start of the program: opened as the
    // window in front opens files, unsaved editor work asked about first,
    // once no dialog is open; that window comes to the front. An empty path
    // only brings it to the front.
    void openHandedFile(const QString& path);
    void mnuFileExit_Click();
    void mnuProp_Click();
    void mnuToolSakusei_Click();
    void mnuFile_Click();
    void mnuChangeUser_Click();
    void mnuResults_Click();
    void mnuSetupRetention_Click();
    // What the results window shows of the open file and the learner now.
    ResultsData resultsData() const;

    // Choosing the questions: filters, removing them, sorting.
    void cmdDoFilter_Click();
    void cmdFilterOff_Click();
    void cmbFilter_GotFocus();
    void cmbFilter_LostFocus();
    void lstMondai_ColumnClick(int column);

    // The learner's records (learner file) and the question list's columns.
    void loadUserData();
    // False, after telling the learner, when the file could not be written.
    bool saveUserData();
    // The list's columns show every question's results.
    void matchUserData();
    // Another learner's results from now on; false, after telling the
    // learner, when the old learner's could not be written.
    bool switchLearner(const QString& name);
    void showCount();
    // Beside the count: how many of the open file's questions are due now.
    void showDueCount();
    void swapListItems(ListView* list, int rowA, int rowB);

    // The learning session: showing a question, judging the answer, the
    // round and moving through it.
    void showQuestion(int n); // n from 1; 0: the first row not answered in this round
    void showNextQuestion();
    void shuffleListItems(ListView* list);
    void txtKaitou_Click(int index);
    void txtKaitou_KeyPress(int index, int& keyAscii);
    void txtInput_GotFocus();
    void txtInput_LostFocus();
    void txtInput_KeyUp(int key, int shift);
    void cmdKaitou_Click();
    void Timer2_Timer();
    void cmbMark_KeyPress(int& keyAscii);
    void cmbMark_KeyUp(int key, int shift);
    void cmdHint_Click();
    void cmdKaisetsu_Click();
    void cmdStart_Click();
    void cmdRandom_Click();
    void cmdTsugi_Click();
    void cmdMae_Click();
    void lstMondai_DblClick();
    void lstMondai_KeyDown(int key, int shift);
    void SSTab1_Click();

    // What the learner sees of the round beside the Parts' controls: at its
    // end a line of how it went, which is also written to the round log.
    void roundEnded(int asked, int right);
    // A round of just these questions.
    void startRoundOf(const QStringList& keys);

    // Controls, by their program names.
    QTabWidget* SSTab1 = nullptr;
    ListView* lstMondai = nullptr;
    QComboBox* cmbFilter = nullptr;
    QPushButton* cmdDoFilter = nullptr;
    QPushButton* cmdFilterOff = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdRandom = nullptr;
    QLabel* lblNum = nullptr;
    QLabel* lblDue = nullptr; // "復習 3問", in the tab strip above the count
    QTimer* tmrDue = nullptr; // shows lblDue anew when the next question falls due
    QLabel* lblMsg = nullptr;
    QLineEdit* txtMsg = nullptr;
    QFrame* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    QFrame* Picture1 = nullptr;
    QFrame* Picture2 = nullptr;
    RichTextBox* txtMondai = nullptr;
    QMap<int, RichTextBox*> txtKaitou; // element 0 is the hidden template
    QMap<int, QLineEdit*> txtKey;
    QMap<int, QLabel*> lblChk;
    QLineEdit* txtInput = nullptr;
    QPushButton* cmdKaitou = nullptr;
    QPushButton* cmdHint = nullptr;
    QPushButton* cmdKaisetsu = nullptr;
    QPushButton* cmdTsugi = nullptr;
    QPushButton* cmdMae = nullptr;
    QLabel* lblMark = nullptr;
    QComboBox* cmbMark = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusPanel1 = nullptr;
    QLabel* lblPosition = nullptr;    // "3 / 10" on the answering page
    QLabel* lblRoundResult = nullptr; // the last round's line in the status bar
    QWidget* lblAnnounce = nullptr;   // heard, not seen: what a listener is told at once

    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuProp = nullptr;
    WorksheetCommands worksheet;
    QAction* mnuChangeUser = nullptr;
    QAction* mnuResults = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuSetup = nullptr;
    QAction* mnuSetup1Click = nullptr;
    QAction* mnuSetupRandom = nullptr;
    QAction* mnuSetupRetention = nullptr;
    QMenu* mnuTool = nullptr;
    QAction* mnuToolSakusei = nullptr;

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void createControls();
    void createMenus();
    void createChoiceRow(int index);
    void fillFilterList(const QStringList& marks);
    void chooseBySchedule(const QuestionFilter& filter);
    void pressDefaultButton();
    void filterBoxFocusEvent(QEvent* event);
    // The run list shows the open file's questions anew, with the learner's
    // results.
    void showQuestionsOfDocument();
    // The run list follows the open file: a whole new file, one question
    // stored, new ones added, one removed.
    void documentReset();
    // Saved under another name, the file is another one to the learner's
    // records, which know a file by its name.
    void documentPathSet(const QString& oldPath);
    // A history imported with questions in the editor becomes the current
    // learner's; `said` tells what became of it.
    void takeImportedHistory(const QVector<QuestionHistory>& history, QString& said);
    // The line the import's message adds; a failure is told at once.
    QString reportHistory(const LearningSession::HistoryTaken& taken);
    // The file on the list is left: the round on it ends unfinished, its
    // answers are filed at once, the shown question can no longer be
    // answered and the last round's line goes.
    void leaveRound();
    void clearRoundResult();
    void showStoredQuestion(const QString& key, bool added);
    void showAddedQuestions(const QStringList& keys);
    // These rows leave the list, and new questions no longer join it.
    void narrowList(const QVector<int>& rows);
    void removeQuestionRow(const QString& key);
    void returnFromEditor();
    // Runs the editor's open command `open` with the run-mode window's
    // steps around it: menus held while it reads, the list page after it.
    // `open` says whether a file was opened; a cancelled one changes nothing.
    void openInRunMode(const std::function<bool()>& open);
    bool dividerEvent(QEvent* event);
    bool saveUserDataBeforeClosing();
    // The session's wiring and what it does with the question shown.
    void connectSession();
    void connectResults();
    bool sessionEvent(QObject* watched, QEvent* event);
    int currentPosition();
    int choiceRowCount() const;
    void removeChoiceRows();
    bool judgeShownChoices();
    bool judgeTypedEntry();
    void startJudgeTimer();
    // Ctrl+H and Ctrl+K: the hint, or once judged the explanation, when the
    // page offers it.
    void showPageMessage(PageKey::Kind kind);
    // The hint or explanation window; when it closes the focus goes back
    // where it was.
    void showMessage(const QString& rtf, const QString& what);
    // The answer button's caption and what shows beside it, before or
    // after judging.
    void showJudgedState(bool judged);
    // The question shown can no longer be answered: the page offers
    // nothing to judge.
    void endShownQuestion();
    // What a screen reader says and reaches on the answering page.
    void connectAccess();
    bool accessEvent(QObject* watched, QEvent* event);
    void accessQuestionShown();
    void accessChoicePicked(int index);
    void accessJudged(bool right);
    void accessTypedEntered();
    void accessRoundEnded();
    // The run list and the mark selector show what the session holds.
    void connectLearner();
    void showRowResults(const QString& key);
    void showMarks();
    // The round's order is the run list's, whatever sorted, shuffled,
    // filtered or added rows.
    void followListOrder();
    void showRoundPosition();
    // The picks of the shown question, as its choice rows show them.
    void showPicks();

    QuestionDocument document_;
    frmSakusei* sakusei_ = nullptr;
    QPushButton* defaultButton_ = nullptr;
    bool draggingDivider_ = false;
    bool unloading_ = false;
    QObject* pageKeysFirst_ = nullptr;
    // The question on the answering page, its choices in the order shown.
    QuestionView shownQuestion_;
    LearningSession session_;
    // Where the run window stood when the editor took its place.
    QPoint runPlace_;
    // Rows were filtered or taken out: a new question waits for
    // "全ﾌｨﾙﾀ解除".
    bool narrowed_ = false;
};
