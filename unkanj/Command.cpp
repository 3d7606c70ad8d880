#include "Command.h"

#include "Convert.h"
#include "Detect.h"
#include "FileIo.h"
#include "RunLock.h"

#include <cstdio>
#include <new>

namespace scrivlet::unkanj {

namespace {

constexpr const char *kUsage =
    "usage: t -s|-j|-e|-w -crlf|-CRLF|-CR|-LF [-S|-J|-E|-W] source destination";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool endsWith(const std::string &path, std::string_view extension)
{
    if (path.size() < extension.size())
        return false;
    std::string tail = path.substr(path.size() - extension.size());
    for (char &c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == extension;
}

// A style sheet or a script, told by the name of the source or the destination, takes the
// escapes of its language; anything else references.
ReferenceStyle referencesFor(const Command &command)
{
    for (const std::string *path : {&command.source, &command.destination}) {
        if (endsWith(*path, ".css"))
            return ReferenceStyle::Css;
        if (endsWith(*path, ".js") || endsWith(*path, ".mjs") || endsWith(*path, ".json"))
            return ReferenceStyle::Script;
    }
    return ReferenceStyle::Html;
}

// Not std::to_string: its digit table would be a unique global symbol that the library cannot
// hide, and it must export nothing but its two entry points.
std::string decimal(std::size_t n)
{
    char digits[24];
    std::snprintf(digits, sizeof digits, "%zu", n);
    return digits;
}

Result oneLine(Status status, std::string message)
{
    // The caller shows one line, and a path may hold a line break.
    for (char &c : message) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return {status, std::move(message)};
}

Result convertFile(const Command &command, const std::string &lockPath)
{
    RunLock lock(lockPath);
    std::string error;
    std::string target;
    if (!resolveLinks(command.destination, target, error))
        return oneLine(Status::DestinationUnwritable, error);

    std::string source;
    FileId sourceId;
    if (!readRegularFile(command.source, source, sourceId, error))
        return oneLine(Status::SourceUnreadable, error);
    // Also catches a hard link or a symbolic link to the source under another name.
    if (isSameFile(target, sourceId))
        return oneLine(Status::DestinationIsSource,
                       "destination \"" + command.destination + "\" is the source file");

    OutputFormat format;
    format.code = command.code;
    format.lineEnd = command.lineEnd;
    format.references = referencesFor(command);
    // A page in UTF-16 says so with its byte-order mark, which no other code can begin with
    // (it is no text there); it is read as the UTF-8 it stands for, whatever code is named.
    const bool utf16 = hasUtf16Mark(source);
    if (utf16)
        source = utf16ToUtf8(source);
    Detection detected;
    std::string output;
    if (command.from && !utf16) {
        detected.code = *command.from;
        output = convertText(source, *command.from, format, &detected.errors);
    } else {
        output = convertDetected(source, format, detected);
    }
    source = std::string(); // two copies of a large file need not live at once

    if (!replaceFile(target, output, error))
        return oneLine(Status::DestinationUnwritable, error);
    std::string message = std::string(utf16 ? "UTF-16" : codeName(detected.code)) + " to " +
                          codeName(command.code) + " with " + lineEndName(command.lineEnd) +
                          ": \"" + command.destination + "\"";
    if (detected.errors > 0)
        message += " (" + decimal(detected.errors) + " faulty or unassigned codes)";
    return oneLine(Status::Ok, message);
}

} // namespace

bool splitCommandLine(std::string_view line, std::vector<std::string> &words, std::string &error)
{
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            // A quote inside a quoted path is part of it unless a blank or the end follows.
            std::size_t close = i + 1;
            while (close < line.size() &&
                   !(line[close] == '"' && (close + 1 == line.size() || isBlank(line[close + 1]))))
                ++close;
            if (close >= line.size()) {
                error = "unclosed quote in command";
                return false;
            }
            words.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && !isBlank(line[end]))
                ++end;
            words.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

std::optional<Command> parseCommand(const std::vector<std::string> &words, std::string &error)
{
    if (words.empty()) {
        error = std::string("empty command; ") + kUsage;
        return std::nullopt;
    }
    if (words[0] != "t") {
        error = "unknown command \"" + words[0] + "\"; " + kUsage;
        return std::nullopt;
    }
    if (words.size() != 5 && words.size() != 6) {
        error = std::string("wrong number of arguments; ") + kUsage;
        return std::nullopt;
    }
    // The code letters: lower case names the output, upper case the source.
    const auto codeOf = [](const std::string &option, bool source) -> std::optional<KanjiCode> {
        const std::string_view letters = source ? "SJEW" : "sjew";
        if (option.size() != 2 || option[0] != '-' || letters.find(option[1]) == letters.npos)
            return std::nullopt;
        constexpr KanjiCode codes[] = {KanjiCode::ShiftJis, KanjiCode::Jis, KanjiCode::Euc,
                                       KanjiCode::Utf8};
        return codes[letters.find(option[1])];
    };
    const auto lineEndOf = [](const std::string &option) -> std::optional<LineEnd> {
        if (option == "-crlf" || option == "-CRLF")
            return LineEnd::CrLf;
        if (option == "-CR")
            return LineEnd::Cr;
        if (option == "-LF")
            return LineEnd::Lf;
        return std::nullopt;
    };
    Command command;
    bool haveCode = false;
    bool haveLine = false;
    const std::size_t options = words.size() - 3;
    for (std::size_t i = 1; i <= options; ++i) {
        const std::string &option = words[i];
        if (const auto code = codeOf(option, false); code && !haveCode) {
            command.code = *code;
            haveCode = true;
        } else if (const auto from = codeOf(option, true); from && !command.from) {
            command.from = from;
        } else if (const auto lineEnd = lineEndOf(option); lineEnd && !haveLine) {
            command.lineEnd = *lineEnd;
            haveLine = true;
        } else {
            error = "unknown or repeated option \"" + option + "\"; " + kUsage;
            return std::nullopt;
        }
    }
    if (!haveCode || !haveLine) {
        error = std::string("an output code and a line end are both needed; ") + kUsage;
        return std::nullopt;
    }
    command.source = words[options + 1];
    command.destination = words[options + 2];
    // One path left out makes an option the source: "t -s -LF -S page.html".
    for (const std::string *path : {&command.source, &command.destination}) {
        if (codeOf(*path, false) || codeOf(*path, true) || lineEndOf(*path)) {
            error = "a source and a destination are both needed; " + std::string(kUsage);
            return std::nullopt;
        }
    }
    if (command.source.empty() || command.destination.empty()) {
        error = std::string("empty path; ") + kUsage;
        return std::nullopt;
    }
    return command;
}

Result runCommand(const Command &command, const std::string &lockPath)
{
    try {
        return convertFile(command, lockPath);
    } catch (const std::bad_alloc &) {
        return {Status::OutOfMemory, "out of memory"};
    }
}

Result runCommandLine(std::string_view line, const std::string &lockPath)
{
    std::vector<std::string> words;
    std::string error;
    if (!splitCommandLine(line, words, error))
        return oneLine(Status::BadCommand, error);
    std::optional<Command> command = parseCommand(words, error);
    if (!command)
        return oneLine(Status::BadCommand, error);
    return runCommand(*command, lockPath);
}

} // namespace scrivlet::unkanj
