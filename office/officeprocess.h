#pragma once

#include "officechild.h"
#include "officelocator.h"
#include "uniquefd.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <sys/types.h>
#include <thread>

// One office process that Tarnwick started and owns. The office runs
// headless on a private profile, in its own process group, under a memory
// ceiling, and listens on a pipe whose name is new at each launch. The kernel
// kills it when Tarnwick dies, however it dies.
//
// A supervisor thread of this object does all the work with the process
// (officechild.h knows how an office is started): it forks the office, reaps it the moment it ends,
// then kills what is left of its group and removes its pipe socket, and ends a stopped office by
// force after a grace. So no call here waits for the office.
class OfficeProcess {
public:
    OfficeProcess(OfficeInstallation installation, QString profileDir,
                  std::uint64_t memoryCeiling = DefaultOfficeMemoryCeiling());
    // Kills the office and waits until it has ended.
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Launches a new office. An office still running is killed first; the
    // new one starts as soon as the old one has ended.
    void start();
    // Asks the office to end: its process group gets SIGTERM now and SIGKILL
    // after a grace.
    void stop();
    // The program is ending at once: kills the office's process group
    // without waiting long, removes its pipe socket and temporary folder,
    // and refuses every later start. Safe from any thread, also while
    // another one is blocked in a call to this office.
    void abandon();
    // Sends a signal to the office's process group unless the office has
    // ended. Safe from any thread: an ended office is reaped under the same
    // lock, so its pid cannot have passed to another process.
    void signal(int sig);

    // True from start() until the office has ended.
    bool running() const;
    // The exit code once the office has ended by itself; nullopt while it
    // runs, after a signal, or when it never started.
    std::optional<int> exitCode() const;
    // Why the last launch failed; empty when it did not.
    QString startError() const;
    // The office's CPU time so far, in clock ticks; 0 when none runs.
    std::uint64_t cpuTime() const;
    // The most address space the office has mapped so far, in bytes; 0 when
    // none runs.
    std::uint64_t peakAddressSpace() const;
    std::uint64_t memoryCeiling() const { return memoryCeiling_; }

    // True when the current office found no profile yet: such an office sets
    // the profile up and exits with code 81, and is then started again.
    bool startedOnNewProfile() const;
    // -1 until the office has been forked.
    pid_t pid() const;
    QString pipeName() const;
    const QString& profileDir() const { return profileDir_; }
    // Where the office keeps its temporary files; emptied whenever no office
    // runs on the profile.
    QString tempDir() const;

private:
    void supervise();
    void launchLocked();
    // Kills a stopped office whose grace is over; the milliseconds left of
    // the grace, or -1 when there is none to wait for.
    int enforceStopGraceLocked();
    // Waits for a wake-up, the office's end (officeFd, -1 for none) or the
    // timeout; true when the office has ended.
    bool waitForWakeOrEnd(int officeFd, int timeoutMs);
    void reapLocked();
    bool aliveLocked() const { return pid_ > 0 && !exited_; }
    void signalGroupLocked(int sig);
    void wake();
    // The office's pipe sockets and temporary folder, once no office of
    // ours runs on the profile: a killed office leaves them behind.
    void removeLeftoversLocked();
    void clearTempDir();

    OfficeInstallation installation_;
    QString profileDir_;
    std::uint64_t memoryCeiling_;
    // The office's own single-instance pipe on this profile.
    QString singleInstancePipe_;

    mutable std::mutex mutex_;
    std::condition_variable ended_;
    pid_t pid_ = -1;
    UniqueFd pidFd_;
    QString pipeName_;
    bool newProfile_ = false;
    bool exited_ = false;
    int status_ = 0;
    QString startError_;
    bool launchPending_ = false;
    int restartsLeft_ = 0;
    std::optional<std::chrono::steady_clock::time_point> killAt_;
    bool quitting_ = false;
    bool abandoned_ = false;

    UniqueFd wakeFd_;
    std::thread supervisor_;
};
