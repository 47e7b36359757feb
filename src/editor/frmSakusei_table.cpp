// The editor's table commands: questions taken in from a table file that a
// spreadsheet program saved, and the open file's questions written out as one.
#include "editor/frmProtect.h"
#include "editor/frmSakusei.h"
#include "formats/ProtectedFile.h"
#include "formats/TableExport.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/ExportFile.h"
#include "platform/ListView.h"
#include "platform/Shares.h"
#include "platform/Texts.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QSet>

void frmSakusei::mnuFileImport_Click() {
    Dialogs::FileRequest request;
    request.title = u("取り込む問題のﾃｷｽﾄﾌｧｲﾙを指定して下さい");
    request.filter =
        u("ﾃｷｽﾄﾌｧｲﾙ (*.csv;*.txt;*.tsv)|*.csv;*.txt;*.tsv|すべてのファイル (*.*)|*.*|");
    request.filterIndex = 1;
    request.options = Dialogs::FileMustExist | Dialogs::HideReadOnly;
    const QString path = Dialogs::openFile(request);
    if (!path.isEmpty())
        importTable(path);
}

void frmSakusei::importTable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Dialogs::message(u("ﾌｧｲﾙを読み込めませんでした。") + "\r\n" + path, u("読み込みエラー"),
                         Dialogs::Icon::Exclamation);
        return;
    }
    const QuestionTable::ReadResult table = QuestionTable::read(file.readAll());
    if (!table.ok) {
        Dialogs::message(table.refusal, u("読み込みエラー"), Dialogs::Icon::Exclamation);
        return;
    }
    if (!table.badRows.isEmpty()) {
        const QString list = QuestionTable::rowList(table.badRows);
        if (table.questions.isEmpty()) {
            Dialogs::message(u("次の行は問題にできないため、何も取り込みませんでした。") + "\r\n" +
                                 list,
                             u("取り込み中止"), Dialogs::Icon::Exclamation);
            return;
        }
        const QString ask = u("次の行は問題にできません。") + "\r\n" + list + "\r\n\r\n" +
                            u("正しく読めた%1問だけを取り込みますか?").arg(table.questions.size());
        if (Dialogs::message(ask, u("取り込み"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                             Dialogs::Answer::No) != Dialogs::Answer::Yes)
            return;
    }
    addQuestions(table);
}

void frmSakusei::addQuestions(const QuestionTable::ReadResult& table) {
    const QVector<QuestionTable::Question>& questions = table.questions;
    // New keys first, unique among themselves too; then every core composes
    // a share of the records.
    QVector<QuestionEntry> entries(questions.size());
    QSet<QString> made;
    for (QuestionEntry& entry : entries) {
        do
            entry.key = document_.makeUniqueKey();
        while (made.contains(entry.key));
        made.insert(entry.key);
    }
    QuestionEntry* const composed = entries.data();
    forEachShare(questions.size(), 500, [&questions, composed](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            RecordFields fields = questions.at(i).fields;
            fields.key = composed[i].key;
            composed[i].text = questions.at(i).plainText;
            composed[i].record = composeRecord(fields);
        }
    });
    document_.addRecords(entries);
    if (listSorted_)
        document_.sortByText();
    // The fields show the first question taken in.
    const int first = lstMondai->find(entries.first().key);
    lstMondai->clearSelection();
    lstMondai->setSelectedRow(first);
    lstMondai->ensureRowVisible(first);
    lstMondai_Click();
    QString done = u("%1問を取り込みました").arg(questions.size());
    // A number that is also a choice's text was taken as the text: the
    // author checks those rows.
    if (!table.readByText.isEmpty())
        done += "\r\n\r\n" + u("次の行の正解は、番号ではなく選択肢の文字として読みました。") +
                "\r\n" + QuestionTable::rowList(table.readByText);
    Dialogs::message(done, u("取り込み完了"), Dialogs::Icon::Information);
}

void frmSakusei::mnuFileExport_Click() {
    // The answers of a locked file go out only with its password.
    if (document_.isLocked() &&
        !frmProtect::unlockOrWarn(this, document_, ProtectedFile::stillLockedThisFormatNotice()))
        return;
    const QStringList records = document_.records();
    exportFile(
        u("問題を書き出すﾌｧｲﾙ名を指定して下さい"),
        u("CSVﾌｧｲﾙ(ｶﾝﾏ区切り) (*.csv)|*.csv|ﾃｷｽﾄﾌｧｲﾙ(ﾀﾌﾞ区切り) (*.txt)|*.txt|"), document_.path(),
        [&records](const QString& path, QString* error) {
            // Tabs for a text file, commas for anything else.
            const QString suffix = QFileInfo(path).suffix().toLower();
            const QChar separator = suffix == "txt" || suffix == "tsv" ? QChar('\t') : QChar(',');
            return writeFileAtomically(path, QuestionTable::write(records, separator), error);
        },
        u("%1問を書き出しました").arg(records.size()));
}
