// The sign that a conversion through one program directory is running, for ccGetRunning().
//
// What it guards: the program converts through one work file of fixed name, "Convert.html_",
// in its program directory (or in the user's settings folder when that directory cannot be
// written). Two conversions through the same work file must not overlap; nothing else can
// collide. So "busy" means exactly that another conversion of the library in the same program
// directory runs right now. The command-line tool, a copy of the library installed elsewhere, or
// another user of a read-only installation (who has a work file of their own) never count.
//
// A conversion holds a shared flock() on the lock file for its whole run; asking whether one
// runs tries an exclusive lock without waiting and lets go at once. The kernel drops a
// process's locks when it dies, however it dies, so a crash never leaves the sign up.
//
// Where the file lies: beside the work file when the program directory can be written (every
// user of that directory shares the work file, so they share the lock); otherwise, the work
// file being per user, in $XDG_RUNTIME_DIR (or /tmp, named with the user id), named after a
// hash of the program directory.
#pragma once

#include <string>

namespace scrivlet::unkanj {

// The lock file of the library in programDirectory (which ends with "/" or not).
std::string lockPathFor(const std::string &programDirectory);

// Whether any process (this one included) holds the lock at path, i.e. runs a conversion.
bool isConversionRunning(const std::string &path);

// Holds the lock at path for its lifetime; an empty path takes none. Never fails: a lock that
// cannot be had (a file another user made unreadable, someone holding it exclusively) only means
// that the sign is not shown, and the conversion goes on.
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
