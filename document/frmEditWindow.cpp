// The Window menu of a document window: the arrangements run by the frame, and the list of the
// document windows below them.

#include "document/IFrame.h"
#include "document/MenuFamily.h"
#include "document/frmEdit.h"

#include <QAction>
#include <QMenu>

namespace scrivlet {

void frmEdit::mnuWindow_Click(int index)
{
    m_frame.arrangeWindows(index);
}

void frmEdit::mnuWindowMenu_Click()
{
    for (QAction *entry : std::as_const(m_windowList))
        delete entry;
    m_windowList.clear();
    const QList<IFrame::WindowEntry> windows = m_frame.windowList();
    if (windows.isEmpty())
        return;
    m_windowList.append(mnuWindowMenu->addSeparator());
    int number = 1;
    for (const IFrame::WindowEntry &window : windows) {
        QString caption = MenuCaption(window.caption);
        // The first nine carry their number as access key.
        if (number <= 9)
            caption = u'&' + QString::number(number) + u' ' + caption;
        ++number;
        QAction *entry = mnuWindowMenu->addAction(caption);
        entry->setObjectName(QStringLiteral("mnuWindowList_") + window.key);
        entry->setCheckable(true);
        entry->setChecked(window.active);
        const QString key = window.key;
        connect(entry, &QAction::triggered, this, [this, key] { m_frame.showDocument(key); });
        m_windowList.append(entry);
    }
}

} // namespace scrivlet
