#pragma once

#include <QString>
#include <QStringList>

class Dialogs;
class FileListModel;
class SettingsStore;

// The folder of sample spreadsheets beside the program.
QString SampleFolder(const QString& programDir);
// Stores the full paths of the files in the sample folder under "Snapshot",
// each followed by a NUL character. A record of paths joined by "|", as
// earlier versions stored it, is still read.
void RecordSampleFiles(SettingsStore& settings, const QString& programDir);
// Appends the recorded samples that exist and are not listed yet, then asks
// whether to open the sample folder. When none of the recorded files exists
// any more, the samples beside the program are recorded again first.
void LoadSampleFiles(FileListModel& list, SettingsStore& settings, Dialogs& dialogs,
                     const QString& programDir);
