#pragma once

#include <QString>
#include <QtGlobal>

// A folder that no other user can enter, for the instance socket and its
// lock: the desktop's runtime folder ($XDG_RUNTIME_DIR) when it is one
// (this user's, mode 0700), or else <temporary folder>/tarnwick-<uid>, made
// with mode 0700 or given that mode back. Empty, with the reason logged as
// a warning, when that name is taken by another user or not a folder:
// /tmp is shared, and what another user made there cannot be trusted.
QString PrivateRuntimeFolder();

// Removes `path` when another user owns it: in a private folder only a
// mode that was once too open lets that happen.
void RemoveIfForeign(const QString& path);

// True when the peer of a connected local socket runs as this user.
bool PeerIsThisUser(qintptr socket);
