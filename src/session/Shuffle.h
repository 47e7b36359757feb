#pragma once

#include <QList>

// A new random order of `count` rows, made as the program always shuffles:
// for each row i in turn, one draw r of the program's random generator
// picks row j = floor(r * count) + 1, and rows i and j change places. A draw
// is made for every row, also when j is i, so a fixed seed always gives the
// same order. The result names, for each position from the first, the row
// (numbered from 1) that moves there.
QList<int> shuffleOrder(int count);

// The items rearranged by an order from shuffleOrder.
template <typename T> QList<T> inOrder(const QList<T>& items, const QList<int>& order) {
    QList<T> result;
    result.reserve(order.size());
    for (int row : order)
        result.append(items.at(row - 1));
    return result;
}
