// The frame's Tool and Help menus, shown while no document is open: a browser started without
// a page, the options, the help pages, the author's pages and the About box.

#include "dialogs/frmAbout.h"
#include "dialogs/frmOption.h"
#include "preview/Help.h"
#include "preview/Preview.h"
#include "shell/frmMain.h"

namespace scrivlet {

void frmMain::ShowOptionsDialog()
{
    if (m_optionsDialogHook)
        m_optionsDialogHook();
    else
        frmOption::ShowModal(m_platform, this);
}

void frmMain::mnuTool_Click(int index)
{
    if (index == 3) {
        ShowOptionsDialog();
        return;
    }
    if (index != 0 && index != 1)
        return;
    const preview::PreviewServices services{m_platform.messages, m_platform.shell, [this] {
                                                ShowOptionsDialog();
                                            }};
    preview::StartBrowser(static_cast<preview::Browser>(index), services);
}

void frmMain::mnuHelp_Click(int index)
{
    switch (index) {
    case 0:
        preview::OpenHelpContents(m_platform.shell, m_platform.messages);
        break;
    case 2:
        preview::OpenHomePage(m_platform.shell, m_platform.messages);
        break;
    case 3:
        preview::OpenDownloadPage(m_platform.shell, m_platform.messages);
        break;
    case 5:
        frmAbout::ShowModal(m_platform.shell, m_platform.messages, this);
        break;
    default:
        break;
    }
}

} // namespace scrivlet
