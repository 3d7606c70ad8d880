#pragma once
// The modeless Replace dialog: replaces the next match down or up at once, or every match as
// one change, and keeps the find and the replacement history. Owns its controls; references the
// frame's search target and the message service.

#include "dialogs/SearchDialog.h"

namespace scrivlet {

class frmReplace final : public SearchDialog
{
    Q_OBJECT
public:
    // Loads the dialog: its lists from the two histories, its fields empty.
    frmReplace(ISearchTarget &target, IMessageService &messages, QWidget *owner);

    void cmdFindDown_Click();
    void cmdFindUp_Click();
    void cmdAllReplace_Click();

    QLabel *Label2 = nullptr;
    QComboBox *cboReplaceStr = nullptr;
    QPushButton *cmdAllReplace = nullptr;

private:
    void Replace(bool down);
};

} // namespace scrivlet
