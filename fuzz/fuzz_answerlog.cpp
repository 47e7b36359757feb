// The answer log "<learner name>.kma": any bytes give this file's questions,
// each once, with answers in time order and grades 1 to 4, and a count of
// the lines that could not be read, never more than there are lines. Every
// answer read, written again, reads back as itself, with no line damaged.
#include "FuzzCheck.h"

#include "formats/AnswerLog.h"

#include <QSet>

namespace {
const QString Id = QStringLiteral("616262631263");
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const AnswerLogRead read = readAnswerLog(bytes, Id);
    FUZZ_CHECK(read.ok && read.reason.isEmpty());
    FUZZ_CHECK(read.damagedLines >= 0 &&
               read.damagedLines <= bytes.count('\n') + bytes.count('\r') + 1);
    QSet<QString> keys;
    QByteArray written;
    for (const QuestionAnswers& question : read.questions) {
        FUZZ_CHECK(!keys.contains(question.key) && !question.answers.isEmpty());
        keys.insert(question.key);
        for (qsizetype i = 0; i < question.answers.size(); ++i) {
            const LoggedAnswer& answer = question.answers.at(i);
            FUZZ_CHECK(answer.grade >= Grade::Wrong && answer.grade <= Grade::Easy);
            FUZZ_CHECK(i == 0 || question.answers.at(i - 1).time <= answer.time);
            const QByteArray line =
                composeAnswerLine({answer.time, Id, question.key, answer.grade});
            FUZZ_CHECK(!line.isEmpty());
            written += line;
        }
    }
    const AnswerLogRead again = readAnswerLog(written, Id);
    FUZZ_CHECK(again.damagedLines == 0 && again.questions.size() == read.questions.size());
    for (qsizetype q = 0; q < read.questions.size(); ++q) {
        const QuestionAnswers& before = read.questions.at(q);
        const QuestionAnswers& after = again.questions.at(q);
        FUZZ_CHECK(before.key == after.key && before.answers.size() == after.answers.size());
        for (qsizetype i = 0; i < before.answers.size(); ++i)
            FUZZ_CHECK(before.answers.at(i).time == after.answers.at(i).time &&
                       before.answers.at(i).grade == after.answers.at(i).grade);
    }
    return 0;
}
