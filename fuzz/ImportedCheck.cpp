#include "ImportedCheck.h"

#include "FuzzCheck.h"

#include "formats/AnswerLog.h"

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
    // A history per question: reviews in time order that the answer log
    // can hold, no more right answers than answers.
    FUZZ_CHECK(read.history.size() == read.questions.size());
    for (const QuestionHistory& h : read.history) {
        FUZZ_CHECK(h.right >= 0 && h.right <= h.answered);
        FUZZ_CHECK(h.reviews.isEmpty() || h.answered == h.reviews.size());
        for (qsizetype i = 0; i < h.reviews.size(); ++i) {
            const ImportedReview& r = h.reviews.at(i);
            FUZZ_CHECK(r.grade >= 1 && r.grade <= 4);
            FUZZ_CHECK(r.time >= 0 && r.time < AnswerLogTimeEnd);
            FUZZ_CHECK(i == 0 || h.reviews.at(i - 1).time <= r.time);
            FUZZ_CHECK(!composeAnswerLine({r.time, "ID", "k", r.grade}).isEmpty());
        }
    }
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
