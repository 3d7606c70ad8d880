#pragma once
// The desktop's default handlers and program start through Qt; owns nothing.

#include "platform/IShell.h"

#include <QUrl>

namespace scrivlet {

class QtShell final : public IShell
{
public:
    // openerVerdictMs: how long an open waits for the desktop's opener to report a failure.
    explicit QtShell(int openerVerdictMs = 1000) : m_openerVerdictMs(openerVerdictMs) {}

    // Through xdg-open where it is installed, so that "no handler" is reported; otherwise
    // through whatever other means Qt has. False, without asking the desktop, for a local file
    // that does not exist.
    bool openWithDefault(const QString &fileOrUrl) override;
    // Started detached, so the program outlives this one.
    bool startProgram(const QString &program, const QStringList &arguments) override;

    // What the desktop is handed: an existing file or anything without a scheme as a local file
    // (a relative path taken from the current directory), everything else as the URL it is.
    // Empty for an empty text.
    static QUrl urlFor(const QString &fileOrUrl);

private:
    bool runOpener(const QString &opener, const QString &target) const;

    int m_openerVerdictMs;
};

} // namespace scrivlet
