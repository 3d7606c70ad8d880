// Converting files: the command, atomic replacement, permissions, links, errors; the exported
// C interface of UNKANJ.DLL; the running signal; the command-line tool.
#include "Command.h"
#include "RunLock.h"
#include "UnkanjTestSupport.h"
#include "unkanj.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace scrivlet::unkanj::test {
namespace {

using enum Status;

// A page in Shift-JIS with CR LF, and what -e -LF makes of it.
const std::string kSjis = "<p>\x8A\xBF\x8E\x9A \xB1\xB2</p>\r\n<p>\x82\xA0</p>\r\n";
const std::string kEucLf = "<p>\xB4\xC1\xBB\xFA \x8E\xB1\x8E\xB2</p>\n<p>\xA4\xA2</p>\n";

class FileConversion : public testing::Test
{
protected:
    std::string file(const std::string &name) const { return m_dir.file(name); }
    // Converts with the options between two files of the folder, named in quotes.
    Result run(const std::string &options, const std::string &source, const std::string &dest)
    {
        return runCommandLine("t " + options + " \"" + file(source) + "\" \"" + file(dest) + "\"",
                              file("lock"));
    }

    TempDir m_dir;
};

TEST_F(FileConversion, ReplacesTheDestinationWholeKeepingItsPermissions)
{
    const std::string userDefined = "a\xF0\x40z";
    const struct
    {
        std::string source, sourceName, options, destName, expected;
        mode_t mode;
    } cases[] = {
        {kSjis, "in.html", "-e -LF", "out.html", kEucLf, 0640},
        // Options in either order, any runs of blanks; quoted paths with blanks, commas and
        // quotes not followed by a blank.
        {kSjis, "my page, v2.html", "  -CR   -s ", "out \"put.html",
         "<p>\x8A\xBF\x8E\x9A \xB1\xB2</p>\r<p>\x82\xA0</p>\r", 0600},
        {kSjis, "in.html", "-crlf -s", "out.html", kSjis, 04755},
        {kSjis, "in.html", "-w -LF", "out.html",
         "<p>\xE6\xBC\xA2\xE5\xAD\x97 \xEF\xBD\xB1\xEF\xBD\xB2</p>\n<p>\xE3\x81\x82</p>\n", 0644},
        {"", "in.html", "-j -CRLF", "out.html", "", 0664},
        // Style sheets, by either name in any letter case, get CSS escapes.
        {userDefined, "in.html", "-e -LF", "out.html", "a&#xE000;z", 0644},
        {userDefined, "in.css", "-e -LF", "out.html", "a\\E000 z", 0644},
        {userDefined, "in.html", "-e -LF", "OUT.CSS", "a\\E000 z", 0644},
    };
    for (const auto &c : cases) {
        writeFile(file(c.sourceName), c.source);
        writeFile(file(c.destName), std::string(100000, 'x')); // longer: no tail may stay
        ASSERT_EQ(::chmod(file(c.destName).c_str(), c.mode), 0);
        const ino_t replaced = statOf(file(c.destName)).st_ino;
        const Result r = run(c.options, c.sourceName, c.destName);
        ASSERT_EQ(r.status, Ok) << r.message;
        EXPECT_EQ(readFile(file(c.destName)), c.expected) << c.destName;
        EXPECT_EQ(statOf(file(c.destName)).st_mode & 07777, c.mode) << c.destName;
        EXPECT_NE(statOf(file(c.destName)).st_ino, replaced) << "rewritten in place";
        EXPECT_EQ(readFile(file(c.sourceName)), c.source);
        EXPECT_EQ(m_dir.names(), (Names{c.sourceName, c.destName, "lock"}));
        std::filesystem::remove(file(c.sourceName));
        std::filesystem::remove(file(c.destName));
    }
}

TEST_F(FileConversion, ErrorsLeaveEveryFileAsItWas)
{
    writeFile(file("in.html"), kSjis);
    ASSERT_EQ(::symlink("in.html", file("alias.html").c_str()), 0);
    ASSERT_EQ(::link(file("in.html").c_str(), file("hard.html").c_str()), 0);
    ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0644), 0); // opening it blocking would hang
    ASSERT_EQ(::mkdir(file("dir").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("b", file("a").c_str()), 0);
    ASSERT_EQ(::symlink("a", file("b").c_str()), 0);
    const Names before = {"in.html", "alias.html", "hard.html", "fifo", "dir", "a", "b", "lock"};
    const auto refused = [&](const char *source, const char *dest, Status status) {
        const Result r = run("-s -crlf", source, dest);
        EXPECT_EQ(r.status, status) << source << " -> " << dest;
        // One line, naming the file at fault.
        EXPECT_NE(r.message.find(status == SourceUnreadable ? source : dest), std::string::npos)
            << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos) << r.message;
    };
    for (const char *source : {"none.html", "fifo", "dir"})
        refused(source, "out.html", SourceUnreadable);
    for (const char *dest : {"in.html", "./in.html", "alias.html", "hard.html"})
        refused("in.html", dest, DestinationIsSource);
    for (const char *dest : {"dir", "fifo", "no/out.html", "a"}) // "a" is a loop of links
        refused("in.html", dest, DestinationUnwritable);
    EXPECT_EQ(run("-s -crlf", "two\nlines", "out.html").message.find('\n'), std::string::npos);
    EXPECT_NE(run("-s -crlf", "none.html", "out.html").message.find(std::strerror(ENOENT)),
              std::string::npos);
    EXPECT_EQ(m_dir.names(), before);
    EXPECT_EQ(readFile(file("in.html")), kSjis);
    EXPECT_TRUE(S_ISFIFO(statOf(file("fifo")).st_mode));
    EXPECT_TRUE(S_ISLNK(statOf(file("a")).st_mode));
}

TEST(CommandSyntax, EveryOtherCommandIsRefusedWithAReason)
{
    for (const char *line :
         {"", "   ", "x -s -crlf a b", "T -s -crlf a b", "t -s a b", "t -s -crlf a",
          "t -s -crlf a b c", "t -q -crlf a b", "t -s -s a b", "t -crlf -CR a b", "t -s -lf a b",
          "t -S -crlf a b", "t -s -crlf \"a b", "t -s -crlf \"\" b"}) {
        const Result r = runCommandLine(line, "/nonexistent/lock");
        EXPECT_EQ(r.status, BadCommand) << line;
        EXPECT_FALSE(r.message.empty()) << line;
    }
}

// --- The exported C interface -----------------------------------------------------------------

TEST(LibraryInterface, ReturnsZeroOrOneLineOfReasonNeverPastTheBuffer)
{
    const std::string path = UNKANJ_LIBRARY_PATH;
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "UNKANJ.DLL"); // the name the program loads
    void *library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto command = reinterpret_cast<ccCommandFunction>(::dlsym(library, "ccCommand"));
    const auto getRunning =
        reinterpret_cast<ccGetRunningFunction>(::dlsym(library, "ccGetRunning"));
    ASSERT_TRUE(command != nullptr && getRunning != nullptr);
    TempDir dir;
    writeFile(dir.file("in.html"), "\x82\xA0\r\n");
    char buffer[10240];
    std::string line = "t -e -LF " + dir.file("in.html") + " " + dir.file("out.html");
    EXPECT_EQ(command(nullptr, line.c_str(), buffer, sizeof buffer), 0) << buffer;
    EXPECT_EQ(readFile(dir.file("out.html")), "\xA4\xA2\n");
    line = "t -e -LF " + dir.file("none.html") + " " + dir.file("out.html");
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_NE(command(nullptr, line.c_str(), buffer, sizeof buffer), 0);
    ASSERT_NE(std::memchr(buffer, '\0', sizeof buffer), nullptr);
    EXPECT_NE(std::strstr(buffer, "none.html"), nullptr);
    EXPECT_EQ(std::strchr(buffer, '\n'), nullptr);
    EXPECT_NE(command(nullptr, nullptr, buffer, sizeof buffer), 0);

    // Never past the buffer, nor into it when there is none.
    for (int size : {1, 2, 7, 16}) {
        std::memset(buffer, '#', 32);
        EXPECT_NE(command(nullptr, "bad command with a long explanation", buffer, size), 0);
        EXPECT_EQ(std::strlen(buffer), static_cast<std::size_t>(size - 1));
        EXPECT_EQ(std::string(buffer + size, 32 - size), std::string(32 - size, '#'));
    }
    std::memset(buffer, '#', 32);
    EXPECT_NE(command(nullptr, "bad", buffer, 0), 0);
    EXPECT_NE(command(nullptr, "bad", buffer, -5), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_NE(command(nullptr, "bad", nullptr, 100), 0);
    // The message names the path; a cut through its あ would leave half a character.
    line = "t -e -LF " + dir.file("\xE3\x81\x82\xE3\x81\x82.html") + " out";
    const std::string prefix = "cannot open source \"" + dir.file("");
    EXPECT_NE(command(nullptr, line.c_str(), buffer, static_cast<int>(prefix.size()) + 2), 0);
    EXPECT_EQ(std::string(buffer), prefix);

    // Running while this process converts through the library's program directory.
    RunLock lock(lockPathFor(path.substr(0, path.rfind('/'))));
    ASSERT_TRUE(lock.held());
    EXPECT_NE(getRunning(), 0);
}

// A copy of UNKANJ.DLL in a program directory of its own, loaded as the program loads it.
struct LibraryCopy
{
    TempDir directory;
    void *handle = nullptr;
    ccGetRunningFunction getRunning = nullptr;
    ccCommandFunction command = nullptr;

    LibraryCopy()
    {
        std::filesystem::copy_file(UNKANJ_LIBRARY_PATH, directory.file("UNKANJ.DLL"));
        handle = ::dlopen(directory.file("UNKANJ.DLL").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle != nullptr) {
            getRunning = reinterpret_cast<ccGetRunningFunction>(::dlsym(handle, "ccGetRunning"));
            command = reinterpret_cast<ccCommandFunction>(::dlsym(handle, "ccCommand"));
        }
    }
    ~LibraryCopy()
    {
        if (handle != nullptr)
            ::dlclose(handle);
    }
    LibraryCopy(const LibraryCopy &) = delete;
    LibraryCopy &operator=(const LibraryCopy &) = delete;

    int convert(const std::string &source, const std::string &destination) const
    {
        char buffer[10240];
        const std::string line = "t -e -LF " + source + " " + destination;
        return command(nullptr, line.c_str(), buffer, sizeof buffer);
    }
};

TEST(RunningSignal, BusyOnlyForTheSameProgramDirectory)
{
    LibraryCopy first;
    LibraryCopy second;
    ASSERT_TRUE(first.command != nullptr && second.command != nullptr) << ::dlerror();
    ASSERT_NE(first.handle, second.handle);
    EXPECT_EQ(first.getRunning(), 0);
    EXPECT_EQ(second.getRunning(), 0);

    // A conversion runs in the first directory (a child process, stopped half-way).
    const std::string lockPath = lockPathFor(first.directory.path);
    EXPECT_EQ(lockPath.substr(0, first.directory.path.size()), first.directory.path)
        << "a writable program directory keeps its lock beside the work file";
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        RunLock lock(lockPath);
        ::raise(SIGSTOP);
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(holder, nullptr, WUNTRACED), holder);
    EXPECT_NE(first.getRunning(), 0);
    EXPECT_EQ(second.getRunning(), 0) << "another program directory is never busy";
    TempDir pages;
    writeFile(pages.file("in.html"), kSjis);
    EXPECT_EQ(second.convert(pages.file("in.html"), pages.file("out.html")), 0);
    EXPECT_EQ(readFile(pages.file("out.html")), kEucLf);
    // Nor does the command-line tool, converting meanwhile, count for either.
    const std::string tool = std::string(UNKANJ_TOOL_PATH) + " t -s -LF " + pages.file("in.html") +
                             " " + pages.file("tool.html");
    EXPECT_EQ(std::system(tool.c_str()), 0);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(first.getRunning(), 0);

    // Two conversions of the same directory at once: the second sees the first.
    {
        RunLock running(lockPath);
        ASSERT_TRUE(running.held());
        EXPECT_NE(first.getRunning(), 0);
        EXPECT_EQ(second.getRunning(), 0);
    }
    // A read-only program directory: the lock goes to the user's runtime folder, one per
    // directory, never into the folder itself.
    const std::string readOnly = "/proc/scrivlet-program";
    EXPECT_NE(lockPathFor(readOnly), lockPathFor(readOnly + "-2"));
    EXPECT_EQ(lockPathFor(readOnly), lockPathFor(readOnly + "/"));
    EXPECT_NE(lockPathFor(readOnly).rfind("/proc/", 0), 0u);
}

// --- The running signal -----------------------------------------------------------------------

TEST(RunningSignal, HeldOnlyWhileAConversionRuns)
{
    TempDir dir;
    const std::string path = dir.file("lock");
    const mode_t old = ::umask(077);
    EXPECT_FALSE(isConversionRunning(path)); // makes the file
    ::umask(old);
    EXPECT_EQ(statOf(path).st_mode & 0777, 0644u); // usable by every user, whatever the umask
    {
        RunLock lock(path);
        ASSERT_TRUE(lock.held());
        EXPECT_TRUE(isConversionRunning(path));
        EXPECT_TRUE(RunLock(path).held()); // conversions run side by side
    }
    EXPECT_FALSE(isConversionRunning(path));
    writeFile(dir.file("in.html"), kSjis);
    ASSERT_EQ(runCommandLine("t -s -LF " + dir.file("in.html") + " " + dir.file("o"), path).status,
              Ok);
    EXPECT_FALSE(isConversionRunning(path));
    // A planted link is not followed.
    ASSERT_EQ(::symlink(dir.file("victim").c_str(), dir.file("link").c_str()), 0);
    EXPECT_FALSE(RunLock(dir.file("link")).held());
    EXPECT_NE(::access(dir.file("victim").c_str(), F_OK), 0);
}

TEST(RunningSignal, ReleasedWhenItsProcessDiesAndNotInheritedByAChildProgram)
{
    TempDir dir;
    const std::string path = dir.file("lock");
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        RunLock lock(path);
        ::raise(SIGSTOP);
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(holder, nullptr, WUNTRACED), holder); // stopped, holding the lock
    EXPECT_TRUE(isConversionRunning(path));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_FALSE(isConversionRunning(path));

    // A program started while a conversion runs must not keep the signal up after it. The
    // child's end of a close-on-exec pipe closes when it has exec'd: then the lock is tested.
    pid_t child;
    {
        RunLock lock(path);
        int execed[2];
        ASSERT_EQ(::pipe2(execed, O_CLOEXEC), 0);
        child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::execl("/bin/sleep", "sleep", "30", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(execed[1]);
        char byte;
        while (::read(execed[0], &byte, 1) < 0 && errno == EINTR) {
        }
        ::close(execed[0]);
    }
    EXPECT_FALSE(isConversionRunning(path));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST(CommandLineTool, ConvertsSilentlyAndReportsErrorsWithTheirStatus)
{
    TempDir dir;
    // The exit status, and what the tool printed into "output".
    const auto runTool = [&](const std::string &arguments) {
        const std::string command = UNKANJ_TOOL_PATH " " + arguments + " >" + dir.file("output");
        const int status = std::system((command + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    writeFile(dir.file("in.html"), "\x82\xA0\r\n");
    EXPECT_EQ(runTool("t -e -LF " + dir.file("in.html") + " " + dir.file("out.html")), 0);
    EXPECT_EQ(readFile(dir.file("output")), "");
    EXPECT_EQ(readFile(dir.file("out.html")), "\xA4\xA2\n");
    EXPECT_EQ(runTool("--help"), 0);
    EXPECT_NE(readFile(dir.file("output")).find("Usage: unkanj t <code> <line> <source> <dest"),
              std::string::npos);
    EXPECT_EQ(runTool("t -x -LF a b"), 1);
    EXPECT_NE(readFile(dir.file("output")).find("-x"), std::string::npos);
    EXPECT_EQ(runTool("t -s -LF " + dir.file("none") + " out"), 2);
    EXPECT_NE(readFile(dir.file("output")).find("none"), std::string::npos);
}

} // namespace
} // namespace scrivlet::unkanj::test
