// The document window's Tool and Help menus: preview of the document in a browser, the options,
// the help pages, the author's pages and the About box.

#include "document/DocumentView.h"
#include "document/IFrame.h"
#include "document/Messages.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "preview/Preview.h"

namespace scrivlet {

void frmEdit::mnuTool_Click(int index)
{
    m_view->hidePopup();
    if (index == 4) {
        m_frame.ShowOptionsDialog();
        return;
    }
    if (index < 0 || index > 2 || !objDoc)
        return;
    const bool named = preview::EnsureSaved(
        m_platform.messages, [this] { return strDocName.startsWith(document::msg::kUntitled); },
        [this] { return strDocName; }, [this] { mnuFile_Click(5); });
    if (!named)
        return;
    const preview::PreviewServices services{m_platform.messages, m_platform.shell, [this] {
                                                m_frame.ShowOptionsDialog();
                                            }};
    preview::PreviewDocument(static_cast<preview::Browser>(index), services, strPreviewFile,
                             strDocName, control().Text());
}

void frmEdit::mnuHelp_Click(int index)
{
    m_frame.mnuHelp_Click(index);
}

} // namespace scrivlet
