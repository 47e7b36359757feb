#include "ImportedCheck.h"

#include "FuzzCheck.h"

#include "platform/rtf/RtfReader.h"

namespace {
QString plain(const QString& rtf) {
    return Rtf::toPlainText(rtf);
}
} // namespace

void checkImported(const ImportedQuestions& read) {
    FUZZ_CHECK(read.ok == read.refusal.isEmpty());
    if (!read.ok) {
        FUZZ_CHECK(read.questions.isEmpty());
        return;
    }
    for (const QuestionTable::Question& q : read.questions) {
        const RecordFields& f = q.fields;
        FUZZ_CHECK(!plain(f.questionRtf).trimmed().isEmpty());
        FUZZ_CHECK(q.plainText == plain(f.questionRtf));
        FUZZ_CHECK(f.type == '1' || f.type == '2' || f.type == '3');
        bool anyRight = false;
        for (const RecordChoice& c : f.choices)
            anyRight |= c.correct;
        FUZZ_CHECK(anyRight);
        if (f.type == '3')
            FUZZ_CHECK(f.choices.size() == 1 && !plain(f.choices.first().rtf).contains("\r\n") &&
                       !plain(f.choices.first().rtf).trimmed().isEmpty());
    }
    for (const ImportedQuestions::Skipped& s : read.skipped)
        FUZZ_CHECK(!s.reason.isEmpty() && s.count > 0);
}

QStringList importedRecords(const ImportedQuestions& read) {
    QStringList records;
    for (const QuestionTable::Question& q : read.questions) {
        RecordFields keyed = q.fields;
        keyed.key = "k";
        records << composeRecord(keyed);
    }
    return records;
}

QStringList describeImported(const ImportedQuestions& read) {
    QStringList out;
    for (const QuestionTable::Question& q : read.questions) {
        const RecordFields& f = q.fields;
        QString d = QString(f.type) + '|' + f.questionRtf + '|';
        for (const RecordChoice& c : f.choices)
            d += (c.correct ? "*" : "") + c.rtf + ',';
        out << d + '|' + f.hintRtf + '|' + f.explanationRtf;
    }
    return out;
}
