#include "fileattributes.h"

#include "directoryreader.h"
#include "errors.h"
#include "nameorder.h"

#include <QFile>

#include <cerrno>

int FileAttributes(const QString& path)
{
    if (path.isEmpty())
        RaiseFileError(ENOENT, path);
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    // The entry is examined in the folder that holds it; the root is "." in
    // itself.
    const qsizetype cut = trimmed.lastIndexOf(u'/');
    const QString folder = cut < 0 ? QStringLiteral(".") : trimmed.left(qMax<qsizetype>(cut, 1));
    const QString name = trimmed.mid(cut + 1);
    const QByteArray entry = name.isEmpty() ? QByteArray(".") : QFile::encodeName(name);
    const DirectoryReader dir(folder);
    struct stat link {};
    if (!dir.status(entry, link, false))
        RaiseFileError(errno, path);
    struct stat target = link;
    if (S_ISLNK(link.st_mode) && !dir.status(entry, target))
        target = link; // a dangling link: only the link itself is known
    int attributes = 0;
    if (S_ISDIR(target.st_mode))
        attributes |= Attribute::Directory;
    else if (S_ISREG(target.st_mode))
        attributes |= Attribute::Archive;
    if (S_ISLNK(link.st_mode))
        attributes |= Attribute::ReparsePoint;
    if (name.startsWith(u'.'))
        attributes |= Attribute::Hidden;
    if (!dir.writable(entry))
        attributes |= Attribute::ReadOnly;
    return attributes;
}

bool SurvivesEncoding(const QByteArray& name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

bool WildcardMatch(const QString& pattern, const QString& name)
{
    if (pattern == QStringLiteral("*.*") || pattern == QStringLiteral("*"))
        return true;
    // Iterative glob with one backtrack point, the usual linear-time form.
    qsizetype p = 0, n = 0, star = -1, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

QStringList GetFolderFiles(const QString& folder, const QString& pattern)
{
    QStringList names;
    try {
        DirectoryReader dir(folder.endsWith(u'/') ? folder : folder + u'/');
        DirectoryReader::Entry entry;
        while (dir.next(entry)) {
            // Folders and special files need no closer look. A name the
            // encoding cannot give back would name no file, or another one.
            if ((entry.type != DT_REG && entry.type != DT_LNK && entry.type != DT_UNKNOWN) ||
                !SurvivesEncoding(entry.name))
                continue;
            const QString name = QFile::decodeName(entry.name);
            if (!WildcardMatch(pattern, name))
                continue;
            // Openable: examinable (the folder may be read but not searched)
            // and a regular file.
            struct stat st {};
            if (dir.status(entry.name, st) && S_ISREG(st.st_mode))
                names << name;
        }
    } catch (const TarnwickError&) {
        return {}; // a folder that cannot be listed has no files to give
    }
    SortByName(names);
    return names;
}
