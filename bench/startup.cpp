// Time from starting a program to its window being mapped, and the program's
// peak memory at that moment: Tarnwick against a bare Qt window. Run it under
// an X server, for example: xvfb-run -a build/bench/startup
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include "benchsupport.h"
#include "x11windows.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 10;

struct Sample {
    double ms;
    double peakMiB;
};

// Starts the program and waits for a window titled `title` to be mapped.
Sample measure(Display* display, const QString& program, const QString& title,
               const QProcessEnvironment& env)
{
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True); // drop events of earlier runs
    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && x11::windowTitle(display, event.xmap.window) == title) {
            const Sample sample{timer.nsecsElapsed() / 1e6,
                                memoryMiB(process.processId(), "VmHWM:")};
            x11::closeWindow(display, event.xmap.window);
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
    QTemporaryDir home;
    const QProcessEnvironment env = x11::programEnvironment(home);

    // One warm-up each: the first Tarnwick also sets up its office profile.
    // "tarnwick" is the launcher as users start it; "tarnwick.bin" the real
    // program started directly, which shows what the launcher costs.
    const char* const programs[] = {TW_PROGRAM, TW_REAL_PROGRAM, TW_BARE};
    const char* const titles[] = {"Tarnwick", "Tarnwick", "Bare"};
    for (int p = 0; p < 3; ++p)
        measure(display, programs[p], titles[p], env);
    std::vector<double> times[3], memory[3];
    for (int i = 0; i < Runs; ++i) {
        for (int p = 0; p < 3; ++p) {
            const Sample sample = measure(display, programs[p], titles[p], env);
            times[p].push_back(sample.ms);
            memory[p].push_back(sample.peakMiB);
        }
    }
    QTextStream out(stdout);
    out << Qt::fixed;
    out.setRealNumberPrecision(1);
    out << "startup: start to window mapped, medians of " << Runs << " runs\n";
    out << "                      tarnwick tarnwick.bin   bare Qt window\n";
    const auto row = [&](const char* label, std::vector<double>* figures) {
        out << label;
        for (int p = 0; p < 3; ++p)
            out << qSetFieldWidth(p == 0 ? 10 : 13) << median(figures[p]) << qSetFieldWidth(0);
        out << "\n";
    };
    row("time (ms)           ", times);
    row("peak memory (MiB)   ", memory);
    out.setRealNumberPrecision(2);
    out << "ratio tarnwick/bare: " << median(times[0]) / median(times[2])
        << "  (target <= 1.5, and tarnwick under 300 ms)\n";
    out << "ratio tarnwick/tarnwick.bin: " << median(times[0]) / median(times[1])
        << "  (the launcher's share)\n";
    XCloseDisplay(display);
    return 0;
}
