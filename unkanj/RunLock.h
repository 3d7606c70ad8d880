// The machine-wide sign that a conversion is running, for ccGetRunning().
//
// A conversion holds a shared flock() on one lock file for its whole run; asking whether one
// runs tries an exclusive lock without waiting and lets go at once. The kernel drops a
// process's locks when it dies, however it dies, so a crash never leaves the sign up. Shared
// locks let conversions (the editor's, a batch of the command-line tool) run side by side.
//
// Where the file lies: "while any process on the machine runs a conversion" needs a place that
// every user sees alike. $XDG_RUNTIME_DIR is per user (and missing for services), so it cannot
// serve. /tmp may be private to a service (systemd's PrivateTmp). /run/lock is the system's
// place for such locks: world-writable with the sticky bit, on tmpfs, the same for everyone.
// We use it when it has those bits, and /tmp otherwise.
//
// Because any user can open the file, any user can also hold it: that can only make others
// see "busy", and never blocks a conversion, which gives up on the lock after a short wait.
#pragma once

#include <string>

namespace scrivlet::unkanj {

// The lock file every process of the machine agrees on.
std::string defaultLockPath();

// Whether any process (this one included) holds the lock at path, i.e. runs a conversion.
bool isConversionRunning(const std::string &path);

// Holds the lock at path for its lifetime. Never fails: a lock that cannot be had (a file
// another user made unreadable, someone holding it exclusively) only means that the sign is
// not shown, and the conversion goes on.
class RunLock
{
public:
    explicit RunLock(const std::string &path);
    ~RunLock();
    RunLock(const RunLock &) = delete;
    RunLock &operator=(const RunLock &) = delete;

    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

} // namespace scrivlet::unkanj
