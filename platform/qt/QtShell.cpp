#include "platform/qt/QtShell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

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
    if (!url.isValid() || url.isEmpty())
        return false;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return QDesktopServices::openUrl(url);
    return runOpener(opener,
                     url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded));
}

bool QtShell::runOpener(const QString &opener, const QString &target) const
{
    // xdg-open ends at once when it finds no handler, but may stay for as long as the browser
    // runs when it starts one in the foreground: a quick non-zero exit is a failure, anything
    // still running after the wait is a handler at work. Its output goes where ours goes, so
    // the browser it starts never writes into a pipe that closes with this program.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({target});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start();
    if (!process->waitForStarted()) {
        process->deleteLater();
        return false;
    }
    if (!process->waitForFinished(m_openerVerdictMs))
        return true;
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

bool QtShell::startProgram(const QString &program, const QStringList &arguments)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

} // namespace scrivlet
