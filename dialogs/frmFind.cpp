#include "dialogs/frmFind.h"

#include "dialogs/ISearchTarget.h"
#include "editor/IEditControl.h"
#include "editor/Messages.h"
#include "editor/SearchReplace.h"
#include "platform/Globals.h"
#include "platform/IMessageService.h"

#include <QComboBox>
#include <QPushButton>

#include <exception>

namespace scrivlet {

frmFind::frmFind(ISearchTarget &target, IMessageService &messages, QWidget *owner)
    : SearchDialog(target, messages, owner)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("検索"));
    cboFindStr = addField(QStringLiteral("cboFindStr"), QStringLiteral("検索する文字列(&F):"),
                          QStringLiteral("検索する文字列を入力してください。"), &Label1);
    addComparisonBox();
    cmdFindDown = addButton(QStringLiteral("cmdFindDown"), QStringLiteral("下検索(&N)"),
                            QStringLiteral("下方向に検索します。"));
    cmdFindUp = addButton(QStringLiteral("cmdFindUp"), QStringLiteral("上検索(&P)"),
                          QStringLiteral("上方向に検索します。"));
    cmdCancel = addButton(QStringLiteral("cmdCancel"), QStringLiteral("ｷｬﾝｾﾙ"),
                          QStringLiteral("このﾀﾞｲｱﾛｸﾞを閉じます。"));
    // Enter searches down from wherever the user is typing.
    cmdFindDown->setDefault(true);
    refill(cboFindStr, gFindHistory, QString());

    connect(cmdFindDown, &QPushButton::clicked, this, &frmFind::cmdFindDown_Click);
    connect(cmdFindUp, &QPushButton::clicked, this, &frmFind::cmdFindUp_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFind::cmdCancel_Click);
}

void frmFind::cmdFindDown_Click()
{
    Find(true);
}

void frmFind::cmdFindUp_Click()
{
    Find(false);
}

void frmFind::Find(bool down)
{
    const QString s = cboFindStr->currentText();
    if (s.isEmpty())
        return;
    IEditControl *control = m_target.activeEditControl();
    bool found = false;
    try {
        if (control)
            found = SelectMatch(*control, s, down ? SearchDirection::Down : SearchDirection::Up,
                                compareMode());
    } catch (const std::exception &) {
        control = nullptr;
    }
    if (!control) {
        m_messages.critical(editor::msg::kSearchFailed);
        Unload();
        return;
    }
    if (!found)
        m_messages.information(editor::msg::kSearchFinished);
    UpdateSearchHistory(gFindHistory, s);
    refill(cboFindStr, gFindHistory, s);
    m_target.focusActiveDocument();
}

} // namespace scrivlet
