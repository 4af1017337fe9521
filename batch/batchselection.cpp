#include "batchselection.h"

#include "argumentparser.h"
#include "errors.h"
#include "fileattributes.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

bool InShare(const QString& key, int shard, int shards)
{
    // FNV-1a, the same on every machine and in every version of Qt, then
    // mixed (MurmurHash3's finaliser): FNV's low bits alone follow only the
    // low bits of the bytes, and the share is taken from them.
    quint64 hash = 14695981039346656037ULL;
    for (const char byte : key.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 1099511628211ULL;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ULL;
    hash ^= hash >> 33;
    return int(hash % quint64(shards)) + 1 == shard;
}

void KeepShare(BatchSources& sources, int shard, int shards)
{
    if (shards <= 0)
        return;
    sources.items.removeIf(
        [&](const BatchItem& item) { return !InShare(item.shareKey, shard, shards); });
    sources.problems.removeIf(
        [&](const BatchProblem& problem) { return !InShare(problem.shareKey, shard, shards); });
}

bool PdfUpToDate(const QString& source, const QString& pdf)
{
    struct stat s {};
    struct stat p {};
    if (::stat(QFile::encodeName(source).constData(), &s) != 0 ||
        ::stat(QFile::encodeName(pdf).constData(), &p) != 0 || !S_ISREG(p.st_mode))
        return false;
    return p.st_mtim.tv_sec > s.st_mtim.tv_sec ||
           (p.st_mtim.tv_sec == s.st_mtim.tv_sec && p.st_mtim.tv_nsec >= s.st_mtim.tv_nsec);
}

QList<BatchItem> TakeUpToDate(BatchSources& sources)
{
    QList<BatchItem> upToDate;
    sources.items.removeIf([&](const BatchItem& item) {
        if (!PdfUpToDate(item.source, item.pdf))
            return false;
        for (const BatchItem& standIn : item.standIns)
            sources.problems.append(GivenByAnother(standIn, item.source));
        upToDate.append(item);
        return true;
    });
    return upToDate;
}

QList<Argument> ReadSourceList(const QString& list, bool null, const QString& workingDir)
{
    QFile file;
    const bool opened = list == u"-" ? file.open(stdin, QIODevice::ReadOnly)
                                     : (file.setFileName(list), file.open(QIODevice::ReadOnly));
    const QString shown = list == u"-" ? QStringLiteral("standard input") : list;
    if (!opened)
        throw TarnwickError(
            QStringLiteral("--files-from: %1 cannot be read: %2").arg(shown, file.errorString()));
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TarnwickError(
            QStringLiteral("--files-from: %1 cannot be read: %2").arg(shown, file.errorString()));
    const QDir base(workingDir);
    QList<Argument> sources;
    for (const QByteArray& entry : all.split(null ? '\0' : '\n')) {
        if (entry.isEmpty())
            continue;
        if (!SurvivesEncoding(entry))
            sources.append(
                {(entry.startsWith('/') ? QString() : workingDir + u'/') + DisplayName(entry),
                 true});
        else
            sources.append(
                {QDir::cleanPath(base.absoluteFilePath(QFile::decodeName(entry))), false});
    }
    return sources;
}
