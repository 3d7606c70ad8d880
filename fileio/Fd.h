#pragma once
// A file descriptor that closes on every way out; owns the descriptor it is given.

#include <unistd.h>

namespace scrivlet::fileio {

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
    // Closes now and reports what close says (NFS reports write errors only there).
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

} // namespace scrivlet::fileio
