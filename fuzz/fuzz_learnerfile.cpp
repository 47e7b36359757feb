// The learner file "<learner name>.kmu", read from code page 932: any bytes
// give records without failing, each found by its key. Written and read
// back, every record whose key the code page carries comes back as it was
// read (a record never changed keeps its bytes), no other record appears,
// and writing them again gives the same bytes.
#include "FuzzCheck.h"

#include "formats/LearnerFile.h"
#include "platform/Codepage.h"

namespace {
QString throughCodepage(const QString& text) {
    return Codepage::decode(Codepage::encode(text));
}

bool sameRecord(const LearnerRecord& written, const LearnerRecord& read) {
    return throughCodepage(written.correct) == read.correct &&
           throughCodepage(written.answered) == read.answered &&
           throughCodepage(written.level) == read.level;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LearnerRecords first;
    readLearnerRecords(fuzzBytes(data, size), first);
    const QByteArray written = composeLearnerFile(first);
    LearnerRecords again;
    readLearnerRecords(written, again);

    int carried = 0;
    for (int row = 1; row <= first.count(); ++row) {
        const QString& key = first.key(row);
        FUZZ_CHECK(first.find(key) == row);
        if (throughCodepage(key) != key)
            continue;
        const int found = again.find(key);
        FUZZ_CHECK(found == ++carried);
        FUZZ_CHECK(sameRecord(first.record(row), again.record(found)));
    }
    FUZZ_CHECK(again.count() == carried);
    FUZZ_CHECK(composeLearnerFile(again) == written);
    return 0;
}
