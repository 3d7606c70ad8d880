#pragma once
// The frame's Find and Replace dialogs: loads each on first show, unloads both on the way out,
// and points them at the active document window. The dialogs are owned by the frame widget (as
// Qt children) and only referenced here; the frame is referenced.

#include "dialogs/ISearchTarget.h"

#include <QPointer>

namespace scrivlet {

class IMessageService;
class frmFind;
class frmMain;
class frmReplace;

class SearchDialogs final : public ISearchTarget
{
public:
    SearchDialogs(frmMain &frame, IMessageService &messages);
    ~SearchDialogs() override;

    // Shows the dialog, loading it first when it is not loaded; a loaded one keeps its lists.
    void showFind();
    void showReplace();
    // Unloads both, where loaded.
    void unload();

    IEditControl *activeEditControl() override;
    void focusActiveDocument() override;

private:
    frmMain &m_frame;
    IMessageService &m_messages;
    QPointer<frmFind> m_find;
    QPointer<frmReplace> m_replace;
};

} // namespace scrivlet
