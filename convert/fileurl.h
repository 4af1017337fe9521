#pragma once

#include "paths.h"

// The URL under which the office reads or writes a path: "file:///" and the
// path with its separators as "/". "%", "#" and "?" are percent-encoded,
// because the office would otherwise decode "%41" as "A" or cut the name at
// "#" or "?". Every other character passes unchanged.
QString FileUrlFromPath(const QString& path, QChar sep = NativeSeparator);
