#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <vector>

class Dialogs;
struct BatchOptions;

// One file to convert and the PDF it gives.
struct BatchItem {
    QString source;
    QString pdf;
    // The path below the argument that named the source (a file argument:
    // its name), with the PDF's name: what --shard shares out by, the same
    // on every machine that sees the tree, and the same for every source of
    // one PDF.
    QString shareKey;
    // Later sources that give the same PDF, in their order: the next one is
    // tried when this one fails.
    std::vector<BatchItem> standIns;
};

// A source that is not converted, and why.
struct BatchProblem {
    QString source;
    QString message;
    QString shareKey;
    // The PDF it would have given; empty when there is none to name.
    QString pdf;
};

struct BatchSources {
    // In the order of the command line, each folder's files in the order of
    // the folder scan.
    QList<BatchItem> items;
    QList<BatchProblem> problems;
};

// The problem to tell for a stand-in whose PDF another source gave.
BatchProblem GivenByAnother(const BatchItem& standIn, const QString& first);

// The files that the command line names: a file as it is, whatever its
// extension; a folder through the folder scan, its spreadsheets (.ods, .ots,
// .sxc, .stc) only. Each PDF goes beside its source, or into the output
// folder, where a folder's files keep their sub-folders. A source that is a
// file met before is a problem; one whose PDF an earlier source gives is
// that source's stand-in.
// `yield` lets the caller handle its events during long scans; the scan's
// unexpected errors are shown through `dialogs`.
BatchSources CollectSources(const BatchOptions& options, Dialogs& dialogs,
                            const std::function<void()>& yield);
