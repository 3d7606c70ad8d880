#include "dialogs/frmReplace.h"

#include "dialogs/ISearchTarget.h"
#include "dialogs/Messages.h"
#include "editor/IEditControl.h"
#include "editor/Messages.h"
#include "editor/SearchReplace.h"
#include "platform/Globals.h"
#include "platform/IMessageService.h"

#include <QComboBox>
#include <QPushButton>

#include <exception>

namespace scrivlet {

frmReplace::frmReplace(ISearchTarget &target, IMessageService &messages, QWidget *owner)
    : SearchDialog(target, messages, owner)
{
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(QStringLiteral("置換"));
    cboFindStr = addField(QStringLiteral("cboFindStr"), QStringLiteral("検索する文字列(&F):"),
                          QStringLiteral("検索する文字列を入力してください。"), &Label1);
    cboReplaceStr = addField(QStringLiteral("cboReplaceStr"), QStringLiteral("置換後の文字列(&R):"),
                             QStringLiteral("置き換える文字列を入力してください。"), &Label2);
    addComparisonBox();
    cmdFindDown = addButton(QStringLiteral("cmdFindDown"), QStringLiteral("下検索(&N)"),
                            QStringLiteral("下方向に検索・置換します。"));
    cmdFindUp = addButton(QStringLiteral("cmdFindUp"), QStringLiteral("上検索(&P)"),
                          QStringLiteral("上方向に検索・置換します。"));
    cmdAllReplace = addButton(QStringLiteral("cmdAllReplace"), QStringLiteral("全置換(&A)"),
                              QStringLiteral("すべての文字列を置換します。"));
    cmdCancel = addButton(QStringLiteral("cmdCancel"), QStringLiteral("ｷｬﾝｾﾙ"),
                          QStringLiteral("このﾀﾞｲｱﾛｸﾞを閉じます。"));
    // Enter replaces the next match down, the step a user repeats most.
    cmdFindDown->setDefault(true);
    refill(cboFindStr, gFindHistory, QString());
    refill(cboReplaceStr, gReplaceHistory, QString());

    connect(cmdFindDown, &QPushButton::clicked, this, &frmReplace::cmdFindDown_Click);
    connect(cmdFindUp, &QPushButton::clicked, this, &frmReplace::cmdFindUp_Click);
    connect(cmdAllReplace, &QPushButton::clicked, this, &frmReplace::cmdAllReplace_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmReplace::cmdCancel_Click);
}

void frmReplace::cmdFindDown_Click()
{
    Replace(true);
}

void frmReplace::cmdFindUp_Click()
{
    Replace(false);
}

void frmReplace::Replace(bool down)
{
    const QString s = cboFindStr->currentText();
    const QString r = cboReplaceStr->currentText();
    if (s.isEmpty())
        return;
    IEditControl *control = m_target.activeEditControl();
    bool found = false;
    try {
        if (control) {
            found = SelectMatch(*control, s, down ? SearchDirection::Down : SearchDirection::Up,
                                compareMode());
            // Replaced at once, without asking. The caret goes to the side the search goes on
            // from: after the new text going down, before it going up. Left after it going up,
            // a replacement that matches again (abc by ABC, ignoring case) was found and
            // replaced again at every press, and the text above was never reached.
            if (found) {
                const int at = control->SelStart();
                control->setSelText(r);
                if (!down)
                    control->setSelStart(at);
            }
        }
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
    UpdateSearchHistory(gReplaceHistory, r);
    refill(cboFindStr, gFindHistory, s);
    refill(cboReplaceStr, gReplaceHistory, r);
    m_target.focusActiveDocument();
}

void frmReplace::cmdAllReplace_Click()
{
    // An empty search string is not refused: it matches nothing and the text stays as it was.
    const QString s = cboFindStr->currentText();
    const QString r = cboReplaceStr->currentText();
    IEditControl *control = m_target.activeEditControl();
    try {
        if (control)
            ReplaceAllInControl(*control, s, r, compareMode());
    } catch (const std::exception &) {
        control = nullptr;
    }
    if (!control)
        m_messages.critical(dialogs::msg::kReplaceFailed);
}

} // namespace scrivlet
