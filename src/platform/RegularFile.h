#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The whole content of a regular file (symbolic links followed) of at most
// maxBytes bytes. Nothing for a missing or unreadable file, for anything that
// is no regular file (a folder, a pipe, a device such as /dev/zero: opening
// and reading such a thing could block or never end) and for a larger file.
// At most maxBytes + 1 bytes are ever read, so a file that grows while it is
// read, or whose reported size is wrong, cannot make the read go on without
// bound; a file that shrinks while it is read gives the bytes that were left.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes);
