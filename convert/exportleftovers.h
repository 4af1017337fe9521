#pragma once

#include <QSet>
#include <QString>

#include <functional>

// While it exports, the office keeps a temporary file beside the target and
// drops it once the PDF is in place. Its name is "lu", the office's process
// id in decimal, a counter in base 36 and ".tmp" (measured: office 24607
// wrote lu24607139bl.tmp). An export that fails or is killed leaves it in
// the user's folder, where another office may be exporting at the same time.
class ExportLeftovers {
public:
    // Notes which temporary files of office `officePid` the target's folder
    // holds before the export. With `recordDir` (the office's private
    // profile), the export is also recorded there until this object ends, so
    // that a Tarnwick killed outright has its leftovers removed at the next
    // start (removeOrphaned). `ownFile`, when given, is a file that we made
    // for the export to write (PdfTarget), which goes with the leftovers.
    ExportLeftovers(const QString& targetPath, qint64 officePid, const QString& recordDir = {},
                    const QString& ownFile = {});
    ~ExportLeftovers();
    ExportLeftovers(const ExportLeftovers&) = delete;
    ExportLeftovers& operator=(const ExportLeftovers&) = delete;

    // Removes those that appeared since and that no other office can have
    // made; every other file stays. The record goes with them.
    void removeNew() const;

    // For every export recorded in a profile below `profileRoot` whose
    // office no longer runs: removes what it left, and the record.
    static void removeOrphaned(const QString& profileRoot);

    // True when `name` is a temporary file of office `officePid`. Each
    // office's names begin with its id, so a name whose digits also begin
    // with the id of another office (isOffice) may be that office's.
    static bool madeBy(const QString& name, qint64 officePid,
                       const std::function<bool(qint64 pid)>& isOffice);

private:
    ExportLeftovers(QString folder, qint64 officePid, QSet<QString> before, QString record,
                    QString ownFile);
    QSet<QString> present() const;
    void writeRecord() const;

    QString folder_;
    qint64 officePid_;
    QSet<QString> before_;
    QString record_;
    QString ownFile_;
};
