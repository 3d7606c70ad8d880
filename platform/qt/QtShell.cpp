#include "platform/qt/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace scrivlet {

QUrl QtShell::urlFor(const QString &fileOrUrl)
{
    if (fileOrUrl.isEmpty())
        return {};
    const QFileInfo file(fileOrUrl);
    if (file.exists())
        return QUrl::fromLocalFile(file.absoluteFilePath());
    // A one-letter scheme is a drive letter of a path written for another system, not a URL.
    const QUrl url(fileOrUrl);
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(file.absoluteFilePath());
}

bool QtShell::openWithDefault(const QString &fileOrUrl)
{
    const QUrl url = urlFor(fileOrUrl);
    // The desktop's handler would report a missing file later and to nobody; it is refused here,
    // as the file's absence is known now.
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return false;
    return url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url);
}

bool QtShell::startProgram(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

} // namespace scrivlet
