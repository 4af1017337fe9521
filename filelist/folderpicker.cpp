#include "folderpicker.h"

#include "dialogs.h"

namespace {
bool isRoot(const QString& folder, QChar sep)
{
    // "/" on POSIX; "C:\" on Windows.
    return folder == QString(sep) || (folder.size() == 3 && folder[1] == u':' && folder[2] == sep);
}
} // namespace

QString BrowseForFolder(Dialogs& dialogs, const QString& prompt, const QString& initialFolder,
                        QChar sep)
{
    QString chosen = dialogs.browseForFolder(prompt, initialFolder);
    while (chosen.endsWith(sep) && !isRoot(chosen, sep))
        chosen.chop(1);
    return chosen;
}
