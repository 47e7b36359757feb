#include "formats/TableExport.h"

#include "data/QuestionRecord.h"
#include "formats/TableColumns.h"
#include "platform/Shares.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"

#include <algorithm>

namespace QuestionTable {
namespace {

// A field's plain text as a table holds it: line breaks as "\n".
QString plainField(const QString& rtf) {
    QString text = Rtf::toPlainText(rtf);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

void appendField(QString& out, const QString& field, QChar separator) {
    const bool quoted = field.contains(separator) || field.contains(QChar('"')) ||
                        field.contains(QChar('\n')) || field.contains(QChar('\r'));
    if (!quoted) {
        out += field;
        return;
    }
    out += QChar('"');
    for (QChar c : field) {
        if (c == QChar('"'))
            out += QChar('"');
        out += c;
    }
    out += QChar('"');
}

} // namespace

QByteArray write(const QStringList& records, QChar separator) {
    struct Line {
        QString question;
        QChar type;
        QString answer;
        QStringList choices;
        QString hint;
        QString explanation;
    };
    // Taking the rich text apart is nearly all the work: every core takes a
    // share of the records, and then of the rows to write.
    QVector<Line> lines(records.size());
    Line* const filled = lines.data();
    forEachShare(records.size(), 500, [&records, filled](qsizetype from, qsizetype to) {
        for (qsizetype r = from; r < to; ++r) {
            const RecordFields fields = recordFields({}, records.at(r));
            Line& line = filled[r];
            line.question = plainField(fields.questionRtf);
            // The type the record names, none when it names none.
            line.type = fields.type != QChar('1') ? fields.type : recordAnswerType(records.at(r));
            if (line.type == QChar('3')) {
                line.answer =
                    fields.choices.isEmpty() ? QString() : plainField(fields.choices.first().rtf);
            } else {
                QVector<bool> correct;
                for (const RecordChoice& choice : fields.choices) {
                    line.choices << plainField(choice.rtf);
                    correct << choice.correct;
                }
                line.answer = answerCell(line.choices, correct);
            }
            line.hint = plainField(fields.hintRtf);
            line.explanation = plainField(fields.explanationRtf);
        }
    });
    qsizetype choiceColumns = 1;
    for (const Line& line : std::as_const(lines))
        choiceColumns = std::max(choiceColumns, line.choices.size());

    // Each row ends its last field with a line end instead of a separator.
    const auto endRow = [](QString& row) {
        row.chop(1);
        row += QLatin1String("\r\n");
    };
    QString header;
    for (const QString& name : {u("問題"), u("種類"), u("正解")})
        header += name + separator;
    for (qsizetype i = 1; i <= choiceColumns; ++i)
        header += u("選択肢") + QString::number(i) + separator;
    header += u("ヒント") + separator + u("解説") + separator;
    endRow(header);

    QVector<QByteArray> rows(lines.size());
    QByteArray* const written = rows.data();
    forEachShare(lines.size(), 500, [&](qsizetype from, qsizetype to) {
        QString row;
        for (qsizetype r = from; r < to; ++r) {
            const Line& line = lines.at(r);
            row.clear();
            for (const QString& field :
                 {line.question, line.type.isNull() ? QString() : QString(line.type),
                  line.answer}) {
                appendField(row, field, separator);
                row += separator;
            }
            for (qsizetype i = 0; i < choiceColumns; ++i) {
                appendField(row, line.choices.value(i), separator);
                row += separator;
            }
            appendField(row, line.hint, separator);
            row += separator;
            appendField(row, line.explanation, separator);
            row += separator;
            endRow(row);
            written[r] = row.toUtf8();
        }
    });
    QByteArray out = "\xEF\xBB\xBF" + header.toUtf8();
    qsizetype size = out.size();
    for (const QByteArray& row : std::as_const(rows))
        size += row.size();
    out.reserve(size);
    for (const QByteArray& row : std::as_const(rows))
        out += row;
    return out;
}

QString quotedField(const QString& field, QChar separator) {
    QString out;
    appendField(out, field, separator);
    return out;
}

} // namespace QuestionTable
