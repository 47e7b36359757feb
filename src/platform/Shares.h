#pragma once

#include <QThread>

#include <algorithm>
#include <thread>
#include <vector>

// Calls `work(from, to)` on shares of the items [0, count), one share per
// core, and returns when every share is done. Each share is at least
// `smallest` items, so that a short list costs no thread; `work` must touch
// nothing another share touches.
template <typename Work> void forEachShare(qsizetype count, qsizetype smallest, Work work) {
    const qsizetype shares = std::clamp<qsizetype>(count / std::max<qsizetype>(smallest, 1), 1,
                                                   std::max(QThread::idealThreadCount(), 1));
    std::vector<std::thread> helpers;
    helpers.reserve(std::size_t(shares - 1));
    const auto bound = [&](qsizetype share) { return count * share / shares; };
    for (qsizetype share = 1; share < shares; ++share)
        helpers.emplace_back(
            [&work, from = bound(share), to = bound(share + 1)] { work(from, to); });
    work(bound(0), bound(1));
    for (std::thread& helper : helpers)
        helper.join();
}
