#pragma once

#include "officelocator.h"
#include "officeprocess.h"
#include "officeprofile.h"
#include "watchdog.h"

#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QLockFile>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class OfficeHungError;

// Prepares a freshly connected office's profile before the first call (the
// conversion writes its PDF export settings there).
using ProfileSetup = std::function<void(const css::uno::Reference<css::uno::XComponentContext>&)>;

// The live office behind the conversion: its process and the UNO bridge to
// it. serviceManager() always answers from a live office, starting a new one
// when none runs or the last one died, so a crash costs one file only.
class OfficeSession {
public:
    // profileRoot holds the private office profiles; each running Tarnwick
    // takes one of its own.
    OfficeSession(OfficeInstallation installation, const QString& profileRoot,
                  WatchLimits limits = {},
                  std::uint64_t memoryCeiling = DefaultOfficeMemoryCeiling());
    ~OfficeSession();
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    // Runs on every new connection; set before the first call.
    void setProfileSetup(ProfileSetup setup) { profileSetup_ = std::move(setup); }
    // Launches the office without waiting for it, so the first file finds it
    // warm.
    void startInBackground();
    css::uno::Reference<css::lang::XMultiComponentFactory> serviceManager();
    css::uno::Reference<css::uno::XComponentContext> context();
    // Ends the office now; the next serviceManager() starts a new one.
    void shutdown();
    // The program is ending at once: kills the office's process group and
    // removes its pipe socket and the profile lock, without waiting for a
    // call in progress. Safe from any thread; no office starts afterwards.
    void abandon();

    // Runs one call into the office under the watchdog: an office that
    // counts as hung (see WatchLimits) is killed and a new one started, and
    // the call fails with "The office suite stopped responding and was
    // restarted".
    void guarded(const std::function<void()>& call);
    // Every call from now until `deadline` must end by then, or the office is
    // ended as a hung one; none: the watchdog's own limits only. Office
    // thread only.
    void setDeadline(std::optional<std::chrono::steady_clock::time_point> deadline)
    {
        deadline_ = deadline;
    }
    bool deadlinePassed() const
    {
        return deadline_ && std::chrono::steady_clock::now() >= *deadline_;
    }

    bool connected() const;
    pid_t officePid() const { return process_ ? process_->pid() : -1; }
    const OfficeProcess& process() const { return *process_; }
    int launches() const { return launches_; }

private:
    void connect();
    // Tries to reach the office until it answers, launching it again when
    // it ends while starting.
    void connectWatched(int launched);
    // Makes the bridge this session's and prepares the profile; false when
    // the office went away meanwhile or there is no bridge.
    bool attach(const css::uno::Reference<css::bridge::XBridge>& bridge);
    // Launches the office that ended while starting once more, or throws
    // why it cannot be started once the attempts are spent.
    void launchAgain(int& launched);
    void dropBridge();
    void launch();
    // Runs body under the watchdog, for at most `longest`.
    void watched(std::chrono::milliseconds longest, const std::function<void()>& body);
    // Replaces the office that the watchdog killed; the error to throw.
    OfficeHungError restarted();

    OfficeInstallation installation_;
    std::unique_ptr<QLockFile> profileLock_;
    std::unique_ptr<OfficeProcess> process_;
    css::uno::Reference<css::bridge::XBridge> bridge_;
    css::uno::Reference<css::uno::XComponentContext> remote_;
    std::shared_ptr<std::atomic<bool>> bridgeDisposed_;
    ProfileSetup profileSetup_;
    int launches_ = 0;
    bool watching_ = false;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::unique_ptr<Watchdog> watchdog_;
};
