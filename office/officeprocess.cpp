#include "officeprocess.h"

#include "officeerror.h"
#include "officelimits.h"
#include "officelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The office's code for "start me again", which it gives after setting up a
// new profile.
constexpr int RestartExitCode = 81;

} // namespace

OfficeProcess::OfficeProcess(OfficeInstallation installation, QString profileDir,
                             std::uint64_t memoryCeiling)
    : installation_(std::move(installation)), profileDir_(std::move(profileDir)),
      memoryCeiling_(memoryCeiling), singleInstancePipe_(OfficeSingleInstancePipeName(profileDir_)),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (!wakeFd_.valid())
        throw OfficeError(QStringLiteral("The office suite cannot be watched: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
    supervisor_ = std::thread(&OfficeProcess::supervise, this);
}

OfficeProcess::~OfficeProcess()
{
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
        launchPending_ = false;
        signalGroupLocked(SIGKILL);
    }
    wake();
    supervisor_.join();
}

void OfficeProcess::start()
{
    {
        std::lock_guard lock(mutex_);
        if (abandoned_)
            throw OfficeError(QStringLiteral("The program is ending."));
        // The office being replaced is of no more use; the new one must not
        // share the profile with it.
        signalGroupLocked(SIGKILL);
        RemoveOfficePipeSocket(pipeName_);
        launchPending_ = true;
        restartsLeft_ = 1;
        startError_.clear();
    }
    wake();
}

void OfficeProcess::stop()
{
    {
        std::lock_guard lock(mutex_);
        launchPending_ = false;
        restartsLeft_ = 0;
        if (!aliveLocked())
            return;
        qCInfo(lcOffice) << "stopping the office: pid" << pid_;
        signalGroupLocked(SIGTERM);
        // No one can connect to an ending office; the socket goes now, in
        // case Tarnwick ends before the office does.
        RemoveOfficePipeSocket(pipeName_);
        killAt_ = std::chrono::steady_clock::now() + OfficeStopGrace;
    }
    wake();
}

void OfficeProcess::abandon()
{
    std::unique_lock lock(mutex_);
    abandoned_ = true;
    launchPending_ = false;
    restartsLeft_ = 0;
    signalGroupLocked(SIGKILL);
    // A killed office is gone within milliseconds; its files are removed
    // only once it can no longer write them.
    ended_.wait_for(lock, std::chrono::milliseconds(500), [this] { return !aliveLocked(); });
    removeLeftoversLocked();
}

void OfficeProcess::signal(int sig)
{
    std::lock_guard lock(mutex_);
    signalGroupLocked(sig);
}

void OfficeProcess::signalGroupLocked(int sig)
{
    if (!aliveLocked())
        return;
    // Right after the fork the child may not have made its own group yet,
    // so the office itself is always signalled too.
    ::kill(-pid_, sig);
    ::kill(pid_, sig);
}

void OfficeProcess::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_.get(), &one, sizeof one);
}

void OfficeProcess::supervise()
{
    for (;;) {
        int officeFd = -1;
        int timeoutMs = -1;
        {
            std::lock_guard lock(mutex_);
            if (launchPending_ && !aliveLocked())
                launchLocked();
            timeoutMs = enforceStopGraceLocked();
            if (quitting_ && !aliveLocked())
                return;
            if (aliveLocked())
                officeFd = pidFd_.get();
        }
        if (waitForWakeOrEnd(officeFd, timeoutMs)) {
            std::lock_guard lock(mutex_);
            reapLocked();
        }
    }
}

int OfficeProcess::enforceStopGraceLocked()
{
    if (!killAt_ || !aliveLocked())
        return -1;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*killAt_ - std::chrono::steady_clock::now());
    if (left.count() > 0)
        return int(left.count());
    qCInfo(lcOffice) << "the office did not end in time: killing it";
    signalGroupLocked(SIGKILL);
    killAt_.reset();
    return -1;
}

bool OfficeProcess::waitForWakeOrEnd(int officeFd, int timeoutMs)
{
    std::array<pollfd, 2> fds{pollfd{wakeFd_.get(), POLLIN, 0}, pollfd{officeFd, POLLIN, 0}};
    if (::poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR)
        return false;
    std::uint64_t count = 0;
    while (::read(wakeFd_.get(), &count, sizeof count) > 0) {
    }
    return fds[1].revents & (POLLIN | POLLHUP);
}

// The fork happens here, on the supervisor thread, for the sake of
// PR_SET_PDEATHSIG: the kernel sends it when the *thread* that forked ends,
// not the process. This thread lives as long as this object and ends only
// after the office has, so the office never dies early because the thread
// that asked for it (a pool thread, a thread of one call) went away.
void OfficeProcess::launchLocked()
{
    launchPending_ = false;
    killAt_.reset();
    newProfile_ = !QFileInfo::exists(profileDir_ + QStringLiteral("/user"));
    QDir().mkpath(profileDir_);
    // What an office on this profile left when its Tarnwick was killed.
    removeLeftoversLocked();
    QDir().mkpath(tempDir());
    pipeName_ = NewOfficePipeName();
    const pid_t pid =
        ForkOffice({installation_.executable(), profileDir_, tempDir(), pipeName_, memoryCeiling_});
    if (pid < 0) {
        startError_ = QString::fromLocal8Bit(std::strerror(errno));
        qCInfo(lcOffice) << "the office could not be started:" << startError_;
        return;
    }
    pid_ = pid;
    exited_ = false;
    status_ = 0;
    // Our own child, not yet reaped: the pid is still its own.
    // (glibc's own wrapper lacks C linkage in its header.)
    pidFd_ = UniqueFd(int(::syscall(SYS_pidfd_open, pid, 0)));
    if (!pidFd_.valid()) {
        // Without it the end could not be seen.
        startError_ = QString::fromLocal8Bit(std::strerror(errno));
        qCInfo(lcOffice) << "the office could not be watched:" << startError_;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        exited_ = true;
        return;
    }
    qCInfo(lcOffice).nospace() << "office started: pid " << pid << ", pipe " << pipeName_
                               << ", memory ceiling " << memoryCeiling_ / (1024 * 1024)
                               << " MiB, profile " << profileDir_ << (newProfile_ ? " (new)" : "");
}

void OfficeProcess::reapLocked()
{
    if (!aliveLocked())
        return;
    // The ended office is not reaped yet, so its group id is still its own:
    // helpers that it left behind go with it.
    ::kill(-pid_, SIGKILL);
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_)
        status = 0; // reaped elsewhere; nothing is known of how it ended
    exited_ = true;
    status_ = status;
    if (WIFSIGNALED(status))
        qCInfo(lcOffice) << "office ended: pid" << pid_ << "killed by signal" << WTERMSIG(status);
    else
        qCInfo(lcOffice) << "office ended: pid" << pid_ << "exit code" << WEXITSTATUS(status);
    pidFd_.reset();
    killAt_.reset();
    removeLeftoversLocked();
    ended_.notify_all();
    // A new profile has been set up: serve now, so the first file finds the
    // office warm.
    if (WIFEXITED(status) && WEXITSTATUS(status) == RestartExitCode && restartsLeft_ > 0 &&
        !quitting_) {
        --restartsLeft_;
        launchPending_ = true;
        qCInfo(lcOffice) << "the office set up its new profile: starting it again";
    }
}

pid_t OfficeProcess::pid() const
{
    std::lock_guard lock(mutex_);
    return pid_;
}

QString OfficeProcess::pipeName() const
{
    std::lock_guard lock(mutex_);
    return pipeName_;
}

bool OfficeProcess::startedOnNewProfile() const
{
    std::lock_guard lock(mutex_);
    return newProfile_;
}

bool OfficeProcess::running() const
{
    std::lock_guard lock(mutex_);
    return launchPending_ || aliveLocked();
}

std::optional<int> OfficeProcess::exitCode() const
{
    std::lock_guard lock(mutex_);
    if (pid_ > 0 && exited_ && WIFEXITED(status_))
        return WEXITSTATUS(status_);
    return std::nullopt;
}

QString OfficeProcess::startError() const
{
    std::lock_guard lock(mutex_);
    return startError_;
}

std::uint64_t OfficeProcess::cpuTime() const
{
    std::lock_guard lock(mutex_);
    if (!aliveLocked())
        return 0;
    return ProcessCpuTicks(pid_);
}

std::uint64_t OfficeProcess::peakAddressSpace() const
{
    std::lock_guard lock(mutex_);
    if (!aliveLocked())
        return 0;
    return ProcessPeakAddressSpace(pid_);
}

QString OfficeProcess::tempDir() const
{
    return profileDir_ + QStringLiteral("/tmp");
}

void OfficeProcess::removeLeftoversLocked()
{
    RemoveOfficePipeSocket(pipeName_);
    RemoveOfficePipeSocket(singleInstancePipe_);
    clearTempDir();
}

void OfficeProcess::clearTempDir()
{
    // An office that was killed leaves its temporary folder behind (with
    // parts of the documents it worked on). No other office uses this
    // profile, and none of ours runs now.
    QDir(tempDir()).removeRecursively();
}
