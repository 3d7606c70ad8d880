#pragma once
// The frame window: the document area, the tab strip, the toolbar, the recent files and the
// program's start and end. Owns its document windows (through the document area) and its
// menus; references the platform services.

#include "document/IFrame.h"
#include "platform/Platform.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabBar;
class QToolBar;

namespace scrivlet {

class frmEdit;

class frmMain : public QMainWindow, public IFrame
{
    Q_OBJECT
public:
    explicit frmMain(const Platform &platform, QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up: counters, program directory, tabs, dictionaries, settings, histories, then one
    // window per acceptable path of arguments (or one untitled window when there are none).
    void Form_Load(const QString &executableFolder, const QStringList &arguments);

    // IFrame
    void NewWindow(const QString &fileName) override;
    void AddHistory(const QString &fileName) override;
    void UpdateHistoryMenu() override;
    void addTab(const QString &key, const QString &caption) override;
    void selectTab(const QString &key) override;
    void removeTab(const QString &key) override;
    void setToolButtonEnabled(const QString &key, bool enabled) override;
    void closeAllDocuments() override;
    void exitProgram() override;
    QWidget *frameWidget() override { return this; }

    // The document windows, oldest first.
    QList<frmEdit *> documentWindows() const;
    frmEdit *activeDocument() const;

    void mnuFileHistory_Click(int index) override;
    void mnuFile_Click(int index);

    QList<QAction *> mnuFile, mnuFileHistory, mnuTool, mnuHelp;
    QAction *mnuFileExit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void showMenusOf(frmEdit *window);
    void mdiArea_SubWindowActivated(QMdiSubWindow *window);
    void tabSelectBar_Click(int index);
    void OpenFiles();

    const Platform &m_platform;
    QMdiArea *m_mdiArea = nullptr;
    QToolBar *tlbToolBar = nullptr;
    QWidget *picSelectBar = nullptr;
    QTabBar *tabSelectBar = nullptr;
    QList<QMenu *> m_ownMenus;
    QMenu *mnuFileMenu = nullptr;
    // Windows in the order they were made; the document area orders by activation.
    QList<QPointer<frmEdit>> m_windows;
};

// The arguments that name files to open; empty, with stop set, when one of them is the switch
// "/O" (alone, or ending a quoted "path /O") that asks the program to wait for its file over
// the instance channel.
QStringList AcceptablePaths(const QStringList &arguments, bool *stop);

} // namespace scrivlet
