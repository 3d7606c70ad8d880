#include "files/ProgramPaths.h"

#include "files/AtomicWrite.h"
#include "files/IniFormat.h"
#include "files/basINI.h"
#include "platform/Globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace scrivlet::files {

namespace {

const QString kSettingsFileName = QStringLiteral("Scrivlet.ini");
const QString kWorkFileName = QStringLiteral("Convert.html_");

bool writableFolder(const QString &folder)
{
    return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// Makes folder, and the folders above it, if it is missing; the folder itself is the user's
// alone.
void makePrivateFolder(const QString &folder)
{
    if (QFileInfo::exists(folder))
        return;
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

QString programDirectoryFor(const QString &executableFolder)
{
    return executableFolder.endsWith(u'/') ? executableFolder : executableFolder + u'/';
}

QString userDataDirectory()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return userDataDirectoryFor(gProgramDirectory, writableFolder(gProgramDirectory), config);
}

QString userDataDirectoryFor(const QString &programDirectory, bool programDirectoryWritable,
                             const QString &configHome)
{
    if (programDirectoryWritable)
        return programDirectory;
    const QString folder = configHome + QStringLiteral("/Scrivlet/");
    makePrivateFolder(folder);
    // Settings shipped with the program are the user's starting point, taken while the user has
    // none (the folder may already hold the key store of the shell verb). The copy is the
    // user's to change, whatever mode the shipped file has: a read-only install would make
    // every later setting fail to save.
    const QString own = folder + kSettingsFileName;
    QFile shipped(programDirectory + kSettingsFileName);
    if (QFileInfo::exists(own) || !shipped.open(QIODevice::ReadOnly))
        return folder;
    QByteArray bytes = shipped.readAll();
    // The recent files and search strings in it are someone's sessions (a run by the folder's
    // owner, root for a shared install), not settings: the user starts without them.
    for (const basINI::KeptList &kept : basINI::kKeptLists) {
        for (const QString &key : basINI::NumberedKeys(kept.size)) {
            if (!profileValue(bytes, kept.section, key).value_or(QString()).isEmpty())
                bytes = withProfileValue(bytes, kept.section, key, QString()).value_or(bytes);
        }
    }
    if (replaceFileContents(own, bytes))
        QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner);
    return folder;
}

QString settingsFilePath()
{
    return userDataDirectory() + kSettingsFileName;
}

QString workFilePath()
{
    return workFilePathIn(userDataDirectory());
}

QString workFilePathIn(const QString &dataFolder)
{
    if (writableFolder(dataFolder))
        return dataFolder + kWorkFileName;
    // Neither the program directory nor the user's settings folder can be written (a read-only
    // home, a folder a run with sudo made): every page would fail to open and to save, each
    // blamed for it. The user's runtime folder is private to the user.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                            QStringLiteral("/Scrivlet/");
    makePrivateFolder(runtime);
    return runtime + kWorkFileName;
}

} // namespace scrivlet::files
