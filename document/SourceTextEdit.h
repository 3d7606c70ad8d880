#pragma once
// The text widget of a document window: a plain-text editor whose undo and redo belong to the
// editor document, not to the widget. Its keys, mouse presses and drops go to the window's
// handlers first; owns the handlers it is given.

#include "html/Completion.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <functional>
#include <optional>
#include <utility>

namespace scrivlet {

class SourceTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    // A key handler gets the key's code and the Shift/Ctrl/Alt bits; setting the code to 0
    // suppresses the key.
    using KeyDownHandler = std::function<void(int &keyCode, int shift)>;
    // A character handler gets the character's code before it is inserted; setting it to 0
    // suppresses the character, another code is inserted in its place.
    using KeyPressHandler = std::function<void(int &keyAscii)>;
    using DropHandler = std::function<void(const html::DropData &data, int shift)>;

    explicit SourceTextEdit(QWidget *parent = nullptr);
    ~SourceTextEdit() override;

    void setKeyHandlers(KeyDownHandler keyDown, KeyPressHandler keyPress);
    // A list over the text took a press and hid: the second half of a double-click on it would
    // come to the text beneath as a double-click of its own and select a word there.
    void ignoreRestOfClick();
    // Files, and text dragged in from elsewhere, go to the handler instead of the drop point.
    void setDropHandler(DropHandler drop);

    // Text an input method is composing shows on screen but is not yet in the text. Closing,
    // saving or a change made from code would throw it away; this puts it in first, as a commit.
    void commitComposition();
    // One input method commit, or one key with several characters, goes in a character at a
    // time so that the character handler sees each; a composition started on a selection first
    // removes it. While such an input goes in, this is its number (never 0), the same for all its
    // edits so that they can be taken as one; 0 between inputs.
    quint64 inputInPieces() const { return m_inputInPieces; }

Q_SIGNALS:
    // A mouse button went down in the text: the button as html::kLeftButton, kRightButton or
    // kMiddleButton, the Shift/Ctrl/Alt bits, and where on the screen.
    void mousePressed(int button, int shift, const QPoint &globalPos);
    // The Menu key or Shift+F10 asked for the context menu, to show at globalPos (the caret).
    void menuKeyPressed(const QPoint &globalPos);

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void selectJapaneseWord(const QPoint &at);
    void selectFrom(int anchor, int position);
    void typeKey(QKeyEvent *event);
    // The text as the character handler leaves it, one character at a time.
    QString filterTyped(const QString &text);
    bool takesDrop(const QDropEvent *event, const QStringList &files) const;
    // A drag that offers files: taken as a copy, or refused when none of their names can be read
    // as a path. False for any other drag, which the widget answers itself.
    bool answerFileDrag(QDragMoveEvent *event);
    void keepGlyphsOfLongLines(int position, int removed, int added);
    void holdCaretSteadyInLongLines();

    KeyDownHandler m_keyDown;
    KeyPressHandler m_keyPress;
    DropHandler m_drop;
    QElapsedTimer m_clickTakenByList;
    bool m_ignoringClick = false; // until the ignored double-click's button comes up
    std::optional<std::pair<int, int>> m_doubleClickedWord; // while its button is down
    mutable bool m_mimeMade = false; // the selection was taken as data: a drag or a copy began
    QString m_composing;             // the input method's text not yet committed
    quint64 m_commits = 0;           // input method commits so far
    quint64 m_inputs = 0;            // inputs that went in a piece at a time so far
    quint64 m_inputInPieces = 0;
    quint64 m_inputInComposition = 0; // the input the open composition belongs to
    bool m_caretHeldSteady = false;   // in a long line, with the focus
    int m_flashTimeBeforeSteady = 0;  // the application's caret blink before it was held
};

// The classic virtual-key code of a key (38 for Up, 65 for A ...); 0 for keys it has none for.
int virtualKeyCode(int qtKey);

// The Shift/Ctrl/Alt bits (html::kShiftMask ...) of Qt's modifiers.
int shiftState(Qt::KeyboardModifiers modifiers);

// The fonts a Japanese page reads well in, the usual one first.
QFont japaneseEditorFont(double pointSize = 9.0);

} // namespace scrivlet
