#include "files/AtomicWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivlet::files {

namespace {

// Replacing a link by a file would cut the user's link (a settings file kept with dotfiles,
// say), so the file behind it is replaced instead.
QString followLinks(const QString &path)
{
    QString target = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            break;
        target = info.symLinkTarget();
    }
    return target;
}

bool writeAll(int fd, QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Makes the rename itself durable. Nothing is lost if this fails: the new contents are in place
// either way, so the result is ignored.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool replaceFileContents(const QString &path, QByteArrayView bytes)
{
    if (path.isEmpty())
        return false;
    const QString target = followLinks(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old = {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return false;
    if (exists) {
        if (!S_ISREG(old.st_mode))
            return false;
        // A file that nobody may write is one its owner wants kept as it is; renaming over it
        // would go round that, so the write fails as it would in place.
        if ((old.st_mode & 0222) == 0 || ::access(targetName.constData(), W_OK) != 0)
            return false;
    }

    const QFileInfo info(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate(), 36);
        tempName = folder + "/." + QFile::encodeName(info.fileName()) + '.' + suffix.toLatin1();
        // Mode 0666 before the umask: a new file gets the permissions any new file would.
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool good = true;
    if (exists) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Only root may give a file away; keeping the group is still worth a try, and
            // failing both costs nothing but the owner.
            const bool ownerKept = ::fchown(fd, old.st_uid, old.st_gid) == 0 ||
                                   ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
            Q_UNUSED(ownerKept);
        }
        good = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    good = good && writeAll(fd, bytes) && ::fsync(fd) == 0;
    good = ::close(fd) == 0 && good;
    good = good && ::rename(tempName.constData(), targetName.constData()) == 0;
    if (!good) {
        ::unlink(tempName.constData());
        return false;
    }
    syncFolder(folder);
    return true;
}

} // namespace scrivlet::files
