#pragma once

#include "pdftools.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class OfficeSession;

// Files and checks for tests that drive the real office.
namespace fixtures {

// The sample spreadsheets of the source tree.
QString samplesDir();
// A copy of `source` cut to half its size.
void writeTruncatedCopy(const QString& source, const QString& target);
void writeTextFile(const QString& target, const QByteArray& content);
// A one-page PDF that says "Tarnwick fixture PDF".
void writeMinimalPdf(const QString& target);
// Every entry below `folder` (relative path) with what it holds: a file's
// SHA-1, a link's target. Comparing two tells what a run changed.
QMap<QString, QByteArray> snapshot(const QString& folder);
// `source` saved again by the office with an opening password.
void writePasswordProtectedCopy(OfficeSession& session, const QString& source,
                                const QString& target, const QString& password);
// soffice.bin processes whose command line mentions `marker` (a profile path).
QList<pid_t> officeProcessesMentioning(const QString& marker);
// Waits until the process has gone (up to timeoutMs); true when it has. A
// zombie counts as gone: it has ended, only its parent's wait is missing.
bool waitForProcessGone(pid_t pid, int timeoutMs);
// True while the process table holds the pid, zombies included.
bool inProcessTable(pid_t pid);
// The paths of the Unix sockets that the process holds bound.
QStringList socketPathsOf(pid_t pid);
// A flat spreadsheet of `rows` rows of `columns` text cells, hundreds of
// pages in a PDF: its export takes long enough to be caught in the middle.
// With 999999999 of both it asks the office for some 10^18 cells.
void writeLongSheet(const QString& target, int rows, int columns = 8);

// A flat spreadsheet with a 1200-ppi picture and a cell that links to
// `linkHref`.
void writePictureAndLinkSheet(const QString& target, const QString& linkHref);
// What `pdfimages -list` says of a PDF's pictures.
QString pdfImagesList(const QString& pdfPath);

} // namespace fixtures
