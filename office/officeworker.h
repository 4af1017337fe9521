#pragma once

#include "officelocator.h"
#include "officesession.h"
#include "officethread.h"

#include <cstdint>
#include <functional>
#include <memory>

class OfficeOperations;
class UnoOffice;

// One office as a unit: its session (a private profile, a memory ceiling and
// a watchdog), the UNO operations on it, and the office thread that makes
// every call into it. The office starts at the first call that needs it, or
// at startInBackground().
class OfficeWorker {
public:
    // Takes a profile below profileRoot; prepareProfile runs on every new
    // connection, before the first call. Raises an OfficeError when no
    // profile can be had.
    OfficeWorker(const OfficeInstallation& installation, const QString& profileRoot,
                 ProfileSetup prepareProfile = {}, WatchLimits limits = {},
                 std::uint64_t memoryCeiling = DefaultOfficeMemoryCeiling());
    // The office ends from its own thread, after the jobs still queued. When
    // this returns, it has ended and the profile is free.
    ~OfficeWorker();
    OfficeWorker(const OfficeWorker&) = delete;
    OfficeWorker& operator=(const OfficeWorker&) = delete;

    // Launches the office without waiting for it, once the jobs queued so
    // far have run.
    void startInBackground();
    // Runs `job` on the office thread and waits for it while this thread
    // handles its events; the result or the exception comes back here.
    template <class Job> auto call(Job job) -> decltype(job()) { return thread_->call(job); }
    // Queues `job` without waiting for it (see OfficeThread::post).
    void post(std::function<void()> job) { thread_->post(std::move(job)); }
    // The program is ending at once, maybe in the middle of a call: kills
    // the office and removes its pipe socket and the profile lock; the call
    // in progress fails. Safe from any thread; no office starts afterwards.
    void abandon() { session_->abandon(); }

    // The UNO operations on this office, for jobs on the office thread only.
    OfficeOperations& operations();
    OfficeSession& session() { return *session_; }
    OfficeThread& thread() { return *thread_; }

private:
    std::unique_ptr<OfficeSession> session_;
    std::unique_ptr<UnoOffice> office_;
    std::unique_ptr<OfficeThread> thread_;
};
