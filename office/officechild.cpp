#include "officechild.h"

#include "procstat.h"

#include <QByteArrayList>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const QString PipePrefix = QStringLiteral("tarnwick_");

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

QByteArray profileUrl(const QString& profileDir)
{
    return QUrl::fromLocalFile(profileDir).toEncoded();
}

QByteArrayList childArguments(const OfficeChild& child)
{
    return {
        QFile::encodeName(child.executable),
        "--headless",
        "--invisible",
        "--nologo",
        "--norestore",
        "--nolockcheck",
        "--nodefault",
        "-env:UserInstallation=" + profileUrl(child.profileDir),
        "--accept=pipe,name=" + child.pipeName.toUtf8() + ";urp;StarOffice.ComponentContext",
    };
}

std::vector<char*> pointers(QByteArrayList& list)
{
    std::vector<char*> out;
    for (QByteArray& item : list)
        out.push_back(item.data());
    out.push_back(nullptr);
    return out;
}

// Runs in the forked child, so only async-signal-safe calls: the child gets
// nothing of Tarnwick's but its environment, and dies with the thread that
// forked it.
[[noreturn]] void execOffice(pid_t parent, const rlimit& memory, char* const argv[],
                             char* const envp[])
{
    ::setsid();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) // the owner died before prctl took effect
        ::_exit(127);
    ::setrlimit(RLIMIT_AS, &memory);
    // Ignored signals (SIGPIPE) and the forking thread's mask would pass on
    // through exec.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        ::sigaction(sig, &byDefault, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // Tarnwick's descriptors without close-on-exec.
    ::close_range(3, ~0U, 0);
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

} // namespace

std::uint64_t DefaultOfficeMemoryCeiling()
{
    const auto physical = std::uint64_t(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGE_SIZE);
    return OfficeMemoryCeilingFor(physical);
}

QString NewOfficePipeName()
{
    return QStringLiteral("%1%2_%3")
        .arg(PipePrefix)
        .arg(::getpid())
        .arg(QRandomGenerator::global()->generate64(), 0, 36);
}

QString OfficePipeSocketPath(const QString& pipeName)
{
    // The office's own naming, whatever TMPDIR says.
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName);
}

void RemoveOfficePipeSocket(const QString& pipeName)
{
    if (!pipeName.isEmpty())
        QFile::remove(OfficePipeSocketPath(pipeName));
}

QString OfficeSingleInstancePipeName(const QString& profileDir)
{
    const QString url = QString::fromUtf8(profileUrl(profileDir));
    QByteArray utf16;
    for (const QChar c : url) {
        const char16_t unit = c.unicode();
        utf16.append(char(unit & 0xff)).append(char(unit >> 8));
    }
    QString name = QStringLiteral("SingleOfficeIPC_");
    for (const char byte : QCryptographicHash::hash(utf16, QCryptographicHash::Md5))
        name += QString::number(quint8(byte), 16);
    return name;
}

void RemoveOrphanedOfficePipeSockets()
{
    const QString prefix = QFileInfo(OfficePipeSocketPath(PipePrefix)).fileName();
    const QDir folder = QFileInfo(OfficePipeSocketPath(PipePrefix)).dir();
    for (const QString& name :
         folder.entryList({prefix + QStringLiteral("*")}, QDir::System | QDir::Hidden)) {
        bool isNumber = false;
        const pid_t owner = name.mid(prefix.size()).section(u'_', 0, 0).toInt(&isNumber);
        // Only an owner that is surely gone; a pid in use may be a Tarnwick.
        if (isNumber && owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH)
            QFile::remove(folder.filePath(name));
    }
}

pid_t ForkOffice(const OfficeChild& child)
{
    QByteArrayList args = childArguments(child);
    QByteArrayList env = childEnvironment(child.tempDir);
    // Everything the child needs is prepared before fork: between fork and
    // exec only async-signal-safe calls are allowed.
    auto argv = pointers(args);
    auto envp = pointers(env);
    const rlimit memory{child.memoryCeiling, child.memoryCeiling};
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        execOffice(parent, memory, argv.data(), envp.data());
    return pid;
}

std::uint64_t ProcessCpuTicks(pid_t pid)
{
    const auto stat = ReadProcStat(pid);
    return stat ? stat->userTicks + stat->systemTicks : 0;
}

std::uint64_t ProcessPeakAddressSpace(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').value(0).toULongLong() * 1024;
    return 0;
}
