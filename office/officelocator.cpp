#include "officelocator.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QStringList DefaultOfficeProgramDirs()
{
    QStringList dirs{QStringLiteral("/usr/lib/libreoffice/program")};
    const QDir opt(QStringLiteral("/opt"));
    for (const auto* pattern : {"libreoffice*", "openoffice*"}) {
        const auto found =
            opt.entryList({QString::fromLatin1(pattern)}, QDir::Dirs | QDir::NoDotAndDotDot,
                          QDir::Name | QDir::Reversed); // newest version first
        for (const QString& name : found)
            dirs << opt.filePath(name + QStringLiteral("/program"));
    }
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (!onPath.isEmpty()) {
        // /usr/bin/soffice is usually a link into the program folder.
        dirs << QFileInfo(QFileInfo(onPath).canonicalFilePath()).absolutePath();
    }
    dirs.removeDuplicates();
    return dirs;
}

std::optional<OfficeInstallation> LocateOffice(const QStringList& candidates)
{
    for (const QString& dir : candidates) {
        const OfficeInstallation candidate{QDir::cleanPath(dir)};
        if (QFileInfo(candidate.executable()).isExecutable() &&
            QFileInfo::exists(candidate.fundamentalRc()))
            return candidate;
    }
    return std::nullopt;
}
