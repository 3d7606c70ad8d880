// The exported entry points. No exception may cross into the C caller.
#include "unkanj.h"

#include "Command.h"
#include "RunLock.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <new>
#include <string>

namespace {

// Copies one line into the caller's buffer: NUL-terminated, never past bufferSize bytes, and
// never ending in half a UTF-8 character.
void copyMessage(const std::string &message, char *buffer, int bufferSize)
{
    if (buffer == nullptr || bufferSize <= 0)
        return;
    std::size_t length = std::min(message.size(), static_cast<std::size_t>(bufferSize) - 1);
    if (length < message.size()) {
        while (length > 0 && (static_cast<unsigned char>(message[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(buffer, message.data(), length);
    buffer[length] = '\0';
}

// The folder this library was loaded from, the program directory whose work file our lock
// guards; links resolved, so that every spelling of the folder shares one lock.
std::string ownDirectory()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&ccGetRunning), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::string path = info.dli_fname;
    const auto slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) != nullptr)
        folder = resolved;
    return folder;
}

std::string ownLockPath()
{
    const std::string folder = ownDirectory();
    return folder.empty() ? std::string() : scrivlet::unkanj::lockPathFor(folder);
}

} // namespace

extern "C" UNKANJ_API int ccGetRunning(void)
{
    try {
        using namespace scrivlet::unkanj;
        return isConversionRunning(ownLockPath()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

// hwnd is the caller's window; this library shows nothing, so it has no use for it.
extern "C" UNKANJ_API int ccCommand(void *, const char *command, char *buffer, int bufferSize)
{
    using namespace scrivlet::unkanj;
    try {
        Result result = runCommandLine(command != nullptr ? command : "", ownLockPath());
        copyMessage(result.message, buffer, bufferSize);
        return static_cast<int>(result.status);
    } catch (const std::bad_alloc &) {
        copyMessage("out of memory", buffer, bufferSize);
        return static_cast<int>(Status::OutOfMemory);
    } catch (...) {
        copyMessage("internal error", buffer, bufferSize);
        return static_cast<int>(Status::Internal);
    }
}
