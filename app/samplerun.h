#pragma once

#include <QString>

class Dialogs;

// What the program does until its main window exists: finds the office,
// converts the bundled samples into outputDir and prints each result.
// Returns the process exit code.
int RunSampleConversion(Dialogs& dialogs, const QString& programDir, const QString& outputDir);
