#include "watchdog.h"

#include <algorithm>

using namespace std::chrono_literals;

Watchdog::Watchdog(WatchLimits limits, std::function<std::uint64_t()> progress,
                   std::function<void()> onTimeout)
    : limits_(limits), pollEvery_(std::clamp(limits.noProgress / 10, std::chrono::milliseconds(10),
                                             std::chrono::milliseconds(1s))),
      progress_(std::move(progress)), onTimeout_(std::move(onTimeout)), thread_([this] { run(); })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void Watchdog::arm()
{
    arm(limits_.longest);
}

void Watchdog::arm(std::chrono::milliseconds longest)
{
    {
        std::lock_guard lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        armed_ = true;
        fired_ = false;
        haveReading_ = false;
        lastProgress_ = now;
        deadline_ = now + std::min(longest, limits_.longest);
    }
    changed_.notify_all();
}

bool Watchdog::fired() const
{
    std::lock_guard lock(mutex_);
    return fired_;
}

bool Watchdog::disarm()
{
    std::lock_guard lock(mutex_);
    armed_ = false;
    return fired_;
}

bool Watchdog::hungLocked(std::chrono::steady_clock::time_point now)
{
    const std::uint64_t reading = progress_();
    if (!haveReading_ || reading != lastReading_) {
        haveReading_ = true;
        lastReading_ = reading;
        lastProgress_ = now;
    }
    return now >= deadline_ || now - lastProgress_ >= limits_.noProgress;
}

void Watchdog::run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            changed_.wait(lock);
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (hungLocked(now)) {
            // Killed under the lock: when disarm() answers true, the kill
            // has been sent.
            armed_ = false;
            fired_ = true;
            onTimeout_();
            continue;
        }
        changed_.wait_until(lock, std::min(now + pollEvery_, deadline_));
    }
}
