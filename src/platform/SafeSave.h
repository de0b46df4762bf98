#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes as the whole new content of the file at path without ever
// leaving a half-written file behind. The bytes go to a new file in the same
// folder, which takes the place of the old file only after every write, the
// flush to disk and the close succeeded; on any failure the new file is
// removed and the old file stays exactly as it was. Returns true on success.
//
// - A replaced file keeps its permission bits (and its owner and group where
//   the system allows); a new file gets the usual bits of the user's umask.
// - A symbolic link stays a link: the file it points to is replaced.
// - A target that exists but is no regular file (a device such as /dev/full)
//   has no content to keep: it is written directly.
// - A write-protected target or folder is never written: one this process may
//   not write, or one whose permission bits grant write access to nobody. The
//   second rule holds even for the administrator, who could otherwise replace
//   a file the user marked read-only.
// - Paths are limited only by the system.
bool SaveFileSafely(const QString& path, const QByteArray& bytes);
