#include "preview/Help.h"

#include "platform/Globals.h"
#include "platform/IMessageService.h"
#include "platform/IShell.h"
#include "preview/Messages.h"
#include "preview/WebLinks.h"

namespace scrivlet::preview {

void OpenHelpContents(IShell &shell, IMessageService &messages)
{
    if (!shell.openWithDefault(gProgramDirectory + kHelpContentsPath))
        messages.critical(msg::kHelpFailed);
}

void OpenHomePage(IShell &shell, IMessageService &messages)
{
    if (!shell.openWithDefault(kHomePageUrl))
        messages.critical(msg::kWebSiteFailed);
}

void OpenDownloadPage(IShell &shell, IMessageService &messages)
{
    if (!shell.openWithDefault(kDownloadPageUrl))
        messages.critical(msg::kWebSiteFailed);
}

} // namespace scrivlet::preview
