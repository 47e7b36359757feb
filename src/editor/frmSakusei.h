#pragma once

#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "formats/ImportedHistory.h"
#include "formats/QuestionDocumentFile.h"
#include "formats/QuestionTable.h"
#include "printing/WorksheetPrinting.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class ListView;
class RichTextBox;
class frmRichStyle;

// Fills a question list from the open file in one batch: each question's key
// and plain text, and with `withRecords` its record as the first sub-item.
void fillQuestionList(ListView& list, const QuestionDocument& document, bool withRecords);

// The question-file editor. It loads and saves the open question file, and
// its question list shows that file's questions, so the window lives,
// hidden or shown, until the program ends.
class frmSakusei : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmSakusei(QuestionDocument& document);

    QuestionDocument& document() const { return document_; }
    // The character style dialog, shown beside the editor.
    frmRichStyle* richStyle() const { return richStyle_; }

    void Form_Load();
    // False when a save the author chose did not happen: the work stays.
    bool Form_Unload();

    // Question list.
    void cmdClear_Click();
    void cmdDel_Click();
    void lstMondai_Click();
    void lstMondai_KeyUp(int key, int shift);
    void lstMondai_MouseUp(int button);
    void lstMondai_ColumnClick(int column);

    // Menus.
    void mnuFile_Click();
    void mnuSetup_Click();
    void mnuModeRead_Click();
    // Puts the style window beside this window (over its edge when the
    // screen has no room beside it) and shows it.
    void placeRichStyle();
    // "文字(&C)…": brings up the style window, its font box focused.
    void mnuFormatChar_Click();
    void mnuFileExit_Click();

    // Search in the question list.
    void mnuSearchList_Click();
    void mnuSearchNext_Click();
    void mnuSearchBefore_Click();

    // Composing and editing one question.
    void cmdAdd_Click();
    void cmdKaitouAdd_Click();
    void cmdKaitouDel_Click();
    void lstKaitou_Click();
    void lstKaitou_DblClick();
    void txtKaitou_KeyUp(int key, int shift);
    void txtMondai_KeyUp(int key, int shift);
    void txtKey_DblClick();
    void mnuFileProp_Click();

    // The question as its fields hold it, without a key.
    RecordFields questionFields() const;

    // Empties a box and resets its font to "ＭＳ ゴシック", 9 pt.
    static void clearRichText(RichTextBox* box);

    // Question files: reading, saving, and asking before changes are lost.
    // False when no file was opened: the dialog was cancelled, or a save
    // chosen before it did not happen.
    bool mnuFileOpen_Click();
    // Reads the question file at `path` into both question lists, telling
    // what went wrong: the open command after its file dialog.
    void openFile(const QString& path);
    // Each is false when nothing was written.
    bool mnuFileSave_Click();
    bool mnuFileSaveAs_Click();
    // Offers to save unsaved changes; false when the author chose to save
    // and the file was not written.
    bool confirmSaveChanges();

    // Questions from a table or another program's file, and out to a table
    // or a quiz.
    void mnuFileImport_Click();
    void mnuFileExport_Click();
    void mnuFileExportMoodle_Click();
    void mnuFileExportGift_Click();
    // Reads the file at `path` in the format its content shows and adds its
    // questions as new ones; cards with two sides ask which is the question.
    void importFile(const QString& path);
    // Reads the table file at `path` and adds its questions as new ones,
    // after asking what to do with rows that cannot become questions.
    void importTable(const QString& path);

  signals:
    // "問題ﾌｧｲﾙ実施ﾓｰﾄﾞ(&R)": the main window comes back at this place.
    void modeReadRequested();
    // The window is being closed: the whole program ends.
    void closeRequested();
    // Questions were imported with what another program knew of how the
    // learner answered them ("履歴も取り込む"), under their new keys. The
    // receiver takes it for the learner and puts in `said` the line the
    // import's message tells of it.
    void historyImported(const QVector<QuestionHistory>& history, QString& said);

  public:
    // Controls, by their program names.
    ListView* lstMondai = nullptr;
    RichTextBox* txtMondai = nullptr;
    QComboBox* cmbKaitouType = nullptr;
    RichTextBox* txtKaitou = nullptr;
    QCheckBox* chkKaitouIsSeikai = nullptr;
    QPushButton* cmdKaitouAdd = nullptr;
    QPushButton* cmdKaitouDel = nullptr;
    ListView* lstKaitou = nullptr;
    RichTextBox* txtHint = nullptr;
    RichTextBox* txtKaisetsu = nullptr;
    QLineEdit* txtKey = nullptr;
    QCheckBox* chkIfRich = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdDel = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* statusPanel1 = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileImport = nullptr;
    QAction* mnuFileExport = nullptr;
    QAction* mnuFileExportMoodle = nullptr;
    QAction* mnuFileExportGift = nullptr;
    WorksheetCommands worksheet;
    QAction* mnuFileProp = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuSetup = nullptr;
    QAction* mnuSetupKMEpKMD = nullptr;
    QMenu* mnuFormat = nullptr;
    QAction* mnuFormatChar = nullptr;
    QMenu* mnuSearch = nullptr;
    QAction* mnuSearchList = nullptr;
    QAction* mnuSearchNext = nullptr;
    QAction* mnuSearchBefore = nullptr;
    QMenu* mnuMode = nullptr;
    QAction* mnuModeRead = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void createMenus();
    void connectQuestionEditing();
    void connectSearch();
    // False when the input box was cancelled or left empty.
    bool askSearchText();
    // Selects the row found, or tells in the status bar that none was.
    void showFoundRow(int row);
    void setKeyLocked(bool locked);
    // Empties the fields for a new question.
    void clearFields();
    // The question of this row leaves the file, and with it the list.
    void removeQuestion(int row);
    bool saveOrTell(QuestionDocumentFile::SaveForm form, const QString& password = {});
    // Stores the question composed in the fields under `key`.
    void storeQuestion(const QString& key, const QString& text, const QString& record);

    // The question list follows the open file.
    void documentReset();
    void showStoredQuestion(const QString& key);
    void showAddedQuestions(const QStringList& keys);
    void removeQuestionRow(const QString& key);
    void showQuestionOrder();
    // Adds the questions read, and tells how many; `note` follows that.
    // `history`, when given, is in step with `questions` and goes out with
    // their new keys.
    void addQuestions(const QVector<QuestionTable::Question>& questions, const QString& note,
                      QVector<QuestionHistory> history = {});
    // Writes the open file's questions as `compose` makes them, to a file
    // the author names.
    void exportQuestions(
        const QString& title, const QString& filter,
        const std::function<QByteArray(const QStringList& records, const QString& path)>& compose);
    // The key the fields were loaded with; a different text in txtKey was
    // typed by hand.
    QString loadedKey_;

    // The last text searched for, kept for F3 and Shift+F3 for the whole run.
    QString searchText;

    QuestionDocument& document_;
    // A column click sorts the file's questions by their text; until a second
    // click or the next file, questions added are placed as storeQuestion and
    // addQuestions say.
    bool listSorted_ = false;
    frmRichStyle* richStyle_ = nullptr;
    bool unloading_ = false;
};
