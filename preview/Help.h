#pragma once
// The Help menu's pages: the help contents below the program directory and the author's web
// pages, each opened with the desktop's default handler. References the services it is given.

namespace scrivlet {
class IMessageService;
class IShell;
} // namespace scrivlet

namespace scrivlet::preview {

// The program directory's "doc/index.html"; a failure (no such file, no handler) is shown.
void OpenHelpContents(IShell &shell, IMessageService &messages);
// The author's home page and the program's download page; a failure is shown.
void OpenHomePage(IShell &shell, IMessageService &messages);
void OpenDownloadPage(IShell &shell, IMessageService &messages);

} // namespace scrivlet::preview
