// The mark definition file "kuMemo-ini.txt", read from code page 932.
#include "FuzzCheck.h"

#include "learner/QuestionFilter.h"
#include "platform/Codepage.h"
#include "learner/MarkDefinitions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MarkDefinitions definitions;
    readMarkDefinitions(Codepage::decode(fuzzBytes(data, size)), definitions);
    // Each mark has its filter item, between the fixed ones.
    FUZZ_CHECK(filterItems(definitions.marks).size() == definitions.marks.size() + 13);
    for (const QString& mark : definitions.marks)
        FUZZ_CHECK(definitions.table.contains("str" + mark));
    return 0;
}
