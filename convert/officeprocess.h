#pragma once

#include "officelocator.h"

#include <optional>
#include <sys/types.h>

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

    bool running();
    // The exit code once the office has ended by itself; nullopt while it
    // runs, after a signal, or when it never started.
    std::optional<int> exitCode();

    // True when the last start found no profile yet: such an office sets the
    // profile up and exits with code 81 instead of serving.
    bool startedOnNewProfile() const { return newProfile_; }
    pid_t pid() const { return pid_; }
    const QString& pipeName() const { return pipeName_; }
    const QString& profileDir() const { return profileDir_; }

private:
    void reap(bool block);

    OfficeInstallation installation_;
    QString profileDir_;
    QString pipeName_;
    pid_t pid_ = -1;
    bool exited_ = false;
    bool newProfile_ = false;
    int status_ = 0;
};
