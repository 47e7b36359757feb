// The learner file "<learner name>.kmu", read from code page 932: any bytes
// give records without failing, each found by its key. Written and read
// back, every record whose key the code page carries comes back with its
// fields trimmed, no other record appears, and writing them again gives the
// same bytes.
#include "FuzzCheck.h"

#include "formats/LearnerFile.h"
#include "platform/Codepage.h"

namespace {
QString throughCodepage(const QString& text) {
    return Codepage::decode(Codepage::encode(text));
}

// A field as written: without the blanks (only those) around it.
QString writtenField(const QString& field) {
    qsizetype from = 0;
    qsizetype to = field.size();
    while (from < to && field.at(from) == ' ')
        ++from;
    while (to > from && field.at(to - 1) == ' ')
        --to;
    return throughCodepage(field.mid(from, to - from));
}

bool sameRecord(const LearnerRecord& written, const LearnerRecord& read) {
    return writtenField(written.correct) == read.correct &&
           writtenField(written.answered) == read.answered &&
           writtenField(written.level) == read.level;
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
