#pragma once

#include "paths.h"

// Where the PDF of `source` goes inside `folder`: the source's file name with
// its last extension replaced by ".pdf". The folder may end in a separator
// or not; doubled separators are reduced. A relative folder is taken inside
// the working folder, the one against which the run's folder test resolves
// it, so the export never aims at a folder below the root.
QString OutputPathFor(const QString& source, const QString& folder, QChar sep = NativeSeparator);

// Why the run cannot put its results anywhere, or "" when it can: with
// neither output option selected (only stored settings can do that) there is
// no folder to export into; with results going into the chosen folder, that
// folder must exist.
QString OutputChoiceProblem(bool intoFolder, bool besideSource, const QString& folder);
