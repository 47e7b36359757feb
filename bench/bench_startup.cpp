// Time from starting a program to its window on the screen: the program
// (build/kuMemo) beside a bare Qt window with one label (build/bare_window),
// started in turns, each run a fresh process, on the X display in DISPLAY
// (Xvfb, no window manager: the first window mapped is the program's).
// Prints the median and the best of each and their ratio, for the time on
// the clock and for the processor time the process used until then (from
// /proc/PID/schedstat), which other work on a busy machine disturbs less.
//
//   Xvfb :99 -screen 0 1366x768x24 & DISPLAY=:99 build/bench_startup [runs]
//
// Two more arguments name other programs to compare, the second in place of
// the bare window: an earlier build of the program, for one.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Display {
    xcb_connection_t* connection = nullptr;
    ~Display() {
        if (connection)
            xcb_disconnect(connection);
    }
};

struct Start {
    double ms = -1;    // on the clock
    double cpuMs = -1; // the process's processor time
};

double cpuMsOf(qint64 pid) {
    QFile file(QString("/proc/%1/schedstat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().split(' ').value(0).toDouble() / 1e6;
}

// From the start of `program` to the first window mapped on the screen; -1
// when none came within ten seconds.
Start startToWindow(xcb_connection_t* x, const QString& program, const QString& home) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The program's settings and files stay away from the user's.
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("XDG_DATA_HOME", home + "/.local/share");
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    Start start;
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (start.ms < 0 && timer.elapsed() < 10000) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && start.ms < 0) {
                start.ms = timer.nsecsElapsed() / 1e6;
                start.cpuMs = cpuMsOf(process.processId());
            }
            std::free(event);
        }
        if (start.ms < 0)
            poll(&fd, 1, 50);
    }
    process.kill();
    process.waitForFinished();
    return start;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    Display display;
    display.connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(display.connection)) {
        std::fprintf(stderr, "no X display (DISPLAY)\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(display.connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(display.connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(display.connection);

    const QString folder = QCoreApplication::applicationDirPath();
    const QString programs[] = {argc > 3 ? QString(argv[3]) : folder + "/bare_window",
                                argc > 2 ? QString(argv[2]) : folder + "/kuMemo"};
    QTemporaryDir home;
    std::vector<double> times[2], cpu[2];
    // One start of each first, unmeasured: the files come into the cache.
    for (const QString& program : programs)
        startToWindow(display.connection, program, home.path());
    for (int run = 0; run < runs; ++run)
        for (int p = 0; p < 2; ++p) {
            const Start start = startToWindow(display.connection, programs[p], home.path());
            if (start.ms < 0) {
                std::fprintf(stderr, "%s: no window\n", qPrintable(programs[p]));
                return 1;
            }
            times[p].push_back(start.ms);
            cpu[p].push_back(start.cpuMs);
        }
    const QByteArray names[] = {
        argc > 3 ? QByteArray(argv[3]) : QByteArray("bare Qt window, one label"),
        argc > 2 ? QByteArray(argv[2]) : QByteArray("kuMemo")};
    const auto best = [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
    };
    std::printf("%d runs each        clock: median    best   processor: median    best\n", runs);
    for (int p = 0; p < 2; ++p)
        std::printf("%-28s %7.1f ms %7.1f ms        %7.1f ms %7.1f ms\n", names[p].constData(),
                    median(times[p]), best(times[p]), median(cpu[p]), best(cpu[p]));
    std::printf("%-28s %7.2fx   %7.2fx          %7.2fx   %7.2fx\n", "ratio",
                median(times[1]) / median(times[0]), best(times[1]) / best(times[0]),
                median(cpu[1]) / median(cpu[0]), best(cpu[1]) / best(cpu[0]));
    return 0;
}
