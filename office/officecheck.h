#pragma once

#include "officelocator.h"

#include <QString>
#include <QUrl>

#include <optional>

class Dialogs;

// Where users get the office suite.
inline const QUrl OfficeDownloadPage(QStringLiteral("https://www.libreoffice.org/download/"));

// Finds the office suite. When there is none, asks `question` (whether to
// open the download page: the program's own text), opens it on Yes and
// answers nullopt: the program must then end at once.
std::optional<OfficeInstallation>
CheckOfficeSuite(Dialogs& dialogs, const QString& question,
                 const QStringList& candidates = DefaultOfficeProgramDirs());
