// Stand-ins for the converter library, built as UNKANJ.DLL in folders of their own, so that the
// file layer can be tested against a library that is busy or that fails. The recording one
// also appends the permission bits of each command's two files to the file named by
// SCRIVLET_FAKE_MODES, in octal ("-" for none), before it fails.

#include "unkanj/unkanj.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" __attribute__((visibility("default"))) int ccGetRunning(void)
{
    return FAKE_BUSY;
}

extern "C" __attribute__((visibility("default"))) int ccCommand(void *, const char *command,
                                                                char *buffer, int bufferSize)
{
    if (buffer && bufferSize > 0)
        buffer[0] = '\0';
#if FAKE_RECORD
    const std::string line = command ? command : "";
    const std::size_t to = line.rfind(' '), from = line.rfind(' ', to - 1);
    const auto mode = [](const std::string &path) {
        struct stat st;
        char octal[8] = "-";
        if (::stat(path.c_str(), &st) == 0)
            std::snprintf(octal, sizeof octal, "%o", static_cast<unsigned>(st.st_mode & 0777));
        return std::string(octal);
    };
    if (const char *record = std::getenv("SCRIVLET_FAKE_MODES");
        record && from != std::string::npos) {
        if (std::FILE *file = std::fopen(record, "a")) {
            std::fprintf(file, "%s %s\n", mode(line.substr(from + 1, to - from - 1)).c_str(),
                         mode(line.substr(to + 1)).c_str());
            std::fclose(file);
        }
    }
#else
    (void)command;
#endif
    return 1;
}
