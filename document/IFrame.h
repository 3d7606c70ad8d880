#pragma once
// What a document window asks of the frame that holds it; the frame implements it. Owns nothing.

#include <QList>
#include <QString>

class QWidget;

namespace scrivlet {

class IFrame
{
public:
    virtual ~IFrame() = default;

    // Opens one new document window: for fileName, or untitled when it is empty.
    virtual void NewWindow(const QString &fileName) = 0;
    // Puts fileName at the top of the recent files and shows the list in every File menu.
    virtual void AddHistory(const QString &fileName) = 0;
    virtual void UpdateHistoryMenu() = 0;
    // Opens recent file k (1 to 5), or says that it is gone.
    virtual void mnuFileHistory_Click(int index) = 0;
    // The Help menu, the same in the frame and in every document window.
    virtual void mnuHelp_Click(int index) = 0;

    // The tab strip: one tab per document window, keyed by the window's Tag.
    virtual void addTab(const QString &key, const QString &caption) = 0;
    virtual void selectTab(const QString &key) = 0;
    virtual void removeTab(const QString &key) = 0;

    // The toolbar buttons that act on the active document, by their key.
    virtual void setToolButtonEnabled(const QString &key, bool enabled) = 0;

    // The Window menu: the arrangements by the menu's index (cascade, one above the other, side
    // by side, minimize all, line up the minimized), the document windows to list there, and
    // bringing one of them to the front as a click on its tab does.
    struct WindowEntry
    {
        QString key;
        QString caption;
        bool active = false;
    };
    virtual void arrangeWindows(int index) = 0;
    virtual QList<WindowEntry> windowList() const = 0;
    virtual void showDocument(const QString &key) = 0;

    // Closes every document window, newest first; one whose user cancels stays open.
    virtual void closeAllDocuments() = 0;
    // Closes the frame, which ends the program unless a document window refuses to close.
    virtual void exitProgram() = 0;

    // Opens the options dialog modally: the Tool menus' options item, and the preview's offer
    // to set a browser whose setting is unusable.
    virtual void ShowOptionsDialog() = 0;
    // Shows the Find or the Replace dialog, owned by the frame and acting on whichever document
    // window is active when one of its buttons is pressed.
    virtual void ShowFindDialog() = 0;
    virtual void ShowReplaceDialog() = 0;

    // The window that owns the program's dialogs.
    virtual QWidget *frameWidget() = 0;
};

} // namespace scrivlet
