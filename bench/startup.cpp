// Time from starting a program to its window being mapped, and the program's
// peak memory at that moment: Tarnwick against a bare Qt window. Run it under
// an X server, for example: xvfb-run -a build/bench/startup
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 10;

QString nameOf(Display* display, Window window)
{
    char* name = nullptr;
    QString result;
    if (XFetchName(display, window, &name) && name)
        result = QString::fromUtf8(name);
    if (name)
        XFree(name);
    return result;
}

double peakMemoryMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void closeWindow(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

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
        if (event.type == MapNotify && nameOf(display, event.xmap.window) == title) {
            const Sample sample{timer.nsecsElapsed() / 1e6, peakMemoryMiB(process.processId())};
            closeWindow(display, event.xmap.window);
            if (!process.waitForFinished(20000))
                process.kill();
            return sample;
        }
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_CACHE_HOME", home.filePath("cache"));
    env.remove("QT_QPA_PLATFORM");

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
