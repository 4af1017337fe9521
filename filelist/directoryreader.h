#pragma once

#include "uniquefd.h"

#include <QByteArray>
#include <QString>

#include <dirent.h>
#include <sys/stat.h>

// One open folder. It owns its handle and closes it when it goes; entries
// are examined with fstatat on that handle, never through a rebuilt path,
// and their type comes from the listing itself where the file system gives
// it.
class DirectoryReader {
public:
    // Raises TarnwickError 70 or 76 when the folder cannot be opened. Only
    // search permission on the way to it is needed; reading its entries
    // needs read permission as well (see next()).
    explicit DirectoryReader(const QString& folder);
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    enum class Kind { File, Folder, Other };
    struct Entry {
        QByteArray name; // the file system's bytes
        unsigned char type = DT_UNKNOWN;
    };

    // The next entry, "." and ".." left out; false at the end. Raises 70 or
    // 76 when the folder cannot be listed.
    bool next(Entry& entry);
    // What the entry is, links followed: a regular file, a folder, or
    // anything else (a device, a FIFO, a dangling link, an entry that may not
    // be examined).
    Kind kind(const Entry& entry) const;
    // The status of a name in this folder; false when it cannot be examined.
    bool status(const QByteArray& name, struct stat& st, bool followLinks = true) const;
    // Whether the mode lets this user write the entry (links followed): the
    // bit of the owner, of the group or of others, whichever class applies.
    bool writable(const QByteArray& name) const;

    const QString& folder() const { return folder_; }

private:
    QString folder_;
    UniqueFd fd_;
    DIR* listing_ = nullptr;
};
