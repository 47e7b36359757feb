#pragma once

#include "platform/ListError.h"

#include <QString>
#include <QVector>

class QuestionDocument;

// The open question file on disk: reading a plain, compressed or protected
// file into the model, and writing the model out as one of them.
namespace QuestionDocumentFile {

// --- reading ---
enum class ReadStatus { Ok, CannotRead, NotProtected };
struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    QString text;
};
// The file's text: a protected file deciphered (its password line taken
// into the document's password state), a plain one expanded and decoded. An
// unreadable plain file reads as empty.
ReadResult readFile(QuestionDocument& document, const QString& path);

struct LoadResult {
    bool isQuestionFile = true;
    // One refusal for each record whose key another record already had;
    // those records are kept under keys made from the file.
    QVector<ListError> duplicateKeys;
};
// Takes properties and records from a question file's text into the
// document. The document reports loadProgress about every 100 ms and
// recordsReset at the end.
LoadResult loadText(QuestionDocument& document, const QString& text);

// --- saving ---
enum class SaveForm {
    Plain,     // the path as a plain file
    Protected, // the path enciphered under a password
    PlainCopy, // the plain file beside a protected one: ".kme" becomes ".kmd"
};
struct SaveResult {
    bool ok = false;
    QString path;      // what was written or tried
    QString error;     // why nothing was written
    QString uncarried; // characters a plain file could not carry, written as "?"
};
// Writes the document's file whole or not at all; the program version goes
// into its head. A protected save takes the password into the password
// state.
SaveResult save(QuestionDocument& document, SaveForm form, const QString& appVersion,
                const QString& password = {});
// The text of the file as it would be written now.
QString composeText(const QuestionDocument& document, const QString& appVersion);

} // namespace QuestionDocumentFile
