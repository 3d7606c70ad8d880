// The command language of ccCommand() and of the command-line tool, and running a command.
//
//   t <code> <line> [<from>] <source> <destination>
//
// <code> is "-s" (Shift-JIS), "-j" (JIS), "-e" (EUC) or "-w" (UTF-8); <line> is "-crlf" or "-CRLF"
// (CR LF), "-CR" or "-LF". <from>, "-S", "-J", "-E" or "-W", names the source's code; without it
// the code is detected. The options may come in any order. Blanks separate the words; a path
// with a blank or a comma comes in double quotes, and such a path ends at a quote that is
// followed by a blank or by the end of the command.
#pragma once

#include "KanjiCode.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet::unkanj {

struct Command
{
    KanjiCode code = KanjiCode::ShiftJis;
    LineEnd lineEnd = LineEnd::CrLf;
    std::string source;
    std::string destination;
    std::optional<KanjiCode> from; // detected when not named
};

// Splits a command line into words. False with a message for an unclosed quote.
bool splitCommandLine(std::string_view line, std::vector<std::string> &words, std::string &error);

// The command the words say, or nothing with a message.
std::optional<Command> parseCommand(const std::vector<std::string> &words, std::string &error);

// The outcome of a command: 0 and a summary, or one of these and the reason.
enum class Status {
    Ok = 0,
    BadCommand = 1,
    SourceUnreadable = 2,
    DestinationIsSource = 3,
    DestinationUnwritable = 4,
    OutOfMemory = 5,
    Internal = 6,
};

struct Result
{
    Status status = Status::Ok;
    std::string message; // one line
};

// Converts the source into the destination; the lock file signals the run to other processes.
Result runCommand(const Command &command, const std::string &lockPath);

// Splits, parses and runs a command line.
Result runCommandLine(std::string_view line, const std::string &lockPath);

} // namespace scrivlet::unkanj
