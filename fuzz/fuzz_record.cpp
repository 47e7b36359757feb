// One question record and the markup helpers: any text decomposes without
// failing, the markup encoding round-trips, and a composed record gives back
// the fields it was made of.
#include "FuzzCheck.h"

#include "data/Markup.h"
#include "data/QuestionRecord.h"
#include "formats/QuestionFile.h"

namespace {

void decompose(const QString& record) {
    for (const char* tag : {"mondaibun", "kaitou", "sentakushi", "hint", "kaisetsu", "Mondai"}) {
        getTagBlock(record, QLatin1String(tag));
        getTagText(record, QLatin1String(tag));
        getTagValue(record, QLatin1String(tag));
    }
    recordAnswerType(record);
    recordChoices(record);
    QString key;
    QuestionFile::recordKey(record, key);
    handTypedKeyProblem(record.left(32));
}

// The input's fields, split at U+001F: key, answer type, question, hint,
// explanation, then the choices, a correct one beginning with "+". A key the
// editor would refuse is replaced.
RecordFields fieldsOf(const QString& input) {
    const QStringList parts = input.split(QChar(0x1F));
    RecordFields fields;
    fields.key = parts.value(0);
    if (!handTypedKeyProblem(fields.key).isEmpty())
        fields.key = QStringLiteral("aB3dE");
    const QString type = parts.value(1);
    fields.type = QChar('1' + (type.isEmpty() ? 0 : type.at(0).unicode() % 3));
    fields.questionRtf = parts.value(2);
    fields.hintRtf = parts.value(3);
    fields.explanationRtf = parts.value(4);
    for (qsizetype i = 5; i < parts.size(); ++i) {
        const bool correct = parts.at(i).startsWith('+');
        fields.choices.append({correct, correct ? parts.at(i).mid(1) : parts.at(i)});
    }
    return fields;
}

bool sameChoices(const QList<RecordChoice>& a, const QList<RecordChoice>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a.at(i).correct != b.at(i).correct || a.at(i).rtf != b.at(i).rtf)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString input = fuzzText(data, size);
    decompose(input);

    const QString encoded = encodeMarkup(input);
    FUZZ_CHECK(!encoded.contains('<') && !encoded.contains('>'));
    FUZZ_CHECK(decodeMarkup(encoded) == input);

    const RecordFields fields = fieldsOf(input);
    const QString record = composeRecord(fields);
    FUZZ_CHECK(getTagText(record, QStringLiteral("mondaibun")) == fields.questionRtf);
    FUZZ_CHECK(getTagText(record, QStringLiteral("hint")) == fields.hintRtf);
    FUZZ_CHECK(getTagText(record, QStringLiteral("kaisetsu")) == fields.explanationRtf);
    FUZZ_CHECK(recordAnswerType(record) == fields.type);
    FUZZ_CHECK(sameChoices(recordChoices(record), fields.choices));
    QString key;
    FUZZ_CHECK(QuestionFile::recordKey(record, key) == QuestionFile::KeyState::Found);
    FUZZ_CHECK(key == fields.key);
    return 0;
}
