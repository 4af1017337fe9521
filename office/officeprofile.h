#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// The private office profiles: where they live, which one an office takes,
// and what an idle one keeps.

// The default place for the office profiles: the user's cache folder.
QString DefaultOfficeProfileRoot();

// One profile below the profile root, held by its lock for as long as the
// lock lives.
struct HeldOfficeProfile {
    QString dir;
    std::unique_ptr<QLockFile> lock;
};
// Two offices must never share a profile, so each Tarnwick takes the first
// profile that no other Tarnwick holds. Raises an OfficeError when the
// profile root cannot be used.
HeldOfficeProfile TakeOfficeProfile(const QString& profileRoot);

// Empties the tmp/ folder of every profile under profileRoot that no running
// Tarnwick holds: an office killed with its Tarnwick leaves its temporary
// files there, and a later run may never take that profile again.
void ClearIdleProfileTemps(const QString& profileRoot);
