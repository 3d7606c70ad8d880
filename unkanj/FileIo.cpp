#include "FileIo.h"

#include "fileio/AtomicReplace.h"
#include "fileio/Fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivlet::unkanj {

namespace {

using fileio::Fd;

std::string describe(const char *what, const std::string &path, int err)
{
    return std::string(what) + " \"" + path + "\": " + std::strerror(err);
}

} // namespace

bool readRegularFile(const std::string &path, std::string &data, FileId &id, std::string &error)
{
    const auto refuse = [&](const struct stat &st) {
        error = describe("cannot open source", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL) +
                " (not a regular file)";
        return false;
    };
    // Anything but a regular file is refused before it is opened: even a non-blocking open
    // wakes the writer of a FIFO, and a device may act on being opened.
    struct stat st
    {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return refuse(st);
    // O_NONBLOCK: a FIFO put in the file's place since must still not wait for a writer.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        error = describe("cannot open source", path, errno);
        return false;
    }
    if (!S_ISREG(st.st_mode))
        return refuse(st);
    id = {st.st_dev, st.st_ino};
    data.clear();
    // One byte more than the size, so that the read seeing the end needs no reallocation.
    data.reserve(static_cast<std::size_t>(st.st_size) + 1);
    // Read to the end rather than trusting the size: the file may change under us.
    for (;;) {
        if (data.size() == data.capacity())
            data.reserve(data.capacity() * 2);
        std::size_t old = data.size();
        data.resize(data.capacity());
        ssize_t n = ::read(fd.get(), data.data() + old, data.size() - old);
        data.resize(old + static_cast<std::size_t>(n > 0 ? n : 0));
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR) {
            error = describe("cannot read source", path, errno);
            return false;
        }
    }
    return true;
}

bool resolveLinks(const std::string &path, std::string &target, std::string &error)
{
    int err = 0;
    if (fileio::resolveLinks(path, target, err))
        return true;
    error = describe("cannot write destination", path, err);
    return false;
}

bool isSameFile(const std::string &path, const FileId &id)
{
    struct stat st
    {};
    return ::stat(path.c_str(), &st) == 0 && st.st_dev == id.device && st.st_ino == id.inode;
}

bool replaceFile(const std::string &target, std::string_view data, std::string &error)
{
    int err = 0;
    if (fileio::replaceFile(target, data, err))
        return true;
    error = describe("cannot write destination", target, err);
    if (err == EISDIR || err == EINVAL)
        error += " (not a regular file)";
    else if (err == EACCES)
        error += " (read-only)";
    return false;
}

} // namespace scrivlet::unkanj
