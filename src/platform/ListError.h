#pragma once

#include <QString>

// What a keyed list reports when a key is refused.
struct ListError {
    int number = 0;
    QString description;
};

namespace ListErrors {
// A key that another row of the same list already has.
inline ListError keyNotUnique() {
    return {35602, QStringLiteral("Key is not unique in collection")};
}
} // namespace ListErrors
