// Questions from a table and out to one, and worksheets as PDF, each beside
// opening the same questions from a question file through the real windows:
//   importing 10,000 questions from a CSV file   (goal: at most 1× opening)
//   exporting them to a CSV file                 (goal: at most 0.5× opening)
//   writing the PDF worksheet of 1,000 questions (goal: at most 2× opening),
//     and the part of it that is Qt's own: drawing the laid-out sheet;
//     a sheet that lacks a question or its key fails the run

#include "BenchSupport.h"

#include "formats/QuestionTable.h"
#include "platform/AppSetup.h"
#include "printing/Worksheet.h"
#include "printing/WorksheetPrinting.h"

#include <QApplication>
#include <QBuffer>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// What pdftotext does not find, in order, of a sheet of the generated
// questions with its key: every question with its four choices, then the
// key's heading and every question's right choice. Empty when all is there.
QString missingFromSheet(const QString& pdf, int questions) {
    QProcess tool;
    tool.start("pdftotext", {pdf, "-"});
    tool.waitForFinished(-1);
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
    const QString sentence = QString::fromUtf8("次の文の下線部");
    const QString box = QString::fromUtf8("□");
    QStringList parts;
    for (int q = 0; q < questions; ++q) {
        parts << QString::fromUtf8("問%1").arg(q + 1) << QString::number(q) + sentence;
        for (int c = 0; c < 4; ++c)
            parts << box;
    }
    parts << QString::fromUtf8("解答");
    for (int q = 0; q < questions; ++q)
        parts << QString::fromUtf8("問%1").arg(q + 1);
    qsizetype at = 0;
    for (const QString& part : parts) {
        const qsizetype found = text.indexOf(part, at);
        if (found < 0)
            return part + QString::fromUtf8(" (after ") +
                   text.mid(std::max<qsizetype>(0, at - 20), 20) + ")";
        at = found + part.size();
    }
    if (text.count(box) != 4 * questions)
        return QString::fromUtf8("%1 choices of %2").arg(text.count(box)).arg(4 * questions);
    return {};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setupApplication(app);
    BenchProgram program;
    QTemporaryDir& dir = program.dir;
    frmMain& main = *program.main;
    frmSakusei* editor = program.editor;
    const QString& empty = program.empty;

    printRatioTableHead();
    const auto report = [](const char* work, int n, double ms, double openMs, double goal) {
        std::printf("| %s | %d | %.0f | %.0f | %.2f | ≤ %.1f |\n", work, n, ms, openMs, ms / openMs,
                    goal);
        std::fflush(stdout);
    };
    bool failed = false;
    for (const int n : {10000, 1000}) {
        const QString path = dir.filePath(QStringLiteral("q%1.kmd").arg(n));
        writeBytes(path, QuestionFile::plainFileBytes(questionFileText(n)));
        const double openMs = fastest([&] { openInRunMode(main, path); });
        const QString csv = dir.filePath(QStringLiteral("q%1.csv").arg(n));
        if (n == 10000) {
            const double exportMs = fastest([&] {
                Dialogs::setNextFileName(csv);
                editor->mnuFileExport_Click();
            });
            report("export to CSV", n, exportMs, openMs, 0.5);
            const double importMs =
                fastest([&] { editor->importTable(csv); }, [&] { openInRunMode(main, empty); });
            if (main.document().count() != n)
                std::fprintf(stderr, "imported %d of %d\n", main.document().count(), n);
            report("import from CSV", n, importMs, openMs, 1);
        } else {
            openInRunMode(main, path);
            const QString pdf = dir.filePath("sheet.pdf");
            const double pdfMs = fastest([&] {
                writeWorksheetPdf(pdf, main.document().properties(), main.document().records(),
                                  true);
            });
            report("PDF worksheet", n, pdfMs, openMs, 2);
            // A fast sheet that lost a question is no result.
            if (const QString missing = missingFromSheet(pdf, n); !missing.isEmpty()) {
                std::fprintf(stderr, "the PDF worksheet lacks %s\n", qPrintable(missing));
                failed = true;
            }
            // Its floor: Qt alone drawing the sheet once it is built and laid
            // out, on a PDF writer set up as the program's.
            Worksheet sheet(main.document().properties(), main.document().records(), true);
            const auto draw = [&sheet] {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                QPdfWriter writer(&buffer);
                writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                 QMarginsF(18, 18, 18, 18),
                                                 QPageLayout::Millimeter));
                writer.setResolution(600);
                sheet.print(&writer);
            };
            draw(); // laid out once; later prints find it so
            const double drawMs = fastest(draw);
            std::printf("| of which Qt draws the laid-out sheet | %d | %.0f | %.0f | %.2f | |\n", n,
                        drawMs, openMs, drawMs / openMs);
        }
    }
    main.sakusei()->hide();
    return failed ? 1 : 0;
}
