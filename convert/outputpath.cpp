#include "outputpath.h"

#include <QDir>

QString OutputFolder(const QString& folder, QChar sep)
{
    if (folder.isEmpty() || sep != NativeSeparator || !QDir::isRelativePath(folder))
        return folder;
    return QDir::homePath() + sep + folder;
}

QString OutputPathFor(const QString& source, const QString& folder, QChar sep)
{
    const QString base = RemoveExtension(GetFileName(source, sep));
    return NormalizeBackslashes(OutputFolder(folder, sep) + sep + base + QStringLiteral(".pdf"),
                                sep);
}

QString OutputChoiceProblem(bool intoFolder, bool besideSource, const QString& folder)
{
    if (!intoFolder && !besideSource)
        return QStringLiteral("No place for the results is selected. Please choose \"Save "
                              "results to this folder:\" or \"Save results in folder of "
                              "original file\".");
    if (!besideSource && !IsFolder(OutputFolder(folder)))
        return QStringLiteral("Folder does not exist. Please select another folder.");
    return {};
}
