#pragma once

#include "paths.h"

class Dialogs;

// Lets the user choose one folder, starting at `initialFolder` ("" for the
// browser's own start). The chosen folder has no closing separator unless it
// is the root; "" means cancelled.
QString BrowseForFolder(Dialogs& dialogs, const QString& prompt, const QString& initialFolder,
                        QChar sep = NativeSeparator);
