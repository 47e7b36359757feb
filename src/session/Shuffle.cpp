#include "session/Shuffle.h"

#include "platform/Random.h"

#include <utility>

QList<int> shuffleOrder(int count) {
    QList<int> order;
    order.reserve(count);
    for (int row = 1; row <= count; ++row)
        order.append(row);
    for (int i = 1; i <= count; ++i) {
        const int j = int(Random::next() * count) + 1;
        if (j != i)
            std::swap(order[i - 1], order[j - 1]);
    }
    return order;
}
