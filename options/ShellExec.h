#pragma once
// What the desktop does with a stored verb when the user picks it for a file: hand the file to
// a running instance over the instance channel, or start the verb's command and hand it the file
// once the new instance serves. Stateless.

#include "platform/IInstanceChannel.h"
#include "platform/IRegistry.h"

#include <QStringList>

#include <functional>

namespace scrivlet::options {

// Starts program with arguments without waiting for it; true when it started.
using StartProgram = std::function<bool(const QString &program, const QStringList &arguments)>;

// A command line split the way the verb's command is meant: a program path, quoted or not (an
// unquoted one may hold spaces: the shortest prefix that names a program file wins), then
// arguments separated by spaces, where a pair of double quotes groups one argument.
QStringList SplitCommandLine(const QString &commandLine);

// Runs verb of fileClass for file: 0 when the file was handed over (or the command started, for
// a verb without a DDE command), 1 when not. waitMs is how long a started instance is given to
// begin serving.
int ShellExec(IRegistry &registry, IInstanceChannel &channel, const StartProgram &start,
              const QString &fileClass, const QString &verb, const QString &file,
              int waitMs = 30000);

} // namespace scrivlet::options
