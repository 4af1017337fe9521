#pragma once

#include "officelocator.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/types.h>
#include <thread>

// One office process that Tarnwick started and owns. The office runs
// headless on a private profile, in its own process group, and listens on a
// pipe whose name is new at each launch (a killed office leaves its pipe's
// socket behind). The kernel kills it when Tarnwick dies, however it dies.
class OfficeProcess {
public:
    OfficeProcess(OfficeInstallation installation, QString profileDir);
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Launches a new office; an office still running is stopped first.
    void start();
    // Ends the office and its process group: politely, then by force.
    void stop();

    bool running() const;
    // The exit code once the office has ended by itself; nullopt while it
    // runs, after a signal, or when it never started.
    std::optional<int> exitCode() const;
    // Sends a signal to the office unless it has ended. Safe from any thread:
    // an office that has ended is not reaped meanwhile, so its pid cannot
    // have passed to another process.
    void signal(int sig);
    // The program is ending at once: kills the office's process group without
    // waiting long, removes its pipe socket and temporary folder, and refuses
    // every later start. Safe from any thread, also while another one is
    // blocked in a call to this office.
    void abandon();
    // The socket of the office's pipe; the office leaves it behind when killed.
    QString pipeSocketPath() const;

    // True when the last start found no profile yet: such an office sets the
    // profile up and exits with code 81 instead of serving.
    bool startedOnNewProfile() const { return newProfile_; }
    pid_t pid() const;
    const QString& pipeName() const { return pipeName_; }
    const QString& profileDir() const { return profileDir_; }
    // Where the office keeps its temporary files; emptied whenever no office
    // runs on the profile.
    QString tempDir() const;

private:
    // The reaper thread: waits for the office to end, then reaps it.
    void awaitExit(pid_t pid);
    void signalLocked(int sig, bool group);
    void clearTempDir();

    OfficeInstallation installation_;
    QString profileDir_;
    QString pipeName_;
    bool newProfile_ = false;
    // The state of the current office, shared with its reaper thread.
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    pid_t pid_ = -1;
    bool exited_ = false;
    bool abandoned_ = false;
    int status_ = 0;
    std::thread reaper_;
};
