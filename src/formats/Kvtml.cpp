#include "formats/Kvtml.h"

#include "platform/Texts.h"
#include "platform/rtf/RtfWriter.h"

#include <QXmlStreamReader>

namespace Kvtml {
namespace {

struct Entry {
    QString sides[2];
    bool has[2] = {false, false};
};

// The <translation> the reader is on: its text.
QString readTranslation(QXmlStreamReader& xml) {
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("text"))
            text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else
            xml.skipCurrentElement();
    }
    return text;
}

Entry readEntry(QXmlStreamReader& xml) {
    Entry entry;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("translation")) {
            xml.skipCurrentElement();
            continue;
        }
        bool ok = false;
        const int id = xml.attributes().value(QLatin1String("id")).toInt(&ok);
        const QString text = readTranslation(xml);
        if (ok && (id == 0 || id == 1)) {
            entry.sides[id] = text;
            entry.has[id] = true;
        }
    }
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
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("entries")) {
                xml.skipCurrentElement();
                continue;
            }
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("entry"))
                    entries.append(readEntry(xml));
                else
                    xml.skipCurrentElement();
            }
        }
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
        result.take(std::move(fields));
    }
    return result;
}

} // namespace Kvtml
