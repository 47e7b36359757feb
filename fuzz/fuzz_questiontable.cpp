// A question table as a spreadsheet program saves it: any bytes are read or
// refused without failing. What is read is sound (a question text, a type of
// 1 to 3, a right choice; a typed answer is one line), and written out and
// read again it gives the same questions, with no row lost.
#include "FuzzCheck.h"

#include "formats/QuestionTable.h"
#include "formats/TableExport.h"
#include "platform/rtf/RtfReader.h"

#include <algorithm>

namespace {
QString plain(const QString& rtf) {
    return Rtf::toPlainText(rtf);
}

QString describe(const RecordFields& f) {
    QString out = QString(f.type) + '|' + plain(f.questionRtf) + '|';
    for (const RecordChoice& c : f.choices)
        out += (c.correct ? "*" : "") + plain(c.rtf) + ',';
    return out + '|' + plain(f.hintRtf) + '|' + plain(f.explanationRtf);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QuestionTable::ReadResult first = QuestionTable::read(fuzzBytes(data, size));
    FUZZ_CHECK(first.ok != !first.refusal.isEmpty());
    if (!first.ok)
        return 0;
    QStringList records;
    QStringList described;
    int lastLine = 0;
    for (const QuestionTable::Question& q : first.questions) {
        const RecordFields& f = q.fields;
        FUZZ_CHECK(q.line > lastLine);
        lastLine = q.line;
        FUZZ_CHECK(!plain(f.questionRtf).trimmed().isEmpty());
        FUZZ_CHECK(f.type == '1' || f.type == '2' || f.type == '3');
        FUZZ_CHECK(!f.choices.isEmpty());
        bool anyRight = false;
        for (const RecordChoice& c : f.choices)
            anyRight |= c.correct;
        FUZZ_CHECK(anyRight);
        if (f.type == '3')
            FUZZ_CHECK(f.choices.size() == 1 && !plain(f.choices.first().rtf).contains("\r\n"));
        FUZZ_CHECK(q.plainText == plain(f.questionRtf));
        RecordFields keyed = f;
        keyed.key = "k";
        records << composeRecord(keyed);
        described << describe(f);
    }
    // A spreadsheet's row is never below the line of the file it begins on.
    for (const QVector<QuestionTable::RowNote>* notes : {&first.badRows, &first.readByText})
        for (const QuestionTable::RowNote& note : *notes)
            FUZZ_CHECK(note.number >= 1 && note.number <= note.line && !note.text.isEmpty());
    // Only questions read are listed as read by text.
    for (const QuestionTable::RowNote& note : first.readByText)
        FUZZ_CHECK(
            std::any_of(first.questions.begin(), first.questions.end(),
                        [&](const QuestionTable::Question& q) { return q.line == note.line; }));

    for (const QChar separator : {QChar(','), QChar('\t')}) {
        const QuestionTable::ReadResult again =
            QuestionTable::read(QuestionTable::write(records, separator));
        if (records.isEmpty()) {
            FUZZ_CHECK(!again.ok || again.questions.isEmpty());
            continue;
        }
        FUZZ_CHECK(again.ok && again.badRows.isEmpty() && again.readByText.isEmpty());
        FUZZ_CHECK(again.questions.size() == first.questions.size());
        for (qsizetype i = 0; i < again.questions.size(); ++i)
            FUZZ_CHECK(describe(again.questions.at(i).fields) == described.at(i));
    }
    return 0;
}
