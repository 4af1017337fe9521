#include "officethread.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <future>
#include <unistd.h>

namespace {
// This thread's CPU time so far, in nanoseconds (the scheduler's own count).
qint64 threadCpuNs()
{
    QFile stat(QStringLiteral("/proc/self/task/%1/schedstat").arg(::gettid()));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    return stat.readAll().split(' ').value(0).toLongLong();
}
} // namespace

class OfficeThreadTest : public QObject {
    Q_OBJECT

private slots:
    void dialogAfterTheCallEndedSleeps();
};

void OfficeThreadTest::dialogAfterTheCallEndedSleeps()
{
    OfficeThread thread;
    std::promise<void> release;
    qint64 cpuNs = -1, wallNs = 0;
    // A dialog opens while the call runs, and the call ends while it is open.
    QTimer::singleShot(0, [&] {
        release.set_value();
        std::atomic<bool> callEnded{false};
        thread.post([&] { callEnded = true; }); // runs after the call's job
        QTRY_VERIFY(callEnded.load());
        QEventLoop dialog;
        QTimer::singleShot(500, &dialog, &QEventLoop::quit);
        QElapsedTimer wall;
        wall.start();
        const qint64 before = threadCpuNs();
        dialog.exec();
        cpuNs = threadCpuNs() - before;
        wallNs = wall.nsecsElapsed();
    });
    thread.call([future = release.get_future().share()] { future.wait(); });
    QVERIFY(cpuNs >= 0);
    // A loop woken by the ended call over and over would use the whole
    // processor (or its share under load); a sleeping one almost nothing.
    QVERIFY2(cpuNs < wallNs / 10, qPrintable(QStringLiteral("%1 ns of CPU in %2 ns with the "
                                                            "dialog open")
                                                 .arg(cpuNs)
                                                 .arg(wallNs)));
}

QTEST_GUILESS_MAIN(OfficeThreadTest)
#include "tst_officethread.moc"
