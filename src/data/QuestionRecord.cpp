#include "data/QuestionRecord.h"

#include "data/modKuMemo.h"
#include "platform/Random.h"

const QString keyAlphabet =
    QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");

QString makeRandomKey() {
    QString key;
    for (int i = 0; i < 5; ++i)
        key += keyAlphabet.at(int(62 * Random::next()));
    return key;
}

QString composeRecord(const RecordFields& fields) {
    QString record;
    record.reserve(fields.questionRtf.size() + fields.hintRtf.size() +
                   fields.explanationRtf.size() + 256);
    record += "<Mondai key='" + fields.key + "'><mondaibun>" + encodeMarkup(fields.questionRtf) +
              "</mondaibun>";
    record +=
        "<kaitou count=" + QString::number(fields.choices.size()) + " type=" + fields.type + ">";
    for (const RecordChoice& choice : fields.choices)
        record += QStringLiteral("<sentakushi isSeikai=") + (choice.correct ? "True>" : "False>") +
                  encodeMarkup(choice.rtf) + "</sentakushi>";
    record += "</kaitou><hint>" + encodeMarkup(fields.hintRtf) + "</hint>";
    record += "<kaisetsu>" + encodeMarkup(fields.explanationRtf) + "</kaisetsu></Mondai>";
    return record;
}

QChar recordAnswerType(const QString& record) {
    // The mark is looked for in the kaitou block, found without a copy.
    const qsizetype start = indexOfTag(record, u"<kaitou");
    if (start < 0)
        return {};
    static constexpr QStringView closing = u"</kaitou>";
    const qsizetype end = indexOfTag(record, closing, start);
    const QStringView block =
        QStringView(record).sliced(start, (end < 0 ? record.size() : end + closing.size()) - start);
    static constexpr QStringView typeMark = u" type=";
    const qsizetype at = block.indexOf(typeMark);
    if (at < 0 || at + typeMark.size() >= block.size())
        return {};
    return block.at(at + typeMark.size());
}

RecordFields recordFields(const QString& key, const QString& record) {
    RecordFields fields;
    fields.key = key;
    fields.questionRtf = getTagText(record, "mondaibun");
    const QChar type = recordAnswerType(record);
    if (!type.isNull())
        fields.type = type;
    fields.choices = recordChoices(record);
    fields.hintRtf = getTagText(record, "hint");
    fields.explanationRtf = getTagText(record, "kaisetsu");
    return fields;
}

QList<RecordChoice> recordChoices(const QString& record) {
    QList<RecordChoice> choices;
    static const QString opening = QStringLiteral("<sentakushi");
    qsizetype from = 0;
    while ((from = indexOfTag(record, opening, from)) >= 0) {
        // The opening tag ends at its ">", or in a damaged record where the
        // next tag begins. Only the tag tells a right choice: the choice's
        // own text may hold the same words.
        qsizetype tagEnd = from + 1;
        while (tagEnd < record.size() && record.at(tagEnd) != '>' && record.at(tagEnd) != '<')
            ++tagEnd;
        // The choice reaches as far as its text, up to the next tag, so that
        // choices never overlap and many of them read in linear time.
        qsizetype end = record.indexOf('<', tagEnd);
        if (end < 0)
            end = record.size();
        const bool correct =
            QStringView(record).mid(from, tagEnd - from).contains(u" isSeikai=True");
        choices.append({correct, getTagText(record.mid(from, end - from), "sentakushi")});
        from = end;
    }
    return choices;
}

QString handTypedKeyProblem(const QString& key) {
    static const QString forbidden = QStringLiteral("'\"<>& \u3000\r\n\t");
    for (QChar c : key)
        if (forbidden.contains(c))
            return QString::fromUtf8(
                "問題ｷｰに空白、改行、「'」「\"」「<」「>」「&」は使えません。");
    if (key.size() > 19)
        return QString::fromUtf8("問題ｷｰは19文字以内で入力して下さい。");
    return {};
}
