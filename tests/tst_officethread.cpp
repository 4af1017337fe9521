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

class OfficeThreadTest : public QObject {
    Q_OBJECT

private slots:
    void resultsAndExceptionsComeBack();
    void callWhileAnotherWaits_data();
    void callWhileAnotherWaits();
    void queuedJobsRunAtTheEndLaterOnesAtOnce();
    void dialogAfterTheCallEndedSleeps();

private:
    OfficeThread thread_;
    // Ends the job that a call is blocked in.
    std::promise<void> release_;
    std::function<void()> blocked()
    {
        return [f = release_.get_future().share()] { f.wait(); };
    }
};

void OfficeThreadTest::resultsAndExceptionsComeBack()
{
    QCOMPARE(thread_.call([] { return std::this_thread::get_id(); }), thread_.id());
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             thread_.call([]() -> int { throw std::runtime_error("failed"); }));
    QCOMPARE(thread_.call([] { return QStringLiteral("still there"); }), "still there");
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
    release_ = {};
    std::thread other;
    int second = 0;
    // The first call's job ends while the second call waits for its turn.
    QTimer::singleShot(0, [&] {
        release_.set_value();
        const auto call = [&] { second = thread_.call([] { return 2; }); };
        fromAnotherThread ? void(other = std::thread(call)) : call();
    });
    thread_.call(blocked());
    if (other.joinable())
        other.join();
    QCOMPARE(second, 2);
}

void OfficeThreadTest::queuedJobsRunAtTheEndLaterOnesAtOnce()
{
    QStringList ran;
    auto thread = std::make_unique<OfficeThread>();
    const OfficeThread::Post post = thread->poster();
    // Holds the thread until the destructor has closed the queue: only then
    // does a job posted run at once, here.
    auto closed = std::make_shared<std::atomic<bool>>(false);
    thread->post([post, closed] {
        while (!*closed) {
            post([closed] { *closed = true; });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    thread->post([&] { ran << "first"; });
    thread->post([] { throw std::runtime_error("dropped"); });
    thread->post([&] { ran << "after the failed one"; });
    thread.reset();
    QCOMPARE(ran, (QStringList{"first", "after the failed one"}));
    post([&] { ran << "after the end"; });
    QCOMPARE(ran.size(), 3);
}

void OfficeThreadTest::dialogAfterTheCallEndedSleeps()
{
    release_ = {};
    qint64 cpuNs = -1, wallNs = 0;
    QFile schedstat(QStringLiteral("/proc/self/task/%1/schedstat").arg(::gettid()));
    const auto cpu = [&] {
        return schedstat.seek(0) ? schedstat.readLine().split(' ').value(0).toLongLong() : -1;
    };
    // A dialog opens during the call, and the call ends while it is open.
    QTimer::singleShot(0, [&] {
        release_.set_value();
        std::atomic<bool> ended{false};
        thread_.post([&] { ended = true; }); // runs after the call's job
        QTRY_VERIFY(ended.load());
        QEventLoop dialog;
        QTimer::singleShot(500, &dialog, &QEventLoop::quit);
        QElapsedTimer wall;
        wall.start();
        const qint64 before = cpu();
        dialog.exec();
        cpuNs = cpu() - before;
        wallNs = wall.nsecsElapsed();
    });
    QVERIFY(schedstat.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    thread_.call(blocked());
    // Woken by the ended call again and again, the dialog's loop would use
    // the whole processor, or its share under load; asleep, almost nothing.
    QVERIFY2(cpuNs >= 0 && cpuNs < wallNs / 10,
             qPrintable(QString("%1 of %2").arg(cpuNs).arg(wallNs)));
}

QTEST_GUILESS_MAIN(OfficeThreadTest)
#include "tst_officethread.moc"
