#pragma once

#include <QList>
#include <QString>

// One question as the record string that question files hold. Every text
// field is the full RTF of its box; the key is stored as it is.
struct RecordChoice {
    bool correct = false;
    QString rtf;
};

struct RecordFields {
    QString key;
    QString questionRtf;
    QChar type = QChar('1'); // "1" single choice, "2" multiple choice, "3" typed answer
    QList<RecordChoice> choices;
    QString hintRtf;
    QString explanationRtf;
};

// Composes the record byte for byte.
QString composeRecord(const RecordFields& fields);

// The answer type character after " type=" in the record's kaitou element;
// a null character when there is none.
QChar recordAnswerType(const QString& record);

// Scans the record's sentakushi elements in order (the count attribute is
// not read). A choice is correct only when its own element holds
// " isSeikai=True" in exactly this case.
QList<RecordChoice> recordChoices(const QString& record);

// The record taken apart: its text fields, answer type ("1" when it names
// none) and choices.
RecordFields recordFields(const QString& key, const QString& record);

// The key alphabet: 62 characters.
extern const QString keyAlphabet;

// Five characters of the key alphabet, drawn from the program's generator.
QString makeRandomKey();

// Why a key typed by hand cannot be stored ("" when it can): it would be cut
// or changed when the file is read again.
QString handTypedKeyProblem(const QString& key);
