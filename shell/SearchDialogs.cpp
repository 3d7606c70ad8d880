#include "shell/SearchDialogs.h"

#include "dialogs/frmFind.h"
#include "dialogs/frmReplace.h"
#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QShortcut>

namespace scrivlet {

namespace {

template<class Dialog>
void showDialog(QPointer<Dialog> &dialog, SearchDialogs &dialogs, frmMain &frame,
                IMessageService &messages)
{
    // A dialog on its way out after an unload counts as not loaded.
    if (!dialog || dialog->isUnloaded()) {
        dialog = new Dialog(dialogs, messages, &frame);
        // The Edit menu's keys, pressed in either dialog, do what they do in the page.
        for (const auto &[key, show] : {std::pair{kFindKey, &SearchDialogs::showFind},
                                        {kReplaceKey, &SearchDialogs::showReplace}}) {
            QObject::connect(new QShortcut(QKeySequence(key), dialog), &QShortcut::activated,
                             dialog, [&dialogs, show = show] { (dialogs.*show)(); });
        }
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    // Called up again, the dialog offers its search string to be typed over, wherever its focus
    // was left: find, edit, find again must not search for the two strings run together.
    dialog->cboFindStr->setFocus(Qt::ShortcutFocusReason);
    dialog->cboFindStr->lineEdit()->selectAll();
}

} // namespace

SearchDialogs::SearchDialogs(frmMain &frame, IMessageService &messages)
    : m_frame(frame), m_messages(messages)
{}

SearchDialogs::~SearchDialogs()
{
    // The dialogs reference this object; they must not outlive it, even by a pending delete.
    delete m_find.data();
    delete m_replace.data();
}

void SearchDialogs::showFind()
{
    showDialog(m_find, *this, m_frame, m_messages);
}

void SearchDialogs::showReplace()
{
    showDialog(m_replace, *this, m_frame, m_messages);
}

void SearchDialogs::unload()
{
    if (m_find)
        m_find->Unload();
    if (m_replace)
        m_replace->Unload();
}

IEditControl *SearchDialogs::activeEditControl()
{
    frmEdit *window = m_frame.activeDocument();
    return window && !window->isUnloaded() && window->document() ? &window->control() : nullptr;
}

void SearchDialogs::focusActiveDocument()
{
    frmEdit *window = m_frame.activeDocument();
    if (!window || window->isUnloaded())
        return;
    m_frame.activateWindow();
    window->textEdit()->setFocus(Qt::OtherFocusReason);
}

} // namespace scrivlet
