#include "officeprocess.h"

#include "officeerror.h"

#include <QByteArrayList>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

QString newPipeName()
{
    return QStringLiteral("tarnwick_%1_%2")
        .arg(::getpid())
        .arg(QRandomGenerator::global()->generate64(), 0, 36);
}

bool isUtf8Locale(const QByteArray& name)
{
    const QByteArray lower = name.toLower();
    return lower.contains("utf-8") || lower.contains("utf8");
}

// The office reads file names as UTF-8 only under a UTF-8 locale. Its
// temporary files go into a folder of its own profile.
QByteArrayList childEnvironment(const QString& tempDir)
{
    QByteArrayList env;
    for (char** e = environ; *e; ++e)
        env << QByteArray(*e);
    env.removeIf([](const QByteArray& v) { return v.startsWith("TMPDIR="); });
    env << "TMPDIR=" + QFile::encodeName(tempDir);
    const QByteArray effective = !qgetenv("LC_ALL").isEmpty()     ? qgetenv("LC_ALL")
                                 : !qgetenv("LC_CTYPE").isEmpty() ? qgetenv("LC_CTYPE")
                                                                  : qgetenv("LANG");
    if (!isUtf8Locale(effective)) {
        env.removeIf([](const QByteArray& v) { return v.startsWith("LC_ALL="); });
        env << QByteArray("LC_ALL=C.UTF-8");
    }
    return env;
}

std::vector<char*> pointers(QByteArrayList& list)
{
    std::vector<char*> out;
    for (QByteArray& item : list)
        out.push_back(item.data());
    out.push_back(nullptr);
    return out;
}

} // namespace

OfficeProcess::OfficeProcess(OfficeInstallation installation, QString profileDir)
    : installation_(std::move(installation)), profileDir_(std::move(profileDir))
{
}

OfficeProcess::~OfficeProcess()
{
    stop();
}

void OfficeProcess::start()
{
    stop();
    newProfile_ = !QFileInfo::exists(profileDir_ + QStringLiteral("/user"));
    QDir().mkpath(profileDir_);
    clearTempDir();
    QDir().mkpath(tempDir());
    const QString pipeName = newPipeName();
    const QByteArray profileUrl = QUrl::fromLocalFile(profileDir_).toEncoded();
    QByteArrayList args{
        QFile::encodeName(installation_.executable()),
        "--headless",
        "--invisible",
        "--nologo",
        "--norestore",
        "--nolockcheck",
        "--nodefault",
        "-env:UserInstallation=" + profileUrl,
        "--accept=pipe,name=" + pipeName.toUtf8() + ";urp;StarOffice.ComponentContext",
    };
    QByteArrayList env = childEnvironment(tempDir());
    // Everything the child needs is prepared before fork: between fork and
    // exec only async-signal-safe calls are allowed.
    auto argv = pointers(args);
    auto envp = pointers(env);
    const pid_t parent = ::getpid();

    // The fork happens under the lock, so that abandon() either sees this
    // office or keeps it from starting.
    std::unique_lock lock(mutex_);
    if (abandoned_)
        throw OfficeError(QStringLiteral("The program is ending."));
    const pid_t pid = ::fork();
    if (pid < 0)
        throw OfficeError(QStringLiteral("The office suite could not be started: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (pid == 0) {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) // the owner died before prctl took effect
            ::_exit(127);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    pid_ = pid;
    pipeName_ = pipeName;
    exited_ = false;
    status_ = 0;
    lock.unlock();
    reaper_ = std::thread(&OfficeProcess::awaitExit, this, pid);
}

void OfficeProcess::awaitExit(pid_t pid)
{
    // WNOWAIT leaves the ended office unreaped until the lock is held, so a
    // signal sent under the lock never reaches a process that took its pid.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 &&
           errno == EINTR) {
    }
    std::lock_guard lock(mutex_);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        status = 0; // reaped elsewhere; nothing is known of how it ended
    exited_ = true;
    status_ = status;
    ended_.notify_all();
}

pid_t OfficeProcess::pid() const
{
    std::lock_guard lock(mutex_);
    return pid_;
}

bool OfficeProcess::running() const
{
    std::lock_guard lock(mutex_);
    return pid_ > 0 && !exited_;
}

std::optional<int> OfficeProcess::exitCode() const
{
    std::lock_guard lock(mutex_);
    if (pid_ > 0 && exited_ && WIFEXITED(status_))
        return WEXITSTATUS(status_);
    return std::nullopt;
}

void OfficeProcess::signal(int sig)
{
    std::lock_guard lock(mutex_);
    signalLocked(sig, false);
}

void OfficeProcess::signalLocked(int sig, bool group)
{
    if (pid_ <= 0 || exited_)
        return;
    // Right after the fork the child may not have made its own group yet,
    // so the office itself is always signalled too.
    if (group)
        ::kill(-pid_, sig);
    ::kill(pid_, sig);
}

void OfficeProcess::abandon()
{
    std::unique_lock lock(mutex_);
    abandoned_ = true;
    signalLocked(SIGKILL, true);
    // A killed office is gone within milliseconds; its files are removed
    // only once it can no longer write them.
    if (pid_ > 0)
        ended_.wait_for(lock, std::chrono::milliseconds(500), [this] { return exited_; });
    if (!pipeName_.isEmpty())
        QFile::remove(pipeSocketPath());
    clearTempDir();
}

QString OfficeProcess::pipeSocketPath() const
{
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName_);
}

void OfficeProcess::stop()
{
    std::unique_lock lock(mutex_);
    if (pid_ <= 0)
        return;
    // Politely first, then the whole group (the office and any helper it
    // spawned) by force.
    signalLocked(SIGTERM, true);
    ended_.wait_for(lock, std::chrono::seconds(3), [this] { return exited_; });
    signalLocked(SIGKILL, true);
    ended_.wait(lock, [this] { return exited_; });
    pid_ = -1;
    lock.unlock();
    reaper_.join();
    clearTempDir();
}

QString OfficeProcess::tempDir() const
{
    return profileDir_ + QStringLiteral("/tmp");
}

void OfficeProcess::clearTempDir()
{
    // An office that was killed leaves its temporary folder behind (with
    // parts of the documents it worked on). No other office uses this
    // profile, and none of ours runs now.
    QDir(tempDir()).removeRecursively();
}
