#include "printing/WorksheetPrinting.h"

#include "data/AppGlobals.h"
#include "data/QuestionDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/ExportFile.h"
#include "platform/SettingsStore.h"
#include "platform/Texts.h"
#include "platform/Widgets.h"
#include "printing/Worksheet.h"

#include <QAction>
#include <QBuffer>
#include <QMenu>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

// Made when a sheet is printed, never at start-up.
QPageLayout sheetLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                       QPageLayout::Millimeter);
}

// Whether printed worksheets end with the answer key: the author's choice,
// kept from one run to the next.
constexpr char AnswerKeySetting[] = "worksheetAnswerKey";

bool answerKeyWanted() {
    return SettingsStore::getBool(AnswerKeySetting, true);
}

bool answerKeyFor(const QuestionDocument& document) {
    // A locked file's answers stay inside it.
    return answerKeyWanted() && !document.isLocked();
}

void printSheet(QWidget* window, const QuestionDocument& document, const QStringList& records) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheetLayout());
    printer.setDocName(document.properties().title);
    QPrintDialog dialog(&printer, window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Worksheet(document.properties(), records, answerKeyFor(document)).print(&printer);
}

void previewSheet(QWidget* window, const QuestionDocument& document, const QStringList& records) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheetLayout());
    Worksheet sheet(document.properties(), records, answerKeyFor(document));
    QPrintPreviewDialog dialog(&printer, window);
    dialog.setObjectName("frmPrintPreview");
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&sheet](QPrinter* target) { sheet.print(target); });
    dialog.exec();
}

void exportPdf(const QuestionDocument& document, const QStringList& records) {
    exportFile(
        u("書き出すPDFﾌｧｲﾙ名を指定して下さい"), u("PDFﾌｧｲﾙ (*.pdf)|*.pdf|"), document.path(),
        [&](const QString& path, QString* error) {
            return writeWorksheetPdf(path, document.properties(), records, answerKeyFor(document),
                                     error);
        },
        u("PDFﾌｧｲﾙへの書き出しが完了しました"));
}

} // namespace

bool writeWorksheetPdf(const QString& path, const DocumentProperties& properties,
                       const QStringList& records, bool answerKey, QString* error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(sheetLayout());
        writer.setResolution(600);
        writer.setTitle(properties.title);
        writer.setCreator(QStringLiteral("kuMemo"));
        Worksheet(properties, records, answerKey).print(&writer);
    }
    return writeFileAtomically(path, buffer.data(), error);
}

WorksheetCommands addWorksheetCommands(QMenu* menu, QWidget* window,
                                       const QuestionDocument& document,
                                       const std::function<QStringList()>& records) {
    WorksheetCommands c;
    c.print = named(menu->addAction(u("印刷(&R)…")), "mnuFilePrint");
    c.preview = named(menu->addAction(u("印刷ﾌﾟﾚﾋﾞｭｰ(&V)…")), "mnuFilePreview");
    c.pdf = named(menu->addAction(u("PDFに書き出す(&D)…")), "mnuFilePdf");
    c.answerKey = named(menu->addAction(u("解答ﾍﾟｰｼﾞを付けて印刷する(&K)")), "mnuFileAnswerKey");
    c.answerKey->setCheckable(true);
    QObject::connect(c.print, &QAction::triggered, window,
                     [window, &document, records] { printSheet(window, document, records()); });
    QObject::connect(c.preview, &QAction::triggered, window,
                     [window, &document, records] { previewSheet(window, document, records()); });
    QObject::connect(c.pdf, &QAction::triggered, window,
                     [&document, records] { exportPdf(document, records()); });
    QObject::connect(c.answerKey, &QAction::toggled, window,
                     [](bool on) { SettingsStore::saveBool(AnswerKeySetting, on); });
    QObject::connect(menu, &QMenu::aboutToShow, window, [c, &document, records] {
        const bool any = !records().isEmpty();
        for (QAction* command : {c.print, c.preview, c.pdf})
            command->setEnabled(any);
        c.answerKey->setChecked(answerKeyWanted());
        c.answerKey->setEnabled(!document.isLocked());
    });
    return c;
}
