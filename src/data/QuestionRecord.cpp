#include "data/QuestionRecord.h"

#include "data/Markup.h"
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

namespace {

// The answer type mark of the kaitou element that begins at `start`, looked
// for in its block, found without a copy.
QChar answerTypeAt(QStringView record, qsizetype start) {
    if (start < 0)
        return {};
    static constexpr QStringView closing = u"</kaitou>";
    const qsizetype end = indexOfTag(record, closing, start);
    const QStringView block =
        record.sliced(start, (end < 0 ? record.size() : end + closing.size()) - start);
    static constexpr QStringView typeMark = u" type=";
    const qsizetype at = block.indexOf(typeMark);
    if (at < 0 || at + typeMark.size() >= block.size())
        return {};
    return block.at(at + typeMark.size());
}

// The choice whose element begins at `from`; `next` is where the next tag
// begins.
RecordChoice choiceAt(QStringView record, qsizetype from, qsizetype& next) {
    // The opening tag ends at its ">", or in a damaged record where the
    // next tag begins. Only the tag tells a right choice: the choice's own
    // text may hold the same words.
    qsizetype tagEnd = from + 1;
    while (tagEnd < record.size() && record.at(tagEnd) != u'>' && record.at(tagEnd) != u'<')
        ++tagEnd;
    // The choice reaches as far as its text, up to the next tag, so that
    // choices never overlap and many of them read in linear time.
    next = record.indexOf(u'<', tagEnd);
    if (next < 0)
        next = record.size();
    const bool correct = record.sliced(from, tagEnd - from).contains(u" isSeikai=True");
    return {correct, tagTextAt(record.first(next), from, u"sentakushi")};
}

constexpr QStringView choiceTag = u"<sentakushi";

} // namespace

QChar recordAnswerType(const QString& record) {
    return answerTypeAt(record, indexOfTag(record, u"<kaitou"));
}

// Each element is the first of its name, as the getters find it, but all
// are found in one pass over the tags.
RecordFields recordFields(const QString& key, const QString& record) {
    const QStringView view(record);
    RecordFields fields;
    fields.key = key;
    qsizetype question = -1, answer = -1, hint = -1, explanation = -1;
    for (qsizetype at = view.indexOf(u'<'); at >= 0;) {
        const QStringView tag = view.sliced(at);
        qsizetype next = at + 1;
        if (tag.startsWith(u"</"))
            ; // a closing tag begins no element
        else if (tag.startsWith(choiceTag))
            fields.choices.append(choiceAt(view, at, next));
        else if (question < 0 && tag.startsWith(u"<mondaibun"))
            question = at;
        else if (answer < 0 && tag.startsWith(u"<kaitou"))
            answer = at;
        else if (hint < 0 && tag.startsWith(u"<hint"))
            hint = at;
        else if (explanation < 0 && tag.startsWith(u"<kaisetsu"))
            explanation = at;
        at = view.indexOf(u'<', next);
    }
    fields.questionRtf = tagTextAt(view, question, u"mondaibun");
    const QChar type = answerTypeAt(view, answer);
    if (!type.isNull())
        fields.type = type;
    fields.hintRtf = tagTextAt(view, hint, u"hint");
    fields.explanationRtf = tagTextAt(view, explanation, u"kaisetsu");
    return fields;
}

QList<RecordChoice> recordChoices(const QString& record) {
    QList<RecordChoice> choices;
    qsizetype from = 0;
    while ((from = indexOfTag(record, choiceTag, from)) >= 0)
        choices.append(choiceAt(record, from, from));
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
