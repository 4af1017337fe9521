#include "officethread.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

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
    void resultsAndExceptionsComeBack();
    void callWhileAnotherWaits_data();
    void callWhileAnotherWaits();
    void queuedJobsRunAtTheEndLaterOnesAtOnce();
    void dialogAfterTheCallEndedSleeps();
};

void OfficeThreadTest::resultsAndExceptionsComeBack()
{
    OfficeThread thread;
    QCOMPARE(thread.call([] { return std::this_thread::get_id(); }), thread.id());
    QCOMPARE(thread.call([] { return QStringLiteral("text"); }), QStringLiteral("text"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             thread.call([]() -> int { throw std::runtime_error("failed"); }));
    thread.call([] {}); // the thread lives on
}

void OfficeThreadTest::callWhileAnotherWaits_data()
{
    QTest::addColumn<bool>("fromAnotherThread");
    QTest::newRow("from inside the first call's wait") << false;
    QTest::newRow("from another thread") << true;
}

void OfficeThreadTest::callWhileAnotherWaits()
{
    QFETCH(bool, fromAnotherThread);
    OfficeThread thread;
    std::promise<void> release;
    std::thread other;
    int second = 0;
    // The first call's job ends while the second call waits for its turn.
    QTimer::singleShot(0, [&] {
        release.set_value();
        if (fromAnotherThread)
            other = std::thread([&] { second = thread.call([] { return 2; }); });
        else
            second = thread.call([] { return 2; });
    });
    QCOMPARE(thread.call([released = release.get_future().share()] {
        released.wait();
        return 1;
    }),
             1);
    if (other.joinable())
        other.join();
    QCOMPARE(second, 2);
}

void OfficeThreadTest::queuedJobsRunAtTheEndLaterOnesAtOnce()
{
    QList<QString> ran;
    OfficeThread::Post post;
    {
        OfficeThread thread;
        post = thread.poster();
        // Holds the thread until the destructor has closed the queue: only
        // then does a job posted run at once, here.
        auto closed = std::make_shared<std::atomic<bool>>(false);
        thread.post([post, closed] {
            while (!*closed) {
                post([closed] { *closed = true; });
                std::this_thread::sleep_for(1ms);
            }
        });
        thread.post([&] { ran << "first"; });
        thread.post([] { throw std::runtime_error("dropped"); });
        thread.post([&] { ran << "after the failed one"; });
    }
    QCOMPARE(ran, (QList<QString>{"first", "after the failed one"}));
    post([&] {
        ran << "after the end";
        throw std::runtime_error("dropped too");
    });
    QCOMPARE(ran.size(), 3);
}

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
