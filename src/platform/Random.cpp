#include "platform/Random.h"

#include <random>

namespace {
std::mt19937_64& generator() {
    static std::mt19937_64 engine(0x6b754d656d6fULL);
    return engine;
}
QDateTime& fixedMoment() {
    static QDateTime moment;
    return moment;
}
} // namespace

namespace Random {
void seed(quint64 value) {
    generator().seed(value);
}
void seedFromClock() {
    seed(static_cast<quint64>(QDateTime::currentMSecsSinceEpoch()));
}
double next() {
    // 53 random bits give every double in [0, 1) on an even grid.
    return static_cast<double>(generator()() >> 11) * (1.0 / 9007199254740992.0);
}
} // namespace Random

namespace Clock {
QDateTime now() {
    return fixedMoment().isValid() ? fixedMoment() : QDateTime::currentDateTime();
}
void fixForTests(const QDateTime& moment) {
    fixedMoment() = moment;
}
void fixFromEnvironment() {
    const QDateTime moment =
        QDateTime::fromString(qEnvironmentVariable("KUMEMO_TEST_NOW"), Qt::ISODate);
    // As the real clock gives it: in local time.
    fixForTests(moment.isValid() ? moment.toLocalTime() : QDateTime());
}
} // namespace Clock
