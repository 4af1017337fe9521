#include "exportleftovers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Process ids have at most 7 digits (pid_max is at most 2^22).
constexpr int MaxPidDigits = 7;

bool isOfficeProcess(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "soffice.bin";
}

} // namespace

ExportLeftovers::ExportLeftovers(const QString& targetPath, qint64 officePid)
    : folder_(QFileInfo(targetPath).absolutePath()), officePid_(officePid), before_(present())
{
}

bool ExportLeftovers::madeBy(const QString& name, qint64 officePid,
                             const std::function<bool(qint64 pid)>& isOffice)
{
    static const QRegularExpression temporary(QStringLiteral("^lu([0-9]+)[0-9a-z]*\\.tmp$"));
    const QString id = QString::number(officePid);
    const auto match = temporary.match(name);
    // After the id comes at least one character of the counter.
    if (officePid <= 0 || !match.hasMatch() || !name.startsWith(QStringLiteral("lu") + id) ||
        name.size() <= 2 + id.size() + 4)
        return false;
    const QString digits = match.captured(1);
    for (int n = 1; n <= std::min(int(digits.size()), MaxPidDigits); ++n) {
        const qint64 other = digits.left(n).toLongLong();
        if (other != officePid && isOffice(other))
            return false;
    }
    return true;
}

QSet<QString> ExportLeftovers::present() const
{
    // The name filter comes first, so the other files of a large folder cost
    // no more than their directory entry.
    QSet<QString> names;
    if (officePid_ <= 0)
        return names;
    QDirIterator it(folder_, {QStringLiteral("lu%1*.tmp").arg(officePid_)},
                    QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        names.insert(it.fileName());
    }
    return names;
}

void ExportLeftovers::removeNew() const
{
    const QDir dir(folder_);
    for (const QString& name : present())
        if (!before_.contains(name) && madeBy(name, officePid_, isOfficeProcess))
            QFile::remove(dir.filePath(name));
}
