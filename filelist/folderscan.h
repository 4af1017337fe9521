#pragma once

#include <QElapsedTimer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <climits>
#include <functional>
#include <set>
#include <sys/types.h>
#include <utility>

class Dialogs;

// The folder-tree scan behind "Add All File(s) In Folder" and a dropped
// folder. Folder lists hold paths that end in "/"; the walk is breadth first,
// each folder's entries in name order.
// It offers the event loop a turn at every walked folder, sub-folder name,
// merged entry and listed folder, and takes it when 10 ms have passed since
// the last one: the window stays responsive without paying for a turn at
// every name.
class FolderScan {
public:
    using AppendRow = std::function<void(const QString& path)>;
    using Yield = std::function<void()>;

    FolderScan(Dialogs& dialogs, AppendRow append, Yield yield);

    // Appends every qualifying file under `folder` whose name matches
    // `pattern`, the folder's own files first, then level by level.
    void AddFolderTree(const QString& folder, const QString& pattern);

    // Appends to `list` the qualifying sub-folders of its entries, and with
    // `recurse` theirs too, level by level. Folders that cannot be listed
    // (errors 70 and 76) are dropped silently; other errors are reported.
    void GetSubDirectories2016(QStringList& list, bool recurse);

    // Folder paths (in bytes, with their closing separator) of this
    // platform's path limit or longer are not walked: nothing could open
    // what lies below them.
    static constexpr int MaxPathLength = PATH_MAX;

private:
    // False when the folder was met before in this scan (a link back to an
    // ancestor would otherwise make the walk endless).
    bool firstVisit(dev_t device, ino_t inode);
    // IsFolder, answered without a system call for folders the walk found.
    bool isFolder(const QString& folder) const;
    void offerYield();

    Dialogs& dialogs_;
    AppendRow append_;
    Yield yield_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    QSet<QString> found_;
    QElapsedTimer sinceYield_;
};
