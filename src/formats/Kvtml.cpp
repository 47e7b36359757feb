#include "formats/Kvtml.h"

#include "platform/Texts.h"
#include "platform/rtf/RtfWriter.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace Kvtml {
namespace {

struct Entry {
    QString sides[2];
    bool has[2] = {false, false};
    QuestionHistory history;
};

// No learner answers a word this often; a file that says so is not
// believed beyond it.
constexpr qint64 mostAnswers = 1000000;

// A <grade>: how often the word was asked (`count`) and answered wrongly
// (`errorcount`), added to `history`. Its other children (`currentgrade`,
// `date`, and in newer files `pregrade` and `interval`) are Parley's own
// schedule.
void readGrade(QXmlStreamReader& xml, QuestionHistory& history) {
    qint64 count = 0, errors = 0;
    while (xml.readNextStartElement()) {
        const bool isCount = xml.name() == QLatin1String("count");
        if (!isCount && xml.name() != QLatin1String("errorcount")) {
            xml.skipCurrentElement();
            continue;
        }
        const qint64 value = std::clamp<qint64>(
            xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toLongLong(), 0,
            mostAnswers);
        (isCount ? count : errors) = value;
    }
    history.answered += count;
    history.right += count - std::min(errors, count);
}

// The <translation> the reader is on: its text; its grades go to `history`.
QString readTranslation(QXmlStreamReader& xml, QuestionHistory& history) {
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("text"))
            text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("grade"))
            readGrade(xml, history);
        else
            xml.skipCurrentElement();
    }
    return text;
}

Entry readEntry(QXmlStreamReader& xml) {
    Entry entry;
    forEachChildNamed(xml, QLatin1StringView("translation"), [&](QXmlStreamReader& xml) {
        bool ok = false;
        const int id = xml.attributes().value(QLatin1String("id")).toInt(&ok);
        QuestionHistory grades;
        const QString text = readTranslation(xml, grades);
        if (ok && (id == 0 || id == 1)) {
            entry.history.answered += grades.answered;
            entry.history.right += grades.right;
            entry.sides[id] = text;
            entry.has[id] = true;
        }
    });
    return entry;
}

} // namespace

bool looksLike(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    return xml.readNextStartElement() && xml.name() == QLatin1String("kvtml");
}

ImportedQuestions read(const QByteArray& bytes, bool swapSides) {
    QXmlStreamReader xml(bytes);
    QVector<Entry> entries;
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("kvtml"))
            return ImportedQuestions::refused(u("KVTMLの<kvtml>がありません。"));
        const QString version = xml.attributes().value(QLatin1String("version")).toString();
        if (!version.startsWith(u'2'))
            return ImportedQuestions::refused(
                u("KVTMLの版「%1」は読めません。KVTML 2のﾌｧｲﾙを指定して下さい。").arg(version));
        forEachChildNamed(xml, QLatin1StringView("entries"), [&](QXmlStreamReader& xml) {
            forEachChildNamed(xml, QLatin1StringView("entry"),
                              [&](QXmlStreamReader& xml) { entries.append(readEntry(xml)); });
        });
    }
    if (xml.hasError())
        return ImportedQuestions::refusedXml(xml);
    ImportedQuestions result;
    result.ok = true;
    const int question = swapSides ? 1 : 0;
    const int answer = 1 - question;
    for (const Entry& entry : std::as_const(entries)) {
        if (!entry.has[question] || !entry.has[answer] ||
            storableText(entry.sides[question]).trimmed().isEmpty()) {
            result.skip(u("訳語が2つないもの"));
            continue;
        }
        const QString typed = storableText(entry.sides[answer]);
        const QString problem = typedAnswerProblem(typed);
        if (!problem.isEmpty()) {
            result.skip(problem);
            continue;
        }
        RecordFields fields;
        fields.type = QChar('3');
        fields.questionRtf = Rtf::writePlain(storableText(entry.sides[question]));
        fields.choices = {{true, Rtf::writePlain(typed)}};
        fields.hintRtf = Rtf::writePlain({});
        fields.explanationRtf = Rtf::writePlain({});
        result.take(std::move(fields), entry.history);
    }
    return result;
}

} // namespace Kvtml
