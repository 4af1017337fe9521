#pragma once

#include "paths.h"

// Where the PDF of `source` goes inside `folder`: the source's file name with
// its last extension replaced by ".pdf". The folder may end in a separator
// or not; doubled separators are reduced.
QString OutputPathFor(const QString& source, const QString& folder, QChar sep = NativeSeparator);
