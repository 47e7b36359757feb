// The RTF of one text field: read into a document and to plain text; what
// was read is written, read back and written again unchanged.
#include "FuzzCheck.h"

#include "platform/RichTextBox.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString rtf = fuzzText(data, size);
    QTextDocument document;
    Rtf::read(rtf, &document);
    FUZZ_CHECK(Rtf::toPlainText(rtf) == plainTextWithCrLf(document.toPlainText()));

    const QString written = Rtf::write(&document);
    QTextDocument copy;
    Rtf::read(written, &copy);
    FUZZ_CHECK(copy.toPlainText() == document.toPlainText());
    FUZZ_CHECK(Rtf::write(&copy) == written);
    return 0;
}
