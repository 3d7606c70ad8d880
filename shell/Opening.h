#pragma once
// Files that reach a running frame from outside: a command on the instance channel, and files
// dropped on the frame's empty area. Pure rules, plus the filter that takes the drops.

#include <QObject>
#include <QStringList>

#include <functional>

namespace scrivlet {

// The paths an instance-channel command opens, in order. refused is set for a verb other than
// "open" or "edit" (any case) and for an empty command; no argument opens nothing.
QStringList CommandPaths(const QString &command, bool *refused);

// The paths of a drop to open, in the order to open them: from the last file to the first, so
// that the first ends up in front. Paths without a file name or an extension are left out.
QStringList DroppedPaths(const QStringList &files);

// Takes drops of local files on a widget and hands over the file list; anything else dropped
// there is refused. Owned by the widget it watches.
class FileDropFilter final : public QObject
{
public:
    FileDropFilter(QWidget *target, std::function<void(const QStringList &files)> dropped);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QStringList &)> m_dropped;
};

} // namespace scrivlet
