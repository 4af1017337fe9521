#include "folderscan.h"

#include "errors.h"
#include "fileattributes.h"
#include "guard.h"
#include "locations.h"
#include "paths.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {
constexpr int PermissionDenied = 70;
constexpr int PathNotFound = 76;
constexpr qint64 YieldIntervalMs = 10;

// Folders with the attribute values 22 or 1046 (directory, system and
// hidden) are left out below the top. No folder carries the system bit here,
// so that rule never applies and a folder's attributes are not read.

// The names of the sub-folders of `folder`, in the order the file system
// lists them. Raises 70 or 76 when the folder cannot be listed.
QStringList subFolderNames(const QString& folder)
{
    const QByteArray native = QFile::encodeName(folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir) {
        const int error = errno;
        throw TarnwickError(QStringLiteral("Cannot list %1").arg(folder),
                            error == EACCES || error == EPERM ? PermissionDenied : PathNotFound);
    }
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        bool isDir = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            isDir = ::stat((native + entry->d_name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (isDir)
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}
} // namespace

FolderScan::FolderScan(Dialogs& dialogs, AppendRow append, Yield yield)
    : dialogs_(dialogs), append_(std::move(append)), yield_(std::move(yield))
{
}

void FolderScan::offerYield()
{
    if (sinceYield_.isValid() && sinceYield_.elapsed() < YieldIntervalMs)
        return;
    yield_();
    sinceYield_.start();
}

bool FolderScan::isFolder(const QString& folder) const
{
    return found_.contains(folder) || IsFolder(folder);
}

bool FolderScan::firstVisit(const QString& folder)
{
    struct stat st {};
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return true; // not examinable: the walk's own tests decide
    return visited_.insert({st.st_dev, st.st_ino}).second;
}

void FolderScan::AddFolderTree(const QString& folder, const QString& pattern)
{
    visited_.clear();
    found_.clear();
    sinceYield_.invalidate();
    QStringList folders{folder + NativeSeparator};
    firstVisit(folders.first());
    GetSubDirectories2016(folders, true);
    for (const QString& entry : folders) {
        offerYield();
        const QString dir = entry.chopped(1);
        // GetFolderFiles lists only files that pass IsExistingFile.
        for (const QString& name : GetFolderFiles(dir, pattern)) {
            if (name.startsWith(u'~'))
                continue;
            const QString path = dir + NativeSeparator + name;
            // Only a hidden, writable, plain file has the value 34; the
            // attributes are read only for names that can be hidden.
            if (name.startsWith(u'.')) {
                try {
                    if (FileAttributes(path) == (Attribute::Archive | Attribute::Hidden))
                        continue;
                } catch (const TarnwickError&) {
                    continue;
                }
            }
            append_(NormalizeBackslashes(path));
        }
    }
}

void FolderScan::GetSubDirectories2016(QStringList& list, bool recurse)
{
    Guard g(dialogs_, Location::GetSubDirectories2016);
    QStringList found;

    // The walk phase: its errors drop the folder (70, 76) or end the work on
    // it (any other), silently.
    const QStringList entries = list;
    for (const QString& entry : entries) {
        if (!isFolder(entry) || entry.size() >= MaxPathLength)
            continue;
        try {
            offerYield();
            for (const QString& name : subFolderNames(entry)) {
                offerYield();
                if (name.size() >= MaxPathLength || HasUnusableChars(name) || name.contains(u'?') ||
                    name == QStringLiteral(".") || name == QStringLiteral(".."))
                    continue;
                const QString sub = entry + name + NativeSeparator;
                if (firstVisit(sub)) {
                    found << sub;
                    found_.insert(sub);
                }
            }
        } catch (...) {
            const CaughtError error = DescribeCurrentException();
            if (error.number == PermissionDenied || error.number == PathNotFound)
                list.removeOne(entry);
        }
    }

    if (g.test(100, [&] { return recurse && !found.isEmpty(); }))
        g.line(102, [&] { GetSubDirectories2016(found, recurse); });

    // The merge phase.
    for (const QString& sub : found) {
        if (!g.test(104, [&] { return isFolder(sub); }))
            continue;
        g.line(106, [&] {
            offerYield();
            list << sub;
        });
    }
}
