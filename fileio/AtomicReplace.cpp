#include "fileio/AtomicReplace.h"

#include "fileio/Fd.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace scrivlet::fileio {

namespace {

std::string baseNameOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A fresh hidden name beside the target, unlikely to collide (O_EXCL settles it when it does).
// No std::to_string: a library that links this must export nothing but its own entry points.
std::string temporaryName(const std::string &target, unsigned attempt)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    unsigned long long seed = static_cast<unsigned long long>(now.tv_nsec) ^
                              (static_cast<unsigned long long>(::getpid()) << 20) ^
                              (static_cast<unsigned long long>(attempt) << 44);
    char suffix[16];
    for (int i = 0; i < 8; ++i) {
        suffix[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[seed % 36];
        seed /= 36;
    }
    suffix[8] = '\0';
    // Kept within NAME_MAX whatever the target's name. Where the target's path nearly fills
    // PATH_MAX, the name is the suffix alone, no longer than most names of pages: a page the
    // user could open must also be one that can be saved.
    const std::string dir = directoryOf(target);
    const std::string prefix = (dir == "/" ? std::string() : dir) + "/.";
    const std::string name = prefix + baseNameOf(target).substr(0, 200) + ".tmp-" + suffix;
    return name.size() < PATH_MAX ? name : prefix + suffix;
}

// A temporary name of this target left by a save that never finished (the program was killed
// mid-write): the target's hidden name, ".tmp-" and eight letters or digits, as above.
bool isTemporaryNameOf(const std::string &target, const char *entry)
{
    const std::string stem = "." + baseNameOf(target).substr(0, 200) + ".tmp-";
    const std::string name = entry;
    if (name.size() != stem.size() + 8 || name.compare(0, stem.size(), stem) != 0)
        return false;
    for (std::size_t i = stem.size(); i < name.size(); ++i) {
        if (!((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'z')))
            return false;
    }
    return true;
}

// Removes what killed saves of the target left beside it, which would otherwise pile up in the
// site's folder and be uploaded with it. Only the user's own regular files of that name, last
// written an hour ago or more: no save still writing one is that slow.
void removeStaleTemporaries(const std::string &target)
{
    const std::string dir = directoryOf(target);
    DIR *listing = ::opendir(dir.c_str());
    if (!listing)
        return;
    const time_t anHourAgo = ::time(nullptr) - 3600;
    while (const dirent *entry = ::readdir(listing)) {
        if (!isTemporaryNameOf(target, entry->d_name))
            continue;
        struct stat file
        {};
        if (::fstatat(::dirfd(listing), entry->d_name, &file, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(file.st_mode) && file.st_uid == ::geteuid() && file.st_mtime <= anHourAgo)
            (void)::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
}

constexpr const char *kAccessList = "system.posix_acl_access";

// The extended attributes of the file being replaced, its access list among them, go to the new
// one. Without its list, a file whose group bits hold the list's mask would give the whole group
// what only some users had. Attributes this process may not set (another user's security label)
// stay behind; the access list must come along, or the save fails.
bool copyExtendedAttributes(const std::string &from, int to, int &error)
{
    std::string names(256, '\0');
    ssize_t size = ::listxattr(from.c_str(), names.data(), names.size());
    if (size < 0 && errno == ERANGE) {
        size = ::listxattr(from.c_str(), nullptr, 0);
        names.assign(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
        size = ::listxattr(from.c_str(), names.data(), names.size());
    }
    if (size <= 0)
        return true; // none, or a file system without them
    names.resize(static_cast<std::size_t>(size));
    std::string value;
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char *name = names.c_str() + at;
        const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
        value.assign(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
        const ssize_t got =
            length < 0 ? -1 : ::getxattr(from.c_str(), name, value.data(), value.size());
        const bool copied =
            got >= 0 && ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) == 0;
        if (!copied && std::string_view(name) == kAccessList) {
            error = errno;
            return false;
        }
    }
    return true;
}

// The whole of a file's contents of this size, read from its start.
bool readWhole(int fd, std::size_t size, std::string &out)
{
    out.assign(size, '\0');
    for (std::size_t at = 0; at < size;) {
        const ssize_t n = ::pread(fd, out.data() + at, size - at, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes data into the file at target in place, while it is still the file old describes.
// untouched tells whether a failure left its contents as they were.
bool writeInPlace(const std::string &target, const struct stat &old, std::string_view data,
                  int &error, bool &untouched)
{
    untouched = true;
    // Opened without waiting, and written only while it is still that file: someone who may
    // write to the folder could have put a FIFO, which would hang the open, or another file in
    // its place meanwhile. A file this user may write but not read is opened for writing only.
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int raw = ::open(target.c_str(), O_RDWR | kFlags);
    if (raw < 0 && errno == EACCES)
        raw = ::open(target.c_str(), O_WRONLY | kFlags);
    Fd file(raw);
    struct stat opened
    {};
    if (file.get() < 0) {
        error = errno;
        return false;
    }
    if (::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_dev != old.st_dev || opened.st_ino != old.st_ino) {
        error = EAGAIN;
        return false;
    }
    // Room for the new contents first, kept past the end without changing the size: a full
    // disk stops the save before the old contents are touched. Where the free space plainly
    // falls short, nothing is asked of the file at all: a failed reservation would still give
    // it a new time, and the page would seem changed by another program. A file system that
    // keeps part of a failed reservation gets the old size back.
    struct statvfs disk
    {};
    const auto held = static_cast<unsigned long long>(opened.st_blocks) * 512;
    if (data.size() > held && ::fstatvfs(file.get(), &disk) == 0 &&
        static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize < data.size() - held) {
        error = ENOSPC;
        return false;
    }
    if (!data.empty() &&
        ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(data.size())) != 0 &&
        errno != EOPNOTSUPP) {
        const int reserveError = errno;
        struct stat now
        {};
        if (::fstat(file.get(), &now) == 0 && now.st_size != opened.st_size)
            (void)!::ftruncate(file.get(), opened.st_size);
        error = reserveError;
        return false;
    }
    // What the file holds goes back should the write fail half-way: where the file system
    // reserves no room ahead (ext2, some network ones), a full disk shows only then.
    std::string before;
    const bool kept = readWhole(file.get(), static_cast<std::size_t>(opened.st_size), before);
    if (!writeAll(file.get(), data) ||
        ::ftruncate(file.get(), static_cast<off_t>(data.size())) != 0 || ::fsync(file.get()) != 0) {
        error = errno;
        // Into the room it had, with its times: the page must not seem changed by another
        // program.
        const timespec times[2] = {opened.st_atim, opened.st_mtim};
        untouched = kept && ::ftruncate(file.get(), opened.st_size) == 0 &&
                    ::lseek(file.get(), 0, SEEK_SET) == 0 && writeAll(file.get(), before) &&
                    ::fsync(file.get()) == 0 && ::futimens(file.get(), times) == 0;
        return false;
    }
    if (file.close() != 0) {
        error = errno;
        untouched = false;
        return false;
    }
    error = 0;
    return true;
}

} // namespace

std::string directoryOf(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool isSharedStickyFolder(const struct stat &folder)
{
    return (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
}

namespace {

// Whether the entry at path is a link that is neither this user's nor its folder owner's, in a
// sticky folder anyone may write to (/tmp). Such a link may point at this user's files, or at a
// name its owner can read.
bool isForeignLinkInSharedFolder(const std::string &path, const struct stat &entry)
{
    struct stat folder
    {};
    return S_ISLNK(entry.st_mode) && ::stat(directoryOf(path).c_str(), &folder) == 0 &&
           isSharedStickyFolder(folder) && entry.st_uid != ::geteuid() &&
           entry.st_uid != folder.st_uid;
}

// Whether a folder on the way to path is such a link.
bool passesForeignLink(const std::string &path)
{
    for (auto end = path.find('/', 1); end != std::string::npos; end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        struct stat entry
        {};
        if (::lstat(folder.c_str(), &entry) == 0 && isForeignLinkInSharedFolder(folder, entry))
            return true;
    }
    return false;
}

} // namespace

bool resolveLinks(const std::string &path, std::string &target, int &error)
{
    target = path;
    // The kernel's own limit on links in one lookup.
    for (int hops = 0; hops < 40; ++hops) {
        // The page's links are followed here, not by the kernel, so its guard is kept here.
        // The folders on the way are the kernel's to follow, but its guard may be off (as the
        // fs.protected_symlinks setting allows): they are checked here as well.
        struct stat st
        {};
        const bool isLink = ::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        if (passesForeignLink(target) || (isLink && isForeignLinkInSharedFolder(target, st))) {
            error = EACCES;
            return false;
        }
        if (!isLink)
            return true; // a new file, or one to replace; errors surface when writing
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n <= 0)
            return true;
        link.resize(static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : directoryOf(target) + "/" + link;
    }
    error = ELOOP;
    return false;
}

bool replaceFile(const std::string &path, std::string_view data, int &error)
{
    std::string target;
    // A name holding a NUL names no file; the system would take the name cut at it.
    if (path.empty() || path.find('\0') != std::string::npos) {
        error = path.empty() ? ENOENT : EINVAL;
        return false;
    }
    if (!resolveLinks(path, target, error))
        return false;

    struct stat old
    {};
    const bool replacing = ::lstat(target.c_str(), &old) == 0;
    if (!replacing && errno != ENOENT) {
        error = errno;
        return false;
    }
    if (replacing) {
        // Renaming over a directory, a device or a FIFO would destroy it.
        if (!S_ISREG(old.st_mode)) {
            error = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
            return false;
        }
        // A file nobody may write is one its owner wants kept as it is. Root's writes ignore the
        // bits, and a rename goes round them for everyone, so they are checked here.
        if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            error = EACCES;
            return false;
        }
    }
    // A new file gets 0666 less the umask. A replacement is written readable by its owner only,
    // and given the old file's group, bits and access list before it takes the name: created
    // with the old bits, it would hold the contents for the folder's group (a set-group-ID
    // folder's) while they are written.
    const mode_t mode = replacing ? 0600 : 0666;

    std::string temporary;
    int raw = -1;
    for (unsigned attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temporary = temporaryName(target, attempt);
        raw = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (raw < 0 && errno != EEXIST)
            break;
    }
    if (raw < 0) {
        error = errno;
        // The user's own page in a folder only others may write to (a site's folder kept by
        // root): written in place, as other editors do, rather than not at all. With no copy
        // beside it, a failure half-way leaves it part written; the caller still holds the text.
        bool untouched = true;
        return replacing && error == EACCES && writeInPlace(target, old, data, error, untouched);
    }
    Fd fd(raw);
    const auto fail = [&](int err) {
        ::unlink(temporary.c_str());
        error = err;
        return false;
    };
    if (!writeAll(fd.get(), data) || ::fsync(fd.get()) != 0)
        return fail(errno);
    if (replacing) {
        // Owner and group first: a change of owner clears the set-id bits that fchmod then
        // restores. Only root may give a file away; keeping the group alone is still worth a
        // try, and failing both costs nothing but the owner.
        struct stat now
        {};
        if (::fstat(fd.get(), &now) == 0 &&
            (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
            if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0)
                (void)!::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid);
        }
        // The access list a new file takes from its folder's default is not the old file's,
        // and the old bits would widen its mask: only the old file's own list goes on.
        (void)::fremovexattr(fd.get(), kAccessList);
        if (::fchmod(fd.get(), old.st_mode & 07777) != 0)
            (void)::fchmod(fd.get(), old.st_mode & 0777);
        int xattrError = 0;
        if (!copyExtendedAttributes(target, fd.get(), xattrError))
            return fail(xattrError);
        // Another user's file, or one of a group this user is not in, would become this user's
        // once renamed over, and its owner would lose it; a file with other names (hard links)
        // would keep its old contents under them. Its contents are written into it in place
        // instead, once the temporary file holds them whole: the rename's safety is lost for
        // that write, but the temporary file keeps the new contents should it fail.
        struct stat given
        {};
        if (old.st_nlink > 1 || ::fstat(fd.get(), &given) != 0 || given.st_uid != old.st_uid ||
            given.st_gid != old.st_gid) {
            bool untouched = true;
            if (!writeInPlace(target, old, data, error, untouched))
                return untouched ? fail(error) : false; // else the temporary file keeps them
            ::unlink(temporary.c_str());
            error = 0;
            return true;
        }
    }
    if (fd.close() != 0)
        return fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail(errno);
    // Makes the rename itself durable; the data already is, so a failure here loses nothing.
    Fd dir(::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        (void)::fsync(dir.get());
    removeStaleTemporaries(target);
    error = 0;
    return true;
}

int createFileLike(const std::string &model, const std::string &path, int &error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    // No access list from the folder's default either: the model's own goes on, or none.
    (void)::fremovexattr(fd, kAccessList);
    struct stat like
    {};
    if (::stat(model.c_str(), &like) == 0 && S_ISREG(like.st_mode)) {
        mode_t mode = (like.st_mode & 0777) | 0600;
        struct stat now
        {};
        if (::fstat(fd, &now) != 0 ||
            (now.st_gid != like.st_gid && ::fchown(fd, static_cast<uid_t>(-1), like.st_gid) != 0))
            mode &= 0707; // the bits meant for the model's group would go to another
        int ignored = 0;
        if (::fchmod(fd, mode) != 0 || !copyExtendedAttributes(model, fd, ignored))
            (void)::fchmod(fd, 0600);
    }
    error = 0;
    return fd;
}

} // namespace scrivlet::fileio
