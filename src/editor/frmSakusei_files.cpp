// The editor's file commands: reading a question file into both question
// lists, saving it plain or protected, and asking before changes are lost.
#include "data/AppGlobals.h"
#include "data/JapaneseDate.h"
#include "editor/frmPasswd.h"
#include "editor/frmProtect.h"
#include "editor/frmSakusei.h"
#include "formats/ProtectedFile.h"
#include "formats/QuestionDocumentFile.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/Texts.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

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

bool frmSakusei::mnuFileOpen_Click() {
    if (!confirmSaveChanges())
        return false;
    Dialogs::FileRequest request;
    request.fileName = SettingsStore::get("KMDFile", appGlobals().programFolder + "*.kmd;*.kme");
    request.options = Dialogs::FileMustExist | Dialogs::HideReadOnly;
    request.filter =
        u("すべてのファイル (*.*)|*.*|kuMemoデータファイル (*.kmd;*.kme)|*.kmd;*.kme|");
    request.filterIndex = 2;
    request.title = u("読み込む問題ﾌｧｲﾙを指定して下さい");
    const QString path = Dialogs::openFile(request);
    if (path.isEmpty())
        return false;
    openFile(path);
    return true;
}

void frmSakusei::openFile(const QString& path) {
    document_.beginLoad(path);

    const QuestionDocumentFile::ReadResult read = QuestionDocumentFile::readFile(document_, path);
    if (read.status == QuestionDocumentFile::ReadStatus::CannotRead) {
        Dialogs::message(u("ﾌｧｲﾙを読み込めませんでした。") + "\r\n" + path, u("読み込みエラー"),
                         Dialogs::Icon::Exclamation);
        return;
    }
    if (read.status == QuestionDocumentFile::ReadStatus::NotProtected) {
        tell(ProtectedFile::notProtectedNotice());
        return;
    }
    if (ProtectedFile::isProtectedPath(path) && isVisible())
        frmProtect::unlockOrWarn(this, document_, ProtectedFile::stillLockedOtherFormatNotice());
    rememberPath(path);

    mnuModeRead->setEnabled(false);
    // Pending events run while a long file loads, so the windows stay alive.
    const QMetaObject::Connection keepResponsive = connect(
        &document_, &QuestionDocument::loadProgress, this, [] { QApplication::processEvents(); });
    const QuestionDocumentFile::LoadResult loaded =
        QuestionDocumentFile::loadText(document_, read.text);
    disconnect(keepResponsive);
    if (!loaded.isQuestionFile) {
        mnuModeRead->setEnabled(true);
        Dialogs::message(u("このﾌｧｲﾙはkuMemoのﾃﾞｰﾀﾌｧｲﾙではありません"), u("読み込みエラー"),
                         Dialogs::Icon::Exclamation);
        return;
    }
    for (const ListError& error : loaded.duplicateKeys)
        Dialogs::message(u("エラーが発生しましたが無視します：") + "\r\n" + u("　") +
                             error.description,
                         u("エラー #") + QString::number(error.number), Dialogs::Icon::Exclamation);
    // The fields show the last question, as after selecting it.
    if (lstMondai->count() > 0) {
        lstMondai->setSelectedRow(lstMondai->count());
        lstMondai_KeyUp(0, 0);
    }
    mnuModeRead->setEnabled(true);
    statusPanel1->setText(document_.properties().statusLine());
}

void fillQuestionList(ListView& list, const QuestionDocument& document, bool withRecords) {
    QVector<ListRowData> rows;
    rows.reserve(document.count());
    for (const QuestionEntry& entry : document.entries())
        rows.append({entry.key, withRecords ? QStringList{entry.text, entry.record}
                                            : QStringList{entry.text}});
    list.clearRows();
    list.appendRows(rows);
}

// Saves in one form and tells what went wrong or what a plain file could
// not carry. False when nothing was written.
bool frmSakusei::saveOrTell(QuestionDocumentFile::SaveForm form, const QString& password) {
    const QuestionDocumentFile::SaveResult saved =
        QuestionDocumentFile::save(document_, form, appGlobals().appVersion, password);
    if (!saved.ok) {
        Dialogs::message(u("ﾌｧｲﾙに書き込めなかったため保存しませんでした。") + "\r\n" + saved.path +
                             "\r\n" + saved.error,
                         u("保存中止"), Dialogs::Icon::Exclamation);
        return false;
    }
    if (!saved.uncarried.isEmpty())
        Dialogs::message(u("次の文字は標準ﾃﾞｰﾀﾌｧｲﾙに保存できないため「?」に置き換えました：") +
                             "\r\n" + u("　") + saved.uncarried,
                         u("警告"), Dialogs::Icon::Exclamation);
    return true;
}

bool frmSakusei::mnuFileSave_Click() {
    using Form = QuestionDocumentFile::SaveForm;
    QuestionDocument& d = document_;
    d.lowerUnsavedFlag();
    d.properties().mdate = formatJapaneseDate(Clock::now());
    if (endsWithNoCase(d.path(), ".kmz"))
        d.setPath(d.path().left(d.path().size() - 4) + ".kmd");

    if (ProtectedFile::isProtectedPath(d.path())) {
        const bool wasLocked = d.isLocked();
        const QString password = wasLocked ? d.filePassword() : frmPasswd::askNewPassword(this, d);
        if (password.isEmpty()) {
            tell(ProtectedFile::noPasswordNotice());
            d.keepUnsavedAfterFailure();
            return false;
        }
        if (!saveOrTell(Form::Protected, password)) {
            d.keepUnsavedAfterFailure();
            return false;
        }
        d.forgetUnsavedChanges();
        if (!wasLocked && mnuSetupKMEpKMD->isChecked()) {
            // The file itself is written; the copy's failure was told.
            if (!saveOrTell(Form::PlainCopy))
                return true;
            Dialogs::message(u("保存(標準/保護付ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"), u("保存完了"),
                             Dialogs::Icon::Information);
            return true;
        }
        Dialogs::message(u("保存(保護付ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"), u("保存完了"),
                         Dialogs::Icon::Information);
        return true;
    }

    if (d.isLocked() &&
        !frmProtect::unlockOrWarn(this, d, ProtectedFile::stillLockedThisFormatNotice())) {
        d.keepUnsavedAfterFailure();
        return false;
    }
    if (!saveOrTell(Form::Plain)) {
        d.keepUnsavedAfterFailure();
        return false;
    }
    d.forgetUnsavedChanges();
    Dialogs::message(u("保存(標準ﾃﾞｰﾀﾌｧｲﾙ)が完了しました"), u("保存完了"),
                     Dialogs::Icon::Information);
    return true;
}

bool frmSakusei::mnuFileSaveAs_Click() {
    QString proposed = SettingsStore::get("KMDFile", "*.kmd");
    Dialogs::FileRequest request;
    request.filterIndex = endsWithNoCase(proposed, ".kme") ? 3 : 2;
    // Only an extension of the file name itself goes, not a dot in a folder name.
    const qsizetype dot = proposed.lastIndexOf('.');
    if (dot >= 0 && dot > proposed.lastIndexOf('/') && dot > proposed.lastIndexOf('\\'))
        proposed.truncate(dot);
    request.fileName = proposed;
    request.options = Dialogs::OverwritePrompt | Dialogs::CreatePrompt | Dialogs::HideReadOnly |
                      Dialogs::AddExtension;
    if (document_.isLocked()) {
        request.filter = u("すべてのファイル (*.*)|*.*|kuMemo保護付データファイル (*.kme)|*.kme|");
        request.filterIndex = 2;
    } else {
        request.filter = u("すべてのファイル (*.*)|*.*|kuMemoデータファイル (*.kmd)|*.kmd|"
                           "kuMemo保護付データファイル (*.kme)|*.kme|");
    }
    request.title = u("作成したデータの保存先ファイル名を指定して下さい");
    const QString path = Dialogs::saveFile(request);
    if (path.isEmpty())
        return false;
    rememberPath(path);
    document_.setPath(path);
    document_.lowerUnsavedFlag();
    return mnuFileSave_Click();
}

bool frmSakusei::confirmSaveChanges() {
    // A document without a path cannot carry the flag; its edits count too.
    if (!document_.needsSaving())
        return true;
    if (Dialogs::message(u("変更されたﾃﾞｰﾀを保存しますか?"), u("変更を保存しますか?"),
                         Dialogs::Icon::Question, Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes)
        return mnuFileSaveAs_Click();
    return true;
}
