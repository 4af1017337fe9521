#pragma once

#include <QString>

#include <sys/types.h>

// Which file a path reaches, links followed: two paths that give the same
// identity name one file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
    // Nothing when the path cannot be examined.
    static bool of(const QString& path, FileIdentity& identity);
};
size_t qHash(const FileIdentity& id, size_t seed = 0);

// Raises TarnwickError when the PDF path reaches the source itself, by the
// same text, a symbolic link or a hard link: the export would replace the
// spreadsheet (or the PDF given as the source) with its own rendering.
void RefuseSourceAsPdf(const QString& source, const QString& pdf);

// The PDF path with its folder's links resolved; the last part stays as it
// is, since a link there is replaced, never written through (PdfTarget). A
// folder that does not exist yet keeps the part that is missing as text.
QString RealPdfPath(const QString& pdf);

// Where the export writes the PDF. Normally its own path: the office writes
// a temporary file beside it and renames it into place. The office writes
// through a symbolic link and into a file with other hard links, which would
// change the file that the name shares (a spreadsheet, maybe); such a PDF
// is exported to a new file of ours beside it that then replaces the name.
class PdfTarget {
public:
    // Raises TarnwickError when the new file cannot be made.
    explicit PdfTarget(const QString& pdf);
    // Removes the new file unless it was put in place.
    ~PdfTarget();
    PdfTarget(const PdfTarget&) = delete;
    PdfTarget& operator=(const PdfTarget&) = delete;

    // Where the office is to write.
    const QString& exportPath() const { return exportPath_; }
    // The new file of ours, or "" when the export writes the PDF itself.
    QString ownFile() const { return exportPath_ == pdf_ ? QString() : exportPath_; }
    // Puts the written file under the PDF's name. Raises TarnwickError when
    // it cannot.
    void commit();

private:
    QString pdf_;
    QString exportPath_;
    bool committed_ = false;
};
