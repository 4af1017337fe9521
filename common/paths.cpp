#include "paths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <stdexcept>
#include <sys/stat.h>

QString GetFileName(const QString& path, QChar sep)
{
    return path.mid(path.lastIndexOf(sep) + 1);
}

QString GetFolderPart(const QString& path, QChar sep)
{
    return path.left(path.lastIndexOf(sep) + 1);
}

QString RemoveExtension(const QString& text)
{
    const qsizetype dot = text.lastIndexOf(u'.');
    return dot <= 0 ? text : text.left(dot);
}

namespace {
// One left-to-right pass that replaces each pair of separators by one; the
// scan continues after the pair, so three in a row become two.
QString collapsePairs(QStringView text, QChar sep)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out.append(text[i]);
        if (text[i] == sep && i + 1 < text.size() && text[i + 1] == sep)
            ++i;
    }
    return out;
}
} // namespace

QString NormalizeBackslashes(const QString& path, QChar sep)
{
    // Nothing to reduce: no pair, and no single leading backslash to double.
    const QChar pair[] = {sep, sep};
    if (!QStringView(path).contains(QStringView(pair, 2)) &&
        !(path.startsWith(sep) && sep == u'\\'))
        return path;
    if (!path.startsWith(sep))
        return collapsePairs(path, sep);
    qsizetype rest = 1;
    while (rest < path.size() && path[rest] == sep)
        ++rest;
    // A Windows path that starts with separators is a network path (\\srv);
    // a POSIX one starts at the root, which is a single "/".
    const int rootLength = sep == u'\\' ? 2 : 1;
    return QString(rootLength, sep) + collapsePairs(QStringView(path).mid(rest), sep);
}

bool PathExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool IsFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString GetDesktopFolder()
{
    QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // Many systems have no desktop folder: the home folder stands in, so
    // that the default output folder exists.
    if (!desktop.isEmpty() && !IsFolder(desktop))
        desktop = QDir::homePath();
    if (desktop.isEmpty())
        throw std::invalid_argument("Invalid procedure call or argument");
    return desktop.endsWith(NativeSeparator) ? desktop : desktop + NativeSeparator;
}
