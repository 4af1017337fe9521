#include "watchdog.h"

Watchdog::Watchdog(std::function<void()> onTimeout)
    : onTimeout_(std::move(onTimeout)), thread_([this] { run(); })
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

void Watchdog::arm(std::chrono::milliseconds limit)
{
    {
        std::lock_guard lock(mutex_);
        armed_ = true;
        fired_ = false;
        deadline_ = std::chrono::steady_clock::now() + limit;
    }
    changed_.notify_all();
}

bool Watchdog::disarm()
{
    std::lock_guard lock(mutex_);
    armed_ = false;
    return fired_;
}

void Watchdog::run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            armed_ = false;
            fired_ = true;
            onTimeout_();
        }
    }
}
