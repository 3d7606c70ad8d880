#pragma once
// The modeless Find dialog: searches the active document window down or up for the string of
// its field, in the comparison its check box chooses, and keeps the find history. Owns its
// controls; references the frame's search target and the message service.

#include "dialogs/SearchDialog.h"

namespace scrivlet {

class frmFind final : public SearchDialog
{
    Q_OBJECT
public:
    // Loads the dialog: its list from the find history, its field empty.
    frmFind(ISearchTarget &target, IMessageService &messages, QWidget *owner);

    void cmdFindDown_Click();
    void cmdFindUp_Click();

private:
    void Find(bool down);
};

} // namespace scrivlet
