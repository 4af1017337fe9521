#include "privatefolder.h"

#include "applog.h"
#include "uniquefd.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t PrivateMode = 0700;

bool isPrivate(const struct stat& status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & 07777) == PrivateMode;
}

QString refuse(const QString& folder, const char* reason)
{
    qCWarning(lcInstance, "%s %s; later starts will open windows of their own", qPrintable(folder),
              reason);
    return {};
}

} // namespace

QString PrivateRuntimeFolder()
{
    const QString desktop = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat status {};
    if (QDir::isAbsolutePath(desktop) && ::stat(QFile::encodeName(desktop), &status) == 0 &&
        isPrivate(status))
        return desktop;

    const QString own = QDir::tempPath() + QStringLiteral("/tarnwick-%1").arg(::geteuid());
    const QByteArray name = QFile::encodeName(own);
    if (::mkdir(name.constData(), PrivateMode) != 0 && errno != EEXIST)
        return refuse(own, std::strerror(errno));
    // Held open, so that the folder checked is the folder changed; a link
    // is not followed.
    const UniqueFd folder(
        ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder || ::fstat(folder.get(), &status) != 0)
        return refuse(own, "is not a folder");
    if (status.st_uid != ::geteuid())
        return refuse(own, "belongs to another user");
    if ((status.st_mode & 07777) != PrivateMode && ::fchmod(folder.get(), PrivateMode) != 0)
        return refuse(own, std::strerror(errno));
    return own;
}

void RemoveIfForeign(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) == 0 && status.st_uid != ::geteuid())
        ::unlink(name.constData());
}

bool PeerIsThisUser(qintptr socket)
{
    struct ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::geteuid();
}
