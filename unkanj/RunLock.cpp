#include "RunLock.h"

#include "fileio/AtomicReplace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace scrivlet::unkanj {

namespace {

// Hidden, beside the work file "Convert.html_".
constexpr const char *kLockName = ".Convert.html_.lock";

// Opens the lock file. Never follows a link (a planted link in a shared directory must not make
// us create or lock another file) and never hands the descriptor to a child process (which would
// keep the lock up long after we finish).
//
// Every user who may write the work file beside it must be able to lock it: where the folder is
// open to others' writes, the file is readable by all, whatever the umask; elsewhere it is this
// user's alone, or anyone could hold it and keep every conversion waiting. In a sticky folder
// anyone may write to (/tmp, where the lock goes when there is no runtime folder) each user has a
// lock of their own, and one of another user's under that name was planted for the same end: it
// is not used.
int openLockFile(const std::string &path)
{
    struct stat folder
    {};
    const bool known = ::stat(fileio::directoryOf(path).c_str(), &folder) == 0;
    const bool sharedTemporary = known && fileio::isSharedStickyFolder(folder);
    const mode_t mode =
        known && !sharedTemporary && (folder.st_mode & (S_IWGRP | S_IWOTH)) ? 0644 : 0600;
    const auto create = [&] {
        const int made =
            ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (made >= 0)
            (void)::fchmod(made, mode); // whatever the umask
        return made;
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
        fd = create();
        if (fd < 0 && errno == EEXIST)
            fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    }
    if (fd < 0)
        return -1;
    struct stat st
    {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        (sharedTemporary && st.st_uid != ::geteuid())) {
        ::close(fd);
        return -1;
    }
    // A lock made readable by others (before its folder was closed to them, or by an older
    // copy) is made anew: a change of its bits would not stop those who had it open already. One
    // whose folder was opened to others since is opened to them too.
    if (st.st_uid == ::geteuid() && (st.st_mode & 0777 & ~mode) != 0) {
        ::close(fd);
        if (::unlink(path.c_str()) != 0)
            return -1;
        fd = create();
    } else if (st.st_uid == ::geteuid() && (st.st_mode & 0777) != mode) {
        (void)::fchmod(fd, mode);
    }
    return fd;
}

int flockRetrying(int fd, int operation)
{
    int result;
    do
        result = ::flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

std::string lockPathFor(const std::string &programDirectory)
{
    std::string folder = programDirectory;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    // The same test that puts the work file there.
    if (!folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0)
        return (folder == "/" ? std::string() : folder) + "/" + kLockName;

    // FNV-1a: a stable name per program directory, no cryptography needed.
    unsigned long long hash = 14695981039346656037ULL;
    for (unsigned char c : folder) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char name[96];
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st
    {};
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &st) == 0 &&
        S_ISDIR(st.st_mode)) {
        std::snprintf(name, sizeof name, "/scrivlet-unkanj-%016llx.lock", hash);
        return runtime + std::string(name);
    }
    std::snprintf(name, sizeof name, "/tmp/scrivlet-unkanj-%u-%016llx.lock",
                  static_cast<unsigned>(::getuid()), hash);
    return name;
}

bool isConversionRunning(const std::string &path)
{
    if (path.empty())
        return false;
    int fd = openLockFile(path);
    if (fd < 0)
        return false; // no file: nobody ever converted since boot; unreadable: cannot tell
    bool running = flockRetrying(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // also lets go of the lock we may just have taken
    return running;
}

RunLock::RunLock(const std::string &path) : m_fd(path.empty() ? -1 : openLockFile(path))
{
    if (m_fd < 0)
        return;
    // Only a probe of isConversionRunning() holds the lock exclusively, for microseconds; give
    // up after a fifth of a second, which only someone holding it on purpose can cause.
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (flockRetrying(m_fd, LOCK_SH | LOCK_NB) == 0) {
            m_held = true;
            return;
        }
        timespec pause{0, 1000000};
        ::nanosleep(&pause, nullptr);
    }
}

RunLock::~RunLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace scrivlet::unkanj
