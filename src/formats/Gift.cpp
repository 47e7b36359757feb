#include "formats/Gift.h"

#include "formats/HtmlText.h"
#include "formats/QuizText.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <optional>

namespace Gift {
namespace {

const QString hintComment = QStringLiteral("//ヒント：");

// A text with the characters its backslashes escape told apart: those are
// never marks. "\n" is a line break.
struct Marked {
    QString text;
    QVector<bool> escaped;

    static Marked of(QStringView source) {
        Marked m;
        for (qsizetype i = 0; i < source.size(); ++i) {
            QChar c = source.at(i);
            bool escaped = false;
            if (c == u'\\' && i + 1 < source.size()) {
                const QChar next = source.at(i + 1);
                if (QStringView(u"~=#{}:\\").contains(next)) {
                    c = next;
                    escaped = true;
                    ++i;
                } else if (next == u'n') {
                    c = QChar(0x2028);
                    escaped = true;
                    ++i;
                }
            }
            m.text += c;
            m.escaped.append(escaped);
        }
        return m;
    }

    qsizetype size() const { return text.size(); }
    bool isMark(qsizetype i, QChar c) const { return text.at(i) == c && !escaped.at(i); }
    qsizetype find(QChar c, qsizetype from = 0) const {
        for (qsizetype i = from; i < size(); ++i)
            if (isMark(i, c))
                return i;
        return -1;
    }
    qsizetype find(QStringView marks, qsizetype from = 0) const {
        for (qsizetype i = from; i + marks.size() <= size(); ++i) {
            qsizetype k = 0;
            while (k < marks.size() && isMark(i + k, marks.at(k)))
                ++k;
            if (k == marks.size())
                return i;
        }
        return -1;
    }
    Marked mid(qsizetype from, qsizetype length = -1) const {
        Marked m;
        m.text = text.mid(from, length);
        m.escaped = escaped.mid(from, length);
        return m;
    }
};

struct Answer {
    QChar mark; // '=' or '~'
    std::optional<double> weight;
    Marked text;

    // The answer without its own feedback, which follows a "#".
    QString shown() const {
        const qsizetype feedback = text.find(u'#');
        return (feedback < 0 ? text.text : text.text.left(feedback)).trimmed();
    }
};

// A text of a question in its format.
QString richText(const QString& text, bool html) {
    return html ? HtmlText::toRtf(text) : Rtf::writePlain(storableText(text).replace(u'\n', u' '));
}

bool isBlankText(const QString& text, bool html) {
    return (html ? HtmlText::toPlain(text) : storableText(text)).trimmed().isEmpty();
}

bool isTrueOrFalse(const QString& word) {
    const QString w = word.trimmed().toUpper();
    return w == QLatin1String("T") || w == QLatin1String("F") || w == QLatin1String("TRUE") ||
           w == QLatin1String("FALSE");
}

// The answers of a block: each begins at a "=" or "~", a weight "%n%"
// may follow.
QVector<Answer> answersOf(const Marked& block) {
    QVector<Answer> answers;
    for (qsizetype i = 0; i < block.size(); ++i) {
        if (!block.isMark(i, u'=') && !block.isMark(i, u'~')) {
            if (!answers.isEmpty()) {
                answers.last().text.text += block.text.at(i);
                answers.last().text.escaped.append(block.escaped.at(i));
            }
            continue;
        }
        Answer a;
        a.mark = block.text.at(i);
        if (i + 1 < block.size() && block.isMark(i + 1, u'%')) {
            const qsizetype end = block.find(u'%', i + 2);
            bool ok = false;
            const double weight = end < 0 ? 0 : block.text.mid(i + 2, end - i - 2).toDouble(&ok);
            if (ok) {
                a.weight = weight;
                i = end;
            }
        }
        answers.append(a);
    }
    return answers;
}

// The question a block of lines holds, or the reason it cannot be one.
QString readQuestion(const Marked& whole, const QString& hintHtml, RecordFields& fields) {
    qsizetype at = 0;
    while (at < whole.size() && whole.text.at(at).isSpace())
        ++at;
    // A title between "::" is the question's name in Moodle.
    if (whole.find(QStringView(u"::"), at) == at) {
        const qsizetype end = whole.find(QStringView(u"::"), at + 2);
        at = end < 0 ? at : end + 2;
        while (at < whole.size() && whole.text.at(at).isSpace())
            ++at;
    }
    bool html = true;
    for (const char* format : {"[html]", "[moodle]", "[plain]", "[markdown]"}) {
        if (QStringView(whole.text).sliced(at).startsWith(QLatin1String(format))) {
            html = format[1] == 'h' || (format[1] == 'm' && format[2] == 'o');
            at += qsizetype(qstrlen(format));
            break;
        }
    }
    const qsizetype open = whole.find(u'{', at);
    if (open < 0)
        return QuizText::unsupportedKind(QStringLiteral("description"));
    const qsizetype close = whole.find(u'}', open + 1);
    QString text = whole.text.mid(at, open - at).trimmed();
    const QString after = whole.text.mid(close + 1).trimmed();
    // Text after the answers makes a blank for them to fill.
    if (!after.isEmpty())
        text += u(" ＿＿＿ ") + after;
    Marked block = whole.mid(open + 1, close - open - 1);
    QString feedback;
    const qsizetype general = block.find(QStringView(u"####"));
    if (general >= 0) {
        feedback = block.text.mid(general + 4).trimmed();
        block = block.mid(0, general);
    }
    const QString content = block.text.trimmed();
    if (content.isEmpty())
        return QuizText::unsupportedKind(QStringLiteral("essay"));
    if (content.startsWith(u'#') && block.find(u'#') >= 0)
        return QuizText::unsupportedKind(QStringLiteral("numerical"));

    const qsizetype firstFeedback = block.find(u'#');
    const QString beforeFeedback =
        (firstFeedback < 0 ? block.text : block.text.left(firstFeedback)).trimmed();
    if (isTrueOrFalse(beforeFeedback) && block.find(u'=') < 0 && block.find(u'~') < 0) {
        QuizText::trueFalseChoices(fields, beforeFeedback.toUpper().startsWith(u'T'));
    } else {
        const QVector<Answer> answers = answersOf(block);
        if (answers.isEmpty())
            return u("答えの書き方が読めない問題");
        if (std::any_of(answers.begin(), answers.end(),
                        [](const Answer& a) { return a.text.find(QStringView(u"->")) >= 0; }))
            return QuizText::unsupportedKind(QStringLiteral("matching"));
        // Blank answers are no choices: without a wrong one left, the
        // question is a short answer.
        const bool multichoice =
            std::any_of(answers.begin(), answers.end(), [html](const Answer& a) {
                return a.mark == u'~' && !isBlankText(a.shown(), html);
            });
        if (multichoice) {
            const bool single = std::any_of(answers.begin(), answers.end(),
                                            [](const Answer& a) { return a.mark == u'='; });
            fields.type = single ? QChar('1') : QChar('2');
            bool anyRight = false;
            for (const Answer& a : answers) {
                const QString choice = a.shown();
                if (isBlankText(choice, html))
                    continue;
                const bool right = a.mark == u'=' || a.weight.value_or(0) > 0;
                fields.choices.append({right, richText(choice, html)});
                anyRight = anyRight || right;
            }
            if (!anyRight)
                return u("正解の選択肢がない問題");
        } else {
            const auto right = std::find_if(answers.begin(), answers.end(), [](const Answer& a) {
                return a.weight.value_or(100) >= 99.999;
            });
            if (right == answers.end())
                return u("正解のない問題");
            // A short answer is compared as plain text.
            // Trimmed again once a NUL that hid a blank is gone, as a
            // file written back and read again would trim it.
            const QString answer = storableText(right->shown()).trimmed();
            const QString problem = typedAnswerProblem(answer);
            if (!problem.isEmpty())
                return problem;
            fields.type = QChar('3');
            fields.choices = {{true, Rtf::writePlain(answer)}};
        }
    }
    if (isBlankText(text, html))
        return u("問題文のない問題");
    fields.questionRtf = richText(text, html);
    fields.hintRtf = HtmlText::toRtf(hintHtml);
    fields.explanationRtf = richText(feedback, html);
    return {};
}

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (QStringView(u"~=#{}:\\").contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

// A rich text's HTML as GIFT holds it. The reader trims every piece, so a
// blank at either end that HTML keeps (an ideographic space) is written as
// a character reference.
QString giftHtml(const QString& rtf) {
    QString html = HtmlText::fromRtf(rtf);
    const auto reference = [](QChar c) { return QStringLiteral("&#%1;").arg(c.unicode()); };
    if (!html.isEmpty() && html.back().isSpace())
        html.replace(html.size() - 1, 1, reference(html.back()));
    if (!html.isEmpty() && html.front().isSpace())
        html.replace(0, 1, reference(html.front()));
    return html;
}

// An answer after its mark: a "%" right after the mark would begin a
// weight, so a blank keeps them apart.
QString answerText(const QString& text) {
    const QString written = escaped(text);
    return written.startsWith(u'%') ? u' ' + written : written;
}

} // namespace

bool looksLike(QStringView text) {
    for (QStringView line : text.split(u'\n')) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u"//") || trimmed.startsWith(u"$CATEGORY:"))
            continue;
        if (trimmed.startsWith(u"::") || trimmed.startsWith(u"[html]") ||
            trimmed.startsWith(u"[moodle]") || trimmed.startsWith(u"[plain]") ||
            trimmed.startsWith(u"[markdown]"))
            return true;
        break;
    }
    const Marked marked = Marked::of(text);
    for (qsizetype open = marked.find(u'{'); open >= 0; open = marked.find(u'{', open + 1)) {
        const qsizetype close = marked.find(u'}', open + 1);
        if (close < 0)
            return false;
        const QString block = marked.text.mid(open + 1, close - open - 1).trimmed();
        if (block.startsWith(u'=') || block.startsWith(u'~') || isTrueOrFalse(block))
            return true;
    }
    return false;
}

ImportedQuestions read(QStringView source) {
    QString text = source.toString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    const QStringList lines = text.split(u'\n');

    struct Block {
        int line = 0;
        QString text;
        QString hint;
    };
    QVector<Block> blocks;
    Block current;
    QString hint;
    const auto endBlock = [&] {
        if (!current.text.trimmed().isEmpty())
            blocks.append(current);
        current = {};
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines.at(i).trimmed();
        if (trimmed.isEmpty()) {
            endBlock();
            continue;
        }
        if (trimmed.startsWith(hintComment)) {
            current.hint = trimmed.mid(hintComment.size());
            continue;
        }
        if (trimmed.startsWith(QLatin1String("//")) ||
            trimmed.startsWith(QLatin1String("$CATEGORY:")))
            continue;
        if (current.text.isEmpty())
            current.line = i + 1;
        current.text += lines.at(i) + u'\n';
    }
    endBlock();

    ImportedQuestions result;
    for (const Block& block : std::as_const(blocks)) {
        const Marked marked = Marked::of(block.text);
        const qsizetype open = marked.find(u'{');
        if (open >= 0 && marked.find(u'}', open + 1) < 0)
            return ImportedQuestions::refused(
                u("%1行目から始まる問題の「{」が閉じられていません。").arg(block.line));
    }
    result.ok = true;
    for (const Block& block : std::as_const(blocks)) {
        RecordFields fields;
        const QString reason =
            readQuestion(Marked::of(block.text), Marked::of(block.hint).text, fields);
        result.takeOrSkip(std::move(fields), reason);
    }
    return result;
}

QByteArray write(const QStringList& records) {
    QString out;
    for (int i = 0; i < records.size(); ++i) {
        const RecordFields fields = recordFields({}, records.at(i));
        const QString hint = giftHtml(fields.hintRtf);
        if (!hint.isEmpty())
            out += hintComment + escaped(hint) + QLatin1String("\r\n");
        out += QLatin1String("::") + escaped(QuizText::questionName(fields, i + 1)) +
               QLatin1String("::[html]") + escaped(giftHtml(fields.questionRtf)) +
               QLatin1String("{\r\n");
        if (fields.type == QChar('3')) {
            const QString answer =
                fields.choices.isEmpty() ? QString() : Rtf::toPlainText(fields.choices.first().rtf);
            out += QLatin1String("\t=") + answerText(answer) + QLatin1String("\r\n");
        } else {
            const bool multiple = fields.type == QChar('2');
            const QString right = QuizText::fraction(QuizText::rightFraction(fields));
            const QString wrong = QuizText::fraction(QuizText::wrongFraction(fields));
            bool marked = false;
            for (const RecordChoice& choice : fields.choices) {
                out += QLatin1String("\t");
                // One "=" makes a single choice; other right answers take
                // a weight, so that a "~" is there to keep the choices.
                if (!multiple && choice.correct && !marked)
                    out += u'=';
                else if (!multiple && !choice.correct)
                    out += u'~';
                else
                    out += QLatin1String("~%") + (choice.correct ? right : wrong) + u'%';
                marked = marked || (!multiple && choice.correct);
                out += answerText(giftHtml(choice.rtf)) + QLatin1String("\r\n");
            }
        }
        const QString explanation = giftHtml(fields.explanationRtf);
        if (!explanation.isEmpty())
            out += QLatin1String("\t####") + escaped(explanation) + QLatin1String("\r\n");
        out += QLatin1String("}\r\n\r\n");
    }
    return out.toUtf8();
}

} // namespace Gift
