#pragma once

#include "contact.h"

#include <QString>

// The question asked at the start when no office suite is installed: Yes
// opens the office's download page.
inline QString OfficeMissingMessage()
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
