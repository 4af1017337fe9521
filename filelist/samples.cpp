#include "samples.h"

#include "settingsstore.h"

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

void RecordSampleFiles(SettingsStore& settings, const QString& programDir)
{
    // TODO(sample files): list the folder in file-system order with the
    // folder scan's file listing once that exists.
    settings.SaveSetting(QStringLiteral("Snapshot"), SampleFiles(programDir).join(u'|'));
}
