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
#include <utility>

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

namespace {
// One call's hand-off, shared by the caller and the job it posted, so that
// the job may still signal when the caller has stopped waiting.
struct Handoff {
    UniqueFd done{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};
    std::atomic<bool> finished{false};
    std::exception_ptr error;
};
} // namespace

void OfficeThread::wait(const std::function<void()>& job)
{
    const auto handoff = std::make_shared<Handoff>();
    const int done = handoff->done.get();
    if (done < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    // Only the descriptor is touched from the office thread, never a Qt
    // object. `finished` comes before the signal, so a signal that has been
    // read means the call is over.
    post([&job, handoff] {
        try {
            job();
        } catch (...) {
            handoff->error = std::current_exception();
        }
        handoff->finished.store(true, std::memory_order_release);
        const std::uint64_t one = 1;
        while (::write(handoff->done.get(), &one, sizeof one) < 0 && errno == EINTR) {
        }
    });
    {
        QEventLoop loop;
        QSocketNotifier notifier(done, QSocketNotifier::Read);
        QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&loop, done] {
            // Read the signal: a dialog opened during the call runs its own
            // event loop, which an unread descriptor would wake at once, for
            // as long as the dialog stays open.
            std::uint64_t count = 0;
            [[maybe_unused]] const auto got = ::read(done, &count, sizeof count);
            loop.quit();
        });
        if (!handoff->finished.load(std::memory_order_acquire))
            loop.exec();
    }
    // An event loop that the application told to quit returns early; the job
    // still holds references into this frame, so wait for it plainly.
    pollfd ready{done, POLLIN, 0};
    while (!handoff->finished.load(std::memory_order_acquire))
        ::poll(&ready, 1, -1);
    // The error is taken out, so that the exception's last reference goes on
    // this thread and not with the office thread's copy of the hand-off.
    if (std::exception_ptr error = std::exchange(handoff->error, nullptr))
        std::rethrow_exception(error);
}
