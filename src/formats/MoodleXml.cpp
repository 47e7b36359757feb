#include "formats/MoodleXml.h"

#include "formats/HtmlText.h"
#include "formats/QuizText.h"
#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace MoodleXml {
namespace {

struct Text {
    QString text;
    QString format;
};

struct Answer {
    double fraction = 0;
    Text text;
};

struct Question {
    QString type;
    Text text;
    Text feedback;
    QVector<Text> hints;
    bool single = true;
    QVector<Answer> answers;
};

// The element the reader is on, with its <text>; other children are passed.
Text readText(QXmlStreamReader& xml) {
    Text t;
    t.format = xml.attributes().value(QLatin1String("format")).toString();
    forEachChildNamed(xml, QLatin1StringView("text"), [&](QXmlStreamReader& xml) {
        t.text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    });
    return t;
}

Question readQuestion(QXmlStreamReader& xml) {
    Question q;
    q.type = xml.attributes().value(QLatin1String("type")).toString();
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == QLatin1String("questiontext")) {
            q.text = readText(xml);
        } else if (name == QLatin1String("generalfeedback")) {
            q.feedback = readText(xml);
        } else if (name == QLatin1String("hint")) {
            q.hints.append(readText(xml));
        } else if (name == QLatin1String("single")) {
            const QString single = xml.readElementText().trimmed().toLower();
            q.single = single != QLatin1String("false") && single != QLatin1String("0");
        } else if (name == QLatin1String("answer")) {
            Answer a;
            a.fraction = xml.attributes().value(QLatin1String("fraction")).toDouble();
            a.text = readText(xml);
            q.answers.append(a);
        } else {
            xml.skipCurrentElement();
        }
    }
    return q;
}

bool isPlain(const Text& t) {
    return t.format == QLatin1String("plain_text") || t.format == QLatin1String("markdown");
}

// Moodle's own format is HTML whose line ends are breaks.
QString html(const Text& t) {
    if (t.format != QLatin1String("moodle_auto_format"))
        return t.text;
    QString html = t.text;
    html.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    html.replace(u'\n', QLatin1String("<br>"));
    return html;
}

// A text in its format as the program's rich text.
QString richText(const Text& t) {
    return isPlain(t) ? Rtf::writePlain(storableText(t.text)) : HtmlText::toRtf(html(t));
}

bool isBlank(const Text& t) {
    return (isPlain(t) ? storableText(t.text) : HtmlText::toPlain(html(t))).trimmed().isEmpty();
}

// The question as this program's fields, or the reason it cannot be one.
QString takeQuestion(const Question& q, RecordFields& fields) {
    if (q.type == QLatin1String("shortanswer")) {
        const auto right = std::find_if(q.answers.begin(), q.answers.end(),
                                        [](const Answer& a) { return a.fraction >= 99.999; });
        if (right == q.answers.end())
            return u("正解のない問題");
        // Moodle compares a short answer as plain text.
        const QString answer = storableText(right->text.text);
        const QString problem = typedAnswerProblem(answer);
        if (!problem.isEmpty())
            return problem;
        fields.type = QChar('3');
        fields.choices = {{true, Rtf::writePlain(answer)}};
    } else if (q.type == QLatin1String("multichoice")) {
        fields.type = q.single ? QChar('1') : QChar('2');
        bool anyRight = false;
        for (const Answer& a : q.answers) {
            if (isBlank(a.text))
                continue;
            fields.choices.append({a.fraction > 0, richText(a.text)});
            anyRight = anyRight || a.fraction > 0;
        }
        if (!anyRight)
            return u("正解の選択肢がない問題");
    } else if (q.type == QLatin1String("truefalse")) {
        const auto right = std::find_if(q.answers.begin(), q.answers.end(),
                                        [](const Answer& a) { return a.fraction > 0; });
        if (right == q.answers.end())
            return u("正解のない問題");
        QuizText::trueFalseChoices(fields, right->text.text.trimmed().compare(
                                               QLatin1String("true"), Qt::CaseInsensitive) == 0);
    } else {
        return QuizText::unsupportedKind(q.type);
    }
    if (isBlank(q.text))
        return u("問題文のない問題");
    fields.questionRtf = richText(q.text);
    fields.hintRtf = q.hints.isEmpty() ? Rtf::writePlain({}) : richText(q.hints.first());
    fields.explanationRtf = richText(q.feedback);
    return {};
}

void writeText(QXmlStreamWriter& xml, const char* element, const QString& html) {
    xml.writeStartElement(QLatin1String(element));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    xml.writeStartElement(QStringLiteral("text"));
    if (!html.isEmpty())
        xml.writeCDATA(html);
    xml.writeEndElement();
    xml.writeEndElement();
}

void writeEmptyFeedback(QXmlStreamWriter& xml) {
    writeText(xml, "feedback", {});
}

} // namespace

bool looksLike(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    return xml.readNextStartElement() && xml.name() == QLatin1String("quiz");
}

ImportedQuestions read(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    QVector<Question> questions;
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("quiz"))
            return ImportedQuestions::refused(u("Moodle XMLの<quiz>がありません。"));
        forEachChildNamed(xml, QLatin1StringView("question"),
                          [&](QXmlStreamReader& xml) { questions.append(readQuestion(xml)); });
    }
    if (xml.hasError())
        return ImportedQuestions::refusedXml(xml);
    ImportedQuestions result;
    result.ok = true;
    for (const Question& q : std::as_const(questions)) {
        // A category names where the next questions go: no question.
        if (q.type == QLatin1String("category"))
            continue;
        RecordFields fields;
        const QString reason = takeQuestion(q, fields);
        result.takeOrSkip(std::move(fields), reason);
    }
    return result;
}

QByteArray write(const QStringList& records) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    for (int i = 0; i < records.size(); ++i) {
        const RecordFields fields = recordFields({}, records.at(i));
        const bool typed = fields.type == QChar('3');
        xml.writeStartElement(QStringLiteral("question"));
        xml.writeAttribute(QStringLiteral("type"),
                           typed ? QStringLiteral("shortanswer") : QStringLiteral("multichoice"));
        xml.writeStartElement(QStringLiteral("name"));
        xml.writeTextElement(QStringLiteral("text"), QuizText::questionName(fields, i + 1));
        xml.writeEndElement();
        writeText(xml, "questiontext", HtmlText::fromRtf(fields.questionRtf));
        writeText(xml, "generalfeedback", HtmlText::fromRtf(fields.explanationRtf));
        xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
        xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0.3333333"));
        xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
        if (typed) {
            // The program tells capitals from small letters.
            xml.writeTextElement(QStringLiteral("usecase"), QStringLiteral("1"));
            xml.writeStartElement(QStringLiteral("answer"));
            xml.writeAttribute(QStringLiteral("fraction"), QStringLiteral("100"));
            xml.writeAttribute(QStringLiteral("format"), QStringLiteral("moodle_auto_format"));
            xml.writeTextElement(QStringLiteral("text"),
                                 fields.choices.isEmpty()
                                     ? QString()
                                     : Rtf::toPlainText(fields.choices.first().rtf));
            writeEmptyFeedback(xml);
            xml.writeEndElement();
        } else {
            xml.writeTextElement(QStringLiteral("single"), fields.type == QChar('2')
                                                               ? QStringLiteral("false")
                                                               : QStringLiteral("true"));
            xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("true"));
            xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("123"));
            const QString right = QuizText::fraction(QuizText::rightFraction(fields));
            const QString wrong = QuizText::fraction(QuizText::wrongFraction(fields));
            for (const RecordChoice& choice : fields.choices) {
                xml.writeStartElement(QStringLiteral("answer"));
                xml.writeAttribute(QStringLiteral("fraction"), choice.correct ? right : wrong);
                xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
                xml.writeStartElement(QStringLiteral("text"));
                xml.writeCDATA(HtmlText::fromRtf(choice.rtf));
                xml.writeEndElement();
                writeEmptyFeedback(xml);
                xml.writeEndElement();
            }
        }
        const QString hint = HtmlText::fromRtf(fields.hintRtf);
        if (!hint.isEmpty())
            writeText(xml, "hint", hint);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace MoodleXml
