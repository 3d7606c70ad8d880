// The exported entry points. No exception may cross into the C caller.
#include "unkanj.h"

#include "Command.h"
#include "RunLock.h"

#include <algorithm>
#include <cstring>
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

} // namespace

extern "C" UNKANJ_API int ccGetRunning(void)
{
    try {
        using namespace scrivlet::unkanj;
        return isConversionRunning(defaultLockPath()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

// hwnd is the caller's window; this library shows nothing, so it has no use for it.
extern "C" UNKANJ_API int ccCommand(void *, const char *command, char *buffer, int bufferSize)
{
    using namespace scrivlet::unkanj;
    try {
        Result result = runCommandLine(command != nullptr ? command : "", defaultLockPath());
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
