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
// Attribute values whose folders are left out below the top: directory,
// system and hidden, with or without the reparse point.
constexpr int SystemFolder = 22;
constexpr int SystemFolderLink = 1046;

bool isSystemFolder(int attributes)
{
    return attributes == SystemFolder || attributes == SystemFolderLink;
}

bool isRoot(const QString& entry)
{
    return QStringView(entry).count(u'/') == qsizetype(entry.size());
}

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
    QStringList folders{folder + NativeSeparator};
    firstVisit(folders.first());
    GetSubDirectories2016(folders, true);
    for (const QString& entry : folders) {
        const QString dir = entry.chopped(1);
        for (const QString& name : GetFolderFiles(dir, pattern)) {
            if (name.startsWith(u'~'))
                continue;
            const QString path = dir + NativeSeparator + name;
            // Only a hidden, writable, plain file has the value 34; the
            // attributes are read only for names that can be hidden.
            if (!IsExistingFile(path))
                continue;
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
        if (!IsFolder(entry) || entry.size() >= MaxPathLength)
            continue;
        try {
            yield_();
            if (!isRoot(entry) && isSystemFolder(FileAttributes(entry)))
                continue;
            for (const QString& name : subFolderNames(entry)) {
                yield_();
                if (name.size() >= MaxPathLength || HasUnusableChars(name) || name.contains(u'?') ||
                    name == QStringLiteral(".") || name == QStringLiteral(".."))
                    continue;
                const QString sub = entry + name + NativeSeparator;
                if (firstVisit(sub))
                    found << sub;
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
        if (!g.test(104, [&] { return IsFolder(sub); }))
            continue;
        g.line(106, [&] {
            yield_();
            if (isRoot(sub) || !isSystemFolder(FileAttributes(sub)))
                list << sub;
        });
    }
}
