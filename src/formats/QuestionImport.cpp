#include "formats/QuestionImport.h"

#include "formats/QuestionTable.h"
#include "formats/TableDecoding.h"
#include "formats/AnkiPackage.h"
#include "formats/Gift.h"
#include "formats/Kvtml.h"
#include "formats/MoodleXml.h"
#include "platform/Texts.h"

namespace QuestionImport {

Format detect(const QByteArray& bytes) {
    if (AnkiPackage::looksLike(bytes))
        return Format::Anki;
    if (MoodleXml::looksLike(bytes))
        return Format::MoodleXml;
    if (Kvtml::looksLike(bytes))
        return Format::Kvtml;
    const QuestionTable::Decoded decoded = QuestionTable::decode(bytes);
    // A table's header row names its columns; GIFT has none.
    if (decoded.ok && Gift::looksLike(decoded.text) && !QuestionTable::hasHeader(decoded.text))
        return Format::Gift;
    return Format::Table;
}

QString formatName(Format format) {
    switch (format) {
    case Format::Table:
        return u("表");
    case Format::MoodleXml:
        return QStringLiteral("Moodle XML");
    case Format::Gift:
        return QStringLiteral("GIFT");
    case Format::Kvtml:
        return QStringLiteral("KVTML");
    case Format::Anki:
        return u("Ankiのﾊﾟｯｹｰｼﾞ");
    }
    return {};
}

bool hasSides(Format format) {
    return format == Format::Kvtml || format == Format::Anki;
}

ImportedQuestions read(Format format, const QByteArray& bytes, bool swapSides) {
    switch (format) {
    case Format::MoodleXml:
        return MoodleXml::read(bytes);
    case Format::Gift:
        return Gift::read(QuestionTable::decode(bytes).text);
    case Format::Kvtml:
        return Kvtml::read(bytes, swapSides);
    case Format::Anki:
        return AnkiPackage::read(bytes, swapSides);
    case Format::Table:
        break;
    }
    // A table is read by QuestionTable, which tells of each of its rows.
    return {};
}

} // namespace QuestionImport
