#include "RunLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace scrivlet::unkanj {

namespace {

constexpr const char *kLockName = "scrivlet-unkanj.lock";

// Opens the lock file, creating it readable for every user. Never follows a link (a planted
// link in a shared directory must not make us create or lock another file) and never hands the
// descriptor to a child process (which would keep the lock up long after we finish).
int openLockFile(const std::string &path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0)
            (void)::fchmod(fd, 0644); // whatever the umask: others must be able to lock it
        else if (errno == EEXIST)
            fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    }
    if (fd < 0)
        return -1;
    struct stat st
    {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
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

std::string defaultLockPath()
{
    struct stat st
    {};
    if (::stat("/run/lock", &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & 01777) == 01777)
        return std::string("/run/lock/") + kLockName;
    return std::string("/tmp/") + kLockName;
}

bool isConversionRunning(const std::string &path)
{
    int fd = openLockFile(path);
    if (fd < 0)
        return false; // no file: nobody ever converted since boot; unreadable: cannot tell
    bool running = flockRetrying(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // also lets go of the lock we may just have taken
    return running;
}

RunLock::RunLock(const std::string &path) : m_fd(openLockFile(path))
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
