#pragma once

#include <QDateTime>
#include <QtGlobal>

// The program's one uniform random generator, in [0, 1). Start-up seeds it
// from the clock; tests seed it to make keys and shuffles repeatable.
namespace Random {
void seed(quint64 value);
void seedFromClock();
double next();
} // namespace Random

// The program's clock; tests can fix it.
namespace Clock {
QDateTime now();
void fixForTests(const QDateTime& moment); // an invalid moment returns to the real clock
// A trial from outside the program: KUMEMO_TEST_NOW, a moment such as
// "2026-12-08T09:00:00Z", fixes the clock there for the program's run.
// Without it, or with a text that is no moment, the clock is the real one.
void fixFromEnvironment();
} // namespace Clock
