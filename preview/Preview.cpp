#include "preview/Preview.h"

#include "fileio/AtomicReplace.h"
#include "fileio/Fd.h"
#include "files/Messages.h"
#include "files/basFile.h"
#include "files/basINI.h"
#include "platform/IMessageService.h"
#include "platform/IShell.h"
#include "preview/Messages.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <climits>

#include <sys/stat.h>

namespace scrivlet::preview {

namespace {

// The configured program of the browser, or empty when none is set or the setting names no
// existing file: both count as "not configured".
QString configuredProgram(Browser browser)
{
    const QString path =
        basINI::ReadIniString(QStringLiteral("Browser"), BrowserSettingKey(browser), QString());
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

// Starts the configured program with the page (or with no argument when page is empty). The
// page is one argument, so a path with blanks reaches the browser whole. True when a process
// was started.
bool startConfigured(const PreviewServices &services, const QString &program,
                     const QStringList &arguments)
{
    return !program.isEmpty() && services.shell.startProgram(program, arguments);
}

void askForNetscapeSetting(const PreviewServices &services)
{
    if (services.messages.questionYesNo(msg::kNetscapeNotSet) && services.showOptionsDialog)
        services.showOptionsDialog();
}

} // namespace

QString BrowserSettingKey(Browser browser)
{
    switch (browser) {
    case Browser::InternetExplorer:
        return QStringLiteral("Internet Explorer");
    case Browser::Netscape:
        return QStringLiteral("Netscape");
    case Browser::Associated:
        break;
    }
    return {};
}

QString NextPreviewPath(const QString &documentPath)
{
    const qsizetype slash = documentPath.lastIndexOf(u'/');
    const QString folder = documentPath.left(slash + 1);
    QString base = documentPath.mid(slash + 1);
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot >= 0)
        base.truncate(dot);
    for (int i = 0;; ++i) {
        const auto name = [&] {
            return QStringLiteral("tmp") + base + QString::number(i) + QStringLiteral(".html");
        };
        while (!base.isEmpty() && QFile::encodeName(name()).size() > NAME_MAX) {
            base.chop(1);
            if (!base.isEmpty() && QChar::isHighSurrogate(base.back().unicode()))
                base.chop(1);
        }
        const QFileInfo info(folder + name());
        if (!info.exists() && !info.isSymLink())
            return info.filePath();
    }
}

std::optional<PreviewCopy::Identity> PreviewCopy::identityOf(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Identity{st.st_dev, st.st_ino, st.st_size, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

std::optional<PreviewCopy::Identity> PreviewCopy::identityOf(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return Identity{st.st_dev, st.st_ino, st.st_size, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

void PreviewCopy::remove()
{
    // A save of the user's under this name replaced the file (a new inode) or rewrote it (a new
    // change time): either way it is no longer the copy.
    if (!m_path.isEmpty() && identityOf(m_path) == m_written)
        QFile::remove(m_path);
    m_path.clear();
}

QString PreviewCopy::write(IMessageService &messages, const QString &documentPath,
                           const QString &text)
{
    // The old name is forgotten even when no new copy follows: once it is free another window
    // may take it, and this window's next preview must not delete that window's copy.
    remove();
    // The name is taken with an empty file as private as the document (a document gone from its
    // place gives a copy for its owner only), and the copy is written through the file taken:
    // written by name, it could have been swapped for a link to another file meanwhile by anyone
    // who may write to the folder.
    QString path;
    int error = 0;
    int taken = -1;
    for (int tries = 0; tries < 100 && taken < 0; ++tries) {
        path = NextPreviewPath(documentPath);
        taken = fileio::createFileLike(QFile::encodeName(documentPath).toStdString(),
                                       QFile::encodeName(path).toStdString(), error);
        if (taken < 0 && error != EEXIST)
            break;
    }
    if (taken < 0) {
        messages.critical(files::msg::kSaveFailed);
        return {};
    }
    fileio::Fd copy(taken);
    // The bytes are those of a save, made in a folder of this user's own; a save that fails
    // there has said why.
    QTemporaryDir own;
    const QString made = own.filePath(QStringLiteral("copy.html"));
    bool written = false;
    if (own.isValid() && basFile::SaveTextFile(messages, made, text)) {
        QFile bytes(made);
        const QByteArray data = bytes.open(QIODevice::ReadOnly) ? bytes.readAll() : QByteArray();
        written = bytes.isOpen() &&
                  fileio::writeAll(copy.get(), std::string_view(data.constData(), data.size()));
        if (!written)
            messages.critical(files::msg::kSaveFailed);
    } else if (!own.isValid()) {
        messages.critical(files::msg::kSaveFailed);
    }
    const std::optional<Identity> now = identityOf(copy.get());
    if (copy.close() != 0 && written) {
        written = false;
        messages.critical(files::msg::kSaveFailed);
    }
    if (!written || !now) {
        if (now && identityOf(path) == now)
            QFile::remove(path); // the file taken, still at its name
        return {};
    }
    m_path = path;
    m_written = *now;
    return path;
}

bool EnsureSaved(IMessageService &messages, const std::function<bool()> &isUntitled,
                 const std::function<QString()> &documentName, const std::function<void()> &save)
{
    while (isUntitled()) {
        save();
        if (!isUntitled())
            break;
        const QString question = documentName() + msg::kNotSavedLine1 + QStringLiteral("\r\n") +
                                 msg::kNotSavedLine2 + QStringLiteral("\r\n") + msg::kNotSavedLine3;
        if (!messages.questionYesNo(question))
            return false;
    }
    return true;
}

void PreviewDocument(Browser browser, const PreviewServices &services, PreviewCopy &copy,
                     const QString &documentPath, const QString &text)
{
    auto makePreview = [&] {
        return copy.write(services.messages, documentPath, text);
    };
    switch (browser) {
    case Browser::InternetExplorer: {
        const QString program = configuredProgram(browser);
        if (!program.isEmpty()) {
            const QString page = makePreview();
            if (page.isEmpty() || startConfigured(services, program, {page}))
                return;
        }
        // The desktop's default browser stands in for a browser that is not configured or
        // could not be started; it gets a fresh copy, which replaces the one just written.
        const QString page = makePreview();
        if (!page.isEmpty() && !services.shell.openWithDefault(page))
            services.messages.critical(msg::kInternetExplorerFailed);
        return;
    }
    case Browser::Netscape: {
        const QString program = configuredProgram(browser);
        if (!program.isEmpty()) {
            const QString page = makePreview();
            if (page.isEmpty() || startConfigured(services, program, {page}))
                return;
        }
        askForNetscapeSetting(services);
        return;
    }
    case Browser::Associated: {
        const QString page = makePreview();
        if (!page.isEmpty() && !services.shell.openWithDefault(page))
            services.messages.critical(msg::kAssociatedBrowserFailed);
        return;
    }
    }
}

void StartBrowser(Browser browser, const PreviewServices &services)
{
    switch (browser) {
    case Browser::InternetExplorer:
        if (startConfigured(services, configuredProgram(browser), {}))
            return;
        if (!services.shell.openWithDefault(kBlankPage))
            services.messages.critical(msg::kInternetExplorerFailed);
        return;
    case Browser::Netscape:
        if (!startConfigured(services, configuredProgram(browser), {}))
            askForNetscapeSetting(services);
        return;
    case Browser::Associated:
        return;
    }
}

} // namespace scrivlet::preview
