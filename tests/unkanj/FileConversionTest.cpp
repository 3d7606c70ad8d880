// Converting files: the command, atomic replacement, permissions, links, errors; the exported
// C interface of UNKANJ.DLL; the running signal; the command-line tool.
#include "Command.h"
#include "RunLock.h"
#include "UnkanjTestSupport.h"
#include "unkanj.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace scrivlet::unkanj::test {
namespace {

using namespace std::string_literals;

mode_t modeOf(const std::string &path)
{
    struct stat st
    {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode;
}

bool exists(const std::string &path)
{
    struct stat st
    {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::set<std::string> listDir(const std::string &dir)
{
    std::set<std::string> names;
    if (DIR *d = ::opendir(dir.c_str())) {
        while (dirent *e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.insert(e->d_name);
        }
        ::closedir(d);
    }
    return names;
}

class FileConversion : public testing::Test
{
protected:
    Result run(const std::string &line) { return runCommandLine(line, m_dir.file("lock")); }
    std::string file(const std::string &name) const { return m_dir.file(name); }

    // A source page in Shift-JIS with CR LF, and what -e -LF makes of it.
    std::string writeSource(const std::string &name)
    {
        std::string sjis = "<p>\x8A\xBF\x8E\x9A \xB1\xB2</p>\r\n<p>\x82\xA0</p>\r\n";
        writeFile(file(name), sjis);
        return sjis;
    }
    static std::string eucLf()
    {
        return "<p>\xB4\xC1\xBB\xFA \x8E\xB1\x8E\xB2</p>\n<p>\xA4\xA2</p>\n";
    }

    TempDir m_dir;
};

TEST_F(FileConversion, ConvertsAndLeavesTheSourceAlone)
{
    std::string source = writeSource("in.html");
    struct stat before
    {};
    ::stat(file("in.html").c_str(), &before);
    Result r = run("t -e -LF " + file("in.html") + " " + file("out.html"));
    ASSERT_EQ(r.status, Status::Ok) << r.message;
    EXPECT_EQ(readFile(file("out.html")), eucLf());
    EXPECT_EQ(readFile(file("in.html")), source);
    struct stat after
    {};
    ::stat(file("in.html").c_str(), &after);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_NE(r.message.find("Shift_JIS to EUC-JP"), std::string::npos) << r.message;
}

TEST_F(FileConversion, ReplacesALongerFileLeavingNoTail)
{
    writeSource("in.html");
    writeFile(file("out.html"), std::string(100000, 'x'));
    ASSERT_EQ(run("t -e -LF " + file("in.html") + " " + file("out.html")).status, Status::Ok);
    EXPECT_EQ(readFile(file("out.html")), eucLf());
    EXPECT_EQ(listDir(m_dir.path()), (std::set<std::string>{"in.html", "out.html", "lock"}));
}

TEST_F(FileConversion, EmptyFileGivesEmptyFile)
{
    writeFile(file("in.html"), "");
    ASSERT_EQ(run("t -j -CRLF " + file("in.html") + " " + file("out.html")).status, Status::Ok);
    EXPECT_TRUE(exists(file("out.html")));
    EXPECT_EQ(readFile(file("out.html")), "");
}

TEST_F(FileConversion, KeepsThePermissionsOfTheReplacedFile)
{
    writeSource("in.html");
    for (mode_t mode : {0640, 0600, 0755, 0444}) {
        writeFile(file("out.html"), "old");
        ASSERT_EQ(::chmod(file("out.html").c_str(), mode), 0);
        ASSERT_EQ(run("t -s -LF " + file("in.html") + " " + file("out.html")).status, Status::Ok);
        EXPECT_EQ(modeOf(file("out.html")) & 07777, mode);
        ::chmod(file("out.html").c_str(), 0644);
        ::unlink(file("out.html").c_str());
    }
}

TEST_F(FileConversion, NewFileGetsTheUmasksMode)
{
    writeSource("in.html");
    mode_t old = ::umask(027);
    Result r = run("t -s -LF " + file("in.html") + " " + file("new.html"));
    ::umask(old);
    ASSERT_EQ(r.status, Status::Ok);
    EXPECT_EQ(modeOf(file("new.html")) & 07777, 0640u);
}

TEST_F(FileConversion, WritesThroughASymbolicLink)
{
    writeSource("in.html");
    ASSERT_EQ(::mkdir(file("real").c_str(), 0755), 0);
    writeFile(file("real/target.html"), "old");
    ASSERT_EQ(::symlink("real/target.html", file("link.html").c_str()), 0);
    ASSERT_EQ(::symlink("link.html", file("chain.html").c_str()), 0);
    ASSERT_EQ(run("t -e -LF " + file("in.html") + " " + file("chain.html")).status, Status::Ok);
    EXPECT_TRUE(S_ISLNK(modeOf(file("link.html"))));
    EXPECT_TRUE(S_ISLNK(modeOf(file("chain.html"))));
    EXPECT_EQ(readFile(file("real/target.html")), eucLf());
    EXPECT_EQ(listDir(file("real")), std::set<std::string>{"target.html"});
}

TEST_F(FileConversion, DanglingLinkCreatesItsTarget)
{
    writeSource("in.html");
    ASSERT_EQ(::symlink("made.html", file("link.html").c_str()), 0);
    ASSERT_EQ(run("t -e -LF " + file("in.html") + " " + file("link.html")).status, Status::Ok);
    EXPECT_TRUE(S_ISLNK(modeOf(file("link.html"))));
    EXPECT_EQ(readFile(file("made.html")), eucLf());
}

TEST_F(FileConversion, LinkLoopIsAnError)
{
    writeSource("in.html");
    ASSERT_EQ(::symlink("b", file("a").c_str()), 0);
    ASSERT_EQ(::symlink("a", file("b").c_str()), 0);
    Result r = run("t -e -LF " + file("in.html") + " " + file("a"));
    EXPECT_EQ(r.status, Status::DestinationUnwritable);
    EXPECT_TRUE(S_ISLNK(modeOf(file("a"))));
}

TEST_F(FileConversion, DestinationEqualToTheSourceIsRefused)
{
    std::string source = writeSource("in.html");
    ASSERT_EQ(::symlink("in.html", file("alias.html").c_str()), 0);
    ASSERT_EQ(::link(file("in.html").c_str(), file("hard.html").c_str()), 0);
    for (const std::string &dest :
         {file("in.html"), m_dir.path() + "/./in.html", file("alias.html"), file("hard.html")}) {
        Result r = run("t -e -LF " + file("in.html") + " " + dest);
        EXPECT_EQ(r.status, Status::DestinationIsSource) << dest;
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(readFile(file("in.html")), source);
    }
}

TEST_F(FileConversion, MissingSourceCreatesNothing)
{
    Result r = run("t -s -crlf " + file("none.html") + " " + file("out.html"));
    EXPECT_EQ(r.status, Status::SourceUnreadable);
    EXPECT_NE(r.message.find("none.html"), std::string::npos);
    EXPECT_NE(r.message.find(std::strerror(ENOENT)), std::string::npos);
    EXPECT_FALSE(exists(file("out.html")));
}

TEST_F(FileConversion, SourceThatIsNoRegularFileIsRefusedWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0644), 0); // opening it blocking would hang
    ASSERT_EQ(::mkdir(file("dir").c_str(), 0755), 0);
    for (const char *name : {"fifo", "dir"}) {
        Result r = run("t -s -crlf " + file(name) + " " + file("out.html"));
        EXPECT_EQ(r.status, Status::SourceUnreadable) << name;
        EXPECT_FALSE(exists(file("out.html")));
    }
}

TEST_F(FileConversion, DestinationThatIsNoRegularFileIsLeftAlone)
{
    writeSource("in.html");
    ASSERT_EQ(::mkdir(file("dir").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo(file("fifo").c_str(), 0644), 0);
    EXPECT_EQ(run("t -s -crlf " + file("in.html") + " " + file("dir")).status,
              Status::DestinationUnwritable);
    EXPECT_EQ(run("t -s -crlf " + file("in.html") + " " + file("fifo")).status,
              Status::DestinationUnwritable);
    EXPECT_TRUE(S_ISDIR(modeOf(file("dir"))));
    EXPECT_TRUE(S_ISFIFO(modeOf(file("fifo"))));
    EXPECT_EQ(listDir(m_dir.path()), (std::set<std::string>{"in.html", "dir", "fifo", "lock"}));
}

TEST_F(FileConversion, DestinationInAMissingFolderIsAnError)
{
    writeSource("in.html");
    Result r = run("t -s -crlf " + file("in.html") + " " + file("no/out.html"));
    EXPECT_EQ(r.status, Status::DestinationUnwritable);
    EXPECT_NE(r.message.find("no/out.html"), std::string::npos);
}

TEST_F(FileConversion, FailedWriteKeepsTheOldFileAndNoTemporary)
{
    // A file-size limit makes the write fail half-way, as a full disk would.
    std::string big(200000, 'a');
    writeFile(file("in.html"), big);
    writeFile(file("out.html"), "old contents");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{50000, 50000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Result r =
            runCommandLine("t -s -crlf " + file("in.html") + " " + file("out.html"), file("lock"));
        ::_exit(static_cast<int>(r.status));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(Status::DestinationUnwritable));
    EXPECT_EQ(readFile(file("out.html")), "old contents");
    EXPECT_EQ(listDir(m_dir.path()), (std::set<std::string>{"in.html", "out.html", "lock"}));
}

TEST_F(FileConversion, StyleSheetsGetCssEscapes)
{
    writeFile(file("in.html"), "a\xF0\x40"
                               "b"); // a user-defined character
    writeFile(file("in.css"), "a\xF0\x40"
                              "b");
    ASSERT_EQ(run("t -e -LF " + file("in.html") + " " + file("out.html")).status, Status::Ok);
    EXPECT_EQ(readFile(file("out.html")), "a&#xE000;b");
    ASSERT_EQ(run("t -e -LF " + file("in.css") + " " + file("out.html")).status, Status::Ok);
    EXPECT_EQ(readFile(file("out.html")), "a\\E000 b");
    ASSERT_EQ(run("t -e -LF " + file("in.html") + " " + file("OUT.CSS")).status, Status::Ok);
    EXPECT_EQ(readFile(file("OUT.CSS")), "a\\E000 b");
}

TEST_F(FileConversion, QuotedPathsWithBlanksAndCommas)
{
    writeSource("my page, v2.html");
    Result r =
        run("t -e -LF \"" + file("my page, v2.html") + "\" \"" + file("out put.html") + "\"");
    ASSERT_EQ(r.status, Status::Ok) << r.message;
    EXPECT_EQ(readFile(file("out put.html")), eucLf());
}

// --- Command syntax ---------------------------------------------------------------------------

std::optional<Command> parse(std::string_view line, std::string &error)
{
    std::vector<std::string> words;
    if (!splitCommandLine(line, words, error))
        return std::nullopt;
    return parseCommand(words, error);
}

TEST(CommandSyntax, OptionsOfEachKind)
{
    std::string error;
    auto c = parse("t -j -CR a.html b.html", error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->code, KanjiCode::Jis);
    EXPECT_EQ(c->lineEnd, LineEnd::Cr);
    EXPECT_EQ(c->source, "a.html");
    EXPECT_EQ(c->destination, "b.html");
    c = parse("t  -LF   -e  a b", error); // either order, runs of blanks
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->code, KanjiCode::Euc);
    EXPECT_EQ(c->lineEnd, LineEnd::Lf);
    EXPECT_EQ(parse("t -s -crlf a b", error)->lineEnd, LineEnd::CrLf);
    EXPECT_EQ(parse("t -s -CRLF a b", error)->lineEnd, LineEnd::CrLf);
}

TEST(CommandSyntax, QuotedPaths)
{
    std::string error;
    auto c = parse("t -s -crlf \"C:/My Documents/a,b.html\" \"x y\"", error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->source, "C:/My Documents/a,b.html");
    EXPECT_EQ(c->destination, "x y");
    c = parse("t -s -crlf \"a\"b c.html\" d", error); // a quote not followed by a blank
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->source, "a\"b c.html");
}

TEST(CommandSyntax, EveryOtherCommandIsRefusedWithAReason)
{
    for (const char *line :
         {"", "   ", "x -s -crlf a b", "T -s -crlf a b", "t -s a b", "t -s -crlf a",
          "t -s -crlf a b c", "t -q -crlf a b", "t -s -s a b", "t -crlf -CR a b", "t -s -lf a b",
          "t -S -crlf a b", "t -s -crlf \"a b", "t -s -crlf \"\" b"}) {
        std::string error;
        EXPECT_FALSE(parse(line, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
        Result r = runCommandLine(line, "/nonexistent/lock");
        EXPECT_EQ(r.status, Status::BadCommand) << line;
        EXPECT_EQ(r.message.find('\n'), std::string::npos);
    }
}

// --- The exported C interface -----------------------------------------------------------------

class LibraryInterface : public testing::Test
{
protected:
    void SetUp() override
    {
        m_handle = ::dlopen(UNKANJ_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_handle, nullptr) << ::dlerror();
        m_getRunning = reinterpret_cast<ccGetRunningFunction>(::dlsym(m_handle, "ccGetRunning"));
        m_command = reinterpret_cast<ccCommandFunction>(::dlsym(m_handle, "ccCommand"));
        ASSERT_NE(m_getRunning, nullptr);
        ASSERT_NE(m_command, nullptr);
    }
    void TearDown() override
    {
        if (m_handle != nullptr)
            ::dlclose(m_handle);
    }

    void *m_handle = nullptr;
    ccGetRunningFunction m_getRunning = nullptr;
    ccCommandFunction m_command = nullptr;
    TempDir m_dir;
};

TEST_F(LibraryInterface, FileNameIsExactlyUnkanjDll)
{
    std::string path = UNKANJ_LIBRARY_PATH;
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "UNKANJ.DLL");
}

TEST_F(LibraryInterface, ConvertsAndReturnsZero)
{
    writeFile(m_dir.file("in.html"), "\x82\xA0\r\n");
    char buffer[10240];
    std::string line = "t -e -LF " + m_dir.file("in.html") + " " + m_dir.file("out.html");
    EXPECT_EQ(m_command(nullptr, line.c_str(), buffer, sizeof buffer), 0) << buffer;
    EXPECT_EQ(readFile(m_dir.file("out.html")), "\xA4\xA2\n");
    EXPECT_LT(std::strlen(buffer), sizeof buffer);
}

TEST_F(LibraryInterface, FailureGivesNonZeroAndOneLine)
{
    char buffer[10240];
    std::memset(buffer, 'x', sizeof buffer);
    std::string line = "t -e -LF " + m_dir.file("none.html") + " " + m_dir.file("out.html");
    EXPECT_NE(m_command(nullptr, line.c_str(), buffer, sizeof buffer), 0);
    ASSERT_NE(std::memchr(buffer, '\0', sizeof buffer), nullptr);
    EXPECT_NE(std::strstr(buffer, "none.html"), nullptr);
    EXPECT_EQ(std::strchr(buffer, '\n'), nullptr);
    EXPECT_NE(m_command(nullptr, "convert everything", buffer, sizeof buffer), 0);
    EXPECT_NE(m_command(nullptr, nullptr, buffer, sizeof buffer), 0);
}

TEST_F(LibraryInterface, NeverWritesPastTheBuffer)
{
    char buffer[32];
    for (int size : {1, 2, 7, 16}) {
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_NE(m_command(nullptr, "bad command with a long explanation", buffer, size), 0);
        EXPECT_EQ(std::strlen(buffer), static_cast<std::size_t>(size - 1));
        for (std::size_t i = static_cast<std::size_t>(size); i < sizeof buffer; ++i)
            ASSERT_EQ(buffer[i], '#') << "size " << size;
    }
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_NE(m_command(nullptr, "bad", buffer, 0), 0);
    EXPECT_NE(m_command(nullptr, "bad", buffer, -5), 0);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_NE(m_command(nullptr, "bad", nullptr, 100), 0);
}

TEST_F(LibraryInterface, TruncationNeverSplitsAUtf8Character)
{
    // The message names the path; a cut through its あ would leave half a character.
    std::string line = "t -e -LF " + m_dir.file("\xE3\x81\x82\xE3\x81\x82.html") + " out";
    std::string prefix = "cannot open source \"" + m_dir.file("");
    char buffer[256];
    int size = static_cast<int>(prefix.size()) + 2; // room for the prefix and one more byte
    ASSERT_LT(static_cast<std::size_t>(size), sizeof buffer);
    EXPECT_NE(m_command(nullptr, line.c_str(), buffer, size), 0);
    EXPECT_EQ(std::string(buffer), prefix);
}

TEST_F(LibraryInterface, RunningWhileThisProcessHoldsTheMachineLock)
{
    RunLock lock(defaultLockPath());
    if (!lock.held())
        GTEST_SKIP() << "the machine's lock file cannot be used here";
    EXPECT_NE(m_getRunning(), 0);
}

// --- The running signal -----------------------------------------------------------------------

TEST(RunningSignal, HeldOnlyWhileAConversionRuns)
{
    TempDir dir;
    std::string path = dir.file("lock");
    EXPECT_FALSE(isConversionRunning(path));
    {
        RunLock lock(path);
        ASSERT_TRUE(lock.held());
        EXPECT_TRUE(isConversionRunning(path));
        RunLock second(path); // conversions run side by side
        EXPECT_TRUE(second.held());
    }
    EXPECT_FALSE(isConversionRunning(path));
}

TEST(RunningSignal, ReleasedWhenItsProcessDies)
{
    TempDir dir;
    std::string path = dir.file("lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RunLock lock(path);
        char held = lock.held() ? 'y' : 'n';
        (void)!::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, 'y');
    EXPECT_TRUE(isConversionRunning(path));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(isConversionRunning(path));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(RunningSignal, NotInheritedByAChildProgram)
{
    // A program started while a conversion runs must not keep the signal up after it.
    TempDir dir;
    std::string path = dir.file("lock");
    pid_t child;
    {
        RunLock lock(path);
        child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::execl("/bin/sleep", "sleep", "30", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::usleep(100000); // let it exec
    }
    EXPECT_FALSE(isConversionRunning(path));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST(RunningSignal, LockFileIsUsableByEveryUser)
{
    TempDir dir;
    std::string path = dir.file("lock");
    mode_t old = ::umask(077);
    {
        RunLock lock(path);
    }
    ::umask(old);
    EXPECT_EQ(modeOf(path) & 0777, 0644u);
}

TEST(RunningSignal, PlantedLinkIsNotFollowed)
{
    TempDir dir;
    std::string path = dir.file("lock");
    ASSERT_EQ(::symlink(dir.file("victim").c_str(), path.c_str()), 0);
    RunLock lock(path);
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(exists(dir.file("victim")));
    EXPECT_FALSE(isConversionRunning(path));
}

TEST(RunningSignal, MachineWideLockLiesInASharedPlace)
{
    std::string path = defaultLockPath();
    EXPECT_TRUE(path.rfind("/run/lock/", 0) == 0 || path.rfind("/tmp/", 0) == 0) << path;
}

// --- The command-line tool --------------------------------------------------------------------

struct ToolRun
{
    int exitCode;
    std::string output;
};

ToolRun runTool(const std::string &arguments)
{
    std::string command = std::string(UNKANJ_TOOL_PATH) + " " + arguments + " 2>&1";
    FILE *pipe = ::popen(command.c_str(), "r");
    std::string output;
    char chunk[4096];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe))
        output.append(chunk, n);
    int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(CommandLineTool, Help)
{
    ToolRun r = runTool("--help");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find("Usage: unkanj t <code> <line> <source> <destination>"),
              std::string::npos);
}

TEST(CommandLineTool, ConvertsAFile)
{
    TempDir dir;
    writeFile(dir.file("in.html"), "\x82\xA0\r\n");
    ToolRun r = runTool("t -e -LF " + dir.file("in.html") + " " + dir.file("out.html"));
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(readFile(dir.file("out.html")), "\xA4\xA2\n");
}

TEST(CommandLineTool, ErrorsGoToStandardErrorWithAStatus)
{
    TempDir dir;
    ToolRun bad = runTool("t -x -LF a b");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.output.find("-x"), std::string::npos);
    ToolRun missing = runTool("t -s -LF " + dir.file("none") + " " + dir.file("out"));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.output.find("none"), std::string::npos);
}

} // namespace
} // namespace scrivlet::unkanj::test
