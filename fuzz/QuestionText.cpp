#include "QuestionText.h"

#include "FuzzCheck.h"

#include "data/QuestionFile.h"
#include "data/QuestionRecord.h"
#include "data/modKuMemo.h"

#include <QStringList>

namespace {

struct ReadFile {
    AppGlobals properties;
    QStringList records;
};

ReadFile readText(const QString& text) {
    ReadFile file;
    qsizetype position = QuestionFile::readProperties(text, file.properties);
    QString record;
    while (QuestionFile::nextRecord(text, position, record)) {
        QString key;
        if (QuestionFile::recordKey(record, key) != QuestionFile::KeyState::Found ||
            key.isEmpty()) {
            record = QuestionFile::withNewKey(record, QStringLiteral("zZ9zZ"));
            FUZZ_CHECK(QuestionFile::recordKey(record, key) == QuestionFile::KeyState::Found);
            FUZZ_CHECK(key == QStringLiteral("zZ9zZ"));
        }
        // What the editor takes from a record; none of it may fail.
        getTagText(record, QStringLiteral("mondaibun"));
        recordAnswerType(record);
        recordChoices(record);
        file.records << record;
    }
    return file;
}

bool sameProperties(const AppGlobals& a, const AppGlobals& b) {
    return a.propTitle == b.propTitle && a.propSubject == b.propSubject &&
           a.propVersion == b.propVersion && a.propNamae == b.propNamae &&
           a.propMail == b.propMail && a.propUrl == b.propUrl && a.propComment == b.propComment &&
           a.propCdate == b.propCdate && a.propMdate == b.propMdate;
}

} // namespace

void checkQuestionText(const QString& text) {
    if (!QuestionFile::hasSignature(text))
        return;
    const ReadFile first = readText(text);
    const QString written = QuestionFile::compose(first.properties, first.records);
    FUZZ_CHECK(QuestionFile::hasSignature(written));
    const ReadFile again = readText(written);
    FUZZ_CHECK(sameProperties(first.properties, again.properties));
    FUZZ_CHECK(first.records == again.records);
}
