#include "outputpath.h"

#include <QDir>

QString OutputPathFor(const QString& source, const QString& folder, QChar sep)
{
    const QString base = RemoveExtension(GetFileName(source, sep));
    const QString absolute = sep == NativeSeparator && QDir::isRelativePath(folder)
                                 ? QDir::currentPath() + sep + folder
                                 : folder;
    return NormalizeBackslashes(absolute + sep + base + QStringLiteral(".pdf"), sep);
}

QString OutputChoiceProblem(bool intoFolder, bool besideSource, const QString& folder)
{
    if (!intoFolder && !besideSource)
        return QStringLiteral("No place for the results is selected. Please choose \"Save "
                              "results to this folder:\" or \"Save results in folder of "
                              "original file\".");
    if (!besideSource && !IsFolder(folder))
        return QStringLiteral("Folder does not exist. Please select another folder.");
    return {};
}
