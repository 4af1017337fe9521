#pragma once

#include "officelocator.h"

#include <QString>
#include <QUrl>

#include <optional>

class Dialogs;

// Where users get the office suite.
inline const QUrl OfficeDownloadPage(QStringLiteral("https://www.libreoffice.org/download/"));

// The question shown when no office suite is installed.
QString OfficeMissingMessage();

// Finds the office suite. When there is none, asks whether to open the
// download page, opens it on Yes and answers nullopt: the program must then
// end at once.
std::optional<OfficeInstallation>
CheckOfficeSuite(Dialogs& dialogs, const QStringList& candidates = DefaultOfficeProgramDirs());
