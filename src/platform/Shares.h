#pragma once

#include <QtGlobal>

#include <functional>

// Calls `work(from, to)` on shares of the items [0, count), one share per
// thread the global thread pool may run, and returns when every share is
// done. Each share is at least `smallest` items, so that a short list costs
// no thread; `work` must touch nothing another share touches. The calling
// thread takes shares too, and every share no pool thread took in time: a
// busy or small pool, or one that cannot start a thread, only makes the
// work slower. An exception thrown by `work` comes out here, once every
// share begun has ended.
void forEachShare(qsizetype count, qsizetype smallest,
                  const std::function<void(qsizetype from, qsizetype to)>& work);
