#pragma once

#include <QByteArray>
#include <QString>

namespace QuestionTable {

// Bytes as text: UTF-8 with or without a byte order mark, UTF-16 with one,
// or code page 932. Bytes that are none of these are refused with the line
// they are on.
struct Decoded {
    bool ok = false;
    QString text;
    int badLine = 0; // when not ok
};
Decoded decode(const QByteArray& bytes);

} // namespace QuestionTable
