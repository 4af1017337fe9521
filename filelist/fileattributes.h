#pragma once

#include <QString>
#include <QStringList>

// The Windows attribute bits that the folder scan's rules are written in,
// mapped onto POSIX: directory 16; hidden 2 = the name begins with ".";
// read-only 1 = not writable by this user; archive 32 = every regular file;
// reparse point 1024 = a symbolic link; system 4 never.
namespace Attribute {
inline constexpr int ReadOnly = 1;
inline constexpr int Hidden = 2;
inline constexpr int System = 4;
inline constexpr int Directory = 16;
inline constexpr int Archive = 32;
inline constexpr int ReparsePoint = 1024;
} // namespace Attribute

// The attribute bits of a path. Raises TarnwickError 70 (permission denied)
// or 76 (path not found) when the path cannot be examined.
int FileAttributes(const QString& path);

// True when the bytes of a name read from the file system come back
// unchanged through the file-name encoding; a name that does not cannot be
// reached again from its text. This alone decides which names the scan
// takes: "?" and control characters are legal in names here.
bool SurvivesEncoding(const QByteArray& name);

// Wildcard match: "*" any run, "?" any one character, letters without
// regard to case; "*.*" matches every name.
bool WildcardMatch(const QString& pattern, const QString& name);

// Names of the files directly in `folder` that match `pattern` and can be
// opened as regular files (a folder, a FIFO, a socket or a device never
// counts: opening a FIFO blocks), hidden ones included, in name order.
QStringList GetFolderFiles(const QString& folder, const QString& pattern);
