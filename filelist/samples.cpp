#include "samples.h"

#include <QDir>

QString SampleFolder(const QString& programDir)
{
    return programDir + QStringLiteral("/Samples");
}

QStringList SampleFiles(const QString& programDir)
{
    const QDir folder(SampleFolder(programDir));
    QStringList paths;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        paths << folder.filePath(name);
    return paths;
}
