// unkanj: the converter of UNKANJ.DLL as a command, for converting files in batches.
#include "Command.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

const char *const kHelp =
    "Usage: unkanj t <code> <line> [<from>] <source> <destination>\n"
    "\n"
    "Converts a text file to another kanji code and line end. The source's own code\n"
    "is the one <from> names, or else detected: Shift_JIS (CP932), ISO-2022-JP,\n"
    "EUC-JP, UTF-8 (with or without a byte-order mark), ASCII, or UTF-16 with its\n"
    "byte-order mark (read only; the mark wins over <from>). Where EUC-JP and\n"
    "Shift_JIS read a text equally well, a charset the page declares decides, then\n"
    "whether the EUC-JP reading has kana; name the code when that guess is wrong.\n"
    "The source is never changed; the destination is\n"
    "replaced only when the conversion is complete, keeping its permissions, and\n"
    "written through a symbolic link rather than replacing the link.\n"
    "\n"
    "  <code>  -s  Shift_JIS (CP932)\n"
    "          -j  ISO-2022-JP (JIS)\n"
    "          -e  EUC-JP\n"
    "          -w  UTF-8 (without a byte-order mark)\n"
    "  <line>  -crlf, -CRLF  CR LF\n"
    "          -CR           CR\n"
    "          -LF           LF\n"
    "  <from>  -S, -J, -E, -W: the source is Shift_JIS, ISO-2022-JP, EUC-JP, UTF-8\n"
    "\n"
    "Characters the output code cannot hold become references such as &#x1F600;\n"
    "(\\1F600 when the source or the destination name ends in .css, \\uD83D\\uDE00\n"
    "when it ends in .js, .mjs or .json); UTF-8 holds every character.\n"
    "\n"
    "Example: unkanj t -e -LF in.html out.html\n"
    "Exit status: 0 on success, 1 bad command, 2 unreadable source, 3 destination is\n"
    "the source, 4 destination not writable, 5 out of memory, 6 internal error.\n";

} // namespace

int main(int argc, char **argv)
{
    using namespace scrivlet::unkanj;
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    // Past a file-size limit (ulimit -f) the kernel ends a writing process, leaving its
    // temporary file behind. Ignored, the write fails, and the temporary file is removed.
    std::signal(SIGXFSZ, SIG_IGN);
    std::string error;
    std::optional<Command> command = parseCommand(words, error);
    if (!command) {
        std::fprintf(stderr, "unkanj: %s\nTry 'unkanj --help'.\n", error.c_str());
        return static_cast<int>(Status::BadCommand);
    }
    // No lock: the tool uses no work file, so the editor's library has nothing to wait for.
    Result result = runCommand(*command, std::string());
    if (result.status != Status::Ok)
        std::fprintf(stderr, "unkanj: %s\n", result.message.c_str());
    return static_cast<int>(result.status);
}
