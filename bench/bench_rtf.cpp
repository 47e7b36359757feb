// Throughput of the RTF reader on a question field of about 2 KB, as the
// Windows control writes them: RTF to plain text (loading long files), and
// beside it the same with the field's header read anew every time, as
// without the reader's header cache; RTF to a document and into a box
// (showing a question), document to RTF.
// With --huge it also times a 1 GB number, the worst malformed field.

#include "platform/RichTextBox.h"
#include "platform/rtf/CharStyle.h"
#include "platform/rtf/RtfParser.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfSinks.h"
#include "platform/rtf/RtfWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <functional>

namespace {

QString sampleField() {
    QTextDocument document;
    QTextCursor cursor(&document);
    Rtf::CharStyle plain = Rtf::defaultStyle();
    Rtf::CharStyle marked = plain;
    marked.bold = true;
    marked.hasColor = true;
    marked.color = qRgb(255, 0, 0);
    const QString sentence = QString::fromUtf8("次の文の下線部の意味として最も適切なものを選べ。");
    const QString english = QStringLiteral("He looked up the word in the dictionary. ");
    for (int line = 0; line < 6; ++line) {
        if (line > 0)
            cursor.insertBlock();
        cursor.insertText(QString::number(line + 1) + QString::fromUtf8("．"), plain.toFormat());
        cursor.insertText(sentence, plain.toFormat());
        cursor.insertText(QString::fromUtf8("（ｶﾀｶﾅ）"), marked.toFormat());
        cursor.insertText(english, plain.toFormat());
    }
    return Rtf::write(&document);
}

// Runs `work` for about a second and prints the megabytes per second of
// `bytes` it handles on each run.
void measure(const char* what, qsizetype bytes, const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    qint64 runs = 0;
    while (timer.elapsed() < 1000) {
        work();
        ++runs;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%-28s %8.1f MB/s  (%lld runs, %.1f us each)\n", what, bytes * runs / seconds / 1e6,
                static_cast<long long>(runs), seconds / runs * 1e6);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QString field = sampleField();
    // The field as it stands in the file: one byte per character.
    const qsizetype bytes = field.size();
    std::printf("field: %lld bytes, %lld characters of plain text\n", static_cast<long long>(bytes),
                static_cast<long long>(Rtf::toPlainText(field).size()));

    measure("RTF -> plain text", bytes, [&] { Rtf::toPlainText(field); });
    measure("  header read every time", bytes, [&] {
        Rtf::Reading::PlainTextSink sink;
        sink.out.reserve(field.size() / 4);
        Rtf::Reading::Parser<Rtf::Reading::PlainTextSink>(field, sink).readRtf();
    });
    QTextDocument document;
    measure("RTF -> document", bytes, [&] { Rtf::read(field, &document); });
    RichTextBox box;
    measure("RTF -> rich text box", bytes, [&] { box.setTextRTF(field); });
    measure("document -> RTF", bytes, [&] { Rtf::write(&document); });

    if (app.arguments().contains(QStringLiteral("--huge"))) {
        const QString huge =
            QStringLiteral("{\\rtf1\\fs") + QString(1 << 30, '9') + QStringLiteral(" a}");
        QElapsedTimer timer;
        timer.start();
        const QString plain = Rtf::toPlainText(huge);
        std::printf("1 GB number -> plain text \"%s\" in %.2f s\n", qPrintable(plain),
                    timer.nsecsElapsed() / 1e9);
        timer.start();
        Rtf::read(huge, &document);
        std::printf("1 GB number -> document in %.2f s\n", timer.nsecsElapsed() / 1e9);
    }
    return 0;
}
