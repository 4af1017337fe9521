#include "errorreport.h"

#include "contact.h"
#include "dialogs.h"

QString ErrorReportText(const QString& description, const QString& location, int line)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") + SupportAddress;
}

void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line)
{
    dialogs.message(ErrorReportText(description, location, line),
                    QStringLiteral("Application Error"), MessageButtons::Ok, MessageIcon::Warning);
}
