// Stand-ins for the converter library, built as UNKANJ.DLL in folders of their own, so that the
// file layer can be tested against a library that is busy or that fails.

#include "unkanj/unkanj.h"

extern "C" __attribute__((visibility("default"))) int ccGetRunning(void)
{
    return FAKE_BUSY;
}

extern "C" __attribute__((visibility("default"))) int ccCommand(void *, const char *, char *buffer,
                                                                int bufferSize)
{
    if (buffer && bufferSize > 0)
        buffer[0] = '\0';
    return 1;
}
