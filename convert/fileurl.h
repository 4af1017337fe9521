#pragma once

#include "paths.h"

// The URL under which the office reads or writes a path: "file://" and an
// absolute POSIX path (file:///tmp/a.ods), or "file:///" and any other path
// with its separators as "/" (file:///C:/In/a.ods). "%", "#" and "?" are percent-encoded,
// because the office would otherwise decode "%41" as "A" or cut the name at
// "#" or "?". Every other character passes unchanged.
QString FileUrlFromPath(const QString& path, QChar sep = NativeSeparator);
