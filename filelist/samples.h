#pragma once

#include <QString>
#include <QStringList>

// The folder of sample spreadsheets beside the program.
QString SampleFolder(const QString& programDir);
// Full paths of the files directly in that folder, by name.
QStringList SampleFiles(const QString& programDir);
