#include "officeprocess.h"

#include "officeerror.h"

#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
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

// The office reads file names as UTF-8 only under a UTF-8 locale.
QByteArrayList childEnvironment()
{
    QByteArrayList env;
    for (char** e = environ; *e; ++e)
        env << QByteArray(*e);
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
    pipeName_ = newPipeName();
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
        "--accept=pipe,name=" + pipeName_.toUtf8() + ";urp;StarOffice.ComponentContext",
    };
    QByteArrayList env = childEnvironment();
    // Everything the child needs is prepared before fork: between fork and
    // exec only async-signal-safe calls are allowed.
    auto argv = pointers(args);
    auto envp = pointers(env);
    const pid_t parent = ::getpid();

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
    exited_ = false;
    status_ = 0;
}

void OfficeProcess::reap(bool block)
{
    if (pid_ <= 0 || exited_)
        return;
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
        exited_ = true;
        status_ = r == pid_ ? status : 0;
    }
}

bool OfficeProcess::running()
{
    reap(false);
    return pid_ > 0 && !exited_;
}

std::optional<int> OfficeProcess::exitCode()
{
    reap(false);
    if (pid_ > 0 && exited_ && WIFEXITED(status_))
        return WEXITSTATUS(status_);
    return std::nullopt;
}

void OfficeProcess::stop()
{
    if (pid_ <= 0)
        return;
    if (running()) {
        ::kill(-pid_, SIGTERM);
        const QDeadlineTimer deadline(3000);
        while (running() && !deadline.hasExpired())
            QThread::msleep(10);
    }
    // Whatever is left of the group (the office itself or helpers it spawned).
    // Once reaped, the group id may belong to someone else: leave it alone.
    if (!exited_)
        ::kill(-pid_, SIGKILL);
    reap(true);
    pid_ = -1;
}
