// A protected question file. Random bytes almost never decipher to
// "password=", so the input is the deciphered content and is enciphered
// here: the fuzzer explores what the reader sees after deciphering.
#include "FuzzCheck.h"
#include "QuestionText.h"

#include "formats/ProtectedFile.h"
#include "formats/clsRC4.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray fileBytes = fuzzBytes(data, size);
    clsRC4().EncryptByte(fileBytes, QString::fromLatin1(ProtectedFile::FileKey));
    const ProtectedFile::Content content = ProtectedFile::parse(fileBytes);
    if (content.status == ProtectedFile::Status::Ok) {
        // Written again, the file is the same but for a cut-off odd byte.
        FUZZ_CHECK(ProtectedFile::compose(content.password, content.text) ==
                   fileBytes.left(fileBytes.size() & ~qsizetype(1)));
    } else {
        FUZZ_CHECK(content.password.isEmpty());
    }
    checkQuestionText(content.text);
    return 0;
}
