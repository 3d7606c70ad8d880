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
#include <sys/file.h>
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

    // The command-line tool's exit status; what it printed goes into "output".
    int runTool(const std::string &arguments) const
    {
        const std::string command = UNKANJ_TOOL_PATH " " + arguments + " >" + file("output");
        const int status = std::system((command + " 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir m_dir;
};
using RunningSignal = FileConversion;

TEST_F(FileConversion, ReplacesTheDestinationWholeKeepingItsPermissions)
{
    for (const auto &row : rows("file-commands.txt", 6)) {
        const std::string &source = row[0], &sourceName = row[1], &destName = row[3];
        const auto mode = static_cast<mode_t>(std::stoul(row[5], nullptr, 8));
        writeFile(file(sourceName), source);
        writeFile(file(destName), std::string(100000, 'x')); // longer: no tail may stay
        ASSERT_EQ(::chmod(file(destName).c_str(), mode), 0);
        const ino_t replaced = statOf(file(destName)).st_ino;
        const Result r = run(row[2], sourceName, destName);
        ASSERT_EQ(r.status, Ok) << r.message;
        EXPECT_EQ(readFile(file(destName)), row[4]) << row[2] << " " << destName;
        EXPECT_EQ(statOf(file(destName)).st_mode & 07777, mode) << destName;
        EXPECT_NE(statOf(file(destName)).st_ino, replaced) << "rewritten in place";
        EXPECT_EQ(readFile(file(sourceName)), source);
        EXPECT_EQ(m_dir.names(), (Names{sourceName, destName, "lock"}));
        std::filesystem::remove(file(sourceName));
        std::filesystem::remove(file(destName));
    }
    // Through a chain of links to the file they lead to, and a dangling link makes its file.
    ASSERT_EQ(::mkdir(file("real").c_str(), 0755), 0);
    writeFile(file("in.html"), kSjis);
    writeFile(file("real/out.html"), "old");
    ASSERT_EQ(::chmod(file("real/out.html").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real/out.html", file("link").c_str()), 0);
    ASSERT_EQ(::symlink("link", file("chain").c_str()), 0);
    ASSERT_EQ(::symlink("real/made.html", file("dangling").c_str()), 0);
    EXPECT_EQ(run("-e -LF", "in.html", "chain").status, Ok);
    EXPECT_EQ(run("-e -LF", "in.html", "dangling").status, Ok);
    EXPECT_EQ(readFile(file("real/out.html")), kEucLf);
    EXPECT_EQ(statOf(file("real/out.html")).st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(file("real/made.html")), kEucLf);
    for (const char *link : {"link", "chain", "dangling"})
        EXPECT_TRUE(S_ISLNK(statOf(file(link)).st_mode)) << link;
}

TEST_F(FileConversion, ErrorsAndBadCommandsLeaveEveryFileAsItWas)
{
    writeFile(file("in.html"), kSjis);
    ASSERT_EQ(::symlink("in.html", file("alias.html").c_str()), 0);
    ASSERT_EQ(::link(file("in.html").c_str(), file("hard.html").c_str()), 0);
    ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0644), 0); // opening it blocking would hang
    ASSERT_EQ(::mkdir(file("dir").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("b", file("a").c_str()), 0);
    ASSERT_EQ(::symlink("a", file("b").c_str()), 0);
    writeFile(file("ro.html"), "kept");
    ASSERT_EQ(::chmod(file("ro.html").c_str(), 0444), 0);
    ASSERT_EQ(::symlink("ro.html", file("ro").c_str()), 0);
    const Names before = {"in.html", "alias.html", "hard.html", "fifo", "dir",
                          "a",       "b",          "ro.html",   "ro",   "lock"};
    const auto refused = [&](const char *source, const char *dest, Status status, int error) {
        const Result r = run("-s -crlf", source, dest);
        EXPECT_EQ(r.status, status) << source << " -> " << dest;
        // One line, naming the file at fault and why.
        EXPECT_NE(r.message.find(status == SourceUnreadable ? source : dest), std::string::npos)
            << r.message;
        EXPECT_NE(r.message.find(error != 0 ? std::strerror(error) : ""), std::string::npos)
            << r.message;
        EXPECT_EQ(r.message.find('\n'), std::string::npos) << r.message;
    };
    for (const auto &[source, error] :
         {std::pair{"none.html", ENOENT}, {"fifo", EINVAL}, {"dir", EISDIR}})
        refused(source, "out.html", SourceUnreadable, error);
    for (const char *dest : {"in.html", "./in.html", "alias.html", "hard.html"})
        refused("in.html", dest, DestinationIsSource, 0);
    // "a" is a loop of links; "ro.html", which "ro" leads to, is refused for root too.
    const std::pair<const char *, int> unwritable[] = {{"dir", EISDIR},         {"fifo", EINVAL},
                                                       {"no/out.html", ENOENT}, {"a", ELOOP},
                                                       {"ro.html", EACCES},     {"ro", EACCES}};
    for (const auto &[dest, error] : unwritable)
        refused("in.html", dest, DestinationUnwritable, error);
    EXPECT_EQ(run("-s -crlf", "two\nlines", "out.html").message.find('\n'), std::string::npos);
    for (const auto &row : rows("bad-commands.txt", 2)) {
        const Result r = runCommandLine(row[0], file("lock"));
        EXPECT_EQ(r.status, BadCommand) << row[1];
        EXPECT_FALSE(r.message.empty()) << row[1];
    }
    EXPECT_EQ(m_dir.names(), before);
    EXPECT_EQ(readFile(file("in.html")), kSjis);
    EXPECT_TRUE(S_ISFIFO(statOf(file("fifo")).st_mode));
    EXPECT_TRUE(S_ISLNK(statOf(file("a")).st_mode));
    EXPECT_EQ(readFile(file("ro.html")), "kept");
    EXPECT_EQ(statOf(file("ro.html")).st_mode & 07777, 0444u);
}

// A copy of UNKANJ.DLL in a program directory of its own, loaded as the program loads it.
struct Library
{
    TempDir folder;
    void *handle = [this] {
        std::filesystem::copy_file(UNKANJ_LIBRARY_PATH, folder.file("UNKANJ.DLL"));
        return ::dlopen(folder.file("UNKANJ.DLL").c_str(), RTLD_NOW | RTLD_LOCAL);
    }();
    ccGetRunningFunction getRunning =
        handle ? reinterpret_cast<ccGetRunningFunction>(::dlsym(handle, "ccGetRunning")) : nullptr;
    ccCommandFunction command =
        handle ? reinterpret_cast<ccCommandFunction>(::dlsym(handle, "ccCommand")) : nullptr;

    ~Library()
    {
        if (handle != nullptr)
            ::dlclose(handle);
    }
    int convert(const std::string &source, const std::string &destination, char *buffer,
                int size) const
    {
        return command(nullptr, ("t -e -LF " + source + " " + destination).c_str(), buffer, size);
    }
};

// A child process that holds the lock, stopped half-way through its conversion; killed at the end
// of its scope.
struct StoppedHolder
{
    pid_t pid;
    bool stopped;
    explicit StoppedHolder(const std::string &lockPath) : pid(::fork())
    {
        if (pid == 0) {
            RunLock lock(lockPath);
            ::raise(SIGSTOP);
            ::_exit(0);
        }
        stopped = pid > 0 && ::waitpid(pid, nullptr, WUNTRACED) == pid;
    }
    ~StoppedHolder()
    {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
    }
};

TEST_F(FileConversion, TheLibraryReturnsZeroOrOneLineOfReasonNeverPastTheBuffer)
{
    EXPECT_TRUE(std::string(UNKANJ_LIBRARY_PATH).ends_with("/UNKANJ.DLL")); // what is loaded
    const Library library;
    ASSERT_TRUE(library.command != nullptr && library.getRunning != nullptr) << ::dlerror();
    char buffer[10240];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_NE(library.convert(file("none.html"), file("out.html"), buffer, sizeof buffer), 0);
    ASSERT_NE(std::memchr(buffer, '\0', sizeof buffer), nullptr);
    EXPECT_NE(std::strstr(buffer, "none.html"), nullptr);
    EXPECT_EQ(std::strchr(buffer, '\n'), nullptr);
    EXPECT_NE(library.command(nullptr, nullptr, buffer, sizeof buffer), 0);
    // Never past the buffer, nor into it when there is none.
    for (int size : {1, 2, 7, 16}) {
        std::memset(buffer, '#', 32);
        EXPECT_NE(library.command(nullptr, "bad command with a long explanation", buffer, size), 0);
        EXPECT_EQ(std::strlen(buffer), static_cast<std::size_t>(size - 1));
        EXPECT_EQ(std::string(buffer + size, 32 - size), std::string(32 - size, '#'));
    }
    std::memset(buffer, '#', 32);
    EXPECT_NE(library.command(nullptr, "bad", buffer, 0), 0);
    EXPECT_NE(library.command(nullptr, "bad", buffer, -5), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_NE(library.command(nullptr, "bad", nullptr, 100), 0);
    // The message names the path; a cut through its あ would leave half a character.
    const std::string prefix = "cannot open source \"" + file("");
    const int cut = static_cast<int>(prefix.size()) + 2;
    EXPECT_NE(library.convert(file("\xE3\x81\x82\xE3\x81\x82.html"), "out", buffer, cut), 0);
    EXPECT_EQ(std::string(buffer), prefix);
}

TEST_F(RunningSignal, BusyOnlyForTheSameProgramDirectory)
{
    const Library first, second;
    ASSERT_TRUE(first.command != nullptr && second.command != nullptr) << ::dlerror();
    ASSERT_NE(first.handle, second.handle);
    EXPECT_EQ(first.getRunning(), 0);
    EXPECT_EQ(second.getRunning(), 0);
    // A conversion runs in the first directory.
    const std::string lockPath = lockPathFor(first.folder.path);
    EXPECT_EQ(lockPath.rfind(first.folder.path, 0), 0u)
        << "a writable program directory keeps its lock beside the work file";
    {
        StoppedHolder holder(lockPath);
        ASSERT_TRUE(holder.stopped);
        EXPECT_NE(first.getRunning(), 0);
        EXPECT_EQ(second.getRunning(), 0) << "another program directory is never busy";
        writeFile(file("in.html"), kSjis);
        char buffer[1024];
        EXPECT_EQ(second.convert(file("in.html"), file("out.html"), buffer, sizeof buffer), 0);
        EXPECT_EQ(readFile(file("out.html")), kEucLf);
        // Nor does the command-line tool, converting meanwhile, count for either.
        EXPECT_EQ(runTool("t -s -LF " + file("in.html") + " " + file("tool.html")), 0);
    }
    EXPECT_EQ(first.getRunning(), 0);
    // A read-only program directory: the lock goes to the user's runtime folder, one per
    // directory, never into the folder itself.
    const std::string readOnly = "/proc/scrivlet-program";
    EXPECT_NE(lockPathFor(readOnly), lockPathFor(readOnly + "-2"));
    EXPECT_EQ(lockPathFor(readOnly), lockPathFor(readOnly + "/"));
    EXPECT_NE(lockPathFor(readOnly).rfind("/proc/", 0), 0u);
}

TEST_F(RunningSignal, HeldOnlyWhileAConversionRunsAndNotInheritedByAChildProgram)
{
    // Usable by every user who may write to its folder, whatever the umask, and by no other: one
    // who could open it could hold it and keep every conversion waiting.
    const std::string path = file("lock");
    const mode_t old = ::umask(077);
    EXPECT_FALSE(isConversionRunning(path)); // makes the file
    ::umask(old);
    EXPECT_EQ(statOf(path).st_mode & 0777, 0600u);
    ASSERT_EQ(::chmod(m_dir.path.c_str(), 0770), 0);
    EXPECT_FALSE(isConversionRunning(path));
    EXPECT_EQ(statOf(path).st_mode & 0777, 0644u);
    // Closed again, the folder gets a new lock: another user who opened the old one meanwhile
    // holds a file nobody uses.
    const int other = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::chmod(m_dir.path.c_str(), 0700), 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    EXPECT_FALSE(isConversionRunning(path));
    EXPECT_EQ(statOf(path).st_mode & 0777, 0600u);
    ::close(other);
    // In a sticky folder anyone may write to, another user's lock under this user's name was
    // planted: it is not used.
    const std::string shared = file("tmp"), planted = shared + "/lock";
    ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    writeFile(planted, "");
    if (::chown(planted.c_str(), ::geteuid() == 65534 ? 0 : 65534, static_cast<gid_t>(-1)) == 0) {
        const int holder = ::open(planted.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(holder, LOCK_EX), 0);
        EXPECT_FALSE(isConversionRunning(planted));
        ::close(holder);
    }
    pid_t child;
    {
        RunLock lock(path);
        ASSERT_TRUE(lock.held());
        EXPECT_TRUE(isConversionRunning(path));
        EXPECT_TRUE(RunLock(path).held()); // conversions run side by side
        // A program started meanwhile must not keep the signal up after the conversion. The
        // child's end of a close-on-exec pipe closes when it has exec'd: then the lock is tested.
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
    writeFile(file("in.html"), kSjis);
    ASSERT_EQ(runCommandLine("t -s -LF " + file("in.html") + " " + file("o"), path).status, Ok);
    EXPECT_FALSE(isConversionRunning(path));
    // A planted link is not followed.
    ASSERT_EQ(::symlink(file("victim").c_str(), file("link").c_str()), 0);
    EXPECT_FALSE(RunLock(file("link")).held());
    EXPECT_NE(::access(file("victim").c_str(), F_OK), 0);
}

TEST_F(FileConversion, TheToolConvertsSilentlyAndReportsErrorsWithTheirStatus)
{
    writeFile(file("in.html"), "\x82\xA0\r\n");
    EXPECT_EQ(runTool("t -e -LF " + file("in.html") + " " + file("out.html")), 0);
    EXPECT_EQ(readFile(file("output")), "");
    EXPECT_EQ(readFile(file("out.html")), "\xA4\xA2\n");
    EXPECT_EQ(runTool("--help"), 0);
    EXPECT_NE(
        readFile(file("output")).find("Usage: unkanj t <code> <line> [<from>] <source> <dest"),
        std::string::npos);
    EXPECT_EQ(runTool("t -x -LF a b"), 1);
    EXPECT_NE(readFile(file("output")).find("-x"), std::string::npos);
    EXPECT_EQ(runTool("t -s -LF " + file("none") + " out"), 2);
    EXPECT_NE(readFile(file("output")).find("none"), std::string::npos);
}

} // namespace
} // namespace scrivlet::unkanj::test
