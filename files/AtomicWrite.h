#pragma once
// Replacing a file's contents so that a reader, a crash or a full disk sees the old file or the
// new one, never a mixture or nothing: the shared helper of fileio/, for Qt strings.

#include <QByteArrayView>
#include <QString>

namespace scrivlet::files {

// Writes bytes to a temporary file in the target's folder, flushes it to the disk and renames
// it over the target. A symbolic link is written through to its target, and a replaced file
// keeps its permissions (and, where allowed, its owner). False, with the target untouched and
// no temporary file left, when the folder is missing or not writable, the target is not a
// regular file or is read-only (for root too), or writing fails.
bool replaceFileContents(const QString &path, QByteArrayView bytes);

} // namespace scrivlet::files
