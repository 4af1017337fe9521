#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <climits>
#include <functional>
#include <set>
#include <sys/types.h>
#include <utility>

class Dialogs;

// A file or sub-folder that the scan would have taken but cannot reach: its
// name is not valid UTF-8, and a path is text here.
struct PassedOver {
    enum class Kind { File, Folder };
    // For people to read (see DisplayName); a folder's ends in "/".
    QString path;
    Kind kind = Kind::File;
    // Why, and what to do, as a sentence.
    QString reason() const;
};

// The one message about names that were not added ("and N more" after the
// tenth); paths as PassedOver::path gives them.
QString NotAddedMessage(const QStringList& paths);
// Shows that message when there are any.
void TellNotAdded(Dialogs& dialogs, const QStringList& paths);

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

    // What AddFolderTree could not take, in the order met (sub-folders as
    // they are walked, then the files folder by folder); empty when every
    // name could be taken.
    const QList<PassedOver>& passedOver() const { return passedOver_; }

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
    QList<PassedOver> passedOver_;
    QElapsedTimer sinceYield_;
};
