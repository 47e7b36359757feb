// The program's half of scripts/office_roundtrip.sh.
//   office_roundtrip write FOLDER   writes FOLDER/check.kmd: questions whose
//                                   fields an author styled in the editor's boxes
//   office_roundtrip check FOLDER   compares each FOLDER/field_N.rtf as the
//                                   program shows it with what LibreOffice made
//                                   of it, field_N.txt and field_N.html
#include "data/AppGlobals.h"
#include "data/QuestionRecord.h"
#include "formats/QuestionFile.h"
#include "platform/Codepage.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/CharStyle.h"
#include "platform/rtf/RtfWriter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>

namespace {

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// A word of the field and what the author did to it.
struct Styling {
    const char* word;
    void (*apply)(RichTextBox&);
};

struct Field {
    const char* text;
    QList<Styling> stylings;
};

void bold(RichTextBox& box) {
    box.setSelBold(true);
}
void italic(RichTextBox& box) {
    box.setSelItalic(true);
}
void underline(RichTextBox& box) {
    box.setSelUnderline(true);
}
void red(RichTextBox& box) {
    box.setSelColor(QColor(255, 0, 0));
}
void blue(RichTextBox& box) {
    box.setSelColor(QColor(0, 0, 255));
}
void big(RichTextBox& box) {
    box.setSelFontSize(14);
}
void mincho(RichTextBox& box) {
    box.setSelFontName(u("ＭＳ 明朝"));
}

const QList<Field> fields{
    {"問題：次の文の太字、斜体、下線、赤い字、大きな字を読みなさい。\r\n"
     "コード外の字：𠮷野家・😀・Café・€、半角ｶﾀｶﾅ、ASCII text.",
     {{"太字", bold},
      {"斜体", italic},
      {"下線", underline},
      {"赤い字", red},
      {"大きな字", big},
      {"😀", big},
      {"Café", bold},
      {"ｶﾀｶﾅ", underline},
      {"ASCII", italic}}},
    {"富士山", {{"富士", bold}, {"富士", italic}, {"富士", underline}, {"富士", blue}}},
    {"北岳（3193メートル）", {{"3193", big}, {"3193", red}}},
    {"静岡県と山梨県にまたがる山です。", {{"山梨県", mincho}, {"山梨県", bold}}},
    {"富士山の標高は3776メートルです。\r\n\r\n"
     "2番目に高いのは\t南アルプスの北岳です。",
     {{"3776メートル", red}, {"南アルプス", underline}, {"北岳", big}}},
};

QString styledFieldRtf(const Field& field) {
    RichTextBox box;
    QTextDocument empty;
    box.setTextRTF(Rtf::write(&empty)); // the style of a cleared box
    const QString text = u(field.text);
    box.setText(text);
    for (const Styling& styling : field.stylings) {
        const QString word = u(styling.word);
        box.setSelStart(int(text.indexOf(word)));
        box.setSelLength(int(word.size()));
        styling.apply(box);
    }
    return box.textRTF();
}

int write(const QString& folder) {
    QStringList records;
    RecordFields record;
    record.key = "chk01";
    record.questionRtf = styledFieldRtf(fields[0]);
    record.choices = {{true, styledFieldRtf(fields[1])}, {false, styledFieldRtf(fields[2])}};
    record.hintRtf = styledFieldRtf(fields[3]);
    record.explanationRtf = styledFieldRtf(fields[4]);
    records << composeRecord(record);
    AppGlobals globals;
    globals.appVersion = "1.00";
    globals.propTitle = u("LibreOffice との往復");
    QString lost;
    const QByteArray bytes =
        QuestionFile::plainFileBytes(QuestionFile::compose(globals, records), &lost);
    QFile file(QDir(folder).filePath("check.kmd"));
    if (!lost.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "office_roundtrip: cannot write %s\n", qPrintable(file.fileName()));
        return 1;
    }
    return 0;
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Runs of equal style as "[size bold italic underline colour]text", the
// properties that must survive the trip (not the font: LibreOffice
// substitutes fonts it lacks). HTML runs blanks together, so runs compare
// with their blanks simplified and blank runs left out; the text export
// shows the blanks exactly.
QStringList styledRuns(const QTextDocument& document) {
    QStringList runs;
    QString last;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            runs << u("¶");
            last.clear();
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString text = fragment.text().simplified();
            if (text.isEmpty())
                continue;
            const Rtf::CharStyle s =
                Rtf::CharStyle::fromFormat(fragment.charFormat(), document.defaultFont());
            QString style = QString::number(s.halfPoints / 2.0) + "pt";
            if (s.bold)
                style += " b";
            if (s.italic)
                style += " i";
            if (s.underline)
                style += " u";
            if (s.hasColor && s.color != qRgb(0, 0, 0))
                style += ' ' + QColor(s.color).name();
            if (style == last) {
                runs.last() += text;
            } else {
                runs << '[' + style + ']' + text;
                last = style;
            }
        }
    }
    return runs;
}

int check(const QString& folder) {
    int fields = 0;
    int whole = 0;
    for (int n = 1;; ++n) {
        const QString base = QDir(folder).filePath(QString("field_%1").arg(n));
        QFile rtfFile(base + ".rtf");
        if (!rtfFile.open(QIODevice::ReadOnly))
            break;
        RichTextBox box;
        box.setTextRTF(Codepage::decode(rtfFile.readAll(), 932));
        // LibreOffice's text export ends every paragraph with a line end.
        const QString shown = box.text().replace("\r\n", "\n") + '\n';
        const QString office = readText(base + ".txt");
        QTextDocument html;
        html.setHtml(readText(base + ".html"));
        const QStringList expected = styledRuns(*box.document());
        const QStringList got = styledRuns(html);
        const bool textSame = shown == office;
        const bool stylesSame = expected == got;
        std::printf("field %d: text %s, styles %s\n", n, textSame ? "same" : "DIFFERENT",
                    stylesSame ? "same" : "DIFFERENT");
        std::printf("  program:     %s\n", qPrintable(expected.join(" ")));
        if (!stylesSame)
            std::printf("  LibreOffice: %s\n", qPrintable(got.join(" ")));
        if (!textSame)
            std::printf("  text shown: %s\n  text read:  %s\n", qPrintable(shown),
                        qPrintable(office));
        ++fields;
        whole += textSame && stylesSame;
    }
    std::printf("%d of %d fields came back with the same text and styles\n", whole, fields);
    return fields > 0 && whole == fields ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == "write")
        return write(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == "check")
        return check(arguments[2]);
    std::fprintf(stderr, "usage: office_roundtrip write|check FOLDER\n");
    return 2;
}
