// HTML as other programs keep a text: any text is read without failing; its
// rich text, written as HTML and read again, is the same rich text.
#include "FuzzCheck.h"

#include "formats/HtmlText.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString html = fuzzText(data, size);
    const QVector<Rtf::Run> runs = HtmlText::read(html);
    for (const Rtf::Run& run : runs)
        FUZZ_CHECK(!run.text.isEmpty() && !run.text.contains(QChar(0)));
    const QString rtf = HtmlText::toRtf(html);
    FUZZ_CHECK(HtmlText::toRtf(HtmlText::fromRtf(rtf)) == rtf);
    return 0;
}
