// Replacing a file whole: a write or rename that fails leaves the old file and no temporary file.
// Links, permissions and refusals are tested through the converter's and the settings' writes.
#include "fileio/AtomicReplace.h"
#include "fileio/Fd.h"
#include "tests/common/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <tuple>
#include <unistd.h>

// A rename that fails cannot be provoked reliably from outside, least of all as root, nor a file
// system that reserves no room ahead and runs out of it, so this binary interposes rename(),
// fallocate() and write(): the library's calls bind to the definitions below, which fail on
// request and otherwise hand over to the C library's.
namespace {
int failRenameWith = 0;
int failFallocateWith = 0;
// The file (by inode) that has no room past its first bytes, and how many.
ino_t fullAfter = 0;
constexpr off_t kRoom = 4096;
} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    using Write = ssize_t (*)(int, const void *, size_t);
    static const auto real = reinterpret_cast<Write>(::dlsym(RTLD_NEXT, "write"));
    struct stat st
    {};
    if (fullAfter != 0 && ::fstat(fd, &st) == 0 && st.st_ino == fullAfter) {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        if (at >= kRoom) {
            errno = ENOSPC;
            return -1;
        }
        size = std::min(size, static_cast<size_t>(kRoom - at));
    }
    return real(fd, data, size);
}

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

extern "C" int fallocate(int fd, int mode, off_t offset, off_t length)
{
    if (failFallocateWith != 0) {
        errno = failFallocateWith;
        return -1;
    }
    using Fallocate = int (*)(int, int, off_t, off_t);
    static const auto real = reinterpret_cast<Fallocate>(::dlsym(RTLD_NEXT, "fallocate"));
    return real(fd, mode, offset, length);
}

namespace scrivlet::fileio {
namespace {

using namespace scrivlet::test;

// An access list in the kernel's form: version 2, then the tag, permissions and id of each
// entry, in tag order (user::, user:id, group::, mask::, other::).
std::string
accessList(std::initializer_list<std::tuple<std::uint16_t, std::uint16_t, std::uint32_t>> entries)
{
    const std::uint32_t version = 2;
    std::string list(reinterpret_cast<const char *>(&version), 4);
    for (const auto &[tag, perm, id] : entries) {
        list.append(reinterpret_cast<const char *>(&tag), 2);
        list.append(reinterpret_cast<const char *>(&perm), 2);
        list.append(reinterpret_cast<const char *>(&id), 4);
    }
    return list;
}

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

// What a killed save left beside the page goes with the next save, once it is an hour old; a
// fresh one may be another copy's save under way, and other names are not ours.
// A page with other names (hard links) is one file: each name shows what was saved. Written in
// place, it gets its contents and times back when the write fails half-way, as a full disk
// makes it fail where no room can be reserved ahead.
TEST(AtomicReplace, APageWithOtherNamesIsSavedUnderThemAllOrKeptWhole)
{
    TempDir dir;
    const std::string page = dir.file("page.html");
    writeFile(page, "old contents");
    ASSERT_EQ(::link(page.c_str(), dir.file("other.html").c_str()), 0);
    const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, page.c_str(), longAgo, 0), 0);
    failFallocateWith = EOPNOTSUPP;
    fullAfter = statOf(page).st_ino;
    int error = 0;
    EXPECT_FALSE(replaceFile(page, std::string(20000, 'n'), error));
    fullAfter = 0;
    failFallocateWith = 0;
    EXPECT_EQ(error, ENOSPC);
    EXPECT_EQ(readFile(page), "old contents");
    EXPECT_EQ(statOf(page).st_mtim.tv_sec, 1000000000);
    ASSERT_TRUE(replaceFile(page, "new", error));
    EXPECT_EQ(readFile(dir.file("other.html")), "new");
    EXPECT_EQ(dir.names(), (Names{"other.html", "page.html"}));
}

TEST(AtomicReplace, ASaveRemovesTheStaleTemporariesOfItsPage)
{
    TempDir dir;
    const std::string stale = ".page.html.tmp-0a1b2c3d", fresh = ".page.html.tmp-fresh123";
    const Names others = {".page.html.tmp-ABCDEFGH", ".page.html.tmp-0a1b2c3",
                          ".other.html.tmp-0a1b2c3d"};
    Names all = others;
    all.insert({stale, fresh});
    for (const std::string &name : all) {
        writeFile(dir.file(name), "partial");
        const timespec anHourAgo[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3601, 0}};
        if (name != fresh) {
            ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(name).c_str(), anHourAgo, 0), 0);
        }
    }
    int error = 0;
    ASSERT_TRUE(replaceFile(dir.file("page.html"), "new", error));
    Names kept = others;
    kept.insert({fresh, "page.html"});
    EXPECT_EQ(dir.names(), kept);
}

// A page whose path nearly fills PATH_MAX still saves, under a long name or in a long folder:
// the temporary name gives way.
TEST(AtomicReplace, APathNearTheLimitIsReplaced)
{
    for (const std::size_t nameLength : {120, 10}) {
        TempDir dir;
        std::string deep = dir.file("");
        while (PATH_MAX - 1 - deep.size() > nameLength) {
            deep += std::string(std::min<std::size_t>(250, PATH_MAX - 1 - deep.size() - nameLength),
                                'd');
            ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0);
            deep += '/';
        }
        const std::string page = deep + std::string(PATH_MAX - 1 - deep.size(), 'p'); // 4095 bytes
        int error = 0;
        for (const char *contents : {"new", "newer"}) {
            EXPECT_TRUE(replaceFile(page, contents, error)) << nameLength << " " << error;
            EXPECT_EQ(readFile(page), contents);
        }
    }
}

// The access list and the other extended attributes survive a replacement; without the list,
// the group bits (which hold its mask) would give the whole group write access. A file made like
// the page takes them too; a folder's default list reaches neither.
TEST(AtomicReplace, ThePagesOwnAccessListGoesWithItAndTheFoldersDefaultDoesNot)
{
    TempDir dir;
    const std::string page = dir.file("page.html");
    writeFile(page, "old contents");
    ::chmod(page.c_str(), 0600);
    // user::rw- user:1000:rw- group::r-- mask::rw- other::---
    const std::string acl = accessList(
        {{0x01, 6, ~0u}, {0x02, 6, 1000}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}});
    if (::setxattr(page.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0 ||
        ::setxattr(page.c_str(), "user.note", "kept", 4, 0) != 0)
        GTEST_SKIP() << "no access lists or user attributes here";
    const mode_t mode = statOf(page).st_mode;
    int error = 0;
    ASSERT_TRUE(replaceFile(page, "new contents", error)) << error;
    EXPECT_EQ(readFile(page), "new contents");
    std::string read(64, '\0');
    read.resize(std::max<ssize_t>(
        0, ::getxattr(page.c_str(), "system.posix_acl_access", read.data(), read.size())));
    EXPECT_EQ(read, acl);
    read.assign(8, '\0');
    read.resize(std::max<ssize_t>(0, ::getxattr(page.c_str(), "user.note", read.data(), 8)));
    EXPECT_EQ(read, "kept");
    EXPECT_EQ(statOf(page).st_mode, mode);
    // A file made like the page takes its list too.
    const std::string copy = dir.file("tmppage0.html");
    ASSERT_GE(Fd(createFileLike(page, copy, error)).get(), 0) << error;
    read.assign(64, '\0');
    read.resize(std::max<ssize_t>(
        0, ::getxattr(copy.c_str(), "system.posix_acl_access", read.data(), read.size())));
    EXPECT_EQ(read, acl);
    EXPECT_EQ(statOf(copy).st_mode & 0777, mode & 0777);

    // A folder's default list is for new files. A replaced page, or a file made like a page,
    // without a list of its own gets none: the page's group bits would widen its mask into
    // access for the users it names.
    // user::rwx user:1001:r-- group::r-x mask::r-x other::---
    const std::string defaults = accessList(
        {{0x01, 7, ~0u}, {0x02, 4, 1001}, {0x04, 5, ~0u}, {0x10, 5, ~0u}, {0x20, 0, ~0u}});
    const std::string plain = dir.file("plain.html"), plainCopy = dir.file("tmpplain0.html");
    writeFile(plain, "old");
    ::chmod(plain.c_str(), 0640);
    ASSERT_EQ(::setxattr(dir.path.c_str(), "system.posix_acl_default", defaults.data(),
                         defaults.size(), 0),
              0);
    ASSERT_TRUE(replaceFile(plain, "new", error)) << error;
    ASSERT_GE(Fd(createFileLike(plain, plainCopy, error)).get(), 0) << error;
    for (const std::string &file : {plain, plainCopy}) {
        EXPECT_LT(::getxattr(file.c_str(), "system.posix_acl_access", nullptr, 0), 0) << file;
        EXPECT_EQ(statOf(file).st_mode & 0777, 0640u) << file;
    }
}

// A page of another user's that this user may write (through its group or an access list) stays
// that user's after a save: renamed over, it would become the saver's, and its owner would be
// locked out of it. The user's own page in a folder only others may write to is saved too.
TEST(AtomicReplace, AnotherUsersPageStaysTheirsAndAPageInAFolderOfOthersIsSaved)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may act as two users";
    for (const auto &[folderMode, owner] : {std::pair{0777, 65533u}, {0755, 65534u}}) {
        TempDir dir;
        ASSERT_EQ(::chmod(dir.path.c_str(), folderMode), 0);
        const std::string page = dir.file("page.html");
        writeFile(page, "the owner's longer text");
        ASSERT_EQ(::chown(page.c_str(), owner, owner), 0);
        ASSERT_EQ(::chmod(page.c_str(), 0666), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            int error = 0;
            const bool saved = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 &&
                               ::setuid(65534) == 0 && replaceFile(page, "saved", error);
            ::_exit(saved ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << folderMode;
        EXPECT_EQ(readFile(page), "saved");
        EXPECT_EQ(std::pair(statOf(page).st_uid, statOf(page).st_gid), std::pair(owner, owner));
        EXPECT_EQ(dir.names(), Names{"page.html"});
    }
}

// In a sticky folder anyone may write to, such as /tmp, another user's link is not followed,
// as the kernel would not follow it: it may point at this user's files, or at a name that user
// reads. This user's own links there are followed.
TEST(AtomicReplace, AnotherUsersLinkInAStickyFolderIsNotFollowed)
{
    TempDir dir;
    const std::string shared = dir.file("tmp"), target = dir.file("profile");
    writeFile(target, "mine");
    ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string planted = shared + "/page.html", own = shared + "/own.html";
    ASSERT_EQ(::symlink(target.c_str(), planted.c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), own.c_str()), 0);
    const uid_t other = ::geteuid() == 65534 ? 0 : 65534;
    if (::lchown(planted.c_str(), other, static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "only root may give a link to another user";
    // A link to a folder, on the way to the page, is not followed either.
    const std::string folderLink = shared + "/site";
    ASSERT_EQ(::symlink(dir.path.c_str(), folderLink.c_str()), 0);
    ASSERT_EQ(::lchown(folderLink.c_str(), other, static_cast<gid_t>(-1)), 0);
    int error = 0;
    for (const std::string &path : {planted, folderLink + "/profile"}) {
        EXPECT_FALSE(replaceFile(path, "text", error)) << path;
        EXPECT_EQ(error, EACCES);
        EXPECT_EQ(readFile(target), "mine");
    }
    EXPECT_TRUE(replaceFile(own, "text", error)) << error;
    EXPECT_EQ(readFile(target), "text");
}

// A file made like a page, in a set-group-ID folder of another group whose new files take that
// group, is readable by the page's group only; with no page to go by, by its owner only.
TEST(AtomicReplace, AFileMadeLikeAPageIsReadableByTheSameUsersOnly)
{
    TempDir dir;
    const std::string page = dir.file("page.html");
    writeFile(page, "text");
    ::chmod(page.c_str(), 0640);
    const std::string shared = dir.file("shared");
    const gid_t otherGroup = statOf(page).st_gid == 65534 ? 0 : 65534;
    if (::mkdir(shared.c_str(), 0775) != 0 || ::chown(shared.c_str(), -1, otherGroup) != 0 ||
        ::chmod(shared.c_str(), 02775) != 0)
        GTEST_SKIP() << "only root may hand a folder to another group";
    const std::string copy = shared + "/tmppage0.html";
    int error = 0;
    ASSERT_GE(Fd(createFileLike(page, copy, error)).get(), 0) << error;
    EXPECT_EQ(statOf(copy).st_gid, statOf(page).st_gid);
    EXPECT_EQ(statOf(copy).st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(copy), "");
    EXPECT_LT(createFileLike(page, copy, error), 0);
    EXPECT_EQ(error, EEXIST);
    const std::string orphan = dir.file("tmpgone0.html");
    ASSERT_GE(Fd(createFileLike(dir.file("gone.html"), orphan, error)).get(), 0) << error;
    EXPECT_EQ(statOf(orphan).st_mode & 0777, 0600u);
}

} // namespace
} // namespace scrivlet::fileio
