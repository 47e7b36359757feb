#include "formats/QuestionTable.h"

#include "formats/TableColumns.h"
#include "formats/TableDecoding.h"
#include "formats/TableTokenizer.h"
#include "platform/Shares.h"
#include "platform/Texts.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace QuestionTable {

bool hasHeader(QStringView text) {
    QVector<Row> rows;
    splitRows(text, detectSeparator(text), rows, 1);
    QString refusal;
    return !rows.isEmpty() && headerLayout(rows.first(), refusal).value_or(Layout()).header;
}

ReadResult read(const QByteArray& bytes) {
    ReadResult result;
    const Decoded decoded = decode(bytes);
    if (!decoded.ok) {
        result.refusal = u("%1行目の文字を読めません。\r\n"
                           "UTF-8、UTF-16(BOM付き)またはShift-JIS(ｺｰﾄﾞﾍﾟｰｼﾞ932)で"
                           "保存したﾌｧｲﾙを指定して下さい。")
                             .arg(decoded.badLine);
        return result;
    }
    // A question file cannot hold NUL or the two marks its rich text uses
    // for structure: they are left out, so that no field reads as text here
    // and comes back empty from the question file.
    QString kept = decoded.text;
    kept.remove(QChar(0)).remove(QChar(0xFDD0)).remove(QChar(0xFDD1));
    QStringView text = kept;
    QVector<Row> rows;
    const int unclosed = splitRows(text, detectSeparator(text), rows);
    if (unclosed) {
        result.refusal = u("%1行目で始まる「\"」が閉じられていません。").arg(unclosed);
        return result;
    }
    if (rows.isEmpty()) {
        result.refusal = u("ﾌｧｲﾙに問題がありません。");
        return result;
    }
    const std::optional<Layout> layout = headerLayout(rows.first(), result.refusal);
    if (!layout)
        return result;
    result.ok = true;
    // Writing the rich text of every field is most of the work: every core
    // takes a share of the rows.
    const qsizetype first = layout->header ? 1 : 0;
    const qsizetype count = rows.size() - first;
    std::vector<Question> questions(std::size_t(std::max<qsizetype>(count, 0)));
    std::vector<QString> reasons(questions.size());
    std::vector<QString> readByText(questions.size());
    forEachShare(count, 500, [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            const std::size_t at = std::size_t(i);
            reasons[at] = readQuestion(rows.at(first + i), *layout, questions[at], readByText[at]);
        }
    });
    result.questions.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const Row& row = rows.at(first + i);
        const std::size_t at = std::size_t(i);
        if (!reasons[at].isEmpty()) {
            result.badRows.append({row.number, row.line, reasons[at]});
            continue;
        }
        result.questions.append(std::move(questions[at]));
        if (!readByText[at].isEmpty())
            result.readByText.append({row.number, row.line, readByText[at]});
    }
    return result;
}

QString rowList(const QVector<RowNote>& rows, int shown) {
    QStringList lines;
    for (int i = 0; i < rows.size() && i < shown; ++i)
        lines << u("　%1：%2").arg(rowName(rows.at(i).number, rows.at(i).line), rows.at(i).text);
    if (rows.size() > shown)
        lines << u("　…ほか%1行").arg(rows.size() - shown);
    return lines.join(QLatin1String("\r\n"));
}

} // namespace QuestionTable
