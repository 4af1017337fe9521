#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <type_traits>

// The one long-lived thread that makes every call into the office. The thread
// that hands a call over waits for it in a local event loop, the same wait
// as the pause after an export: the window repaints and handles its input
// meanwhile. The office is asked to start from here, but forked by its
// process's supervisor thread (OfficeProcess), which lives as long as the
// office: the kernel's parent-death signal follows the forking thread.
class OfficeThread {
public:
    OfficeThread();
    // Runs the jobs still queued, then ends the thread.
    ~OfficeThread();
    OfficeThread(const OfficeThread&) = delete;
    OfficeThread& operator=(const OfficeThread&) = delete;

    // Runs `job` on the office thread and waits for it while handling events;
    // its result comes back here, and so does its exception.
    template <class Job> auto call(Job job) -> decltype(job())
    {
        using Result = decltype(job());
        if constexpr (std::is_void_v<Result>) {
            wait(job);
        } else {
            std::optional<Result> result;
            wait([&] { result.emplace(job()); });
            return std::move(*result);
        }
    }

    // Queues `job` without waiting for it. A job that throws is dropped: what
    // it was for is tried again by the next call that needs it.
    using Post = std::function<void(std::function<void()>)>;
    void post(std::function<void()> job) { post_(std::move(job)); }
    // A way to post that stays valid after the thread has ended: the job then
    // runs at once on the caller's thread.
    const Post& poster() const { return post_; }

    // Test seam: the thread's id.
    std::thread::id id() const { return thread_.get_id(); }

private:
    struct Queue;
    void wait(const std::function<void()>& job);
    void run();

    std::shared_ptr<Queue> queue_;
    Post post_;
    std::thread thread_;
};
