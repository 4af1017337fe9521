#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The folder of sample spreadsheets beside the program.
QString SampleFolder(const QString& programDir);
// Full paths of the files directly in that folder.
QStringList SampleFiles(const QString& programDir);
// Stores the sample paths, joined by "|", under "Snapshot".
void RecordSampleFiles(SettingsStore& settings, const QString& programDir);
