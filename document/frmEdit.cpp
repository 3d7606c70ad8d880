#include "document/frmEdit.h"

#include "dialogs/cCommonDlg.h"
#include "document/DocumentView.h"
#include "document/IFrame.h"
#include "document/MenuFamily.h"
#include "document/Messages.h"
#include "document/SourceTextEdit.h"
#include "editor/IEditControl.h"
#include "editor/MenuState.h"
#include "editor/clsRTF.h"
#include "files/Charset.h"
#include "files/ProgramPaths.h"
#include "files/SaveCodes.h"
#include "files/basFile.h"
#include "files/basINI.h"
#include "html/ConvString.h"
#include "options/Messages.h"
#include "platform/Globals.h"
#include "platform/IClipboard.h"
#include "platform/IMessageService.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QVBoxLayout>

#include <utility>

namespace scrivlet {

namespace {

// The conversion type behind each item of the string-conversion submenu; separators have none.
constexpr int kStrConvTypes[] = {0, 1, -1, 2, 3, 4, -1, 5, 6, -1, 7, 8, -1, 9, 10, -1, 11, 12};
constexpr int kTagConvTypes[] = {13, 14};
constexpr int kTagInsertTypes[] = {19, 20, 21};

} // namespace

frmEdit::frmEdit(const Platform &platform, IFrame &frame, QWidget *parent)
    : QWidget(parent), m_platform(platform), m_frame(frame)
{
    setObjectName(QStringLiteral("frmEdit"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_view = new DocumentView(platform.clipboard, this);
    rtfEdit = m_view->textEdit();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    buildMenus();
    // The Edit menu is also the text's context menu.
    connect(m_view, &DocumentView::contextMenuRequested, this, [this](const QPoint &at) {
        m_view->hidePopup();
        mnuEditMenu->popup(at);
    });
    connect(m_view, &DocumentView::openFileRequested, this,
            [this](const QString &path) { m_frame.NewWindow(path); });
    connect(m_view, &DocumentView::undoRedoDisabled, this, [this] {
        mnuEdit[0]->setEnabled(false);
        mnuEdit[1]->setEnabled(false);
    });
    m_view->setTextFileLoader(
        [this](const QString &path) { return basFile::LoadTextFile(m_platform.messages, path); });
}

frmEdit::~frmEdit() = default;

IEditControl &frmEdit::control() const
{
    return m_view->control();
}

void frmEdit::Form_Load()
{
    // Nothing to undo yet. A message box of the load below runs the event loop, which may
    // activate this window and copy these items' states to the toolbar before the load ends.
    mnuEdit[0]->setEnabled(false);
    mnuEdit[1]->setEnabled(false);
    objDoc = std::make_unique<clsRTF>(m_platform.messages, html::ConvString);
    m_view->bindDocument(*objDoc);
    m_view->setDictionary(gProgramDirectory, files::settingsFilePath());
    connect(&control(), &IEditControl::Change, this, &frmEdit::rtfEdit_Change);

    if (gOpenFileName.isEmpty()) {
        strDocName = document::msg::kUntitled + QString::number(gUntitledCount++);
        setWindowTitle(strDocName);
        const int use = basINI::ReadIniInt(QStringLiteral("Template"), QStringLiteral("Use"), 0);
        if (use == 0) {
            control().setText(basFile::LoadTextFile(
                m_platform.messages, gProgramDirectory + QStringLiteral("Template/Default.html")));
        } else if (use == 1) {
            dialog().setInitDir(basINI::ReadIniString(
                QStringLiteral("Template"), QStringLiteral("TemplatePass"), QDir::currentPath()));
            // The template folder is no place for pages: the new page's Save As starts where
            // the user's pages are, not among the templates it could replace.
            const QStringList chosen =
                chooseFiles(document::msg::kTemplateTitle, false, /*keepFolder=*/true);
            // A cancelled choice leaves an empty untitled document, with its Tag and tab like
            // any other.
            if (!chosen.isEmpty())
                control().setText(basFile::LoadTextFile(m_platform.messages, chosen.first()));
        }
        m_tag = QStringLiteral("Number") + QString::number(gWindowSerial++);
        m_frame.addTab(m_tag, windowTitle());
    } else {
        const QString path = gOpenFileName;
        strDocName = path;
        // The file as it was before it is read: what another program writes while a large page
        // loads is then a change since, which the next save asks about.
        rememberDiskFile();
        bool loaded = false;
        control().setText(basFile::LoadTextFile(m_platform.messages, path, &loaded));
        setWindowTitle(path);
        // A path that does not exist yet is a new page under that name; one that exists but
        // could not be read is not taken for this window's file, nor for a recent one.
        m_unreadFile = !loaded && QFileInfo(path).exists();
        if (m_unreadFile)
            m_disk = {};
        if (loaded)
            m_frame.AddHistory(path);
        m_tag = QStringLiteral("Number") + QString::number(gWindowSerial++);
        m_frame.addTab(m_tag, basFile::GetFileName(path));
    }
    ResetFlag();
    m_savedText = control().TextSnapshot();
    m_frame.UpdateHistoryMenu();
    const QStringList shown = {QStringLiteral("Ctrl+X"), QStringLiteral("Ctrl+C"),
                               QStringLiteral("Ctrl+V"), QStringLiteral("Del"),
                               QStringLiteral("Ctrl+A")};
    for (int i = 0; i < shown.size(); ++i)
        mnuEdit[3 + i]->setText(mnuEdit[3 + i]->text() + u'\t' + shown[i]);
}

void frmEdit::Form_Activate()
{
    m_frame.selectTab(m_tag);
    SetToolBar();
    for (const char *key : {"FileUpdate", "EditFind", "ToolIE", "ToolNN", "ToolBrowser"})
        m_frame.setToolButtonEnabled(QString::fromLatin1(key), true);
}

void frmEdit::ResetFlag()
{
    m_view->ResetFlag();
    // Putting in an empty text changes nothing, so nothing became the baseline: the first edit
    // would become it and could never be undone.
    if (objDoc && objDoc->GetClctUndoCount() == 0) {
        objDoc->IsTextChange();
        objDoc->setNeedSave(false);
    }
}

void frmEdit::rtfEdit_Change()
{
    // An input method commit goes in a character at a time, but the user made one input: it
    // takes one Undo.
    const quint64 input = rtfEdit->inputInPieces();
    const bool continuesLast = input != 0 && input == m_lastInput;
    m_lastInput = input;
    if (objDoc && objDoc->IsTextChange(continuesLast))
        UpdateEditMenu();
}

void frmEdit::ShowHistory(const QStringList &history)
{
    ApplyHistoryToMenu(mnuFileHistory, history);
}

cCommonDlg &frmEdit::dialog()
{
    if (!objDlg)
        objDlg = std::make_unique<cCommonDlg>(m_platform.fileDialogs, m_platform.shell);
    return *objDlg;
}

QStringList frmEdit::chooseFiles(const QString &title, bool save, bool keepFolder)
{
    cCommonDlg &dlg = dialog();
    dlg.setForm(this);
    dlg.setDialogTitle(title);
    dlg.setFilter(document::msg::kHtmlFilter);
    dlg.setFilterIndex(1);
    // Replacing an existing file through Save As asks first: a mistyped or mis-clicked name would
    // otherwise destroy another page without a word.
    dlg.setFlags(document::msg::kFileDialogFlags | (save ? ofn::OverwritePrompt : 0) |
                 (keepFolder ? ofn::NoChangeDir : 0));
    dlg.setMaxFileSize(document::msg::kFileNameBuffer);
    dlg.setCancelError(true);
    // Save As proposes the page's own name, or none: the name left over from this window's last
    // Open or template choice was another file, which Enter and Yes then replaced. A file that
    // could not be read is not proposed either: asking for a name guards against saving over it.
    if (save) {
        const bool named = !strDocName.startsWith(document::msg::kUntitled) && !m_unreadFile;
        dlg.setFileName(named ? strDocName : QString());
        dlg.ShowSave();
    } else {
        dlg.ShowOpen();
    }
    if (dlg.ErrNumber() == kCdlBufferTooSmall)
        m_platform.messages.critical(document::msg::kTooManyFiles);
    if (dlg.CancelButton())
        return {};
    return dlg.FileNames();
}

bool frmEdit::Save()
{
    // A save writes what is on screen, also what the input method is still composing.
    rtfEdit->commitComposition();
    if (strDocName.startsWith(document::msg::kUntitled) || m_unreadFile)
        return SaveAs();
    if (changedOnDisk() &&
        !m_platform.messages.questionYesNoDefaultNo(strDocName + document::msg::kChangedOnDisk))
        return false;
    const SharedText snapshot = control().TextSnapshot();
    const QString text = snapshot.toString();
    const bool written = basFile::SaveTextFile(m_platform.messages, strDocName, text);
    // A document whose file could not be written at all stays unsaved, so that closing it
    // still asks, and a path never written is no recent file.
    if (written) {
        rememberDiskFile();
        m_frame.AddHistory(strDocName);
        reportCharsetMismatch(text);
        m_savedText = snapshot;
        if (objDoc)
            objDoc->setNeedSave(false);
    }
    return written;
}

void frmEdit::rememberDiskFile()
{
    const QFileInfo file(strDocName);
    m_disk = {.known = true,
              .modified = file.exists() ? file.lastModified() : QDateTime(),
              .size = file.size()};
}

bool frmEdit::changedOnDisk() const
{
    // A file that was not there compares unequal to any time, so one that has appeared counts.
    const QFileInfo file(strDocName);
    return m_disk.known && file.exists() &&
           (file.lastModified() != m_disk.modified || file.size() != m_disk.size);
}

bool frmEdit::goneFromDisk() const
{
    return m_disk.known && m_disk.modified.isValid() && !QFileInfo::exists(strDocName);
}

void frmEdit::reportCharsetMismatch(const QString &text)
{
    if (m_charsetReported)
        return;
    const QString declared = files::DeclaredCharset(text);
    if (declared.isEmpty())
        return;
    const QString saved =
        files::SavedKanjiCode(files::ReadSaveSetting(files::SaveSetting::KanjiCode));
    if (files::KanjiCodeOfCharset(declared) == saved)
        return;
    m_charsetReported = true;
    m_platform.messages.information(
        document::msg::kCharsetMismatch.arg(saved, declared, files::CharsetOfKanjiCode(saved)));
}

bool frmEdit::SaveAs()
{
    dialog().setInitDir(QDir::currentPath());
    const QStringList chosen = chooseFiles(document::msg::kSaveTitle, true);
    if (chosen.isEmpty())
        return false;
    // The chosen file is the user's to replace: the dialog has asked about it. The window's own
    // file is still asked about when another program has changed it since.
    const bool ownFile = !m_unreadFile && QFileInfo(chosen.first()) == QFileInfo(strDocName);
    const DiskFile previousDisk = ownFile ? m_disk : std::exchange(m_disk, DiskFile{});
    // A name the page could not be saved under is not the page's: Save would go on trying it.
    const QString previousName = std::exchange(strDocName, chosen.first());
    const bool previousUnread = std::exchange(m_unreadFile, false);
    setWindowTitle(strDocName);
    if (Save())
        return true;
    strDocName = previousName;
    m_unreadFile = previousUnread;
    m_disk = previousDisk;
    setWindowTitle(strDocName);
    return false;
}

void frmEdit::mnuFile_Click(int index)
{
    switch (index) {
    case 0:
        m_frame.NewWindow(QString());
        break;
    case 1: {
        dialog().setInitDir(QDir::currentPath());
        // Several chosen files open one window each.
        for (const QString &file : chooseFiles(document::msg::kOpenTitle, false))
            m_frame.NewWindow(file);
        break;
    }
    case 2:
        closeWindow();
        break;
    case 3:
        m_frame.closeAllDocuments();
        break;
    case 5:
        Save();
        break;
    case 6:
        SaveAs();
        break;
    default:
        break;
    }
}

void frmEdit::mnuFileMenu_Click()
{
    using files::SaveSetting;
    const int kanjiIndex = files::SaveSettingIndex(SaveSetting::KanjiCode,
                                                   files::ReadSaveSetting(SaveSetting::KanjiCode));
    const int returnIndex = files::SaveSettingIndex(
        SaveSetting::ReturnCode, files::ReadSaveSetting(SaveSetting::ReturnCode));
    for (int i = 0; i < mnuFileKanji.size(); ++i)
        mnuFileKanji[i]->setChecked(i == kanjiIndex);
    for (int i = 0; i < mnuFileReturn.size(); ++i)
        mnuFileReturn[i]->setChecked(i == returnIndex);
}

void frmEdit::mnuFileKanji_Click(int index)
{
    // The check marks follow the setting the next time the menu opens.
    mnuFileKanji[index]->setChecked(!mnuFileKanji[index]->isChecked());
    // A choice the settings file did not take would look made, and the next save would still
    // write the old code.
    if (!basINI::WriteIniString(QStringLiteral("Convert"), QStringLiteral("KanjiCode"),
                                files::SaveSettingValue(files::SaveSetting::KanjiCode, index)))
        m_platform.messages.critical(options::msg::kSaveFailed);
}

void frmEdit::mnuFileReturn_Click(int index)
{
    mnuFileReturn[index]->setChecked(!mnuFileReturn[index]->isChecked());
    if (!basINI::WriteIniString(QStringLiteral("Convert"), QStringLiteral("ReturnCode"),
                                files::SaveSettingValue(files::SaveSetting::ReturnCode, index)))
        m_platform.messages.critical(options::msg::kSaveFailed);
}

void frmEdit::mnuFileHistory_Click(int index)
{
    m_frame.mnuFileHistory_Click(index);
}

void frmEdit::mnuFileExit_Click()
{
    m_frame.exitProgram();
}

void frmEdit::mnuEdit_Click(int index)
{
    m_view->hidePopup();
    if (!objDoc)
        return;
    switch (index) {
    case 0:
        objDoc->Undo();
        UpdateEditMenu();
        break;
    case 1:
        objDoc->Redo();
        UpdateEditMenu();
        break;
    case 3:
        objDoc->Cut();
        break;
    case 4:
        objDoc->Copy();
        break;
    case 5:
        objDoc->Paste();
        break;
    case 6:
        objDoc->Delete();
        break;
    case 7:
        objDoc->AllSelect();
        break;
    case 9:
        m_frame.ShowFindDialog();
        break;
    case 10:
        objDoc->FindBack(gFindHistory.value(0));
        break;
    case 11:
        objDoc->FindNext(gFindHistory.value(0));
        break;
    case 12:
        m_frame.ShowReplaceDialog();
        break;
    default:
        break;
    }
}

void frmEdit::mnuEditMenu_Click()
{
    UpdateEditMenu();
}

void frmEdit::mnuEditStrConv_Click(int index)
{
    if (index >= 0 && index < int(std::size(kStrConvTypes)) && kStrConvTypes[index] >= 0)
        convert(static_cast<ConvType>(kStrConvTypes[index]));
}

void frmEdit::mnuEditTagConv_Click(int index)
{
    if (index >= 0 && index < int(std::size(kTagConvTypes)))
        convert(static_cast<ConvType>(kTagConvTypes[index]));
}

void frmEdit::mnuEditTagInsert_Click(int index)
{
    if (index >= 0 && index < int(std::size(kTagInsertTypes)))
        convert(static_cast<ConvType>(kTagInsertTypes[index]));
}

// A conversion rewrites the text the completion list was following, so the list closes first,
// as for the Edit menu's other commands.
void frmEdit::convert(ConvType type)
{
    m_view->hidePopup();
    if (objDoc)
        objDoc->Conv(type);
}

void frmEdit::UpdateEditMenu()
{
    if (!objDoc)
        return;
    EditMenuInputs in;
    in.undoCount = objDoc->GetClctUndoCount();
    in.redoCount = objDoc->GetClctRedoCount();
    in.selLength = control().SelLength();
    in.clipboardHasText = m_platform.clipboard.hasText();
    in.textLength = control().TextLength();
    const EditMenuState s = ComputeEditMenuState(in);
    mnuEdit[0]->setEnabled(s.undo);
    mnuEdit[1]->setEnabled(s.redo);
    mnuEdit[3]->setEnabled(s.cut);
    mnuEdit[4]->setEnabled(s.copy);
    mnuEdit[5]->setEnabled(s.paste);
    mnuEdit[6]->setEnabled(s.del);
    mnuEdit[7]->setEnabled(s.selectAll);
    SetToolBar();
}

void frmEdit::SetToolBar()
{
    const ToolBarState s =
        ComputeToolBarState(mnuEdit[0]->isEnabled(), mnuEdit[1]->isEnabled(), control().SelLength(),
                            m_platform.clipboard.hasText());
    m_frame.setToolButtonEnabled(QStringLiteral("EditUndo"), s.editUndo);
    m_frame.setToolButtonEnabled(QStringLiteral("EditRedo"), s.editRedo);
    m_frame.setToolButtonEnabled(QStringLiteral("EditCut"), s.editCut);
    m_frame.setToolButtonEnabled(QStringLiteral("EditCopy"), s.editCopy);
    m_frame.setToolButtonEnabled(QStringLiteral("EditPaste"), s.editPaste);
}

void frmEdit::closeEvent(QCloseEvent *event)
{
    rtfEdit->commitComposition();
    // Undoing past a save leaves NeedSave clear although the text no longer matches the file;
    // comparing with the text last loaded or saved catches that, and costs little because the
    // two share all but their differences.
    const bool changed = (mnuEdit[0]->isEnabled() && objDoc && objDoc->NeedSave()) ||
                         !control().TextSnapshot().sameText(m_savedText) || goneFromDisk();
    if (changed) {
        // Closing all asks window after window: each question comes with its own text in view.
        m_frame.showDocument(m_tag);
        const MessageAnswer answer = m_platform.messages.questionYesNoCancel(
            windowTitle() + QStringLiteral("\r\n") + document::msg::kChangedLine1 +
                QStringLiteral("\r\n") + document::msg::kChangedLine2,
            kAppTitle, MessageIcon::Warning);
        if (answer == MessageAnswer::Cancel) {
            event->ignore();
            return;
        }
        // A save that did not happen (its dialog cancelled, or the file not written) keeps
        // the window, so that no text is lost on the way out.
        if (answer == MessageAnswer::Yes && !Save()) {
            event->ignore();
            return;
        }
    }
    disconnect(&control(), nullptr, this, nullptr);
    objDoc.reset();
    objDlg.reset();
    m_frame.removeTab(m_tag);
    strPreviewFile.remove();
    m_unloaded = true;
    event->accept();
    Q_EMIT Unloaded();
}

void frmEdit::closeWindow()
{
    // In the document area the window sits in a frame of its own, which closes with it.
    if (auto *holder = qobject_cast<QMdiSubWindow *>(parentWidget()))
        holder->close();
    else
        close();
}

} // namespace scrivlet
