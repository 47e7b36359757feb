#include "formats/ImportedQuestions.h"

#include "platform/Texts.h"
#include "platform/rtf/RtfReader.h"

#include <QXmlStreamReader>

#include <algorithm>

void ImportedQuestions::skip(const QString& reason) {
    const auto it = std::find_if(skipped.begin(), skipped.end(),
                                 [&reason](const Skipped& s) { return s.reason == reason; });
    if (it != skipped.end())
        ++it->count;
    else
        skipped.append({reason, 1});
}

int ImportedQuestions::skippedCount() const {
    int count = 0;
    for (const Skipped& s : skipped)
        count += s.count;
    return count;
}

void ImportedQuestions::take(RecordFields fields, QuestionHistory learned) {
    history.append(std::move(learned));
    QuestionTable::Question question;
    // The lists show what opening the file would show.
    question.plainText = Rtf::toPlainText(fields.questionRtf);
    question.fields = std::move(fields);
    question.line = int(questions.size()) + 1;
    questions.append(std::move(question));
}

bool ImportedQuestions::hasHistory() const {
    return std::any_of(history.begin(), history.end(),
                       [](const QuestionHistory& h) { return !h.isEmpty(); });
}

void ImportedQuestions::takeOrSkip(RecordFields fields, const QString& reason) {
    if (reason.isEmpty())
        take(std::move(fields));
    else
        skip(reason);
}

ImportedQuestions ImportedQuestions::refusedXml(const QXmlStreamReader& xml) {
    return refused(
        u("XMLとして読めません(%1行目：%2)。").arg(xml.lineNumber()).arg(xml.errorString()));
}

ImportedQuestions ImportedQuestions::refused(const QString& refusal) {
    ImportedQuestions result;
    result.refusal = refusal;
    return result;
}

QString storableText(QString text) {
    text.remove(QChar(0)).remove(QChar(0xFDD0)).remove(QChar(0xFDD1));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString typedAnswerProblem(const QString& plainText) {
    if (plainText.trimmed().isEmpty())
        return u("答えが空のもの");
    if (plainText.contains(u'\n') || plainText.contains(QChar(0x2028)))
        return u("答えが2行以上のもの");
    return {};
}
