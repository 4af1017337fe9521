#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Watches one blocking call at a time from a thread of its own. When an armed
// call has not finished within its limit, onTimeout runs on the watchdog's
// thread (it must only do thread-safe things, such as killing a process).
class Watchdog {
public:
    explicit Watchdog(std::function<void()> onTimeout);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void arm(std::chrono::milliseconds limit);
    // Ends the watch; true when the limit was reached during it.
    bool disarm();

private:
    void run();

    std::function<void()> onTimeout_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool fired_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::thread thread_;
};
