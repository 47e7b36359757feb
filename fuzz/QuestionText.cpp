#include "QuestionText.h"

#include "FuzzCheck.h"

#include "data/Markup.h"
#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "formats/QuestionDocumentFile.h"

namespace {
QStringList recordsOf(const QuestionDocument& document) {
    QStringList records;
    for (const QuestionEntry& entry : document.entries()) {
        // What the session and the editor take from a record; none of it
        // may fail.
        getTagText(entry.record, QStringLiteral("mondaibun"));
        recordAnswerType(entry.record);
        recordChoices(entry.record);
        FUZZ_CHECK(entry.record.startsWith("<Mondai key='" + entry.key + "'") ||
                   entry.record.contains(" key='" + entry.key + "'"));
        records << entry.record;
    }
    return records;
}
} // namespace

// The real loader reads any text; what it read, written and read again,
// gives the same properties, keys and records.
void checkQuestionText(const QString& text) {
    QuestionDocument first;
    if (!QuestionDocumentFile::loadText(first, text).isQuestionFile)
        return;
    const QStringList records = recordsOf(first);
    const QString written = QuestionDocumentFile::composeText(first, QStringLiteral("1.00"));
    QuestionDocument again;
    const QuestionDocumentFile::LoadResult reread = QuestionDocumentFile::loadText(again, written);
    FUZZ_CHECK(reread.isQuestionFile);
    FUZZ_CHECK(reread.duplicateKeys.isEmpty());
    FUZZ_CHECK(first.properties() == again.properties());
    FUZZ_CHECK(recordsOf(again) == records);
}
