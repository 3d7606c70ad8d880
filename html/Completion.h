#pragma once
// The completion list of a document window and the other handlers of its edit area: typing "<"
// opens the tag list at the caret, a space inside a tag opens that tag's attribute list, and
// the space, ">" or a mouse press accept the selected row. Owns the typed word; references the
// edit control, the editor document, the list, the window and the keyboard, all of which live
// as long as the window.

#include "editor/SharedText.h"
#include "html/Dictionary.h"
#include "html/IPopupList.h"
#include "html/KeyCodes.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace scrivlet {

class IEditControl;
class SharedText;
class clsRTF;

namespace html {

// Mouse buttons and the Shift/Ctrl/Alt bit set of mouse and drop events.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// What was dropped on the text: a list of files, a text, or both.
struct DropData
{
    bool offersFiles = false;
    QStringList files; // local paths, in the order the source listed them
    bool offersText = false;
    QString text;
};

// The attribute test of the space key: where the page's markup stands at a position, read as a
// browser reads it from the page's start (MarkupScanner), so that text, comments, values and the
// code of scripts are never taken for a tag.
//
// The reading is kept from one space to the next, with a checkpoint every few thousand
// characters where the scan stood in the page's text: a space reads again only from the last
// checkpoint before the first change, the first one in a large page from its start.
class CaretMarkup
{
public:
    // The name of the start tag the position stands in, past its name and outside its quoted
    // values, as far as a blank, "/" or ">"; nothing anywhere else.
    std::optional<QString> startTagNameAt(const SharedText &text, qsizetype pos);

private:
    SharedText m_read;
    std::vector<qsizetype> m_checkpoints{0};
};

class CompletionController
{
public:
    // What the handlers ask of the window beyond the controls; a missing one is skipped.
    struct Callbacks
    {
        // The rows of the attribute list for a tag name (the dictionary's attributeRowsForTag).
        std::function<AttributeRows(const QString &tagName)> attributeRows;
        // Shows the Edit menu as a context menu at the pointer.
        std::function<void()> popupEditMenu;
        // Opens a file in a new document window.
        std::function<void(const QString &path)> newWindow;
        // Reads a whole text file, for a file dropped with Shift, Ctrl or Alt held.
        std::function<QString(const QString &path)> loadTextFile;
        // Disables the Edit menu's Undo and Redo.
        std::function<void()> disableUndoRedo;
    };

    CompletionController(IEditControl &rtfEdit, IPopupList &lstPopup, IWindowMetrics &window);

    // The editor document that measures the caret and resets the history.
    void setDocument(clsRTF *document);
    void setCallbacks(Callbacks callbacks) { m_callbacks = std::move(callbacks); }
    Callbacks &callbacks() { return m_callbacks; }

    // Key events of the edit control. A handler sets the code to 0 to suppress the key.
    void rtfEdit_KeyPress(int &keyAscii);
    void rtfEdit_KeyDown(int &keyCode, int shift);
    // Mouse and drag-and-drop events of the edit control and the list. A drag of selected text
    // is the text widget's own: Ctrl makes it a copy, otherwise it moves, and the right button,
    // which starts no drag there, already shows the Edit menu on its press.
    void rtfEdit_MouseDown(int button, int shift);
    void rtfEdit_OLEDragDrop(const DropData &data, int shift);
    void lstPopup_MouseDown(int button, int shift);

    void SelectPopupItem();
    void MovePopup();
    void CheckPopupTop();
    void ResetFlag();

    // What was typed since the list last opened.
    const QString &popupWord() const { return strPopupWord; }

private:
    bool acceptSelectedRow();
    void keyPressSpace(int &keyAscii);
    int popupTopAtCaret(int caretY) const;
    int caretX() const;
    int caretY() const;

    IEditControl &m_rtfEdit;
    IPopupList &m_lstPopup;
    IWindowMetrics &m_window;
    QPointer<clsRTF> m_document;
    Callbacks m_callbacks;
    QString strPopupWord;
    CaretMarkup m_markup;
};

} // namespace html
} // namespace scrivlet
