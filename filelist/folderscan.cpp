#include "folderscan.h"

#include "apptitle.h"
#include "dialogs.h"
#include "errors.h"
#include "fileattributes.h"
#include "guard.h"
#include "paths.h"

#include "directoryreader.h"
#include "nameorder.h"

#include <QFile>

#include <algorithm>

namespace {
constexpr qint64 YieldIntervalMs = 10;
// Where the walk's error reports say it went wrong.
const QString WalkLocation =
    QStringLiteral("in Fennick2021/08/31.AddFolder.GetSubDirectories2016 ");

// Folders with the attribute values 22 or 1046 (directory, system and
// hidden) are left out below the top. No folder carries the system bit here,
// so that rule never applies and a folder's attributes are not read.

struct SubFolder {
    QString name;
    dev_t device;
    ino_t inode;
};

void sortByName(QList<SubFolder>& folders)
{
    std::sort(folders.begin(), folders.end(), [](const SubFolder& a, const SubFolder& b) {
        return CompareNames(a.name, b.name) < 0;
    });
}

// The sub-folders of `folder` whose names survive the file-name encoding,
// in name order; the others, by their display names, go into `lost`.
// Raises 70 or 76 when the folder cannot be listed.
QList<SubFolder> subFolders(const QString& folder, QList<SubFolder>& lost)
{
    DirectoryReader dir(folder);
    QList<SubFolder> found;
    DirectoryReader::Entry entry;
    while (dir.next(entry)) {
        if (entry.type != DT_DIR && entry.type != DT_LNK && entry.type != DT_UNKNOWN)
            continue;
        struct stat st {};
        if (!dir.status(entry.name, st) || !S_ISDIR(st.st_mode))
            continue;
        if (SurvivesEncoding(entry.name))
            found.append({QFile::decodeName(entry.name), st.st_dev, st.st_ino});
        else
            lost.append({DisplayName(entry.name), st.st_dev, st.st_ino});
    }
    sortByName(found);
    sortByName(lost);
    return found;
}

// The scan's own rules: names beginning with "~" are left out, and so are
// hidden files that are not read-only (the value 34).
bool leftOutByRule(const QString& folder, const QByteArray& name)
{
    if (name.startsWith('~'))
        return true;
    if (!name.startsWith('.'))
        return false;
    try {
        return FileAttributes(folder, name) == (Attribute::Archive | Attribute::Hidden);
    } catch (const TarnwickError&) {
        return true;
    }
}
} // namespace

QString PassedOver::reason() const
{
    return kind == Kind::File
               ? QStringLiteral("Not converted: its name is not valid UTF-8, so it cannot be "
                                "opened by name here; rename it to convert it.")
               : QStringLiteral("Not searched: its name is not valid UTF-8, so it cannot be "
                                "opened by name here; rename it to convert the files in it.");
}

QString NotAddedMessage(const QStringList& paths)
{
    constexpr qsizetype MostListed = 10;
    const bool folders =
        std::any_of(paths.begin(), paths.end(), [](const QString& p) { return p.endsWith(u'/'); });
    QString text =
        QStringLiteral("These %1 not added, because their names are not valid UTF-8 "
                       "and cannot be opened by name here:\r")
            .arg(folders ? QStringLiteral("files and folders were") : QStringLiteral("files were"));
    for (const QString& path : paths.mid(0, MostListed))
        text += u'\r' + path;
    if (paths.size() > MostListed)
        text += QStringLiteral("\rand %1 more").arg(paths.size() - MostListed);
    return text + QStringLiteral("\r\rRename them to add them.");
}

void TellNotAdded(Dialogs& dialogs, const QStringList& paths)
{
    if (!paths.isEmpty())
        dialogs.message(NotAddedMessage(paths), ApplicationTitle(), MessageButtons::Ok,
                        MessageIcon::None);
}

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
    passedOver_.clear();
    sinceYield_.invalidate();
    QStringList folders{folder + NativeSeparator};
    struct stat top {};
    if (::stat(QFile::encodeName(folders.first()).constData(), &top) == 0)
        firstVisit(top.st_dev, top.st_ino);
    GetSubDirectories2016(folders, true);
    for (const QString& entry : folders) {
        offerYield();
        const QString dir = entry.chopped(1);
        // GetFolderFiles gives only regular files that can be examined; the
        // scan's own rules come on top.
        QList<QByteArray> lost;
        for (const QString& name : GetFolderFiles(dir, pattern, &lost)) {
            // The rules look at names beginning with these only.
            if ((name.startsWith(u'~') || name.startsWith(u'.')) &&
                leftOutByRule(dir, QFile::encodeName(name)))
                continue;
            append_(NormalizeBackslashes(dir + NativeSeparator + name));
        }
        for (const QByteArray& name : lost) {
            if (!leftOutByRule(dir, name))
                passedOver_.append({NormalizeBackslashes(dir + NativeSeparator + DisplayName(name)),
                                    PassedOver::Kind::File});
        }
    }
}

void FolderScan::GetSubDirectories2016(QStringList& list, bool recurse)
{
    Guard g(dialogs_, WalkLocation);
    QStringList found;

    // The walk phase: its errors drop the folder (70, 76) or end the work on
    // it (any other), silently.
    const QStringList entries = list;
    for (const QString& entry : entries) {
        if (!isFolder(entry) || QFile::encodeName(entry).size() >= MaxPathLength)
            continue;
        try {
            offerYield();
            QList<SubFolder> lost;
            for (const SubFolder& sub : subFolders(entry, lost)) {
                offerYield();
                const QString path = entry + sub.name + NativeSeparator;
                if (firstVisit(sub.device, sub.inode)) {
                    found << path;
                    found_.insert(path);
                }
            }
            // Not marked as visited: the same folder may still come by a
            // name that can be walked.
            for (const SubFolder& sub : lost) {
                if (!visited_.count({sub.device, sub.inode}))
                    passedOver_.append({NormalizeBackslashes(entry + sub.name + NativeSeparator),
                                        PassedOver::Kind::Folder});
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
