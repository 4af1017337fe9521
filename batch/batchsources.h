#pragma once

#include <QList>
#include <QString>

#include <functional>

class Dialogs;
struct BatchOptions;

// One file to convert and the PDF it gives.
struct BatchItem {
    QString source;
    QString pdf;
};

// A source that is not converted, and why.
struct BatchProblem {
    QString source;
    QString message;
};

struct BatchSources {
    // In the order of the command line, each folder's files in the order of
    // the folder scan.
    QList<BatchItem> items;
    QList<BatchProblem> problems;
};

// The files that the command line names: a file as it is, whatever its
// extension; a folder through the folder scan, its spreadsheets (.ods, .ots,
// .sxc, .stc) only. Each PDF goes beside its source, or into the output
// folder, where a folder's files keep their sub-folders. A source whose PDF
// an earlier source of the run gives already is a problem, not an item.
// `yield` lets the caller handle its events during long scans; the scan's
// unexpected errors are shown through `dialogs`.
BatchSources CollectSources(const BatchOptions& options, Dialogs& dialogs,
                            const std::function<void()>& yield);
