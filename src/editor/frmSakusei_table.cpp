// The editor's import and export commands: questions taken in from a table
// file that a spreadsheet program saved or from another program's file, and
// the open file's questions written out as a table or a quiz.
#include "editor/frmImport.h"
#include "editor/frmProtect.h"
#include "editor/frmSakusei.h"
#include "formats/Gift.h"
#include "formats/MoodleXml.h"
#include "formats/ProtectedFile.h"
#include "formats/QuestionImport.h"
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
    request.title = u("取り込む問題のﾌｧｲﾙを指定して下さい");
    request.filter = u("問題のﾌｧｲﾙ (*.csv;*.txt;*.tsv;*.xml;*.gift;*.kvtml;*.apkg;*.colpkg)|"
                       "*.csv;*.txt;*.tsv;*.xml;*.gift;*.kvtml;*.apkg;*.colpkg|"
                       "すべてのファイル (*.*)|*.*|");
    request.filterIndex = 1;
    request.options = Dialogs::FileMustExist | Dialogs::HideReadOnly;
    const QString path = Dialogs::openFile(request);
    if (!path.isEmpty())
        importFile(path);
}

namespace {

void cannotRead(const QString& path) {
    Dialogs::message(u("ﾌｧｲﾙを読み込めませんでした。") + "\r\n" + path, u("読み込みエラー"),
                     Dialogs::Icon::Exclamation);
}

// What is wrong with the file, and which file it is.
void refuse(const QString& path, const QString& refusal) {
    Dialogs::message(refusal + "\r\n" + path, u("読み込みエラー"), Dialogs::Icon::Exclamation);
}

// The lines of a message telling what was left out and why.
QString skippedList(const ImportedQuestions& read) {
    if (read.skipped.isEmpty())
        return {};
    QString list = u("次の%1件は取り込みませんでした。").arg(read.skippedCount());
    for (const ImportedQuestions::Skipped& s : read.skipped)
        list += "\r\n" + u("　%1：%2件").arg(s.reason).arg(s.count);
    return list;
}

} // namespace

void frmSakusei::importFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        cannotRead(path);
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    const QuestionImport::Format format = QuestionImport::detect(bytes);
    if (format == QuestionImport::Format::Table) {
        importTable(path);
        return;
    }
    // A damaged file is refused before the author is asked anything.
    ImportedQuestions read = QuestionImport::read(format, bytes, false);
    if (!read.ok) {
        refuse(path, read.refusal);
        return;
    }
    frmImport::Choice choice;
    if (QuestionImport::hasSides(format)) {
        if (!frmImport::ask(this, path, QuestionImport::formatName(format), read.hasHistory(),
                            choice))
            return;
        if (choice.swapSides)
            read = QuestionImport::read(format, bytes, true);
    }
    const QString skipped = skippedList(read);
    if (read.questions.isEmpty()) {
        Dialogs::message(
            (skipped.isEmpty()
                 ? u("ﾌｧｲﾙに問題がありません。")
                 : u("問題にできるものがないため、何も取り込みませんでした。") + "\r\n" + skipped) +
                "\r\n" + path,
            u("取り込み中止"), Dialogs::Icon::Exclamation);
        return;
    }
    addQuestions(read.questions, skipped.isEmpty() ? QString() : "\r\n\r\n" + skipped,
                 choice.withHistory ? std::move(read.history) : QVector<QuestionHistory>());
}

void frmSakusei::importTable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        cannotRead(path);
        return;
    }
    const QuestionTable::ReadResult table = QuestionTable::read(file.readAll());
    if (!table.ok) {
        refuse(path, table.refusal);
        return;
    }
    if (!table.badRows.isEmpty()) {
        const QString list = QuestionTable::rowList(table.badRows);
        if (table.questions.isEmpty()) {
            Dialogs::message(u("次の行は問題にできないため、何も取り込みませんでした。") + "\r\n" +
                                 list + "\r\n" + path,
                             u("取り込み中止"), Dialogs::Icon::Exclamation);
            return;
        }
        const QString ask = u("次の行は問題にできません。") + "\r\n" + list + "\r\n\r\n" +
                            u("正しく読めた%1問だけを取り込みますか?").arg(table.questions.size());
        if (Dialogs::message(ask, u("取り込み"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                             Dialogs::Answer::No) != Dialogs::Answer::Yes)
            return;
    }
    // A number that is also a choice's text was taken as the text: the
    // author checks those rows.
    QString note;
    if (!table.readByText.isEmpty())
        note = "\r\n\r\n" + u("次の行の正解は、番号ではなく選択肢の文字として読みました。") +
               "\r\n" + QuestionTable::rowList(table.readByText);
    addQuestions(table.questions, note);
}

void frmSakusei::addQuestions(const QVector<QuestionTable::Question>& questions,
                              const QString& note, QVector<QuestionHistory> history) {
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
    // The history follows the questions to their new keys; whoever keeps
    // the learner's results takes it.
    QString said;
    if (!history.isEmpty()) {
        for (qsizetype i = 0; i < history.size(); ++i)
            history[i].key = entries.at(i).key;
        emit historyImported(history, said);
    }
    Dialogs::message(u("%1問を取り込みました").arg(questions.size()) +
                         (said.isEmpty() ? QString() : "\r\n" + said) + note,
                     u("取り込み完了"), Dialogs::Icon::Information);
}

void frmSakusei::exportQuestions(
    const QString& title, const QString& filter,
    const std::function<QByteArray(const QStringList& records, const QString& path)>& compose) {
    // The answers of a locked file go out only with its password.
    if (document_.isLocked() &&
        !frmProtect::unlockOrWarn(this, document_, ProtectedFile::stillLockedThisFormatNotice()))
        return;
    const QStringList records = document_.records();
    exportFile(
        title, filter, document_.path(),
        [&](const QString& path, QString* error) {
            return writeFileAtomically(path, compose(records, path), error);
        },
        u("%1問を書き出しました").arg(records.size()));
}

void frmSakusei::mnuFileExport_Click() {
    exportQuestions(u("問題を書き出すﾌｧｲﾙ名を指定して下さい"),
                    u("CSVﾌｧｲﾙ(ｶﾝﾏ区切り) (*.csv)|*.csv|ﾃｷｽﾄﾌｧｲﾙ(ﾀﾌﾞ区切り) (*.txt)|*.txt|"),
                    [](const QStringList& records, const QString& path) {
                        // Tabs for a text file, commas for anything else.
                        const QString suffix = QFileInfo(path).suffix().toLower();
                        const QChar separator =
                            suffix == "txt" || suffix == "tsv" ? QChar('\t') : QChar(',');
                        return QuestionTable::write(records, separator);
                    });
}

void frmSakusei::mnuFileExportMoodle_Click() {
    exportQuestions(
        u("Moodle XMLに書き出すﾌｧｲﾙ名を指定して下さい"), u("Moodle XMLﾌｧｲﾙ (*.xml)|*.xml|"),
        [](const QStringList& records, const QString&) { return MoodleXml::write(records); });
}

void frmSakusei::mnuFileExportGift_Click() {
    exportQuestions(
        u("GIFTに書き出すﾌｧｲﾙ名を指定して下さい"), u("GIFTﾌｧｲﾙ (*.txt)|*.txt|"),
        [](const QStringList& records, const QString&) { return Gift::write(records); });
}
