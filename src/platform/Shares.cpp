#include "platform/Shares.h"

#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace {

// What the caller and the pool's threads share. A pool thread may start
// only after the call has returned, so it holds this state, not the
// caller's: it takes no share then and never touches `work`.
struct Shares {
    explicit Shares(qsizetype count) : count(count) {}
    const qsizetype count;
    std::atomic<qsizetype> next{0};
    std::mutex mutex;
    std::condition_variable allEnded;
    qsizetype ended = 0;
    std::exception_ptr failure;

    // Takes shares until none is left.
    void take(const std::function<void(qsizetype)>* run) {
        for (qsizetype share = next++; share < count; share = next++) {
            std::exception_ptr thrown;
            try {
                (*run)(share);
            } catch (...) {
                thrown = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(mutex);
            if (thrown && !failure)
                failure = thrown;
            if (++ended == count)
                allEnded.notify_all();
        }
    }
};

} // namespace

void forEachShare(qsizetype count, qsizetype smallest,
                  const std::function<void(qsizetype from, qsizetype to)>& work) {
    QThreadPool* const pool = QThreadPool::globalInstance();
    const qsizetype shareCount = std::clamp<qsizetype>(count / std::max<qsizetype>(smallest, 1), 1,
                                                       std::max(pool->maxThreadCount(), 1));
    if (shareCount == 1) {
        work(0, count);
        return;
    }
    const std::function<void(qsizetype)> run = [&work, count, shareCount](qsizetype share) {
        work(count * share / shareCount, count * (share + 1) / shareCount);
    };
    const auto shares = std::make_shared<Shares>(shareCount);
    // A pool thread reaches `run` only through a share it took, and the
    // caller waits for every share taken before `run` goes.
    const auto* const runShare = &run;
    try {
        for (qsizetype helper = 1; helper < shareCount; ++helper)
            if (!pool->tryStart([shares, runShare] { shares->take(runShare); }))
                break;
    } catch (...) {
        // No memory for one more helper: the shares are taken all the same.
    }
    shares->take(runShare);
    std::unique_lock<std::mutex> lock(shares->mutex);
    shares->allEnded.wait(lock, [&shares] { return shares->ended == shares->count; });
    if (shares->failure)
        std::rethrow_exception(shares->failure);
}
