// Replacing a file whole: a write or rename that fails leaves the old file and no temporary file.
// Links, permissions and refusals are tested through the converter's and the settings' writes.
#include "fileio/AtomicReplace.h"
#include "tests/common/TempFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

// A rename that fails cannot be provoked reliably from outside, least of all as root, so this
// binary interposes rename(): the library's call binds to the definition below, which fails on
// request and otherwise hands over to the C library's.
namespace {
int failRenameWith = 0;
} // namespace

extern "C" int rename(const char *from, const char *to) noexcept
{
    if (failRenameWith != 0) {
        errno = failRenameWith;
        return -1;
    }
    using Rename = int (*)(const char *, const char *);
    static const auto real = reinterpret_cast<Rename>(::dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

namespace scrivlet::fileio {
namespace {

using namespace scrivlet::test;

TEST(AtomicReplace, AFailedWriteOrRenameLeavesTheOldFileAndNoTemporary)
{
    // A file-size limit makes the write fail half-way, as a full disk would, for root too; the
    // rename fails on request through the interposed rename() above.
    TempDir dir;
    writeFile(dir.file("page.html"), "old contents");
    rlimit unlimited{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    for (const char *name : {"page.html", "new.html"}) {
        const rlimit limit{4096, unlimited.rlim_max};
        int error = 0;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_FALSE(replaceFile(dir.file(name), std::string(20000, 'n'), error)) << name;
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(error, EFBIG) << name;
        failRenameWith = EIO;
        EXPECT_FALSE(replaceFile(dir.file(name), "new contents", error)) << name;
        failRenameWith = 0;
        EXPECT_EQ(error, EIO) << name;
    }
    ::signal(SIGXFSZ, handler);
    EXPECT_EQ(readFile(dir.file("page.html")), "old contents");
    EXPECT_EQ(dir.names(), Names{"page.html"});
}

} // namespace
} // namespace scrivlet::fileio
