#pragma once

#include "uniquefd.h"

#include <QString>

// An exclusive lock on a file, held until the end of its life, when the
// file is removed. The kernel drops the lock when the holder ends however
// it ends, so no stale lock is ever left to detect, and taking it writes
// nothing to the disk.
class FileLock {
public:
    // Waits at most `waitMs` for another holder. The file is created (0600)
    // if missing; a link in its place is not followed.
    FileLock(const QString& path, int waitMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool locked() const { return locked_; }

private:
    QByteArray path_;
    UniqueFd fd_;
    bool locked_ = false;
};
