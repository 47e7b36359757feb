// A KVTML file: any bytes are read or refused without failing, either side
// the question; what is read is sound.
#include "FuzzCheck.h"
#include "ImportedCheck.h"

#include "formats/Kvtml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    const ImportedQuestions asIs = Kvtml::read(bytes, false);
    const ImportedQuestions swapped = Kvtml::read(bytes, true);
    checkImported(asIs);
    checkImported(swapped);
    FUZZ_CHECK(asIs.ok == swapped.ok);
    return 0;
}
