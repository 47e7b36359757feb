// A GIFT text: any text is read or refused without failing; what is read is
// sound, and written out and read again gives the same questions.
#include "FuzzCheck.h"
#include "ImportedCheck.h"

#include "formats/Gift.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fuzzText(data, size);
    Gift::looksLike(text);
    const ImportedQuestions first = Gift::read(text);
    checkImported(first);
    if (!first.ok)
        return 0;
    const ImportedQuestions again =
        Gift::read(QString::fromUtf8(Gift::write(importedRecords(first))));
    FUZZ_CHECK(again.ok && again.skipped.isEmpty());
    FUZZ_CHECK(describeImported(again) == describeImported(first));
    return 0;
}
