#pragma once

#include <QString>

class Dialogs;

// The text of the report: the description, where it happened and a request
// to send a screenshot.
QString ErrorReportText(const QString& description, const QString& location, int line);

// Shows the report ("Application Error", warning icon, OK) and returns when
// the user has closed it.
void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line);
