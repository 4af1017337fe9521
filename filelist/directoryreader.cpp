#include "directoryreader.h"

#include "errors.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {
bool inGroup(gid_t group)
{
    if (group == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(count);
    groups.resize(std::max(::getgroups(count, groups.data()), 0));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}
} // namespace

DirectoryReader::DirectoryReader(const QString& folder) : folder_(folder)
{
    fd_.reset(::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!fd_)
        RaiseFileError(errno, folder);
}

DirectoryReader::~DirectoryReader()
{
    if (listing_)
        ::closedir(listing_); // closes the descriptor it was made from
}

bool DirectoryReader::next(Entry& entry)
{
    if (!listing_) {
        // The handle above may only be searched; the listing needs one that
        // may be read.
        UniqueFd readable(::openat(fd_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!readable)
            RaiseFileError(errno, folder_);
        listing_ = ::fdopendir(readable.get());
        if (!listing_)
            RaiseFileError(errno, folder_);
        readable.release(); // the listing owns it now
    }
    while (const dirent* found = ::readdir(listing_)) {
        const char* name = found->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        entry.name = QByteArray(name);
        entry.type = found->d_type;
        return true;
    }
    return false;
}

DirectoryReader::Kind DirectoryReader::kind(const Entry& entry) const
{
    if (entry.type == DT_REG)
        return Kind::File;
    if (entry.type == DT_DIR)
        return Kind::Folder;
    if (entry.type != DT_LNK && entry.type != DT_UNKNOWN)
        return Kind::Other;
    struct stat st {};
    if (!status(entry.name, st))
        return Kind::Other;
    return S_ISREG(st.st_mode) ? Kind::File : S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other;
}

bool DirectoryReader::status(const QByteArray& name, struct stat& st, bool followLinks) const
{
    return ::fstatat(fd_.get(), name.constData(), &st, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) == 0;
}

bool DirectoryReader::writable(const QByteArray& name) const
{
    // The mode's write bit of this user's class, as for an ordinary user
    // even when we run as root (who may write anything); access() still
    // answers for read-only mounts.
    struct stat st {};
    if (!status(name, st) || ::faccessat(fd_.get(), name.constData(), W_OK, AT_EACCESS) != 0)
        return false;
    if (st.st_uid == ::geteuid())
        return st.st_mode & S_IWUSR;
    return st.st_mode & (inGroup(st.st_gid) ? S_IWGRP : S_IWOTH);
}
