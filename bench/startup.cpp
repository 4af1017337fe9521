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
    measure(display, TW_PROGRAM, "Tarnwick", env);
    measure(display, TW_BARE, "Bare", env);
    std::vector<double> ours, bare, oursMem, bareMem;
    for (int i = 0; i < Runs; ++i) {
        const Sample a = measure(display, TW_PROGRAM, "Tarnwick", env);
        const Sample b = measure(display, TW_BARE, "Bare", env);
        ours.push_back(a.ms);
        oursMem.push_back(a.peakMiB);
        bare.push_back(b.ms);
        bareMem.push_back(b.peakMiB);
    }
    QTextStream out(stdout);
    out << Qt::fixed;
    out.setRealNumberPrecision(1);
    out << "startup: start to window mapped, medians of " << Runs << " runs\n";
    out << "                      tarnwick   bare Qt window\n";
    out << "time (ms)           " << qSetFieldWidth(10) << median(ours) << qSetFieldWidth(0)
        << "   " << qSetFieldWidth(10) << median(bare) << qSetFieldWidth(0) << "\n";
    out << "peak memory (MiB)   " << qSetFieldWidth(10) << median(oursMem) << qSetFieldWidth(0)
        << "   " << qSetFieldWidth(10) << median(bareMem) << qSetFieldWidth(0) << "\n";
    out.setRealNumberPrecision(2);
    out << "ratio tarnwick/bare: " << median(ours) / median(bare)
        << "  (target <= 1.5, and tarnwick under 300 ms)\n";
    XCloseDisplay(display);
    return 0;
}
