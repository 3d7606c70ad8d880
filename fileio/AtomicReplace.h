// Replacing a file's contents so that a reader, a crash or a full disk sees the old file or the
// new one, never a mixture or nothing. Shared by the converter library and the file layer.
#pragma once

#include <string>
#include <string_view>

struct stat;

namespace scrivlet::fileio {

// The folder of path: "." for a bare name, "/" for a name in the root.
std::string directoryOf(const std::string &path);

// Whether anyone may write to the folder and it is sticky, as /tmp is: any user may have taken a
// name there first, with a link or a file of their own.
bool isSharedStickyFolder(const struct stat &folder);

// The path that writing through `path` lands on: the final target of a chain of symbolic links,
// dangling or not; the path itself when it is no link. False (errno ELOOP) on a loop, and
// (EACCES) on a link of another user in a sticky folder anyone may write to, which the kernel
// would not follow either.
bool resolveLinks(const std::string &path, std::string &target, int &error);

// Writes data to a new file beside the target and renames it over the target, after flushing it
// to the disk. A symbolic link at path is written through to its final target. A replaced file
// keeps its permission bits (and, where allowed, owner and group); a new file gets 0666 less the
// umask, and the contents are never readable by more users than the finished file.
//
// A file this process cannot give back to its owner and group (another user's, written through
// a group or an access list) is written in place instead, from the finished temporary file, so
// that it stays its owner's. Room for the contents is taken first; should the write still fail,
// the temporary file is left holding them.
//
// Refused, with the old file untouched and no temporary file left, when:
//   - the target exists and is no regular file (a directory, FIFO or device): EISDIR or EINVAL;
//   - the target is read-only: no write bit at all in its mode, or no write access for this
//     process. The mode is checked as such because root's writes ignore it, and renaming over
//     a file would go round it anyway: EACCES;
//   - the folder cannot take the new file, or writing, flushing or renaming fails (a full
//     disk): the errno of that step.
// error receives the errno; false on failure.
bool replaceFile(const std::string &path, std::string_view data, int &error);

// Creates path as a new, empty file that no more users may read than model: the model's
// permission bits (with read and write for the owner), group and access list. Where the group or
// the list cannot be given, or there is no model, the group or everyone but the owner lose their
// bits. Returns the file open for writing, for the caller to close: written through it, the
// file cannot be swapped for a link by the time it is written. -1 (EEXIST, or the errno of the
// step) when path names anything already.
int createFileLike(const std::string &model, const std::string &path, int &error);

} // namespace scrivlet::fileio
