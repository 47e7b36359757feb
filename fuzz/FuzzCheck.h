#pragma once

#include <QGuiApplication>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A promise of the code under test that the input broke: the run stops and
// libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "FUZZ_CHECK failed: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// The input as text: UTF-8, invalid bytes as U+FFFD.
inline QString fuzzText(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QByteArray fuzzBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Documents need fonts, and fonts an application; libFuzzer's own arguments
// are none of Qt's business. For LLVMFuzzerInitialize.
inline void startFuzzApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static const QGuiApplication* application = new QGuiApplication(argc, argv);
    Q_UNUSED(application);
}
