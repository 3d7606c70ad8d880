#include "shell/Opening.h"

#include "files/basFile.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace scrivlet {

namespace {

bool acceptable(const QString &path)
{
    return !basFile::GetFileName(path).isEmpty() && !basFile::GetExtension(path).isEmpty();
}

} // namespace

QStringList CommandPaths(const QString &command, bool *refused)
{
    *refused = false;
    const qsizetype space = command.indexOf(u' ');
    const QString verb = (space < 0 ? command : command.left(space)).toLower();
    if (verb != QStringLiteral("open") && verb != QStringLiteral("edit")) {
        *refused = true;
        return {};
    }
    const QString argument = space < 0 ? QString() : command.mid(space + 1);
    if (argument.isEmpty())
        return {};
    QStringList parts;
    if (argument.size() >= 2 && argument.startsWith(u'"') && argument.endsWith(u'"'))
        parts = argument.mid(1, argument.size() - 2).split(QStringLiteral("\" \""));
    else
        parts = argument.split(u' ');
    // Cleaned as the command line's paths are, so that one page is one window and one entry of
    // the recent files however it was spelled.
    QStringList paths;
    for (const QString &path : parts) {
        if (acceptable(path))
            paths << QDir::cleanPath(path);
    }
    return paths;
}

QStringList DroppedPaths(const QStringList &files)
{
    QStringList paths;
    for (auto it = files.crbegin(); it != files.crend(); ++it) {
        if (acceptable(*it))
            paths << *it;
    }
    return paths;
}

FileDropFilter::FileDropFilter(QWidget *target, std::function<void(const QStringList &)> dropped)
    : QObject(target), m_dropped(std::move(dropped))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool FileDropFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (basFile::LocalFiles(drag->mimeData()).isEmpty()) {
            drag->ignore();
        } else {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = basFile::LocalFiles(drop->mimeData());
        if (files.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        m_dropped(files);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace scrivlet
