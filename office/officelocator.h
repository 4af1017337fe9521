#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// An installed office suite: the program folder that holds both soffice.bin
// and fundamentalrc.
struct OfficeInstallation {
    QString programDir;
    QString executable() const { return programDir + QStringLiteral("/soffice.bin"); }
    QString fundamentalRc() const { return programDir + QStringLiteral("/fundamentalrc"); }
};

// The folders where an installation is looked for, in order: Debian's
// LibreOffice, /opt/libreoffice*, /opt/openoffice*, and the folder of a
// soffice found on PATH.
QStringList DefaultOfficeProgramDirs();

// The first candidate folder that holds an installation.
std::optional<OfficeInstallation>
LocateOffice(const QStringList& candidates = DefaultOfficeProgramDirs());
