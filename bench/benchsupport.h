#pragma once

// Small helpers that the benchmarks share.
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <unistd.h>
#include <vector>

// What every benchmark's main sets up first: its application (QApplication
// for the ones that show widgets, which they draw offscreen, QCoreApplication
// for the others), a temporary working folder, and standard output for the
// figures, in fixed notation.
template <class Application> class BenchMain {
public:
    BenchMain(int& argc, char** argv) : app(offscreen(argc), argv) { out << Qt::fixed; }

    Application app;
    QTemporaryDir work;
    QTextStream out{stdout};

private:
    static int& offscreen(int& argc)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }
};

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A memory figure of a process from /proc/<pid>/status, in MiB: "VmRSS:" is
// the resident memory now, "VmHWM:" its peak. pid 0 means this process.
inline double memoryMiB(qint64 pid, const char* field)
{
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid)
                     : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// `count` copies of the sales sample in `dir`: sheet001.ods, sheet002.ods, ...
// The benchmarks are built with TW_SOURCE_DIR, the source tree.
inline QStringList makeSampleCopies(const QString& dir, int count)
{
    QDir().mkpath(dir);
    QStringList files;
    for (int i = 1; i <= count; ++i) {
        const QString target = QStringLiteral("%1/sheet%2.ods").arg(dir).arg(i, 3, 10, QChar('0'));
        QFile::copy(QStringLiteral(TW_SOURCE_DIR "/Samples/Sales Report.ods"), target);
        files << target;
    }
    return files;
}

// What one run of an external program gave.
struct CommandResult {
    bool timedOut = false;
    // -1 when it did not start, crashed or was killed.
    int exitCode = -1;
    double ms = 0;
    QByteArray out, err;
};

// Runs a program for at most limitMs. It runs in a session of its own, so
// that a timeout kills whatever it forked too (the soffice script forks
// soffice.bin, which would otherwise run on).
inline CommandResult runCommand(const QString& program, const QStringList& args, int limitMs)
{
    CommandResult r;
    QProcess p;
    p.setChildProcessModifier([] { ::setsid(); });
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (p.waitForStarted(limitMs) && !p.waitForFinished(std::max(1, limitMs - int(t.elapsed())))) {
        r.timedOut = true;
        ::kill(-static_cast<pid_t>(p.processId()), SIGKILL);
        p.waitForFinished(-1);
    }
    r.ms = t.nsecsElapsed() / 1e6;
    if (!r.timedOut && p.exitStatus() == QProcess::NormalExit &&
        p.error() != QProcess::FailedToStart)
        r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
