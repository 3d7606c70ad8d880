#pragma once
// What a document window shows: the text widget rtfEdit filling the view and the completion list
// lstPopup floating over it, with the completion logic that joins them. Owns the widgets
// (through Qt), their adapters and the completion; references the editor document, the
// clipboard, which the window keeps for longer.

#include "html/Completion.h"
#include "html/Dictionary.h"

#include <QPoint>
#include <QWidget>

#include <memory>

namespace scrivlet {

class IClipboard;
class IEditControl;
class PlainTextEditAdapter;
class PopupListAdapter;
class PopupListWidget;
class SourceTextEdit;
class clsRTF;

class DocumentView : public QWidget
{
    Q_OBJECT
public:
    DocumentView(IClipboard &clipboard, QWidget *parent = nullptr);
    ~DocumentView() override;

    SourceTextEdit *textEdit() const { return rtfEdit; }
    PopupListWidget *popupList() const { return lstPopup; }
    IEditControl &control() const;
    html::CompletionController &completion() const { return *m_completion; }

    // Binds the editor document to rtfEdit; the completion measures the caret through it and
    // ResetFlag resets its history.
    void bindDocument(clsRTF &document);
    // Where the tags' attribute files lie (programDir ends with "/"), and the settings file to
    // make current again after one was read.
    void setDictionary(const QString &programDir, const QString &settingsFile);
    // Reads the text of a file dropped with Shift, Ctrl or Alt held.
    void setTextFileLoader(html::TextFileLoader loader);

    // Hides the list, as every Edit command does first.
    void hidePopup();
    // Resets the editor document's history; undoRedoDisabled() follows.
    void ResetFlag();

Q_SIGNALS:
    // The right mouse button went down in the text: the Edit menu is wanted at globalPos.
    void contextMenuRequested(const QPoint &globalPos);
    // A file was dropped on the text without Shift, Ctrl or Alt: it wants a window of its own.
    void openFileRequested(const QString &path);
    // The Edit menu's Undo and Redo are to be disabled.
    void undoRedoDisabled();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void keepPopupAtCaret();
    void rtfEdit_MouseDown(int button, int shift, const QPoint &globalPos);
    void lstPopup_MouseDown(int button, int shift);

    SourceTextEdit *rtfEdit = nullptr;
    PopupListWidget *lstPopup = nullptr;
    std::unique_ptr<PlainTextEditAdapter> m_control;
    std::unique_ptr<PopupListAdapter> m_list;
    std::unique_ptr<html::IWindowMetrics> m_metrics;
    std::unique_ptr<html::CompletionController> m_completion;
    html::TextFileLoader m_loadTextFile;
    // Where the last press in the text happened: the Edit menu opens there.
    QPoint m_pressedAt;
};

} // namespace scrivlet
