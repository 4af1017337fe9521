#include "officeprofile.h"

#include "officeerror.h"

#include <QDir>
#include <QStandardPaths>

QString DefaultOfficeProfileRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/office-profiles");
}

HeldOfficeProfile TakeOfficeProfile(const QString& profileRoot)
{
    QDir().mkpath(profileRoot);
    for (int n = 0;; ++n) {
        const QString profile = QStringLiteral("%1/profile-%2").arg(profileRoot).arg(n);
        auto lock = std::make_unique<QLockFile>(profile + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0))
            return {profile, std::move(lock)};
        // Held by another Tarnwick: try the next. Anything else will not
        // get better with another number.
        if (lock->error() != QLockFile::LockFailedError)
            throw OfficeError(
                QStringLiteral("The office profile folder cannot be used: %1").arg(profileRoot));
    }
}

void ClearIdleProfileTemps(const QString& profileRoot)
{
    const QDir root(profileRoot);
    const QStringList profiles = root.entryList({QStringLiteral("profile-*")}, QDir::Dirs);
    for (const QString& name : profiles) {
        bool numbered = false;
        name.mid(8).toUInt(&numbered);
        if (!numbered)
            continue;
        // The lock that the session takes: held, the profile is in use; a
        // dead Tarnwick's is taken over.
        QLockFile lock(root.filePath(name + QStringLiteral(".lock")));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            QDir(root.filePath(name + QStringLiteral("/tmp"))).removeRecursively();
    }
}
