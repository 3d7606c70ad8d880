#include "shell/frmMain.h"

#include "dialogs/cCommonDlg.h"
#include "document/MenuFamily.h"
#include "document/Messages.h"
#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "files/Messages.h"
#include "files/ProgramPaths.h"
#include "files/basFile.h"
#include "files/basINI.h"
#include "html/Dictionary.h"
#include "options/Messages.h"
#include "platform/Globals.h"
#include "platform/IInstanceChannel.h"
#include "platform/IMessageService.h"
#include "shell/Opening.h"
#include "shell/SearchDialogs.h"
#include "shell/ToolBar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <array>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace scrivlet {

namespace {

// A closed page's text and layout were many small blocks, and glibc keeps what they freed for
// later use: after a 15 MB page the program held some 160 MB it no longer needed. It gives them
// back only when asked.
void giveBackFreedMemory()
{
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

// The globals that hold the lists the settings file keeps, in the order of basINI::kKeptLists.
std::array<QStringList *, 3> keptLists()
{
    return {&gHistory, &gFindHistory, &gReplaceHistory};
}

} // namespace

QStringList AcceptablePaths(const QStringList &arguments, bool *stop)
{
    *stop = false;
    QStringList paths;
    for (const QString &argument : arguments) {
        // Only the forms the shell verb passes: the switch alone, or at the end of the quoted
        // "%1 /O". Every absolute path holds a "/", so "/O" inside a folder name is no switch.
        if (argument == u"/O" || argument.endsWith(QStringLiteral(" /O"))) {
            *stop = true;
            return {};
        }
        if (!basFile::GetFileName(argument).isEmpty() && !basFile::GetExtension(argument).isEmpty())
            paths.append(QFileInfo(argument).absoluteFilePath());
    }
    return paths;
}

frmMain::frmMain(const Platform &platform, QWidget *parent)
    : QMainWindow(parent), m_platform(platform),
      m_searchDialogs(std::make_unique<SearchDialogs>(*this, platform.messages))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Scrivlet"));

    tlbToolBar = addToolBar(QStringLiteral("tlbToolBar"));
    tlbToolBar->setObjectName(QStringLiteral("tlbToolBar"));
    tlbToolBar->setMovable(false);
    tlbToolBar->setIconSize(QSize(16, 16));
    buildToolBar(tlbToolBar);
    connect(tlbToolBar, &QToolBar::actionTriggered, this,
            [this](QAction *button) { tlbToolBar_ButtonClick(button->objectName()); });

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    picSelectBar = new QWidget(central);
    picSelectBar->setObjectName(QStringLiteral("picSelectBar"));
    const double scale = logicalDpiY() / 96.0;
    auto *stripLayout = new QVBoxLayout(picSelectBar);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    tabSelectBar = new QTabBar(picSelectBar);
    tabSelectBar->setObjectName(QStringLiteral("tabSelectBar"));
    tabSelectBar->setExpanding(false);
    tabSelectBar->setDrawBase(false);
    stripLayout->addWidget(tabSelectBar);
    // 20 pixels at 96 dpi, or a tab's whole height in a larger desktop font.
    tabSelectBar->addTab(QStringLiteral("X"));
    picSelectBar->setFixedHeight(std::max(qRound(20 * scale), tabSelectBar->sizeHint().height()));
    tabSelectBar->removeTab(0);
    layout->addWidget(picSelectBar);
    m_mdiArea = new QMdiArea(central);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    // Closing the active document brings back the one used before it, as a frame of documents
    // does on the desktops its users come from, not the first one opened.
    m_mdiArea->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    layout->addWidget(m_mdiArea);
    // The frame watches every widget's events (eventFilter): Ctrl+Tab, walked here before the
    // area's own handling sees it, the empty area's clicks, the menu bar's keys and the
    // documents' titles.
    qApp->installEventFilter(this);
    setCentralWidget(central);

    buildMenus();
    showMenusOf(nullptr);
    setDocumentButtonsEnabled(false);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::mdiArea_SubWindowActivated);
    connect(tabSelectBar, &QTabBar::tabBarClicked, this, &frmMain::tabSelectBar_Click);
    new FileDropFilter(m_mdiArea->viewport(),
                       [this](const QStringList &files) { Form_OLEDragDrop(files); });
    // Ctrl+F4 closes the active document, as in every editor that keeps its windows inside a
    // frame. The windows' own close key follows the desktop (Ctrl+W on X11) and stays; where the
    // desktop's key is Ctrl+F4 already, a second binding would make both ambiguous and dead.
    const QKeySequence ctrlF4(Qt::CTRL | Qt::Key_F4);
    if (!QKeySequence::keyBindings(QKeySequence::Close).contains(ctrlF4)) {
        auto *closeWindow = new QAction(this);
        closeWindow->setShortcut(ctrlF4);
        addAction(closeWindow);
        connect(closeWindow, &QAction::triggered, m_mdiArea, &QMdiArea::closeActiveSubWindow);
    }
    // Ctrl+F6 and Ctrl+Shift+F6 step through the documents in the order they were opened, for
    // hands that learned them in other editors with documents inside a frame. (Ctrl+Tab goes
    // back through the documents by their use: walkUsedDocuments.) The area's own stepping
    // follows its activation order, which is the history, so the opening order is walked here.
    for (const auto &[key, step] :
         {std::pair{Qt::CTRL | Qt::Key_F6, 1}, {Qt::CTRL | Qt::SHIFT | Qt::Key_F6, -1}}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { stepDocument(step); });
    }

    // An inner area of 681 x 490 pixels at 96 dpi, scaled with the screen; never larger than the
    // screen, where the window's own buttons, the scroll bar and the last lines would be out of
    // reach.
    QSize size(qRound(681 * scale), qRound(490 * scale) + menuBar()->sizeHint().height() +
                                        tlbToolBar->sizeHint().height());
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (const QSize room = screen ? screen->availableSize() : QSize();
        !room.isEmpty() && (size.width() > room.width() || size.height() > room.height())) {
        size = size.boundedTo(room);
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    resize(size);
}

frmMain::~frmMain()
{
    // The document area reports activations while the base class tears the windows down; by
    // then this frame's menus are gone.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
}

void frmMain::buildMenus()
{
    mnuFileMenu = new QMenu(QStringLiteral("ﾌｧｲﾙ(&F)"), this);
    mnuFileMenu->setObjectName(QStringLiteral("mnuFileMenu"));
    mnuFile = addMenuFamily(
        mnuFileMenu, QStringLiteral("mnuFile"),
        {QStringLiteral("新規作成(&N)"), QStringLiteral("開く(&O)..."), QStringLiteral("-")});
    mnuFile[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFile[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileHistory = addMenuFamily(
        mnuFileMenu, QStringLiteral("mnuFileHistory"),
        {QString(), QString(), QString(), QString(), QString(), QStringLiteral("-")}, 1);
    mnuFileExit = mnuFileMenu->addAction(QStringLiteral("終了(&X)"));
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));

    auto *tool = new QMenu(QStringLiteral("ﾂｰﾙ(&T)"), this);
    tool->setObjectName(QStringLiteral("mnuToolMenu"));
    mnuTool = addMenuFamily(tool, QStringLiteral("mnuTool"),
                            {QStringLiteral("Internet Explorer起動(&E)..."),
                             QStringLiteral("Netscape起動(&N)..."), QStringLiteral("-"),
                             QStringLiteral("ｵﾌﾟｼｮﾝ(&O)...")});
    auto *help = new QMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    help->setObjectName(QStringLiteral("mnuHelpMenu"));
    mnuHelp = addMenuFamily(help, QStringLiteral("mnuHelp"),
                            {QStringLiteral("目次(&C)..."), QStringLiteral("-"),
                             QStringLiteral("作者のWebｻｲﾄへ(&W)..."),
                             QStringLiteral("最新版ﾀﾞｳﾝﾛｰﾄﾞ(&D)..."), QStringLiteral("-"),
                             QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)...")});
    m_ownMenus = {mnuFileMenu, tool, help};

    for (int i : {0, 1})
        connect(mnuFile[i], &QAction::triggered, this, [this, i] { mnuFile_Click(i); });
    for (int k = 1; k <= 5; ++k)
        connect(mnuFileHistory[k], &QAction::triggered, this,
                [this, k] { mnuFileHistory_Click(k); });
    connect(mnuFileExit, &QAction::triggered, this, &frmMain::exitProgram);
    for (int i : {0, 1, 3})
        connect(mnuTool[i], &QAction::triggered, this, [this, i] { mnuTool_Click(i); });
    for (int i : {0, 2, 3, 5})
        connect(mnuHelp[i], &QAction::triggered, this, [this, i] { mnuHelp_Click(i); });
    // F10 opens the first menu, as it reaches the menu bar on the desktops users come from; Qt
    // gives the key no meaning of its own here.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        if (const QList<QAction *> menus = menuBar()->actions(); !menus.isEmpty())
            menuBar()->setActiveAction(menus.first());
    });
}

void frmMain::showMenusOf(frmEdit *window)
{
    // The active document window's menu bar stands in for the frame's own.
    QMenuBar *bar = menuBar();
    bar->clear();
    for (QMenu *menu : window ? window->menus() : m_ownMenus)
        bar->addMenu(menu);
}

bool frmMain::Form_Load(const QString &executableFolder, const QStringList &arguments,
                        const QStringList &unreadable)
{
    gUntitledCount = 1;
    gWindowSerial = 1;
    gProgramDirectory = files::programDirectoryFor(executableFolder);
    while (tabSelectBar->count() > 0)
        tabSelectBar->removeTab(0);
    gHistory = QStringList(5);
    gFindHistory = QStringList(10);
    gReplaceHistory = QStringList(10);
    UpdateHistoryMenu();

    html::LoadDictionaries(gProgramDirectory, [this](const QString &path) {
        return basFile::LoadTextFile(m_platform.messages, path);
    });

    basINI::SetIniFile(files::settingsFilePath());
    for (std::size_t i = 0; i < std::size(basINI::kKeptLists); ++i) {
        const basINI::KeptList &kept = basINI::kKeptLists[i];
        *keptLists()[i] = basINI::ReadIniStrings(kept.section.toString(),
                                                 basINI::NumberedKeys(kept.size), QString());
    }

    // Serving before the command line is handled: an instance started by the shell verb opens
    // nothing by itself and waits for its file on the channel.
    using Serving = IInstanceChannel::Serving;
    const Serving serving = m_platform.instances
                                ? m_platform.instances->serve(
                                      QStringLiteral("System"),
                                      [frame = QPointer<frmMain>(this)](const QString &command) {
                                          return frame ? frame->DdeExecute(command) : true;
                                      })
                                : Serving::Unavailable;

    // Opened under the name as read, such a page would be an empty new one, saved to a file
    // the user never named.
    for (const QString &name : unreadable)
        m_platform.messages.critical(name + files::msg::kCouldNotOpen);
    if (arguments.isEmpty()) {
        if (unreadable.isEmpty())
            NewWindow(QString());
        return true;
    }
    bool stop = false;
    const QStringList paths = AcceptablePaths(arguments, &stop);
    // Started by the shell verb while another instance serves, which is where the verb hands
    // its file: this one would stay behind as an empty frame. A file manager runs the verb once
    // for each file chosen, all at once, and one of them wins the service.
    if (stop && serving == Serving::AnotherServes)
        return false;
    for (const QString &path : paths)
        NewWindow(path);
    return true;
}

void frmMain::NewWindow(const QString &fileName)
{
    ++m_windowsBeingMade;
    const auto made = qScopeGuard([this] {
        if (--m_windowsBeingMade == 0 && !m_sentFiles.isEmpty())
            QTimer::singleShot(0, this, &frmMain::openSentFiles);
    });
    gOpenFileName = fileName;
    auto *window = new frmEdit(m_platform, *this);
    m_windows.append(window);
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(window);
    sub->setGeometry(normalGeometryFor(static_cast<int>(m_windows.size()) - 1));
    connect(window, &frmEdit::Unloaded, this, [this] {
        QMetaObject::invokeMethod(this, &frmMain::showUsedDocument, Qt::QueuedConnection);
    });
    connect(window, &QObject::destroyed, this, [] { QTimer::singleShot(0, giveBackFreedMemory); });
    window->Form_Load();
    // Documents fill the area, one at a time, and the tabs switch between them; the Window
    // menu arranges them otherwise.
    sub->showMaximized();
    m_mdiArea->setActiveSubWindow(sub);
    UpdateHistoryMenu();
}

QList<frmEdit *> frmMain::documentWindows() const
{
    QList<frmEdit *> out;
    for (const QPointer<frmEdit> &w : m_windows) {
        if (w && !w->isUnloaded())
            out.append(w.data());
    }
    return out;
}

frmEdit *frmMain::activeDocument() const
{
    QMdiSubWindow *sub = m_mdiArea->currentSubWindow();
    return sub ? qobject_cast<frmEdit *>(sub->widget()) : nullptr;
}

void frmMain::mdiArea_SubWindowActivated(QMdiSubWindow *sub)
{
    // The area also reports "none" while the program is in the background; the current window
    // is still the one whose menus belong in the bar.
    if (!sub)
        sub = m_mdiArea->currentSubWindow();
    // Another document chosen during a walk (a click, a tab) ends it.
    if (sub && sub != m_usedWalk.value(m_usedStep))
        m_usedWalk.clear();
    if (m_usedWalk.isEmpty())
        markUsed(sub);
    frmEdit *window = sub ? qobject_cast<frmEdit *>(sub->widget()) : nullptr;
    showMenusOf(window);
    if (window)
        window->Form_Activate();
    else
        setDocumentButtonsEnabled(false);
    updateFrameTitle();
}

void frmMain::AddHistory(const QString &fileName)
{
    if (gHistory.size() < 5)
        gHistory.resize(5);
    const qsizetype found = gHistory.indexOf(fileName);
    if (found != 0) {
        const qsizetype from = found < 0 ? 4 : found;
        for (qsizetype i = from; i > 0; --i)
            gHistory[i] = gHistory[i - 1];
        gHistory[0] = fileName;
    }
    UpdateHistoryMenu();
}

void frmMain::UpdateHistoryMenu()
{
    ApplyHistoryToMenu(mnuFileHistory, gHistory);
    for (frmEdit *window : documentWindows())
        window->ShowHistory(gHistory);
}

void frmMain::mnuFileHistory_Click(int index)
{
    const QString path = gHistory.value(index - 1);
    if (QFileInfo(path).isFile())
        NewWindow(path);
    else
        m_platform.messages.critical(path + document::msg::kDoesNotExist);
}

void frmMain::mnuFile_Click(int index)
{
    if (index == 0)
        NewWindow(QString());
    else if (index == 1)
        OpenFiles();
}

void frmMain::OpenFiles()
{
    cCommonDlg dlg(m_platform.fileDialogs, m_platform.shell);
    dlg.setForm(this);
    dlg.setDialogTitle(document::msg::kOpenTitle);
    dlg.setFilter(document::msg::kHtmlFilter);
    dlg.setFilterIndex(1);
    dlg.setInitDir(QDir::currentPath());
    dlg.setFlags(document::msg::kFileDialogFlags);
    dlg.setMaxFileSize(document::msg::kFileNameBuffer);
    dlg.setCancelError(true);
    dlg.ShowOpen();
    if (dlg.ErrNumber() == kCdlBufferTooSmall)
        m_platform.messages.critical(document::msg::kTooManyFiles);
    if (dlg.CancelButton())
        return;
    for (const QString &file : dlg.FileNames())
        NewWindow(file);
}

bool frmMain::DdeExecute(const QString &command)
{
    // The answer goes back at once. Opening may wait on the user (a file that cannot be read
    // is a message box), and the shell's helper takes a late answer for no instance at all and
    // starts another; a box's event loop inside the channel's read would also let the
    // connection be deleted under it.
    bool refused = false;
    // A relative path would be taken from this program's folder, not the sender's: a file the
    // user never chose (a name holding " " splits into such pieces).
    for (const QString &path : CommandPaths(command, &refused))
        if (QDir::isAbsolutePath(path))
            m_sentFiles << path;
    if (!m_sentFiles.isEmpty())
        QTimer::singleShot(0, this, &frmMain::openSentFiles);
    return refused;
}

void frmMain::openSentFiles()
{
    while (m_windowsBeingMade == 0 && !m_sentFiles.isEmpty())
        NewWindow(m_sentFiles.takeFirst());
}

void frmMain::Form_OLEDragDrop(const QStringList &files)
{
    for (const QString &path : DroppedPaths(files))
        NewWindow(path);
}

void frmMain::exitProgram()
{
    // A document window's Exit: close every document, let the search dialogs go in any case,
    // and end the program when no document stayed open.
    closeAllDocuments();
    m_searchDialogs->unload();
    if (documentWindows().isEmpty())
        close();
}

void frmMain::ShowFindDialog()
{
    m_searchDialogs->showFind();
}

void frmMain::ShowReplaceDialog()
{
    m_searchDialogs->showReplace();
}

void frmMain::closeAllDocuments()
{
    const QList<frmEdit *> windows = documentWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        (*it)->closeWindow();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    closeAllDocuments();
    if (!documentWindows().isEmpty()) {
        event->ignore();
        return;
    }
    bool written = true;
    for (std::size_t i = 0; i < std::size(basINI::kKeptLists); ++i) {
        const basINI::KeptList &kept = basINI::kKeptLists[i];
        QStringList values;
        for (int k = 0; k < kept.size; ++k)
            values.append(keptLists()[i]->value(k));
        written = basINI::WriteIniList(kept.section.toString(), values) && written;
    }
    // A settings file that cannot be written (read-only, or a folder in its place) loses the
    // recent files and search strings; the user should hear of it while something can be done.
    if (!written)
        m_platform.messages.critical(options::msg::kSaveFailed);
    // The program ends with the frame, open search dialogs or not.
    m_searchDialogs->unload();
    event->accept();
}

void frmMain::addTab(const QString &key, const QString &caption)
{
    // A long name is cut in the middle, so that one tab never fills the strip; the whole name
    // shows as the tab's tip.
    const int index = tabSelectBar->addTab(ShortCaption(caption, tabSelectBar->font(), 30));
    tabSelectBar->setTabData(index, key);
    tabSelectBar->setTabToolTip(index, caption);
}

void frmMain::selectTab(const QString &key)
{
    for (int i = 0; i < tabSelectBar->count(); ++i) {
        if (tabSelectBar->tabData(i).toString() == key) {
            tabSelectBar->setCurrentIndex(i);
            return;
        }
    }
}

void frmMain::removeTab(const QString &key)
{
    for (int i = 0; i < tabSelectBar->count(); ++i) {
        if (tabSelectBar->tabData(i).toString() == key) {
            tabSelectBar->removeTab(i);
            return;
        }
    }
}

void frmMain::tabSelectBar_Click(int index)
{
    if (index < 0)
        return;
    showDocument(tabSelectBar->tabData(index).toString());
}

void frmMain::setToolButtonEnabled(const QString &key, bool enabled)
{
    for (QAction *action : tlbToolBar->actions()) {
        if (action->objectName() == key)
            action->setEnabled(enabled);
    }
}

} // namespace scrivlet
