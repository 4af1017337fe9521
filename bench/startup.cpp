// Time from starting a program to its window being mapped and to its first
// paint, and the program's peak memory at the first paint: Tarnwick against
// a bare Qt window, and against that window showing one line of text. Run
// it under an X server, for example: xvfb-run -a build/bench/startup
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include "benchsupport.h"
#include "x11windows.h"

#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr int Runs = 10;

struct Sample {
    double mappedMs;
    double paintedMs;
    double peakMiB;
};

// Starts the program and waits for a window titled `title` to be mapped and
// then drawn into: the X server's damage report on that window is the first
// paint. Every new top-level window is watched from its creation, so a paint
// right after the map is not missed.
Sample measure(Display* display, int damageEvent, const QString& program,
               const QStringList& arguments, const QString& title, const QProcessEnvironment& env)
{
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True); // drop events of earlier runs
    std::map<Window, Damage> watched;
    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    Window mapped = 0;
    double mappedMs = 0;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify) {
            watched[event.xcreatewindow.window] =
                XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
        } else if (event.type == MapNotify && !mapped &&
                   x11::windowTitle(display, event.xmap.window) == title) {
            mappedMs = timer.nsecsElapsed() / 1e6;
            mapped = event.xmap.window;
        } else if (event.type == damageEvent + XDamageNotify && mapped &&
                   reinterpret_cast<XDamageNotifyEvent&>(event).drawable == mapped) {
            const Sample sample{mappedMs, timer.nsecsElapsed() / 1e6,
                                memoryMiB(process.processId(), "VmHWM:")};
            for (const auto& [window, damage] : watched)
                XDamageDestroy(display, damage);
            x11::closeWindow(display, mapped);
            if (!process.waitForFinished(20000))
                process.kill();
            return sample;
        }
    }
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup: no X display; run it under xvfb-run\n");
        return 1;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "startup: the X server has no DAMAGE extension\n");
        return 1;
    }
    QTemporaryDir home;
    const QProcessEnvironment env = x11::programEnvironment(home);

    // One warm-up each: the first Tarnwick also sets up its office profile.
    // "tarnwick" is the launcher as users start it; "tarnwick.bin" the real
    // program started directly, which shows what the launcher costs.
    struct Program {
        const char* path;
        QStringList arguments;
        const char* title;
    };
    const Program programs[] = {{TW_PROGRAM, {}, "Tarnwick"},
                                {TW_REAL_PROGRAM, {}, "Tarnwick"},
                                {TW_BARE, {}, "Bare"},
                                {TW_BARE, {QStringLiteral("--one-label")}, "Bare"}};
    constexpr int Count = std::size(programs);
    const auto run = [&](const Program& program) {
        return measure(display, damageEvent, program.path, program.arguments, program.title, env);
    };
    for (const Program& program : programs)
        run(program);
    std::vector<double> mappedTimes[Count], times[Count], memory[Count];
    for (int i = 0; i < Runs; ++i) {
        for (int p = 0; p < Count; ++p) {
            const Sample sample = run(programs[p]);
            mappedTimes[p].push_back(sample.mappedMs);
            times[p].push_back(sample.paintedMs);
            memory[p].push_back(sample.peakMiB);
        }
    }
    QTextStream out(stdout);
    out << Qt::fixed;
    out.setRealNumberPrecision(1);
    out << "startup: start to window mapped and to its first paint, medians of " << Runs
        << " runs\n";
    out << "                      tarnwick tarnwick.bin   bare Qt window   one label\n";
    const auto row = [&](const char* label, std::vector<double>* figures) {
        out << label;
        constexpr int widths[Count] = {10, 13, 13, 12};
        for (int p = 0; p < Count; ++p)
            out << qSetFieldWidth(widths[p]) << median(figures[p]) << qSetFieldWidth(0);
        out << "\n";
    };
    row("mapped (ms)         ", mappedTimes);
    row("first paint (ms)    ", times);
    row("peak memory (MiB)   ", memory);
    const auto ratio = [&](int a, int b) { return median(times[a]) / median(times[b]); };
    out.setRealNumberPrecision(2);
    out << "first paint, ratio tarnwick.bin/bare: " << ratio(1, 2) << "  (target <= 1.5)\n";
    out << "first paint, ratio tarnwick/bare: " << ratio(0, 2)
        << "  (target <= 1.5, and tarnwick under 300 ms)\n";
    out << "first paint, ratio tarnwick/tarnwick.bin: " << ratio(0, 1)
        << "  (the launcher's share)\n";
    out << "first paint, ratio one label/bare: " << ratio(3, 2)
        << "  (the least that text on the first paint costs)\n";
    out << "first paint, ratio tarnwick.bin/one label: " << ratio(1, 3) << "  (target <= 1.3)\n";
    XCloseDisplay(display);
    return 0;
}
