#pragma once
// Makes the shell verbs of the registry store real on a freedesktop.org desktop: one hidden
// desktop entry per file class and verb, so that the file manager offers the verb under "Open
// With" and runs the program's shell helper for it. Stateless.

#include "platform/IRegistry.h"

#include <QString>
#include <QStringList>

namespace scrivlet::options {

// Where the desktop keeps applications and their associations.
struct DesktopPlaces
{
    QString applications;          // the user's applications folder: our entries and mimeinfo.cache
    QString mimeappsList;          // the user's mimeapps.list, where the defaults are pinned
    QStringList otherMimeapps;     // the other association files, strongest first
    QStringList otherApplications; // the other applications folders, strongest first
    // The user's association files of the current desktop ($XDG_CONFIG_HOME/gnome-mimeapps.list),
    // which outrank mimeapps.list.
    QStringList desktopMimeapps;

    // $XDG_DATA_HOME/applications, $XDG_CONFIG_HOME/mimeapps.list and the system's folders, with
    // the association files of each desktop $XDG_CURRENT_DESKTOP names before the plain one of
    // their folder, as the desktop looks them up.
    static DesktopPlaces fromEnvironment();
};

// The prefix of the file names of our entries; nothing else in the folder is ours.
inline const QString kEntryPrefix = QStringLiteral("scrivlet-verb-");

// The file name of the entry of a class and a verb.
QString EntryFileName(const QString &fileClass, const QString &verb);

// The Exec line that runs program with these arguments followed by the file, quoted and escaped
// for a desktop entry.
QString ExecLine(const QString &program, const QStringList &arguments);

// Brings the user's applications folder in line with the verbs of the store: writes an entry
// for every class that is a MIME type and every verb of it whose command is set, removes our
// entries no longer wanted, and refreshes the folder's MIME cache. Before a type gets its first
// entry, its current default application is pinned in mimeapps.list, so a double-click keeps
// doing what it did. program is the executable the entries run. False when a file could not be
// written; the store is never touched.
bool ProjectShellVerbs(const IRegistry &registry, const DesktopPlaces &places,
                       const QString &program);

} // namespace scrivlet::options
