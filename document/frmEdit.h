#pragma once
// A document window: one file or untitled document in the frame. Owns its editor document, its
// common dialog and its menus; references the platform services and the frame.

#include "editor/ConvType.h"
#include "editor/SharedText.h"
#include "platform/Platform.h"
#include "preview/Preview.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace scrivlet {

class IFrame;
class IEditControl;
class DocumentView;
class SourceTextEdit;
class clsRTF;
class cCommonDlg;

// The Edit menu's keys for Find and Replace, which the search dialogs answer as well.
inline constexpr QKeyCombination kFindKey = Qt::CTRL | Qt::Key_F;
inline constexpr QKeyCombination kReplaceKey = Qt::CTRL | Qt::Key_H;

class frmEdit : public QWidget
{
    Q_OBJECT
public:
    frmEdit(const Platform &platform, IFrame &frame, QWidget *parent = nullptr);
    ~frmEdit() override;

    // Sets the window up for gOpenFileName: the file's text, or a new untitled document.
    void Form_Load();
    // The window became the active document.
    void Form_Activate();

    QString Tag() const { return m_tag; }
    QString DocName() const { return strDocName; }
    // The menu bar the frame shows while this window is active.
    QList<QMenu *> menus() const { return m_menus; }
    QMenu *editMenu() const { return mnuEditMenu; }

    clsRTF *document() const { return objDoc.get(); }
    IEditControl &control() const;
    SourceTextEdit *textEdit() const { return rtfEdit; }
    DocumentView *view() const { return m_view; }

    void ShowHistory(const QStringList &history);

    // Menu commands, each family by its index.
    void mnuFile_Click(int index);
    void mnuFileMenu_Click();
    void mnuFileKanji_Click(int index);
    void mnuFileReturn_Click(int index);
    void mnuFileHistory_Click(int index);
    void mnuFileExit_Click();
    void mnuEdit_Click(int index);
    void mnuEditMenu_Click();
    void mnuEditStrConv_Click(int index);
    void mnuEditTagConv_Click(int index);
    void mnuEditTagInsert_Click(int index);
    // Preview in a browser (0 to 2) and the options (4); the toolbar's browser buttons come here.
    void mnuTool_Click(int index);
    void mnuHelp_Click(int index);
    void mnuWindow_Click(int index);
    // The Window menu opens: its list of the document windows is brought up to date.
    void mnuWindowMenu_Click();

    void UpdateEditMenu();
    void SetToolBar();
    void ResetFlag();

    // Closes the window and the frame around it; its unload may refuse.
    void closeWindow();
    bool isUnloaded() const { return m_unloaded; }

Q_SIGNALS:
    // The window agreed to close and has let go of its document and tab.
    void Unloaded();

public:
    // The menu items, indexed as their families number them. Public on purpose: the frame's
    // toolbar and tab strip, the recent-file list and the tests reach an item by the family and
    // number the menus are known by everywhere (mnuEdit[0] is Undo). buildMenus() fills them once
    // while the window is made; nothing assigns them afterwards, and each item is owned by its
    // menu, so a caller can trigger, check or enable an item but not take it away.
    QList<QAction *> mnuFile, mnuFileKanji, mnuFileReturn, mnuFileHistory, mnuEdit, mnuEditStrConv,
        mnuEditTagConv, mnuEditTagInsert, mnuTool, mnuWindow, mnuHelp;
    QAction *mnuFileExit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void rtfEdit_Change();
    cCommonDlg &dialog();
    // The chosen files of an open or save dialog; empty when cancelled.
    // keepFolder: the choice leaves the current folder, where Open and Save As start, as it was.
    QStringList chooseFiles(const QString &title, bool save, bool keepFolder = false);
    bool Save();
    bool SaveAs();
    void convert(ConvType type);
    // Tells the author, once per window, that the page declares a charset other than the code
    // it was just saved in.
    void reportCharsetMismatch(const QString &text);
    void rememberDiskFile();
    bool changedOnDisk() const;
    bool goneFromDisk() const;

    const Platform &m_platform;
    IFrame &m_frame;
    DocumentView *m_view = nullptr;
    SourceTextEdit *rtfEdit = nullptr;
    quint64 m_lastInput = 0; // the input in pieces the last change belonged to, or 0
    std::unique_ptr<clsRTF> objDoc;
    std::unique_ptr<cCommonDlg> objDlg;
    QString strDocName;
    preview::PreviewCopy strPreviewFile;
    QString m_tag;
    bool m_unloaded = false;
    // The text as last loaded or saved: closing asks whenever the text differs from it.
    SharedText m_savedText;
    // The window's file exists but could not be read: a plain Save would replace a page the
    // user never saw, so the first one asks for a name.
    bool m_unreadFile = false;
    bool m_charsetReported = false;
    // The window's file as this window last read or wrote it, or found it missing. Saving over
    // what another program wrote there since, a file that has appeared included, asks first;
    // closing a window whose file has gone asks too, as its text is then the only copy. Not
    // known for an untitled window, nor for a file the user has just chosen to replace.
    struct DiskFile
    {
        bool known = false;
        QDateTime modified; // invalid: the file was not there
        qint64 size = -1;
    };
    DiskFile m_disk;

    QList<QMenu *> m_menus;
    QMenu *mnuFileMenu = nullptr;
    QMenu *mnuEditMenu = nullptr;
    QMenu *mnuWindowMenu = nullptr;
    // The window list below the Window menu's items, rebuilt each time the menu opens.
    QList<QAction *> m_windowList;
};

} // namespace scrivlet
