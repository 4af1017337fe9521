#include "fileattributes.h"

#include "errors.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int PermissionDenied = 70;
constexpr int PathNotFound = 76;

[[noreturn]] void raiseFor(int error, const QString& path)
{
    if (error == EACCES || error == EPERM)
        throw TarnwickError(QStringLiteral("Permission denied: %1").arg(path), PermissionDenied);
    throw TarnwickError(QStringLiteral("Path not found: %1").arg(path), PathNotFound);
}

bool isDotName(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}
} // namespace

int FileAttributes(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(native.constData(), &link) != 0)
        raiseFor(errno, path);
    struct stat target = link;
    if (S_ISLNK(link.st_mode) && ::stat(native.constData(), &target) != 0)
        target = link; // a dangling link: only the link itself is known
    int attributes = 0;
    if (S_ISDIR(target.st_mode))
        attributes |= Attribute::Directory;
    else if (S_ISREG(target.st_mode))
        attributes |= Attribute::Archive;
    if (S_ISLNK(link.st_mode))
        attributes |= Attribute::ReparsePoint;
    QString name = path;
    while (name.size() > 1 && name.endsWith(u'/'))
        name.chop(1);
    if (name.section(u'/', -1).startsWith(u'.'))
        attributes |= Attribute::Hidden;
    if (::access(native.constData(), W_OK) != 0)
        attributes |= Attribute::ReadOnly;
    return attributes;
}

bool IsExistingFile(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasUnusableChars(const QString& name)
{
    for (const QChar c : name) {
        const ushort code = c.unicode();
        if (code < 32 || (code >= 127 && code <= 159) || code == u'?' || c.isSurrogate() ||
            code == 0xFFFD)
            return true;
    }
    return QFile::decodeName(QFile::encodeName(name)) != name;
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
    const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
    DIR* dir = ::opendir(QFile::encodeName(base).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        if (isDotName(entry->d_name))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (!WildcardMatch(pattern, name))
            continue;
        // The directory entry's type saves a stat for plain files.
        if (entry->d_type == DT_REG ||
            (entry->d_type != DT_DIR && entry->d_type != DT_FIFO && entry->d_type != DT_SOCK &&
             entry->d_type != DT_CHR && entry->d_type != DT_BLK && IsExistingFile(base + name)))
            names << name;
    }
    ::closedir(dir);
    return names;
}
