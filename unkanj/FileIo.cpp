#include "FileIo.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivlet::unkanj {

namespace {

std::string describe(const char *what, const std::string &path, int err)
{
    return std::string(what) + " \"" + path + "\": " + std::strerror(err);
}

// Closes a descriptor on every way out.
class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;

    int get() const { return m_fd; }
    // Closes now and reports the error close gives (NFS reports write errors only there).
    int close()
    {
        int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

std::string directoryOf(const std::string &path)
{
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string &path)
{
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, std::string_view data)
{
    const char *p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// A fresh name for the temporary file: hidden, recognisable, unlikely to collide (and
// O_EXCL settles it when it does).
std::string temporaryName(const std::string &target)
{
    static std::atomic<unsigned> serial{0};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    unsigned long long seed = static_cast<unsigned long long>(now.tv_nsec) ^
                              (static_cast<unsigned long long>(::getpid()) << 20) ^
                              (static_cast<unsigned long long>(serial++) << 40);
    std::string suffix = ".unkanj-";
    for (int i = 0; i < 8; ++i) {
        suffix += "0123456789abcdefghijklmnopqrstuvwxyz"[seed % 36];
        seed /= 36;
    }
    // Keep the name within NAME_MAX whatever the target's length.
    std::string base = baseNameOf(target).substr(0, 200);
    std::string dir = directoryOf(target);
    return (dir == "/" ? std::string() : dir) + "/." + base + suffix;
}

} // namespace

bool readRegularFile(const std::string &path, std::string &data, FileId &id, std::string &error)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below anyway.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        error = describe("cannot open source", path, errno);
        return false;
    }
    struct stat st
    {};
    if (::fstat(fd.get(), &st) != 0) {
        error = describe("cannot open source", path, errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = describe("cannot open source", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL) +
                " (not a regular file)";
        return false;
    }
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
    target = path;
    // The kernel's own limit on links in one lookup.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true; // a new file, or one to replace; errors surface when writing
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
        ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return true;
        link.resize(static_cast<std::size_t>(n));
        if (link.empty())
            return true;
        target = link.front() == '/' ? link : directoryOf(target) + "/" + link;
    }
    error = describe("cannot write destination", path, ELOOP);
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
    struct stat old
    {};
    bool replacing = ::lstat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) {
        // Renaming over a directory, a device or a FIFO would destroy it.
        error =
            describe("cannot write destination", target, S_ISDIR(old.st_mode) ? EISDIR : EINVAL) +
            " (not a regular file)";
        return false;
    }
    // Created with the final permission bits (less the umask for a new file), so that the
    // contents are never readable by more people than the finished file will be.
    mode_t mode = replacing ? (old.st_mode & 0777) : 0666;

    std::string temporary;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temporary = temporaryName(target);
        raw = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (raw < 0 && errno != EEXIST)
            break;
    }
    if (raw < 0) {
        error = describe("cannot write destination", target, errno);
        return false;
    }
    Fd fd(raw);
    auto fail = [&](int err) {
        ::unlink(temporary.c_str());
        error = describe("cannot write destination", target, err);
        return false;
    };
    if (!writeAll(fd.get(), data) || ::fsync(fd.get()) != 0)
        return fail(errno);
    if (replacing) {
        // Owner and group first: a change of owner clears the set-id bits that fchmod then
        // restores. Not being allowed to give the file away is normal and not an error.
        struct stat now
        {};
        if (::fstat(fd.get(), &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid))
            (void)!::fchown(fd.get(), old.st_uid, old.st_gid);
        if (::fchmod(fd.get(), old.st_mode & 07777) != 0)
            (void)::fchmod(fd.get(), old.st_mode & 0777);
    }
    if (fd.close() != 0)
        return fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail(errno);
    // Make the rename itself durable; the data already is.
    Fd dir(::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        (void)::fsync(dir.get());
    return true;
}

} // namespace scrivlet::unkanj
