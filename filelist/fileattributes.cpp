#include "fileattributes.h"

#include "directoryreader.h"
#include "errors.h"
#include "nameorder.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

namespace {
// `name` is empty for the root, which is "." in itself; `path` names the
// entry in errors.
int attributesOf(const QString& folder, const QByteArray& name, const QString& path)
{
    const QByteArray entry = name.isEmpty() ? QByteArray(".") : name;
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
    if (name.startsWith('.'))
        attributes |= Attribute::Hidden;
    if (!dir.writable(entry))
        attributes |= Attribute::ReadOnly;
    return attributes;
}
} // namespace

int FileAttributes(const QString& path)
{
    if (path.isEmpty())
        RaiseFileError(ENOENT, path);
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(u'/'))
        trimmed.chop(1);
    // The entry is examined in the folder that holds it.
    const qsizetype cut = trimmed.lastIndexOf(u'/');
    const QString folder = cut < 0 ? QStringLiteral(".") : trimmed.left(qMax<qsizetype>(cut, 1));
    return attributesOf(folder, QFile::encodeName(trimmed.mid(cut + 1)), path);
}

int FileAttributes(const QString& folder, const QByteArray& name)
{
    return attributesOf(folder, name, folder + u'/' + DisplayName(name));
}

bool SurvivesEncoding(const QByteArray& name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

QString DisplayName(const QByteArray& name)
{
    QString shown;
    for (qsizetype i = 0; i < name.size();) {
        // The length that the lead byte announces; the decoder judges the
        // rest (overlong forms, surrogates).
        const auto lead = uchar(name[i]);
        const qsizetype length = lead < 0x80   ? 1
                                 : lead < 0xc2 ? 0
                                 : lead < 0xe0 ? 2
                                 : lead < 0xf0 ? 3
                                 : lead < 0xf5 ? 4
                                               : 0;
        const QByteArray character = name.mid(i, length);
        if (length > 0 && character.size() == length && SurvivesEncoding(character)) {
            shown += QFile::decodeName(character);
            i += length;
        } else {
            shown += QString::asprintf("\\x%02X", unsigned(lead));
            ++i;
        }
    }
    return shown;
}

QStringList UnrepresentableArguments(int argc, char* argv[])
{
    QStringList shown;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        shown << (SurvivesEncoding(argument) ? QString() : DisplayName(argument));
    }
    return shown;
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

QStringList GetFolderFiles(const QString& folder, const QString& pattern,
                           QList<QByteArray>* unrepresentable)
{
    QStringList names;
    QList<QByteArray> lost;
    try {
        DirectoryReader dir(folder.endsWith(u'/') ? folder : folder + u'/');
        DirectoryReader::Entry entry;
        while (dir.next(entry)) {
            // Folders and special files need no closer look. A name the
            // encoding cannot give back would name no file, or another one.
            if (entry.type != DT_REG && entry.type != DT_LNK && entry.type != DT_UNKNOWN)
                continue;
            const bool survives = SurvivesEncoding(entry.name);
            if (!survives && !unrepresentable)
                continue;
            const QString name = QFile::decodeName(entry.name);
            if (!WildcardMatch(pattern, name))
                continue;
            // Openable: examinable (the folder may be read but not searched)
            // and a regular file.
            struct stat st {};
            if (!dir.status(entry.name, st) || !S_ISREG(st.st_mode))
                continue;
            if (survives)
                names << name;
            else
                lost << entry.name;
        }
    } catch (const TarnwickError&) {
        return {}; // a folder that cannot be listed has no files to give
    }
    SortByName(names);
    if (unrepresentable) {
        std::sort(lost.begin(), lost.end());
        *unrepresentable << lost;
    }
    return names;
}
