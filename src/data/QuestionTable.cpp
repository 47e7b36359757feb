#include "data/QuestionTable.h"

#include "data/modKuMemo.h"
#include "platform/Codepage.h"
#include "platform/Shares.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QtEndian>

#include <algorithm>
#include <optional>
#include <vector>

namespace QuestionTable {
namespace {

int lineOfOffset(QByteArrayView bytes, qsizetype offset) {
    return int(std::count(bytes.begin(), bytes.begin() + offset, '\n')) + 1;
}

int lineOfPosition(QStringView text, qsizetype position) {
    return int(std::count(text.begin(), text.begin() + position, u'\n')) + 1;
}

struct Utf8Scan {
    qsizetype firstBad = -1;
    qsizetype bad = 0;       // bytes that begin no well-formed sequence
    qsizetype multiByte = 0; // well-formed sequences of two bytes or more
};

Utf8Scan scanUtf8(QByteArrayView b) {
    Utf8Scan scan;
    const qsizetype n = b.size();
    const auto follows = [&](qsizetype k, uchar low = 0x80, uchar high = 0xBF) {
        return k < n && uchar(b[k]) >= low && uchar(b[k]) <= high;
    };
    for (qsizetype i = 0; i < n;) {
        const uchar c = uchar(b[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = follows(i + 1) ? 2 : 0;
        else if (c == 0xE0)
            length = follows(i + 1, 0xA0) && follows(i + 2) ? 3 : 0;
        else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF)
            length = follows(i + 1) && follows(i + 2) ? 3 : 0;
        else if (c == 0xED)
            length = follows(i + 1, 0x80, 0x9F) && follows(i + 2) ? 3 : 0;
        else if (c == 0xF0)
            length = follows(i + 1, 0x90) && follows(i + 2) && follows(i + 3) ? 4 : 0;
        else if (c >= 0xF1 && c <= 0xF3)
            length = follows(i + 1) && follows(i + 2) && follows(i + 3) ? 4 : 0;
        else if (c == 0xF4)
            length = follows(i + 1, 0x80, 0x8F) && follows(i + 2) && follows(i + 3) ? 4 : 0;
        if (length == 0) {
            if (scan.firstBad < 0)
                scan.firstBad = i;
            ++scan.bad;
            ++i;
            continue;
        }
        ++scan.multiByte;
        i += length;
    }
    return scan;
}

Decoded refused(int line) {
    Decoded d;
    d.badLine = line;
    return d;
}

Decoded accepted(QString text) {
    Decoded d;
    d.ok = true;
    d.text = std::move(text);
    return d;
}

Decoded decodeUtf16(QByteArrayView body, bool littleEndian) {
    QString text(body.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar* at = reinterpret_cast<const uchar*>(body.data()) + 2 * i;
        text[i] =
            QChar(littleEndian ? qFromLittleEndian<quint16>(at) : qFromBigEndian<quint16>(at));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return refused(lineOfPosition(text, i));
    }
    if (body.size() % 2)
        return refused(lineOfPosition(text, text.size()));
    return accepted(text);
}

// A row as messages name it: as the spreadsheet shows it, with the file's
// own line beside it where a quoted line break makes them differ.
QString rowName(int number, int line) {
    if (number == line)
        return u("%1行目").arg(number);
    return u("%1行目(ﾌｧｲﾙの%2行目)").arg(number).arg(line);
}

// The kinds of column a header can name.
enum class Column { Question, Type, Answer, Choice, Hint, Explanation };

std::optional<Column> columnNamed(const QString& cell) {
    QString name = cell.toCaseFolded();
    name.remove(QChar(' '));
    name.remove(QChar(0x3000));
    name.remove(QChar('_'));
    // Choice columns may be numbered: 選択肢1, choice 2, …
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1).digitValue() >= 0)
        --end;
    const bool numbered = end < name.size();
    name.truncate(end);
    static const struct {
        const char* name;
        Column column;
    } names[] = {
        {"問題", Column::Question},       {"問題文", Column::Question},
        {"question", Column::Question},   {"種類", Column::Type},
        {"回答の種類", Column::Type},     {"type", Column::Type},
        {"answertype", Column::Type},     {"正解", Column::Answer},
        {"答え", Column::Answer},         {"answer", Column::Answer},
        {"answers", Column::Answer},      {"rightanswer", Column::Answer},
        {"rightanswers", Column::Answer}, {"選択肢", Column::Choice},
        {"choice", Column::Choice},       {"choices", Column::Choice},
        {"ヒント", Column::Hint},         {"hint", Column::Hint},
        {"解説", Column::Explanation},    {"explanation", Column::Explanation},
    };
    for (const auto& known : names)
        if (name == QString::fromUtf8(known.name) && (!numbered || known.column == Column::Choice))
            return known.column;
    return std::nullopt;
}

// Which field of a row holds what; -1 where there is none.
struct Layout {
    int question = -1;
    int type = -1;
    int answer = -1;
    int hint = -1;
    int explanation = -1;
    QVector<int> choices;
    bool header = false;
};

// The layout a header row names, or the refusal of a header that cannot be
// read. A first row that names no question column is no header.
std::optional<Layout> headerLayout(const Row& first, QString& refusal) {
    Layout layout;
    for (const QString& cell : first.fields)
        if (columnNamed(cell.trimmed()) == Column::Question)
            layout.header = true;
    if (!layout.header) {
        layout.question = 0;
        layout.answer = 1;
        layout.hint = 2;
        layout.explanation = 3;
        return layout;
    }
    for (int i = 0; i < first.fields.size(); ++i) {
        const QString cell = first.fields.at(i).trimmed();
        if (cell.isEmpty())
            continue;
        const std::optional<Column> column = columnNamed(cell);
        if (!column) {
            refusal = rowName(first.number, first.line) +
                      u("の見出し「%1」は列の名前ではありません。\r\n"
                        "列の名前：問題、種類、正解、選択肢、ヒント、解説\r\n"
                        "(question, type, answer, choice, hint, explanation)")
                          .arg(cell);
            return std::nullopt;
        }
        if (*column == Column::Choice) {
            layout.choices << i;
            continue;
        }
        // In the order of the column kinds.
        int* const places[] = {&layout.question, &layout.type, &layout.answer,
                               nullptr,          &layout.hint, &layout.explanation};
        int* slot = places[int(*column)];
        if (*slot >= 0) {
            refusal =
                rowName(first.number, first.line) + u("の見出し「%1」が2つあります。").arg(cell);
            return std::nullopt;
        }
        *slot = i;
    }
    return layout;
}

QString cell(const Row& row, int index) {
    return index >= 0 && index < row.fields.size() ? row.fields.at(index) : QString();
}

bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// "2", "1 3", "1,3", "１、３": the numbers of the right choices.
bool readNumbers(const QString& answer, QVector<int>& numbers) {
    static const QString separators = u(" \t\n,;/、，；・／　");
    QString digits;
    const auto take = [&] {
        if (!digits.isEmpty())
            numbers << digits.toInt();
        digits.clear();
    };
    for (QChar c : answer) {
        if (c.digitValue() >= 0 && digits.size() < 6)
            digits += QChar('0' + c.digitValue());
        else if (separators.contains(c))
            take();
        else
            return false;
    }
    take();
    return !numbers.isEmpty();
}

struct Choice {
    int column = 0; // the choice's number: its place among the choice columns
    QString text;
};

// The choices the numbers of an answer name; empty when it is no list of
// numbers or names a choice the row does not have.
QVector<int> numberedChoices(const QString& answer, const QVector<Choice>& choices) {
    QVector<int> numbers;
    if (!readNumbers(answer, numbers))
        return {};
    QVector<int> named;
    for (int number : numbers) {
        const auto it = std::find_if(choices.begin(), choices.end(),
                                     [number](const Choice& c) { return c.column == number; });
        if (it == choices.end())
            return {};
        named << int(it - choices.begin());
    }
    return named;
}

// Whether two lists name the same choices, in any order.
bool sameChoices(QVector<int> a, QVector<int> b) {
    for (QVector<int>* list : {&a, &b}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    return a == b;
}

struct AnswerReading {
    QVector<int> right;             // places among the row's choices; empty when it names none
    bool numbersNameOthers = false; // taken as text, though as numbers it names other choices
};

// Which choices the answer names: the choices whose text it is, else those
// its numbers name. A choice's text is what the author wrote in the row, so
// "2" among the choices "2", "1", "3" is the first of them.
AnswerReading readAnswer(const QString& answer, const QVector<Choice>& choices) {
    AnswerReading reading;
    for (int i = 0; i < choices.size(); ++i)
        if (choices.at(i).text.trimmed() == answer.trimmed())
            reading.right << i;
    const QVector<int> numbered = numberedChoices(answer, choices);
    if (reading.right.isEmpty())
        reading.right = numbered;
    else
        reading.numbersNameOthers = !numbered.isEmpty() && !sameChoices(numbered, reading.right);
    return reading;
}

// The question a row holds, or why it cannot be one. `readByText` tells a
// right answer taken as a choice's text that as numbers names others.
QString readQuestion(const Row& row, const Layout& layout, Question& question,
                     QString& readByText) {
    for (int i = 0; i < row.fields.size(); ++i) {
        const bool read = i == layout.question || i == layout.type || i == layout.answer ||
                          i == layout.hint || i == layout.explanation || layout.choices.contains(i);
        if (read || row.fields.at(i).isEmpty())
            continue;
        if (!layout.header)
            return u("%1列目は読めません。見出しのない表は問題、正解、ヒント、解説の4列です")
                .arg(i + 1);
        return u("%1列目には見出しがありません").arg(i + 1);
    }

    const QString text = cell(row, layout.question);
    if (isBlank(text))
        return u("問題文がありません");
    const QString answer = cell(row, layout.answer);
    QVector<Choice> choices;
    for (int i = 0; i < layout.choices.size(); ++i) {
        const QString choice = cell(row, layout.choices.at(i));
        if (!choice.isEmpty())
            choices.append({i + 1, choice});
    }
    const AnswerReading reading = readAnswer(answer, choices);
    const QVector<int>& right = reading.right;

    const QString typeText = cell(row, layout.type).trimmed();
    QChar type;
    if (typeText.isEmpty()) {
        type = choices.isEmpty() ? QChar('3') : right.size() > 1 ? QChar('2') : QChar('1');
    } else {
        const int digit = typeText.at(0).digitValue();
        if (digit < 1 || digit > 3 || (typeText.size() > 1 && typeText.at(1) != QChar('.')))
            return u("回答の種類「%1」は1、2、3のどれかにして下さい").arg(typeText);
        type = QChar('0' + digit);
    }

    RecordFields& fields = question.fields;
    fields.type = type;
    if (type == QChar('3')) {
        if (!choices.isEmpty())
            return u("直接入力ﾀｲﾌﾟの問題に選択肢は付けられません");
        if (answer.isEmpty())
            return u("正解がありません");
        // The rule of the editor: the answer's text as its box shows it.
        const QString answerRtf = Rtf::writePlain(answer);
        if (Rtf::toPlainText(answerRtf).contains(QLatin1String("\r\n")))
            return u("直接入力ﾀｲﾌﾟの回答に改行を含むものは設定できません");
        fields.choices.append({true, answerRtf});
    } else {
        if (choices.isEmpty())
            return u("選択肢がありません");
        if (isBlank(answer))
            return u("正解の選択肢がありません");
        if (right.isEmpty())
            return u("正解「%1」に当たる選択肢がありません").arg(answer);
        QStringList rightColumns;
        for (int i = 0; i < choices.size(); ++i) {
            fields.choices.append({right.contains(i), Rtf::writePlain(choices.at(i).text)});
            if (right.contains(i))
                rightColumns << QString::number(choices.at(i).column);
        }
        if (reading.numbersNameOthers)
            readByText = u("正解「%1」を選択肢%2としました")
                             .arg(answer.trimmed(), rightColumns.join(u("、")));
    }
    fields.questionRtf = Rtf::writePlain(text);
    fields.hintRtf = Rtf::writePlain(cell(row, layout.hint));
    fields.explanationRtf = Rtf::writePlain(cell(row, layout.explanation));
    question.plainText = Rtf::toPlainText(fields.questionRtf);
    question.line = row.line;
    return {};
}

// A field's plain text as a table holds it: line breaks as "\n".
QString plainField(const QString& rtf) {
    QString text = Rtf::toPlainText(rtf);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

// The right answer's cell for these choices: the numbers of the right ones.
// Where a choice's text is the same as those numbers, they would read back
// as that choice; commas after them make them numbers again. Each choice's
// text equals one count of commas at most, so one of these counts is free.
QString answerCell(const QStringList& texts, const QVector<bool>& correct) {
    QVector<Choice> choices;
    QVector<int> right;
    QStringList numbers;
    for (int i = 0; i < texts.size(); ++i) {
        if (correct.at(i)) {
            numbers << QString::number(i + 1);
            if (!texts.at(i).isEmpty())
                right << int(choices.size());
        }
        if (!texts.at(i).isEmpty())
            choices.append({i + 1, texts.at(i)});
    }
    const QString spelled = numbers.join(QChar(' '));
    if (right.isEmpty())
        return spelled;
    for (qsizetype commas = 0; commas <= choices.size(); ++commas) {
        const QString cell = spelled + QString(commas, QChar(','));
        if (sameChoices(readAnswer(cell, choices).right, right))
            return cell;
    }
    return spelled;
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

Decoded decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        const QByteArrayView body = QByteArrayView(bytes).sliced(3);
        const Utf8Scan scan = scanUtf8(body);
        if (scan.bad)
            return refused(lineOfOffset(body, scan.firstBad));
        return accepted(QString::fromUtf8(body));
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return decodeUtf16(QByteArrayView(bytes).sliced(2), bytes.at(0) == '\xFF');
    // Without a mark, NUL bytes tell a UTF-16 text or no text at all.
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        return refused(lineOfOffset(bytes, nul));
    const Utf8Scan scan = scanUtf8(bytes);
    if (scan.bad == 0)
        return accepted(QString::fromUtf8(bytes));
    // Mostly well-formed UTF-8 is UTF-8 with damaged bytes, never code page
    // 932 that happens to read as something.
    if (scan.multiByte > 3 * scan.bad)
        return refused(lineOfOffset(bytes, scan.firstBad));
    QString text = Codepage::decode(bytes, 932);
    const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
    if (bad >= 0)
        return refused(lineOfPosition(text, bad));
    return accepted(text);
}

int splitRows(QStringView text, QChar separator, QVector<Row>& rows, int maxRows) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    int number = 0;
    const auto isLineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    // Steps over a line end at i: CR LF, CR or LF.
    const auto passLineEnd = [&] {
        i += text.at(i) == u'\r' && i + 1 < n && text.at(i + 1) == u'\n' ? 2 : 1;
        ++line;
    };
    while (i < n && (maxRows < 0 || rows.size() < maxRows)) {
        Row row;
        row.number = ++number;
        row.line = line;
        while (true) {
            QString field;
            if (text.at(i) == u'"') {
                const int quoteLine = line;
                ++i;
                while (true) {
                    if (i >= n)
                        return quoteLine;
                    const QChar c = text.at(i);
                    if (c == u'"') {
                        ++i;
                        if (i < n && text.at(i) == u'"') {
                            field += QChar('"');
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (isLineEnd(c)) {
                        field += QChar('\n');
                        passLineEnd();
                        continue;
                    }
                    qsizetype j = i;
                    while (j < n && text.at(j) != u'"' && !isLineEnd(text.at(j)))
                        ++j;
                    field += text.mid(i, j - i);
                    i = j;
                }
            }
            // An unquoted field, or what follows a closing quote, up to the
            // next separator or line end.
            qsizetype j = i;
            while (j < n && text.at(j) != separator && !isLineEnd(text.at(j)))
                ++j;
            field += text.mid(i, j - i);
            i = j;
            row.fields << field;
            if (i < n && text.at(i) == separator) {
                ++i;
                if (i < n)
                    continue;
                row.fields << QString();
            }
            if (i < n)
                passLineEnd();
            break;
        }
        if (std::any_of(row.fields.begin(), row.fields.end(),
                        [](const QString& f) { return !f.isEmpty(); }))
            rows.append(row);
    }
    return 0;
}

QChar detectSeparator(QStringView text) {
    struct Trial {
        QChar separator;
        int width = 0;
        bool consistent = false;
    };
    Trial trials[] = {{QChar('\t')}, {QChar(',')}};
    for (Trial& trial : trials) {
        QVector<Row> rows;
        splitRows(text, trial.separator, rows, 20);
        trial.width = rows.isEmpty() ? 0 : int(rows.first().fields.size());
        trial.consistent =
            trial.width >= 2 && std::all_of(rows.begin(), rows.end(), [&](const Row& row) {
                return row.fields.size() == trial.width;
            });
    }
    const Trial& tab = trials[0];
    const Trial& comma = trials[1];
    if (tab.consistent != comma.consistent)
        return tab.consistent ? tab.separator : comma.separator;
    return tab.width > comma.width || (tab.consistent && comma.consistent) ? tab.separator
                                                                           : comma.separator;
}

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

QString rowList(const QVector<RowNote>& rows, int shown) {
    QStringList lines;
    for (int i = 0; i < rows.size() && i < shown; ++i)
        lines << u("　%1：%2").arg(rowName(rows.at(i).number, rows.at(i).line), rows.at(i).text);
    if (rows.size() > shown)
        lines << u("　…ほか%1行").arg(rows.size() - shown);
    return lines.join(QLatin1String("\r\n"));
}

} // namespace QuestionTable
