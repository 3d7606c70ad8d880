#pragma once
// The frame window: the document area, the tab strip, the toolbar, the recent files and the
// program's start and end. Owns its document windows (through the document area) and its
// menus; references the platform services.

#include "document/IFrame.h"
#include "platform/Platform.h"

#include <QKeyEvent>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabBar;
class QToolBar;

namespace scrivlet {

class frmEdit;
class SearchDialogs;

class frmMain : public QMainWindow, public IFrame
{
    Q_OBJECT
public:
    explicit frmMain(const Platform &platform, QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up: counters, program directory, tabs, dictionaries, settings, histories, then one
    // window per acceptable path of arguments (or one untitled window when there are none).
    // False when this instance is not needed and ends: the shell verb started it, and another
    // serves the verb's file.
    // unreadable: names given that cannot be read as paths, each said not to open.
    bool Form_Load(const QString &executableFolder, const QStringList &arguments,
                   const QStringList &unreadable = {});

    // IFrame
    void NewWindow(const QString &fileName) override;
    void AddHistory(const QString &fileName) override;
    void UpdateHistoryMenu() override;
    void addTab(const QString &key, const QString &caption) override;
    void selectTab(const QString &key) override;
    void removeTab(const QString &key) override;
    void setToolButtonEnabled(const QString &key, bool enabled) override;
    void arrangeWindows(int index) override;
    QList<WindowEntry> windowList() const override;
    void showDocument(const QString &key) override;
    void closeAllDocuments() override;
    void exitProgram() override;
    void ShowFindDialog() override;
    void ShowReplaceDialog() override;
    QWidget *frameWidget() override { return this; }
    void ShowOptionsDialog() override;

    // Stands in for the options dialog in ShowOptionsDialog, for tests.
    void setOptionsDialogHook(std::function<void()> hook) { m_optionsDialogHook = std::move(hook); }

    // The document windows, oldest first.
    QList<frmEdit *> documentWindows() const;
    frmEdit *activeDocument() const;

    void mnuFileHistory_Click(int index) override;
    void mnuFile_Click(int index);
    // Starts a browser without a page (0, 1) and the options (3); the toolbar comes here too.
    void mnuTool_Click(int index);
    void mnuHelp_Click(int index) override;
    // Runs the command of the toolbar button with this key; an unknown key runs nothing.
    void tlbToolBar_ButtonClick(const QString &key);
    // A command of the instance channel ("Edit" and a quoted path): one window per acceptable
    // path, opened from the event loop after the answer. True when the command is refused.
    bool DdeExecute(const QString &command);
    // Files dropped on the empty document area.
    void Form_OLEDragDrop(const QStringList &files);

    QList<QAction *> mnuFile, mnuFileHistory, mnuTool, mnuHelp;
    QAction *mnuFileExit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Clicks on the document area where no window lies; new captions of document windows.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildMenus();
    void showMenusOf(frmEdit *window);
    void mdiArea_SubWindowActivated(QMdiSubWindow *window);
    void tabSelectBar_Click(int index);
    void OpenFiles();
    void setDocumentButtonsEnabled(bool enabled);
    void cascadeWindows();
    void minimizeAll();
    void tileWindows(Qt::Orientation orientation);
    void arrangeIcons();
    // Shows the next (1) or previous (-1) document in opening order, round.
    void stepDocument(int step);
    // Ctrl+Tab and Ctrl+Shift+Tab, pressed on a widget of this frame: each Tab while Ctrl is
    // held goes one document further back in their use (or forward), round. True when the key
    // was one of them.
    bool walkUsedDocuments(QObject *watched, const QKeyEvent &key);
    void leaveIdleMenuBar();
    // After a close: the document used last that can be typed in, restored if all are minimized.
    void showUsedDocument();
    // Where the n-th document window stands when it is neither maximized nor minimized.
    QRect normalGeometryFor(int n) const;
    // "Scrivlet - [caption]" of the active document window, whatever its state; "Scrivlet"
    // with none.
    QString frameTitle() const;
    void updateFrameTitle();
    // Opens the files sent over the instance channel, in order, never inside another window's
    // loading (whose message box runs the event loop).
    void openSentFiles();

    const Platform &m_platform;
    QMdiArea *m_mdiArea = nullptr;
    QToolBar *tlbToolBar = nullptr;
    QWidget *picSelectBar = nullptr;
    QTabBar *tabSelectBar = nullptr;
    QList<QMenu *> m_ownMenus;
    QMenu *mnuFileMenu = nullptr;
    // Windows in the order they were made; the document area orders by activation.
    QList<QPointer<frmEdit>> m_windows;
    // The documents by their last use, most recent first. A walk passes by documents without
    // using them: only the one it ends on counts as used.
    QList<QPointer<QMdiSubWindow>> m_used;
    // m_used as it was at the walk's first Tab, and the step reached; empty when no walk goes on.
    QList<QPointer<QMdiSubWindow>> m_usedWalk;
    qsizetype m_usedStep = 0;
    void markUsed(QMdiSubWindow *sub);
    QStringList m_sentFiles;
    int m_windowsBeingMade = 0;
    std::function<void()> m_optionsDialogHook;
    std::unique_ptr<SearchDialogs> m_searchDialogs;
};

// The arguments that name files to open; empty, with stop set, when one of them is the switch
// "/O" (alone, or ending a quoted "path /O") that asks the program to wait for its file over
// the instance channel.
QStringList AcceptablePaths(const QStringList &arguments, bool *stop);

} // namespace scrivlet
