#include "officecheck.h"

#include "apptitle.h"
#include "contact.h"
#include "dialogs.h"

QString OfficeMissingMessage()
{
    return QStringLiteral("Error 214878392") + QStringLiteral("\r\n\r\n") +
           QStringLiteral("OpenOffice is required to run this software. It is not installed on "
                          "this computer.") +
           QStringLiteral("\r\r") + QStringLiteral("Woud you like to open this site now?") +
           QStringLiteral("\r\n\r\n") +
           QStringLiteral("(If you think this error is a mistake and you have OpenOffice "
                          "installed, please email a screenshot of this error message and a "
                          "screenshot of the OpenOffice 'About' window to ") +
           SupportAddress + QStringLiteral(")");
}

std::optional<OfficeInstallation> CheckOfficeSuite(Dialogs& dialogs, const QStringList& candidates)
{
    if (auto installation = LocateOffice(candidates))
        return installation;
    if (dialogs.message(OfficeMissingMessage(), ApplicationTitle(), MessageButtons::YesNo,
                        MessageIcon::None) == MessageAnswer::Yes)
        dialogs.openUrl(OfficeDownloadPage);
    return std::nullopt;
}
