#include "folderscan.h"

#include "errors.h"
#include "fileattributes.h"
#include "guard.h"
#include "locations.h"
#include "paths.h"

#include "directoryreader.h"
#include "nameorder.h"

#include <QFile>

#include <algorithm>

namespace {
constexpr qint64 YieldIntervalMs = 10;

// Folders with the attribute values 22 or 1046 (directory, system and
// hidden) are left out below the top. No folder carries the system bit here,
// so that rule never applies and a folder's attributes are not read.

struct SubFolder {
    QString name;
    dev_t device;
    ino_t inode;
};

// The sub-folders of `folder` whose names survive the file-name encoding,
// in name order. Raises 70 or 76 when the folder cannot be listed.
QList<SubFolder> subFolders(const QString& folder)
{
    DirectoryReader dir(folder);
    QList<SubFolder> found;
    DirectoryReader::Entry entry;
    while (dir.next(entry)) {
        if (entry.type != DT_DIR && entry.type != DT_LNK && entry.type != DT_UNKNOWN)
            continue;
        struct stat st {};
        if (!SurvivesEncoding(entry.name) || !dir.status(entry.name, st) || !S_ISDIR(st.st_mode))
            continue;
        found.append({QFile::decodeName(entry.name), st.st_dev, st.st_ino});
    }
    std::sort(found.begin(), found.end(), [](const SubFolder& a, const SubFolder& b) {
        return CompareNames(a.name, b.name) < 0;
    });
    return found;
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

bool FolderScan::firstVisit(dev_t device, ino_t inode)
{
    return visited_.insert({device, inode}).second;
}

void FolderScan::AddFolderTree(const QString& folder, const QString& pattern)
{
    visited_.clear();
    found_.clear();
    sinceYield_.invalidate();
    QStringList folders{folder + NativeSeparator};
    struct stat top {};
    if (::stat(QFile::encodeName(folders.first()).constData(), &top) == 0)
        firstVisit(top.st_dev, top.st_ino);
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
        if (!isFolder(entry) || QFile::encodeName(entry).size() >= MaxPathLength)
            continue;
        try {
            offerYield();
            for (const SubFolder& sub : subFolders(entry)) {
                offerYield();
                const QString path = entry + sub.name + NativeSeparator;
                if (firstVisit(sub.device, sub.inode)) {
                    found << path;
                    found_.insert(path);
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
