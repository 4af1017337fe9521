#pragma once

#include "batchsources.h"

#include <QList>
#include <QString>

struct Argument;

// Which of the collected sources this run converts.

// True when `key` falls into share `shard` of `shards` (1-based): a stable
// hash of its UTF-8 text, so that runs on other machines agree, and every
// key falls into exactly one share.
bool InShare(const QString& key, int shard, int shards);

// Keeps only the items and problems of this run's share.
void KeepShare(BatchSources& sources, int shard, int shards);

// True when the PDF is there and not older than the source: a PDF appears
// under its name only once it is complete, so a newer one was made from the
// source as it is.
bool PdfUpToDate(const QString& source, const QString& pdf);

// Takes out the items whose PDF is up to date and gives them back; their
// stand-ins become problems, as when the item converts.
QList<BatchItem> TakeUpToDate(BatchSources& sources);

// The sources that a --files-from list names, in its order: one per line, or
// with `null` separated by NUL bytes; empty entries are left out, relative
// names are taken from `workingDir`. `list` is a file or "-" for standard
// input. Raises TarnwickError when it cannot be read.
QList<Argument> ReadSourceList(const QString& list, bool null, const QString& workingDir);
