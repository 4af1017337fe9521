#pragma once

#include "officelimits.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// When a watched call counts as hung. A call whose worker shows no progress
// for `noProgress` is hung; one that goes on longer than `longest` is ended
// whatever its progress (a worker in an endless loop).
struct WatchLimits {
    std::chrono::milliseconds noProgress = OfficeNoProgressLimit;
    std::chrono::milliseconds longest = OfficeLongestCall;
};

// Watches one blocking call at a time from a thread of its own, telling long
// work from a hang by a progress reading (the office's CPU time): any change
// of the reading is progress. When an armed call is hung, onTimeout runs on
// the watchdog's thread (it must only do thread-safe things, such as killing
// a process).
class Watchdog {
public:
    Watchdog(WatchLimits limits, std::function<std::uint64_t()> progress,
             std::function<void()> onTimeout);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Starts watching a call; `longest` shortens the limit for this call (the
    // rest of a deadline).
    void arm();
    void arm(std::chrono::milliseconds longest);
    // True once the armed call was found hung.
    bool fired() const;
    // Ends the watch; true when the call was found hung during it.
    bool disarm();

private:
    void run();
    bool hungLocked(std::chrono::steady_clock::time_point now);

    const WatchLimits limits_;
    const std::chrono::milliseconds pollEvery_;
    std::function<std::uint64_t()> progress_;
    std::function<void()> onTimeout_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool fired_ = false;
    bool stopping_ = false;
    bool haveReading_ = false;
    std::uint64_t lastReading_ = 0;
    std::chrono::steady_clock::time_point lastProgress_;
    std::chrono::steady_clock::time_point deadline_;
    std::thread thread_;
};
