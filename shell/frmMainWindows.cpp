// The frame's toolbar, its document area and the Window menu's arrangements.

#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "shell/ToolBar.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace scrivlet {

namespace {

QList<QMdiSubWindow *> minimizedOf(const QList<QMdiSubWindow *> &subs)
{
    QList<QMdiSubWindow *> out;
    for (QMdiSubWindow *sub : subs) {
        if (sub->isVisible() && sub->isMinimized())
            out.append(sub);
    }
    return out;
}

} // namespace

void frmMain::tlbToolBar_ButtonClick(const QString &key)
{
    const ToolButton *button = findToolButton(key);
    if (!button)
        return;
    frmEdit *active = activeDocument();
    switch (button->target) {
    case ToolTarget::None:
        break;
    case ToolTarget::FrameFile:
        mnuFile_Click(button->index);
        break;
    case ToolTarget::FrameHelp:
        if (QAction *item = mnuHelp.value(button->index))
            item->trigger();
        break;
    case ToolTarget::DocumentFile:
        if (active)
            active->mnuFile_Click(button->index);
        break;
    case ToolTarget::DocumentEditIfEnabled:
        if (active && active->mnuEdit.value(button->index) &&
            active->mnuEdit[button->index]->isEnabled())
            active->mnuEdit_Click(button->index);
        break;
    case ToolTarget::DocumentEdit:
        if (active)
            active->mnuEdit_Click(button->index);
        break;
    case ToolTarget::DocumentTool:
        // The Tool items carry their command; the button runs whatever the menu runs.
        if (active) {
            if (QAction *item = active->mnuTool.value(button->index))
                item->trigger();
        }
        break;
    }
}

void frmMain::setDocumentButtonsEnabled(bool enabled)
{
    for (const ToolButton &button : toolButtons()) {
        switch (button.target) {
        case ToolTarget::DocumentFile:
        case ToolTarget::DocumentEdit:
        case ToolTarget::DocumentEditIfEnabled:
        case ToolTarget::DocumentTool:
            setToolButtonEnabled(QString(button.key), enabled);
            break;
        default:
            break;
        }
    }
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        walkUsedDocuments(watched, *static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::WindowTitleChange && qobject_cast<frmEdit *>(watched)) {
        updateFrameTitle();
        return false;
    }
    if (watched == menuWidget() &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        QMetaObject::invokeMethod(this, &frmMain::leaveIdleMenuBar, Qt::QueuedConnection);
        return false;
    }
    if (watched != m_mdiArea->viewport())
        return QMainWindow::eventFilter(watched, event);
    if (event->type() != QEvent::MouseButtonDblClick && event->type() != QEvent::MouseButtonPress)
        return QMainWindow::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    // Only the empty area has these meanings. A click a window leaves unhandled, such as the text's
    // right-button press that opens the Edit menu, bubbles up here too and must stay the window's.
    if (m_mdiArea->viewport()->childAt(mouse->position().toPoint()))
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (mouse->button() == Qt::LeftButton) {
            mnuFile_Click(1);
            return true;
        }
    } else if (mouse->button() == Qt::RightButton) {
        mnuFileMenu->popup(mouse->globalPosition().toPoint());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::leaveIdleMenuBar()
{
    // Entered by keyboard a second time before it was left (Alt+F, Esc, Alt+E), Qt's menu bar
    // takes itself for the widget to give the focus back to; left, it keeps a focus it does
    // nothing with, and typing would go nowhere. The text gets it instead.
    QMenuBar *bar = menuBar();
    if (!bar->hasFocus() || bar->activeAction() || QApplication::activePopupWidget())
        return;
    if (frmEdit *window = activeDocument(); window && !window->isUnloaded())
        window->textEdit()->setFocus(Qt::MenuBarFocusReason);
}

QString frmMain::frameTitle() const
{
    const frmEdit *active = activeDocument();
    if (!active || active->isUnloaded())
        return QStringLiteral("Scrivlet");
    return QStringLiteral("Scrivlet - [") + active->windowTitle() + u']';
}

void frmMain::updateFrameTitle()
{
    if (windowTitle() != frameTitle())
        setWindowTitle(frameTitle());
}

// The document area writes the frame's title itself while a window is maximized and puts
// back an older one when it is restored; the frame keeps naming the active document.
void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && m_mdiArea)
        updateFrameTitle();
}

void frmMain::arrangeWindows(int index)
{
    switch (index) {
    case 0:
        cascadeWindows();
        break;
    case 1:
        tileWindows(Qt::Vertical);
        break;
    case 2:
        tileWindows(Qt::Horizontal);
        break;
    case 3:
        minimizeAll();
        break;
    case 4:
        arrangeIcons();
        break;
    default:
        break;
    }
}

void frmMain::minimizeAll()
{
    // The active window goes first: the document area hands a maximized active window's state
    // on to any window it touches, which would bring that one back up.
    QList<QMdiSubWindow *> subs;
    for (frmEdit *window : documentWindows()) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
            subs.append(sub);
    }
    QMdiSubWindow *active = m_mdiArea->currentSubWindow();
    if (subs.removeOne(active))
        subs.prepend(active);
    for (QMdiSubWindow *sub : subs)
        sub->showMinimized();
    // Each minimizing handed the activation on to the next window; the commands of the menus and
    // the keys stay with the window that had it.
    if (active)
        m_mdiArea->setActiveSubWindow(active);
}

// The windows that are not minimized step down from the top left, each big enough to work in,
// the active one in front. (The document area's own cascade sizes windows by their size hint,
// which leaves a document window no room for its text.)
void frmMain::cascadeWindows()
{
    QList<QMdiSubWindow *> stacked;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isVisible() || sub->isMinimized())
            continue;
        if (sub->isMaximized())
            sub->showNormal();
        stacked.append(sub);
    }
    QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    if (stacked.removeOne(active))
        stacked.append(active);
    for (int i = 0; i < stacked.size(); ++i) {
        stacked[i]->setGeometry(normalGeometryFor(i));
        stacked[i]->raise();
    }
}

// The windows that are not minimized share the area, oldest first, above the row of minimized
// ones: up to three in one column (one above another) or one row (side by side). More go into
// a grid of about as many lines as each holds, the later lines taking one window more where
// they do not share evenly, so that no window shrinks to a title bar.
void frmMain::tileWindows(Qt::Orientation orientation)
{
    const QList<QMdiSubWindow *> all = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    QList<QMdiSubWindow *> tiled;
    for (QMdiSubWindow *sub : all) {
        if (!sub->isVisible() || sub->isMinimized())
            continue;
        if (sub->isMaximized())
            sub->showNormal();
        tiled.append(sub);
    }
    if (tiled.isEmpty())
        return;
    QRect area = m_mdiArea->viewport()->rect();
    const QList<QMdiSubWindow *> icons = minimizedOf(all);
    if (!icons.isEmpty())
        area.setBottom(area.bottom() - icons.first()->height());
    // Laid out as columns of windows one above another; side by side is the same turned.
    const bool across = orientation == Qt::Horizontal;
    const auto turn = [across](QRect r) {
        return across ? QRect(r.y(), r.x(), r.height(), r.width()) : r;
    };
    const QRect room = turn(area);
    const int n = static_cast<int>(tiled.size());
    const int lines = n <= 3 ? 1 : static_cast<int>(std::sqrt(n));
    int first = 0;
    for (int line = 0; line < lines; ++line) {
        const int count = n / lines + (line >= lines - n % lines ? 1 : 0);
        const int left = room.left() + room.width() * line / lines;
        const int right = room.left() + room.width() * (line + 1) / lines;
        for (int i = 0; i < count; ++i) {
            const int top = room.top() + room.height() * i / count;
            const int bottom = room.top() + room.height() * (i + 1) / count;
            tiled[first + i]->setGeometry(turn(QRect(left, top, right - left, bottom - top)));
        }
        first += count;
    }
}

// The minimized windows in rows from the bottom left, in the order they were opened.
void frmMain::arrangeIcons()
{
    const QList<QMdiSubWindow *> icons =
        minimizedOf(m_mdiArea->subWindowList(QMdiArea::CreationOrder));
    const QRect area = m_mdiArea->viewport()->rect();
    int x = area.left();
    int bottom = area.bottom() + 1;
    for (QMdiSubWindow *sub : icons) {
        const QSize size = sub->size();
        if (x > area.left() && x + size.width() > area.right() + 1) {
            x = area.left();
            bottom -= size.height();
        }
        sub->move(x, bottom - size.height());
        x += size.width();
    }
}

QRect frmMain::normalGeometryFor(int n) const
{
    // Windows open maximized; restored, they stand in a cascade, each big enough to work in,
    // rather than shrink to the smallest size a window can have.
    const QRect area = m_mdiArea->viewport()->rect();
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2;
    const QSize size(std::max(area.width() * 3 / 4, 240), std::max(area.height() * 3 / 4, 160));
    const int room =
        std::max(std::min(area.width() - size.width(), area.height() - size.height()), 0);
    const int positions = std::max(room / step + 1, 1);
    const int offset = (n % positions) * step;
    return QRect(QPoint(offset, offset), size);
}

QList<IFrame::WindowEntry> frmMain::windowList() const
{
    QList<WindowEntry> out;
    const frmEdit *active = activeDocument();
    for (frmEdit *window : documentWindows())
        out.append({window->Tag(), window->windowTitle(), window == active});
    return out;
}

void frmMain::stepDocument(int step)
{
    const QList<frmEdit *> windows = documentWindows();
    const qsizetype n = windows.size();
    if (n == 0)
        return;
    const qsizetype at = windows.indexOf(activeDocument());
    const qsizetype next = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
    // Through showDocument, so that a minimized window comes back where its text can be typed in.
    showDocument(windows[next]->Tag());
}

bool frmMain::walkUsedDocuments(QObject *watched, const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Control && key.type() == QEvent::KeyRelease) {
        if (!m_usedWalk.isEmpty()) {
            QMdiSubWindow *reached = m_usedWalk.value(m_usedStep);
            m_usedWalk.clear();
            markUsed(reached);
        }
        return false;
    }
    if ((key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab) ||
        !(key.modifiers() & Qt::ControlModifier))
        return false;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    if (key.type() != QEvent::KeyPress)
        return true;
    // The area's own walk goes round in its activation order once Ctrl has been held a moment,
    // which starts from the document used first, not the one used last.
    QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    if (m_usedWalk.isEmpty() || m_usedWalk.value(m_usedStep) != active) {
        markUsed(active);
        m_usedWalk = m_used;
        m_usedStep = 0;
    }
    const qsizetype count = m_usedWalk.size();
    if (count < 2)
        return true;
    m_usedStep = (m_usedStep + (key.key() == Qt::Key_Tab ? 1 : count - 1)) % count;
    if (QMdiSubWindow *sub = m_usedWalk.value(m_usedStep)) {
        if (auto *window = qobject_cast<frmEdit *>(sub->widget()))
            showDocument(window->Tag());
    }
    return true;
}

void frmMain::markUsed(QMdiSubWindow *sub)
{
    // Closed documents leave their entries empty; any the list has not seen yet come last, in
    // the order the area has them.
    m_used.removeIf([sub](const QPointer<QMdiSubWindow> &used) { return !used || used == sub; });
    const QList<QMdiSubWindow *> listed =
        m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto other = listed.rbegin(); other != listed.rend(); ++other) {
        if (*other != sub && !m_used.contains(*other))
            m_used.append(*other);
    }
    if (sub)
        m_used.prepend(sub);
}

void frmMain::showUsedDocument()
{
    // The area has brought back the document used last, which may be minimized, where typing
    // would go nowhere.
    const QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    if (!active || !active->isMinimized())
        return;
    const QList<QMdiSubWindow *> used = m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    auto shown = std::find_if(used.rbegin(), used.rend(), [](const QMdiSubWindow *sub) {
        const auto *window = qobject_cast<const frmEdit *>(sub->widget());
        return window && !window->isUnloaded() && sub->isVisible() && !sub->isMinimized();
    });
    if (const auto *window =
            qobject_cast<frmEdit *>(shown != used.rend() ? (*shown)->widget() : active->widget()))
        showDocument(window->Tag());
}

void frmMain::showDocument(const QString &key)
{
    for (frmEdit *window : documentWindows()) {
        if (window->Tag() != key)
            continue;
        if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget())) {
            // A window the user minimized comes back as it was before, so that its text shows.
            if (sub->isMinimized()) {
                const Qt::WindowStates state = sub->windowState() & ~Qt::WindowMinimized;
                if (state & Qt::WindowMaximized)
                    sub->showMaximized();
                else
                    sub->showNormal();
            }
            m_mdiArea->setActiveSubWindow(sub);
        }
        window->textEdit()->setFocus();
        return;
    }
}

} // namespace scrivlet
