#include "procstat.h"

#include <QFile>
#include <QList>

std::optional<ProcStat> ReadProcStat(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The command name may itself hold spaces and parentheses: the fields
    // are counted after its last parenthesis.
    const QByteArray text = file.readAll();
    const qsizetype nameStart = text.indexOf('(');
    const qsizetype nameEnd = text.lastIndexOf(')');
    if (nameStart < 0 || nameEnd < nameStart)
        return std::nullopt;
    // From field 3, the state, on.
    const QList<QByteArray> fields = text.mid(nameEnd + 2).split(' ');
    if (fields.size() < 13 || fields[0].size() != 1)
        return std::nullopt;
    ProcStat stat;
    stat.command = text.mid(nameStart + 1, nameEnd - nameStart - 1);
    stat.state = fields[0][0];
    stat.userTicks = fields[11].toULongLong();
    stat.systemTicks = fields[12].toULongLong();
    return stat;
}
