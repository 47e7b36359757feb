#include "formats/TableColumns.h"

#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <algorithm>

namespace QuestionTable {
namespace {

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

} // namespace

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

} // namespace QuestionTable
