// The editor's file commands: reading a question file into both question
// lists, saving it plain or protected, and asking before changes are lost.
#include "data/PieceDecoder.h"
#include "data/ProtectedFile.h"
#include "data/QuestionFile.h"
#include "data/modKuMemo.h"
#include "editor/frmPasswd.h"
#include "editor/frmProp.h"
#include "editor/frmProtect.h"
#include "editor/frmSakusei.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/LzExpand.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QStatusBar>

namespace {
bool endsWithNoCase(const QString& path, const char* ending) {
    return path.endsWith(QLatin1String(ending), Qt::CaseInsensitive);
}

void tell(const ProtectedFile::Notice& notice) {
    Dialogs::message(notice.text, notice.title, Dialogs::Icon::Exclamation);
}

void rememberPath(const QString& path) {
    if (!ProgramFolder::isNetworkPath(path))
        SettingsStore::save("KMDFile", path);
}
} // namespace

void frmSakusei::mnuFileOpen_Click() {
    confirmSaveChanges();
    AppGlobals& g = appGlobals();
    Dialogs::FileRequest request;
    request.fileName = SettingsStore::get("KMDFile", g.programFolder + "*.kmd;*.kme");
    request.options = Dialogs::FileMustExist | Dialogs::HideReadOnly;
    request.filter =
        u("すべてのファイル (*.*)|*.*|kuMemoデータファイル (*.kmd;*.kme)|*.kmd;*.kme|");
    request.filterIndex = 2;
    request.title = u("読み込む問題ﾌｧｲﾙを指定して下さい");
    const QString path = Dialogs::openFile(request);
    if (path.isEmpty())
        return;

    g.currentFilePath = path;
    forgetUnsavedChanges();
    ListView* runList = main_->lstMondai;
    lstMondai->clearRows();
    runList->clearRows();
    lstMondai->setSorted(false);
    runList->setSorted(false);
    frmProp::clearDataProp();
    g.filePassword.clear();
    g.pendingPassword.clear();

    QString text;
    if (ProtectedFile::isProtectedPath(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            Dialogs::message(u("ﾌｧｲﾙを読み込めませんでした。") + "\r\n" + path, u("読み込みエラー"),
                             Dialogs::Icon::Exclamation);
            return;
        }
        const ProtectedFile::Content content = ProtectedFile::parse(file.readAll());
        if (content.status == ProtectedFile::Status::NotProtected) {
            tell(ProtectedFile::notProtectedNotice());
            return;
        }
        if (content.status == ProtectedFile::Status::Ok) {
            g.filePassword = content.password;
            g.pendingPassword = content.password;
        }
        text = content.text;
        if (isVisible())
            frmProtect::unlockOrWarn(this, ProtectedFile::stillLockedOtherFormatNotice());
    } else {
        // An unreadable file reads as empty and is refused below.
        text = PieceDecoder::decode(LzExpand::readFile(path).bytes);
    }
    rememberPath(path);

    if (!QuestionFile::hasSignature(text)) {
        Dialogs::message(u("このﾌｧｲﾙはkuMemoのﾃﾞｰﾀﾌｧｲﾙではありません"), u("読み込みエラー"),
                         Dialogs::Icon::Exclamation);
        return;
    }
    qsizetype position = QuestionFile::readProperties(text, g);

    mnuModeRead->setEnabled(false);
    {
        const ListView::BulkAppend editorRows(lstMondai);
        const ListView::BulkAppend runRows(runList);
        int counter = 0;
        QString record;
        while (QuestionFile::nextRecord(text, position, record)) {
            addLoadedRecord(record, Rtf::toPlainText(getTagText(record, "mondaibun")));
            if (++counter == 20) {
                QApplication::processEvents();
                counter = 0;
                main_->lblNum->setText("(Now)" + QString::number(runList->count()) + u("件"));
            }
        }
    }
    // The fields show the last question, as after selecting it.
    if (lstMondai->count() > 0) {
        lstMondai->setSelectedRow(lstMondai->count());
        lstMondai_KeyUp(0, 0);
    }
    mnuModeRead->setEnabled(true);
    statusPanel1->setText(documentStatusLine(g));
}

// Adds one record to both lists. A record whose key is missing, cut or
// already taken is loaded under a new key written into its text, so that
// saving keeps it.
void frmSakusei::addLoadedRecord(QString record, const QString& plainText) {
    QString key;
    const QuestionFile::KeyState state = QuestionFile::recordKey(record, key);
    if (state != QuestionFile::KeyState::Found || key.isEmpty()) {
        key = makeUniqueKey(lstMondai);
        record = QuestionFile::withNewKey(record, key);
    }
    const int row = lstMondai->add();
    ListError error;
    if (!lstMondai->setKey(row, key, &error)) {
        Dialogs::message(u("エラーが発生しましたが無視します：") + "\r\n" + u("　") +
                             error.description,
                         u("エラー #") + QString::number(error.number), Dialogs::Icon::Exclamation);
        key = makeUniqueKey(lstMondai);
        record = QuestionFile::withNewKey(record, key);
        lstMondai->setKey(row, key);
    }
    lstMondai->setSubItem(row, 1, record);
    lstMondai->setText(row, plainText);
    const int runRow = main_->lstMondai->add(plainText);
    main_->lstMondai->setKey(runRow, key);
}

// Nothing was written: the edits are still unsaved.
void frmSakusei::keepUnsavedAfterFailure() {
    if (unsavedEdits_)
        raiseUnsavedFlag();
}

bool frmSakusei::writeOrTell(const QString& path, const QByteArray& bytes) {
    QString error;
    if (writeFileAtomically(path, bytes, &error))
        return true;
    Dialogs::message(u("ﾌｧｲﾙに書き込めなかったため保存しませんでした。") + "\r\n" + path + "\r\n" +
                         error,
                     u("保存中止"), Dialogs::Icon::Exclamation);
    return false;
}

// A plain file is code page 932: what it cannot carry (typed into the
// properties; rich text carries every character) is told, not lost silently.
bool frmSakusei::writePlainOrTell(const QString& path, const QString& text) {
    QString uncarried;
    if (!writeOrTell(path, QuestionFile::plainFileBytes(text, &uncarried)))
        return false;
    if (!uncarried.isEmpty())
        Dialogs::message(u("次の文字は標準ﾃﾞｰﾀﾌｧｲﾙに保存できないため「?」に置き換えました：") +
                             "\r\n" + u("　") + uncarried,
                         u("警告"), Dialogs::Icon::Exclamation);
    return true;
}

void frmSakusei::mnuFileSave_Click() {
    AppGlobals& g = appGlobals();
    lowerUnsavedFlag();
    g.propMdate = formatJapaneseDate(Clock::now());
    if (endsWithNoCase(g.currentFilePath, ".kmz"))
        g.currentFilePath = g.currentFilePath.left(g.currentFilePath.size() - 4) + ".kmd";
    QStringList records;
    records.reserve(lstMondai->count());
    for (int row = 1; row <= lstMondai->count(); ++row)
        records << lstMondai->subItem(row, 1);
    const QString text = QuestionFile::compose(g, records);

    if (ProtectedFile::isProtectedPath(g.currentFilePath)) {
        g.newPassword.clear();
        const bool wasLocked = g.isLocked();
        if (wasLocked) {
            g.newPassword = g.filePassword;
        } else {
            if (frmPasswd::askNewPassword(this).isEmpty()) {
                tell(ProtectedFile::noPasswordNotice());
                keepUnsavedAfterFailure();
                return;
            }
        }
        if (!writeOrTell(g.currentFilePath, ProtectedFile::compose(g.newPassword, text))) {
            keepUnsavedAfterFailure();
            return;
        }
        g.filePassword = g.newPassword;
        forgetUnsavedChanges();
        if (!wasLocked && mnuSetupKMEpKMD->isChecked()) {
            const QString plainPath = g.currentFilePath.left(g.currentFilePath.size() - 4) + ".kmd";
            if (!writePlainOrTell(plainPath, text))
                return;
            Dialogs::message(u("保存(標準/保護付ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"), u("保存完了"),
                             Dialogs::Icon::Information);
            return;
        }
        Dialogs::message(u("保存(保護付ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"), u("保存完了"),
                         Dialogs::Icon::Information);
        return;
    }

    if (g.isLocked() &&
        !frmProtect::unlockOrWarn(this, ProtectedFile::stillLockedThisFormatNotice())) {
        keepUnsavedAfterFailure();
        return;
    }
    if (!writePlainOrTell(g.currentFilePath, text)) {
        keepUnsavedAfterFailure();
        return;
    }
    forgetUnsavedChanges();
    Dialogs::message(u("保存(標準ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"), u("保存完了"),
                     Dialogs::Icon::Information);
}

void frmSakusei::mnuFileSaveAs_Click() {
    AppGlobals& g = appGlobals();
    QString proposed = SettingsStore::get("KMDFile", "*.kmd");
    Dialogs::FileRequest request;
    request.filterIndex = endsWithNoCase(proposed, ".kme") ? 3 : 2;
    // Only an extension of the file name itself goes, not a dot in a folder name.
    const qsizetype dot = proposed.lastIndexOf('.');
    if (dot >= 0 && dot > proposed.lastIndexOf('/') && dot > proposed.lastIndexOf('\\'))
        proposed.truncate(dot);
    request.fileName = proposed;
    request.options = Dialogs::OverwritePrompt | Dialogs::CreatePrompt | Dialogs::HideReadOnly;
    if (g.isLocked()) {
        request.filter = u("すべてのファイル (*.*)|*.*|kuMemo保護付データファイル (*.kme)|*.kme|");
        request.filterIndex = 2;
    } else {
        request.filter = u("すべてのファイル (*.*)|*.*|kuMemoデータファイル (*.kmd)|*.kmd|"
                           "kuMemo保護付データファイル (*.kme)|*.kme|");
    }
    request.title = u("作成したデータの保存先ファイル名を指定して下さい");
    const QString path = Dialogs::saveFile(request);
    if (path.isEmpty())
        return;
    rememberPath(path);
    g.currentFilePath = path;
    lowerUnsavedFlag();
    mnuFileSave_Click();
}

void frmSakusei::confirmSaveChanges() {
    // A document without a path cannot carry the flag; its edits count too.
    const bool neverSaved = appGlobals().currentFilePath.isEmpty() && unsavedEdits_;
    if (!hasUnsavedChanges() && !neverSaved)
        return;
    if (Dialogs::message(u("変更されたﾃﾞｰﾀを保存しますか?"), u("変更を保存しますか?"),
                         Dialogs::Icon::Question, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes)
        mnuFileSaveAs_Click();
}
