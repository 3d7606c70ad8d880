#pragma once
// What the desktop does for the program: open a file or a URL with its default handler, start
// another program. Owns nothing.

#include <QString>
#include <QStringList>

namespace scrivlet {

class IShell
{
public:
    virtual ~IShell() = default;
    // True when the desktop took the file or URL (a path, http:, mailto: ...); false for a file
    // that does not exist.
    virtual bool openWithDefault(const QString &fileOrUrl) = 0;
    // True when the program was started.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
};

} // namespace scrivlet
