#include "filelock.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>

namespace {
// The holder before us removes the file as it lets go: a lock taken on
// that removed file locks nothing, and the file at the path is new.
bool StillAtPath(int fd, const QByteArray& path)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}
} // namespace

FileLock::FileLock(const QString& path, int waitMs) : path_(QFile::encodeName(path))
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (!fd_)
            fd_.reset(::open(path_.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!fd_)
            return;
        if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) {
            if (StillAtPath(fd_.get(), path_)) {
                locked_ = true;
                return;
            }
            fd_.reset();
            continue;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
            fd_.reset();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

FileLock::~FileLock()
{
    if (locked_)
        ::unlink(path_.constData());
}
