// A plain question file as it comes from the disk: expanded when it is
// SZDD-compressed, decoded from code page 932 in pieces, then read.
#include "FuzzCheck.h"
#include "QuestionText.h"

#include "formats/PieceDecoder.h"
#include "platform/LzExpand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LzExpand::Content content = LzExpand::expand(fuzzBytes(data, size));
    if (content.status != LzExpand::Status::Ok) {
        FUZZ_CHECK(content.bytes.isEmpty());
        return 0;
    }
    checkQuestionText(PieceDecoder::decode(content.bytes));
    return 0;
}
