#pragma once

#include <QChar>
#include <QString>

// Path text helpers. They split and repair path text only; none touches the
// file system. Each takes the separator so that Windows forms ("\") stay
// testable beside the native "/".
inline constexpr QChar NativeSeparator = u'/';

// Text after the last separator; the whole text when there is none.
QString GetFileName(const QString& path, QChar sep = NativeSeparator);
// Text up to and including the last separator; "" when there is none.
QString GetFolderPart(const QString& path, QChar sep = NativeSeparator);
// The text without its last extension. A leading dot is not an extension.
QString RemoveExtension(const QString& text);
// Reduces doubled separators in one pass. A leading run becomes the root:
// two backslashes (a network path) on Windows, one "/" on POSIX.
QString NormalizeBackslashes(const QString& path, QChar sep = NativeSeparator);

// File-system tests that never throw: every error means false.
bool PathExists(const QString& path);
bool IsFolder(const QString& path);

// The user's desktop folder with a closing separator; the home folder when
// there is no desktop folder.
QString GetDesktopFolder();
