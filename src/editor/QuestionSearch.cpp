#include "editor/QuestionSearch.h"

#include "platform/Texts.h"

#include <algorithm>

int findRowAfter(const RowText& rowText, int rowCount, int selected, const QString& text) {
    for (int row = std::max(selected, 0) + 1; row <= rowCount; ++row) {
        if (rowText(row).contains(text))
            return row;
    }
    return 0;
}

int findRowBefore(const RowText& rowText, int rowCount, int selected, const QString& text) {
    const int start = selected <= 1 ? 2 : selected;
    for (int row = std::min(start - 1, rowCount); row >= 1; --row) {
        if (rowText(row).contains(text))
            return row;
    }
    return 0;
}

QString notFoundText(const QString& text) {
    return u("<見つかりませんでした：") + text + ">";
}
