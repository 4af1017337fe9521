#include "officecheck.h"

#include "apptitle.h"
#include "dialogs.h"

std::optional<OfficeInstallation> CheckOfficeSuite(Dialogs& dialogs, const QString& question,
                                                   const QStringList& candidates)
{
    if (auto installation = LocateOffice(candidates))
        return installation;
    if (dialogs.message(question, ApplicationTitle(), MessageButtons::YesNo, MessageIcon::None) ==
        MessageAnswer::Yes)
        dialogs.openUrl(OfficeDownloadPage);
    return std::nullopt;
}
