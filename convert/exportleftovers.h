#pragma once

#include <QSet>
#include <QString>

// While it exports, the office keeps a temporary file beside the target ("lu"
// followed by letters and digits, ".tmp") and drops it once the PDF is in
// place; with document locking on it also puts a lock file there. An export
// that fails or is killed leaves these in the user's folder.
class ExportLeftovers {
public:
    // Notes which such files the target's folder holds before the export.
    explicit ExportLeftovers(const QString& targetPath);
    // Removes those that appeared since; files that were there before stay.
    void removeNew() const;

    // True for the names of the office's temporary files of an export to
    // `targetName`.
    static bool isOfficeLeftover(const QString& name, const QString& targetName);

private:
    QSet<QString> present() const;

    QString folder_;
    QString targetName_;
    QSet<QString> before_;
};
