#pragma once

#include <QString>
#include <QStringList>

struct DocumentProperties;

// The question file text as a whole: the head with the document
// properties, then one record per question.
namespace QuestionFile {

// The text written to disk (before the plain file's extra CR LF), line by
// line with CR LF: head, properties, every record unchanged, closing line.
QString compose(const QString& appVersion, const DocumentProperties& properties,
                const QStringList& records);

// The bytes of a plain file: the text in code page 932 and one more CR LF.
// Characters the code page cannot carry are listed in `uncarried`.
QByteArray plainFileBytes(const QString& text, QString* uncarried = nullptr);

// A question file begins with exactly these characters.
bool hasSignature(const QString& text);
// The same test on the bytes of a file before they are decoded.
bool hasSignature(QByteArrayView bytes);

// Reads the properties from the head before the first "</dataprop>" into
// `properties`, and returns where the records begin (0 when there is no head).
qsizetype readProperties(const QString& text, DocumentProperties& properties);

// The next record from `position` on: the text from "<Mondai" up to and
// including the next "</Mondai>". Returns false when none is left.
bool nextRecord(const QString& text, qsizetype& position, QString& record);

enum class KeyState { Found, Missing, Unclosed };
// The key after " key='", closed by "'" within the 20 characters after it.
KeyState recordKey(const QString& record, QString& key);

// The record with a new key written into its opening tag.
QString withNewKey(const QString& record, const QString& key);

} // namespace QuestionFile
