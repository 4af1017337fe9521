#pragma once

#include "paths.h"

// The output folder as typed, with a relative one taken inside the home
// folder: the same setting then means the same folder however Tarnwick was
// started (a menu, a terminal in any folder). The empty text stays empty.
QString OutputFolder(const QString& folder, QChar sep = NativeSeparator);

// Where the PDF of `source` goes inside `folder` (through OutputFolder): the
// source's file name with its last extension replaced by ".pdf". The folder
// may end in a separator or not; doubled separators are reduced.
QString OutputPathFor(const QString& source, const QString& folder, QChar sep = NativeSeparator);

// Why the run cannot put its results anywhere, or "" when it can: with
// neither output option selected (only stored settings can do that) there is
// no folder to export into; with results going into the chosen folder, that
// folder (through OutputFolder) must exist.
QString OutputChoiceProblem(bool intoFolder, bool besideSource, const QString& folder);
