// Reading the source and replacing the destination without ever leaving half a file.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace scrivlet::unkanj {

struct FileId
{
    dev_t device = 0;
    ino_t inode = 0;
};

// Reads a regular file whole into data and sets id. Anything else (a missing file, a directory,
// a FIFO or a device, which could block or never end) fails with a message in error.
bool readRegularFile(const std::string &path, std::string &data, FileId &id, std::string &error);

// The path that writing through `path` should land on: the final target of a chain of symbolic
// links, dangling or not; the path itself when it is no link. Fails only on a loop.
bool resolveLinks(const std::string &path, std::string &target, std::string &error);

// Whether path names an existing file with the given id.
bool isSameFile(const std::string &path, const FileId &id);

// The shared atomic replacement of fileio/AtomicReplace.h, with a one-line reason on failure:
// the target is untouched and no temporary file remains, and a read-only or non-regular target
// is refused. Follows a link at target, though callers resolve it first to compare it with the
// source.
bool replaceFile(const std::string &target, std::string_view data, std::string &error);

} // namespace scrivlet::unkanj
