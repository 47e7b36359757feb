// An Anki package: any bytes are read or refused without failing, either
// side the question; what is read is sound.
#include "FuzzCheck.h"
#include "ImportedCheck.h"

#include "formats/AnkiPackage.h"
#include "formats/QuestionImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    QuestionImport::detect(bytes);
    const ImportedQuestions asIs = AnkiPackage::read(bytes, false);
    checkImported(asIs);
    if (asIs.ok) {
        const ImportedQuestions swapped = AnkiPackage::read(bytes, true);
        checkImported(swapped);
        FUZZ_CHECK(swapped.ok);
        FUZZ_CHECK(asIs.questions.size() + asIs.skippedCount() ==
                   swapped.questions.size() + swapped.skippedCount());
    }
    return 0;
}
