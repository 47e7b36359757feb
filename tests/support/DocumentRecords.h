#pragma once

#include "data/QuestionDocument.h"

#include <QString>
#include <QStringList>

// A record of one question with its question text and nothing else; a null
// key leaves the key out.
inline QString record(const QString& key, const QString& question) {
    const QString open = key.isNull() ? "<Mondai" : "<Mondai key='" + key + "'";
    return open + "><mondaibun>{\\rtf1 " + question +
           "\\par}</mondaibun><kaitou count=0 type=1></kaitou></Mondai>";
}

// The keys of the document's records, in its order.
inline QStringList keysOf(const QuestionDocument& d) {
    QStringList keys;
    for (const QuestionEntry& e : d.entries())
        keys << e.key;
    return keys;
}
