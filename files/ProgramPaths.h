#pragma once
// Where the program's files live. The data files (dictionaries, templates, help) are always read
// from the program directory; the settings file and the conversion work file live there too
// unless the program directory cannot be written, as after a system-wide install.

#include <QString>

namespace scrivlet::files {

// The program directory for an executable's folder: the folder with a trailing "/".
QString programDirectoryFor(const QString &executableFolder);

// The one place that decides where Scrivlet.ini and the work file live: the program directory
// when it is writable, otherwise $XDG_CONFIG_HOME/Scrivlet/ (made with mode 0700 and seeded once
// with the program directory's Scrivlet.ini). Ends with "/".
QString userDataDirectory();

// The decision itself, for a given program directory, whether it can be written, and the
// user's configuration folder.
QString userDataDirectoryFor(const QString &programDirectory, bool programDirectoryWritable,
                             const QString &configHome);

QString settingsFilePath();
QString workFilePath();

// The work file in dataFolder, or in the user's runtime folder when dataFolder cannot be
// written.
QString workFilePathIn(const QString &dataFolder);

} // namespace scrivlet::files
