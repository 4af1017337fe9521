#include "samples.h"

#include "apptitle.h"
#include "dialogs.h"
#include "fileattributes.h"
#include "filelistmodel.h"
#include "paths.h"
#include "settingsstore.h"

#include <QUrl>

QString SampleFolder(const QString& programDir)
{
    return programDir + QStringLiteral("/Samples");
}

void RecordSampleFiles(SettingsStore& settings, const QString& programDir)
{
    QStringList paths;
    for (const QString& name : GetFolderFiles(SampleFolder(programDir), QStringLiteral("*.*")))
        paths << SampleFolder(programDir) + NativeSeparator + name;
    settings.SaveSetting(Setting::Snapshot, paths.join(u'|'));
}

void LoadSampleFiles(FileListModel& list, SettingsStore& settings, Dialogs& dialogs,
                     const QString& programDir)
{
    // An absent key and an empty one both give no path.
    const QString recorded = settings.GetSetting(Setting::Snapshot);
    if (!recorded.isEmpty()) {
        for (const QString& path : recorded.split(u'|')) {
            if (PathExists(path) && !list.ListContains(path))
                list.AppendFileRow(path);
        }
    }
    const auto answer = dialogs.message(
        QStringLiteral("Would you like this software to open the folder where these sample files "
                       "are stored (so that you can view them before working with them)?"),
        ApplicationTitle(), MessageButtons::YesNo, MessageIcon::None);
    if (answer == MessageAnswer::Yes)
        dialogs.openUrl(QUrl::fromLocalFile(SampleFolder(programDir) + NativeSeparator));
}
