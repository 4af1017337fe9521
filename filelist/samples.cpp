#include "samples.h"

#include "apptitle.h"
#include "dialogs.h"
#include "fileattributes.h"
#include "filelistmodel.h"
#include "paths.h"
#include "settingsstore.h"

#include <QUrl>

#include <algorithm>

QString SampleFolder(const QString& programDir)
{
    return programDir + QStringLiteral("/Samples");
}

namespace {
// "|" may occur in a path here; NUL is the one character that cannot. Each
// path ends with one, so even a single recorded path tells the form apart
// from the "|"-joined record that earlier versions stored.
constexpr QChar PathEnd = u'\0';

QStringList RecordedSamples(const SettingsStore& settings)
{
    const QString recorded = settings.GetSetting(Setting::Snapshot);
    if (recorded.contains(PathEnd))
        return recorded.split(PathEnd, Qt::SkipEmptyParts);
    return recorded.isEmpty() ? QStringList() : recorded.split(u'|');
}
} // namespace

void RecordSampleFiles(SettingsStore& settings, const QString& programDir)
{
    QString record;
    for (const QString& name : GetFolderFiles(SampleFolder(programDir), QStringLiteral("*.*")))
        record += SampleFolder(programDir) + NativeSeparator + name + PathEnd;
    settings.SaveSetting(Setting::Snapshot, record);
}

void LoadSampleFiles(FileListModel& list, SettingsStore& settings, Dialogs& dialogs,
                     const QString& programDir)
{
    // An absent key and an empty one both give no path.
    QStringList paths = RecordedSamples(settings);
    // Not one recorded file left: the program runs from another folder now
    // (the build tree, then the installed package). Its own samples count.
    if (!paths.isEmpty() && std::none_of(paths.cbegin(), paths.cend(), PathExists)) {
        RecordSampleFiles(settings, programDir);
        paths = RecordedSamples(settings);
    }
    for (const QString& path : paths) {
        if (PathExists(path) && !list.ListContains(path))
            list.AppendFileRow(path);
    }
    const auto answer = dialogs.message(
        QStringLiteral("Would you like this software to open the folder where these sample files "
                       "are stored (so that you can view them before working with them)?"),
        ApplicationTitle(), MessageButtons::YesNo, MessageIcon::None);
    if (answer == MessageAnswer::Yes)
        dialogs.openUrl(QUrl::fromLocalFile(SampleFolder(programDir) + NativeSeparator));
}
