#pragma once

#include "data/QuestionRecord.h"
#include "formats/ImportedHistory.h"
#include "formats/QuestionTable.h"

#include <QString>
#include <QVector>
#include <QXmlStreamReader>

// What a reader of another program's file takes from it: questions without
// keys, and what it left out and why.
struct ImportedQuestions {
    bool ok = false;
    QString refusal; // what is wrong with the file, when not ok
    QVector<QuestionTable::Question> questions;
    // What was left out, by reason, in the order the reasons first came.
    struct Skipped {
        QString reason;
        int count = 0;
    };
    QVector<Skipped> skipped;
    // A history for each question, in step with `questions`; empty ones
    // where the file tells nothing of a question.
    QVector<QuestionHistory> history;

    void skip(const QString& reason);
    int skippedCount() const;
    // Adds a question, with the text the lists show of it.
    void take(RecordFields fields, QuestionHistory learned = {});
    // Whether any question comes with answers given before.
    bool hasHistory() const;
    // Takes the question, or leaves it out for the reason when there is one.
    void takeOrSkip(RecordFields fields, const QString& reason);
    // Not ok, with the reason.
    static ImportedQuestions refused(const QString& refusal);
    // Not ok: the XML is not well formed, here.
    static ImportedQuestions refusedXml(const QXmlStreamReader& xml);
};

// Reads the children of the element the reader is on: `read(xml)` reads
// each one named `name` whole, the others are passed over.
template <class Read>
void forEachChildNamed(QXmlStreamReader& xml, QLatin1StringView name, Read read) {
    while (xml.readNextStartElement()) {
        if (xml.name() == name)
            read(xml);
        else
            xml.skipCurrentElement();
    }
}

// The text as a question file can hold it: without NUL and the two marks
// its rich text uses for structure, line ends as "\n".
QString storableText(QString text);

// Why a text cannot be a typed answer ("" when it can): an answer is typed
// on one line.
QString typedAnswerProblem(const QString& plainText);
