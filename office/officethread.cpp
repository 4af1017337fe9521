#include "officethread.h"

#include "uniquefd.h"

#include <QEventLoop>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>

struct OfficeThread::Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool closed = false;

    void push(std::function<void()> job)
    {
        {
            std::lock_guard lock(mutex);
            if (!closed) {
                jobs.push_back(std::move(job));
                changed.notify_one();
                return;
            }
        }
        // The thread has ended: what is left to do happens here.
        runDroppingErrors(job);
    }

    // The next job, or an empty one once the queue is closed and empty.
    std::function<void()> pop()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return closed || !jobs.empty(); });
        if (jobs.empty())
            return {};
        auto job = std::move(jobs.front());
        jobs.pop_front();
        return job;
    }

    void close()
    {
        std::lock_guard lock(mutex);
        closed = true;
        changed.notify_one();
    }

    static void runDroppingErrors(const std::function<void()>& job)
    {
        try {
            job();
        } catch (...) {
        }
    }
};

OfficeThread::OfficeThread()
    : queue_(std::make_shared<Queue>()),
      post_([queue = queue_](std::function<void()> job) { queue->push(std::move(job)); }),
      thread_(&OfficeThread::run, this)
{
}

OfficeThread::~OfficeThread()
{
    queue_->close();
    thread_.join();
}

void OfficeThread::run()
{
    // Each job is also destroyed here, so the office objects it holds are
    // let go on this thread.
    while (auto job = queue_->pop())
        Queue::runDroppingErrors(job);
}

void OfficeThread::wait(const std::function<void()>& job)
{
    const UniqueFd done(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!done)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    std::atomic<bool> finished{false};
    std::exception_ptr error;
    // Only the descriptor is touched from the office thread, never a Qt
    // object.
    post([&job, &finished, &error, fd = done.get()] {
        try {
            job();
        } catch (...) {
            error = std::current_exception();
        }
        const std::uint64_t one = 1;
        while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
        }
        // Last: once this is seen, the waiting side closes the descriptor.
        finished.store(true, std::memory_order_release);
    });
    {
        QEventLoop loop;
        QSocketNotifier notifier(done.get(), QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        if (!finished.load(std::memory_order_acquire))
            loop.exec();
    }
    // An event loop that the application told to quit returns early; the job
    // still holds references into this frame, so wait for it plainly.
    pollfd ready{done.get(), POLLIN, 0};
    while (!finished.load(std::memory_order_acquire))
        ::poll(&ready, 1, -1);
    if (error)
        std::rethrow_exception(error);
}
