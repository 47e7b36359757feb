#pragma once

#include <QString>

// The program's own texts are written in UTF-8 in the source.
inline QString u(const char* text) {
    return QString::fromUtf8(text);
}
