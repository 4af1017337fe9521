#pragma once

// Small helpers that the benchmarks share.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

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
