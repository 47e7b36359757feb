// The round log "<learner name>.kmr", read from code page 932: any bytes give
// this file's rounds, and the lines left out counted, the first with its
// number and the reason. Every round read, written again, reads back as
// itself.
#include "FuzzCheck.h"

#include "formats/RoundLog.h"

namespace {
const QString Id = QStringLiteral("616262631263");

bool same(const RoundEntry& a, const RoundEntry& b) {
    return a.when == b.when && a.fileId == b.fileId && a.asked == b.asked && a.right == b.right;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const RoundLogRead read = readRoundLog(fuzzBytes(data, size), Id);
    FUZZ_CHECK(!read.damaged && read.skipped >= 0);
    if (read.skipped)
        FUZZ_CHECK(read.line >= 1 && !read.reason.isEmpty());
    else
        FUZZ_CHECK(read.line == 0 && read.reason.isEmpty());
    QByteArray written;
    for (const RoundEntry& round : read.rounds) {
        FUZZ_CHECK(round.fileId == Id && round.asked >= 0 && round.right >= 0 &&
                   round.right <= round.asked && round.when.isValid());
        written += composeRoundLine(round);
    }
    const RoundLogRead again = readRoundLog(written, Id);
    FUZZ_CHECK(!again.skipped && again.rounds.size() == read.rounds.size());
    for (qsizetype i = 0; i < read.rounds.size(); ++i)
        FUZZ_CHECK(same(read.rounds[i], again.rounds[i]));
    return 0;
}
