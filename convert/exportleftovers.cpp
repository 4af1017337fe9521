#include "exportleftovers.h"

#include "procstat.h"

#include <QDataStream>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

namespace {

// Process ids have at most 7 digits (pid_max is at most 2^22).
constexpr int MaxPidDigits = 7;

// In the office's profile, beside the office's own "user" folder.
const QString RecordName = QStringLiteral("tarnwick-export");

// A running office: an ended one that its parent has not reaped yet (a
// zombie) writes nothing any more.
bool isOfficeProcess(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false; // no process has such an id
    const auto stat = ReadProcStat(pid_t(pid));
    return stat && stat->command == "soffice.bin" && stat->state != 'Z';
}

} // namespace

ExportLeftovers::ExportLeftovers(const QString& targetPath, qint64 officePid,
                                 const QString& recordDir, const QString& ownFile)
    : folder_(QFileInfo(targetPath).absolutePath()), officePid_(officePid), before_(present()),
      record_(recordDir.isEmpty() || officePid <= 0 ? QString() : recordDir + u'/' + RecordName),
      ownFile_(ownFile)
{
    writeRecord();
}

ExportLeftovers::ExportLeftovers(QString folder, qint64 officePid, QSet<QString> before,
                                 QString record, QString ownFile)
    : folder_(std::move(folder)), officePid_(officePid), before_(std::move(before)),
      record_(std::move(record)), ownFile_(std::move(ownFile))
{
}

ExportLeftovers::~ExportLeftovers()
{
    if (!record_.isEmpty())
        QFile::remove(record_);
}

void ExportLeftovers::writeRecord() const
{
    if (record_.isEmpty())
        return;
    // Any character may be in a file name: the record is a data stream.
    QFile file(record_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return; // without a record only a kill of Tarnwick leaves the file
    QDataStream out(&file);
    out << folder_ << officePid_ << QStringList(before_.cbegin(), before_.cend()) << ownFile_;
}

void ExportLeftovers::removeOrphaned(const QString& profileRoot)
{
    const QDir root(profileRoot);
    for (const QString& profile : root.entryList({QStringLiteral("profile-*")}, QDir::Dirs)) {
        const QString record = root.filePath(profile + u'/' + RecordName);
        QFile file(record);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QDataStream in(&file);
        QString folder;
        qint64 officePid = 0;
        QStringList before;
        QString ownFile;
        in >> folder >> officePid >> before;
        if (!in.atEnd())
            in >> ownFile;
        file.close();
        if (in.status() != QDataStream::Ok || folder.isEmpty()) {
            QFile::remove(record); // cut short by the kill that it was meant for
            continue;
        }
        // A running office is still exporting, for a Tarnwick that runs.
        if (!isOfficeProcess(officePid))
            ExportLeftovers(folder, officePid, QSet<QString>(before.cbegin(), before.cend()),
                            record, ownFile)
                .removeNew();
    }
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
    if (!ownFile_.isEmpty())
        QFile::remove(ownFile_);
    // Only now: a kill in between must find the record still there.
    if (!record_.isEmpty())
        QFile::remove(record_);
}
