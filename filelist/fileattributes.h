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
// The same for an entry of `folder` named by its bytes, which need not
// survive the encoding.
int FileAttributes(const QString& folder, const QByteArray& name);

// True when the bytes of a name read from the file system come back
// unchanged through the file-name encoding; a name that does not cannot be
// reached again from its text. This alone decides which names the scan
// takes (it reports the others): "?" and control characters are legal in
// names here.
bool SurvivesEncoding(const QByteArray& name);
// A name for people to read: each byte that is not part of a valid UTF-8
// character as \xFF, the rest as text.
QString DisplayName(const QByteArray& name);
// For each of main()'s arguments after the program name: the display form
// of one that does not survive the encoding, a null string for the others.
QStringList UnrepresentableArguments(int argc, char* argv[]);

// Wildcard match: "*" any run, "?" any one character, letters without
// regard to case; "*.*" matches every name.
bool WildcardMatch(const QString& pattern, const QString& name);

// Names of the files directly in `folder` that match `pattern` and can be
// opened as regular files (a folder, a FIFO, a socket or a device never
// counts: opening a FIFO blocks), hidden ones included, in name order.
// Names that would count but do not survive the encoding go, as bytes, into
// `unrepresentable` when it is given.
QStringList GetFolderFiles(const QString& folder, const QString& pattern,
                           QList<QByteArray>* unrepresentable = nullptr);
