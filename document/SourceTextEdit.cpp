#include "document/SourceTextEdit.h"

#include "editor/WordRuns.h"
#include "files/basFile.h"
#include "html/KeyCodes.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <tuple>
#include <utility>

namespace scrivlet {

namespace {

bool isUndoOrRedo(const QKeyEvent *key)
{
    const QKeyCombination combo = key->keyCombination();
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           combo == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

// Delete carries DEL as its text on some platforms; the key deletes and types nothing.
constexpr char16_t kDeleteCharacter = 0x7F;

// Characters from which a line costs a blink something to see (see keepGlyphsOfLongLines).
constexpr int kLongLine = 4096;

// The units of one character: a surrogate pair stays together, and so does CR LF, which the
// text would otherwise take for two line breaks.
qsizetype characterLength(const QString &text, qsizetype at)
{
    const bool pair = at + 1 < text.size() &&
                      ((text.at(at).isHighSurrogate() && text.at(at + 1).isLowSurrogate()) ||
                       (text.at(at) == u'\r' && text.at(at + 1) == u'\n'));
    return pair ? 2 : 1;
}

// Files dropped here are opened or read, never taken: the drop is a copy whatever the source
// proposes, as a file manager takes a move for leave to delete the file.
void acceptAsCopy(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

} // namespace

SourceTextEdit::SourceTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    document()->setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    setFont(japaneseEditorFont());
    connect(document(), &QTextDocument::contentsChange, this,
            &SourceTextEdit::keepGlyphsOfLongLines);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            &SourceTextEdit::holdCaretSteadyInLongLines);
}

SourceTextEdit::~SourceTextEdit()
{
    if (m_caretHeldSteady)
        QApplication::setCursorFlashTime(m_flashTimeBeforeSteady);
}

// Qt draws the caret's whole line at every blink; even with its glyphs kept, a line of a
// megabyte cost a third of a core while the program sat idle. In a long line the caret stays
// still. The blink is the application's: the widget with the focus holds it, and gives it back
// when the caret or the focus leaves.
void SourceTextEdit::holdCaretSteadyInLongLines()
{
    const bool steady = hasFocus() && textCursor().block().length() > kLongLine;
    if (steady == m_caretHeldSteady)
        return;
    m_caretHeldSteady = steady;
    if (steady)
        m_flashTimeBeforeSteady = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(steady ? 0 : m_flashTimeBeforeSteady);
}

void SourceTextEdit::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    holdCaretSteadyInLongLines();
}

void SourceTextEdit::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    holdCaretSteadyInLongLines();
}

// Qt drops a line's shaped glyphs after laying it out and shapes the whole line again for every
// caret blink. On a minified page of one megabyte-long line that kept a core busy while the
// program sat idle; the glyphs of such lines are worth their memory.
void SourceTextEdit::keepGlyphsOfLongLines(int position, int /*removed*/, int added)
{
    const QTextBlock end = document()->findBlock(position + added).next();
    for (QTextBlock block = document()->findBlock(position); block.isValid() && block != end;
         block = block.next()) {
        if (block.length() > kLongLine)
            block.layout()->setCacheEnabled(true);
    }
}

void SourceTextEdit::setKeyHandlers(KeyDownHandler keyDown, KeyPressHandler keyPress)
{
    m_keyDown = std::move(keyDown);
    m_keyPress = std::move(keyPress);
}

void SourceTextEdit::setDropHandler(DropHandler drop)
{
    m_drop = std::move(drop);
}

bool SourceTextEdit::event(QEvent *event)
{
    // The widget claims Ctrl+Z and Ctrl+Y for its own undo, which is off; leaving them unclaimed
    // lets the window's Undo and Redo commands have them.
    if (event->type() == QEvent::ShortcutOverride &&
        isUndoOrRedo(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QPlainTextEdit::event(event);
}

// The key first, then the character it types, then the widget: the handlers see the text as it
// was before the key, and a character they suppress is never inserted.
void SourceTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (isUndoOrRedo(event)) {
        event->ignore();
        return;
    }
    // The desktop turns only the Menu key into a request for a context menu; Shift+F10 asks for
    // it on the desktops users come from.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        event->accept();
        Q_EMIT menuKeyPressed(viewport()->mapToGlobal(cursorRect().bottomLeft()));
        return;
    }
    if (m_keyDown) {
        int code = virtualKeyCode(event->key());
        if (code != 0) {
            m_keyDown(code, shiftState(event->modifiers()));
            if (code == 0) {
                event->accept();
                return;
            }
        }
    }
    const QString typed = event->text();
    // An Alt combination is a menu's access key or nothing: a mistyped one must not leave its
    // letter in the page.
    if ((event->modifiers() & Qt::AltModifier) && !typed.isEmpty()) {
        event->ignore();
        return;
    }
    if (!m_keyPress || typed.isEmpty()) {
        typeKey(event);
        return;
    }
    if (characterLength(typed, 0) == typed.size()) {
        // The handler may change the text before the character goes in (a completion row
        // accepted with the space key): the user pressed one key, which takes one Undo.
        const QScopedValueRollback pieces(m_inputInPieces, ++m_inputs);
        const QString kept = filterTyped(typed);
        if (kept == typed) {
            typeKey(event);
            return;
        }
        if (!kept.isEmpty())
            insertPlainText(kept);
        event->accept();
        return;
    }
    // Several characters at once: each is handled with the ones before it already in place.
    const QScopedValueRollback pieces(m_inputInPieces, ++m_inputs);
    for (qsizetype k = 0; k < typed.size();) {
        const qsizetype n = characterLength(typed, k);
        const QString kept = filterTyped(typed.mid(k, n));
        if (!kept.isEmpty())
            insertPlainText(kept);
        k += n;
    }
    event->accept();
}

void SourceTextEdit::typeKey(QKeyEvent *event)
{
    // Shift+Enter would insert a line separator that no kanji code can hold; a source file wants
    // an ordinary line break.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QString SourceTextEdit::filterTyped(const QString &text)
{
    QString kept;
    for (const QChar c : text) {
        if (c.unicode() == kDeleteCharacter) {
            kept.append(c);
            continue;
        }
        int code = c.unicode();
        m_keyPress(code);
        if (code != 0)
            kept.append(QChar(char16_t(code)));
    }
    return kept;
}

// Text an input method commits is typed text too: each character goes through the character
// handler as a typed one would, so a tag name or a "<" entered through the input method drives
// the completion list the same way. Characters are committed one at a time, so the handler of
// each sees those before it in the text.
void SourceTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty())
        ++m_commits;
    // A composition that starts on a selection removes it; that, and the commit that ends the
    // composition, are one input.
    const quint64 input = m_composing.isEmpty() ? ++m_inputs : m_inputInComposition;
    m_composing = event->preeditString();
    // A composition begun by the event that commits the one before is an input of its own.
    m_inputInComposition = m_composing.isEmpty() ? 0 : commit.isEmpty() ? input : ++m_inputs;
    const QScopedValueRollback pieces(m_inputInPieces, input);
    if (!m_keyPress || commit.isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    bool first = true;
    for (qsizetype k = 0; k < commit.size();) {
        const qsizetype n = characterLength(commit, k);
        const QString kept = filterTyped(commit.mid(k, n));
        k += n;
        if (kept.isEmpty() && !first)
            continue;
        QInputMethodEvent piece;
        if (first && event->replacementLength() != 0)
            piece.setCommitString(kept, event->replacementStart(), event->replacementLength());
        else
            piece.setCommitString(kept);
        QPlainTextEdit::inputMethodEvent(&piece);
        first = false;
    }
    // What the input method is still composing comes back after the committed text.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&rest);
    event->accept();
}

// Input methods differ in what they do when asked: some commit their text, some leave it
// composing, some drop it. What was on screen goes into the text in any case, once.
void SourceTextEdit::commitComposition()
{
    if (m_composing.isEmpty())
        return;
    const QString composed = m_composing;
    const quint64 commits = m_commits;
    QGuiApplication::inputMethod()->commit();
    if (m_commits == commits || !m_composing.isEmpty())
        QGuiApplication::inputMethod()->reset();
    // Sent, not called, so that the application sees this commit end the composition as it
    // sees an input method's own (an echo of it is dropped there).
    if (m_commits == commits) {
        QInputMethodEvent committed;
        committed.setCommitString(composed);
        QApplication::sendEvent(this, &committed);
    }
}

void SourceTextEdit::mousePressEvent(QMouseEvent *event)
{
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = html::kLeftButton;
        break;
    case Qt::RightButton:
        button = html::kRightButton;
        break;
    case Qt::MiddleButton:
        button = html::kMiddleButton;
        break;
    default:
        break;
    }
    if (button != 0)
        Q_EMIT mousePressed(button, shiftState(event->modifiers()),
                            event->globalPosition().toPoint());
    m_doubleClickedWord.reset();
    QPlainTextEdit::mousePressEvent(event);
}

// What the widget's own Ctrl+C, Ctrl+X and drags carry: the selection's characters as they
// stand, with LF line ends. Qt's plain-text export turned no-break spaces into spaces, so a
// cut and paste or a drag silently changed the page; and a rich-text flavour has no place in
// a source editor.
QMimeData *SourceTextEdit::createMimeDataFromSelection() const
{
    auto *mime = new QMimeData;
    mime->setText(textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'));
    m_mimeMade = true;
    return mime;
}

// Only text is ever pasted or dropped here, and only through these two. Qt's own insertion
// crashed on X11 when no program owned the clipboard (Ctrl+V in a fresh session), taking every
// unsaved window with it.
bool SourceTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source && source->hasText();
}

void SourceTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText())
        insertPlainText(source->text());
}

void SourceTextEdit::ignoreRestOfClick()
{
    m_clickTakenByList.start();
}

void SourceTextEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_clickTakenByList.isValid() &&
        m_clickTakenByList.elapsed() <= QApplication::doubleClickInterval()) {
        m_clickTakenByList.invalidate();
        m_ignoringClick = true;
        event->accept();
        return;
    }
    QPlainTextEdit::mouseDoubleClickEvent(event);
    selectJapaneseWord(event->position().toPoint());
}

// Qt's words end only at blanks and ASCII punctuation, so a double-click on Japanese took the
// whole sentence, 、 and 。 and all; there the word is the run of one script under the pointer.
void SourceTextEdit::selectJapaneseWord(const QPoint &at)
{
    if (!textCursor().hasSelection())
        return;
    const QTextCursor hit = cursorForPosition(at);
    const QString line = hit.block().text();
    // The nearest boundary is after the character pointed at when the pointer is on its right
    // half.
    qsizetype pointed = hit.positionInBlock();
    if (pointed > 0 && (pointed == line.size() || at.x() < cursorRect(hit).left()))
        --pointed;
    // Qt lays a kana and its half-width mark (ﾃﾞ) out as one cluster, and its nearest boundary
    // for a point on the cluster's right part can lie words away: the character is then the
    // one whose caret positions enclose the point. Only the characters near Qt's answer are
    // measured: each measure walks the line, and a minified page's line is a megabyte long.
    constexpr int kNear = 64;
    const QTextLayout *layout = hit.block().layout();
    const QPointF origin = contentOffset() + blockBoundingGeometry(hit.block()).topLeft();
    const QTextLine row = layout ? layout->lineForTextPosition(hit.positionInBlock()) : QTextLine();
    if (row.isValid()) {
        const int from = std::max(row.textStart(), hit.positionInBlock() - kNear);
        const int to = std::min(row.textStart() + row.textLength(), hit.positionInBlock() + kNear);
        qreal left = row.cursorToX(from) + origin.x();
        for (int p = from; p < to; ++p) {
            const qreal right = row.cursorToX(p + 1) + origin.x();
            if (left < right && left <= at.x() && at.x() < right)
                pointed = p;
            left = right;
        }
    }
    auto [begin, end] = JapaneseWordAt(line, pointed);
    if (begin == end) {
        const int blockStart = hit.block().position();
        const std::pair qtWord(textCursor().selectionStart() - blockStart,
                               textCursor().selectionEnd() - blockStart);
        std::tie(begin, end) =
            WordBetweenJapanesePunctuation(line, pointed, qtWord.first, qtWord.second);
        if (std::pair(begin, end) == std::pair<qsizetype, qsizetype>(qtWord))
            return;
    }
    const int first = hit.block().position() + int(begin), last = hit.block().position() + int(end);
    selectFrom(first, last);
    m_doubleClickedWord = {first, last};
    // The selection the middle button pastes is this word too; Qt gave it its own.
    if (QClipboard *clipboard = QGuiApplication::clipboard(); clipboard->supportsSelection())
        clipboard->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
}

void SourceTextEdit::selectFrom(int anchor, int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void SourceTextEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (m_ignoringClick) {
        event->accept();
        return;
    }
    // A drag after a double-click on Japanese stretches the selection from that word; Qt's own
    // would stretch it from the word Qt took, the whole sentence.
    if (m_doubleClickedWord && (event->buttons() & Qt::LeftButton)) {
        const auto [first, last] = *m_doubleClickedWord;
        const int at = cursorForPosition(event->position().toPoint()).position();
        if (at >= last)
            selectFrom(first, at);
        else if (at <= first)
            selectFrom(last, at);
        else
            selectFrom(first, last);
        event->accept();
        return;
    }
    m_mimeMade = false;
    QPlainTextEdit::mouseMoveEvent(event);
    // A drag ran inside that move and ended on a release the widget never sees. Begun outside
    // the text, it left Qt's widget scrolling on a timer that replays the move with the button
    // held; a new drag then started with the button up, swallowed every key and dropped the text
    // at the next click. The release the widget missed ends that.
    if (std::exchange(m_mimeMade, false)) {
        const QTextCursor kept = textCursor();
        QMouseEvent release(QEvent::MouseButtonRelease, event->position(), event->scenePosition(),
                            event->globalPosition(), Qt::LeftButton, Qt::NoButton,
                            event->modifiers());
        QPlainTextEdit::mouseReleaseEvent(&release);
        setTextCursor(kept);
    }
}

void SourceTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    m_doubleClickedWord.reset();
    if (std::exchange(m_ignoringClick, false)) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

// The window shows its Edit menu on the right button's press, and at the caret for the Menu
// key; the widget's own menu would offer an undo that is not the document's.
void SourceTextEdit::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard)
        Q_EMIT menuKeyPressed(viewport()->mapToGlobal(cursorRect().bottomLeft()));
}

bool SourceTextEdit::takesDrop(const QDropEvent *event, const QStringList &files) const
{
    // A selection dragged within the text keeps the widget's own move or copy. The widget's
    // drags start from its viewport, not from the widget itself.
    const bool fromThisText = event->source() == this || event->source() == viewport();
    return !files.isEmpty() || (event->mimeData()->hasText() && !fromThisText);
}

bool SourceTextEdit::answerFileDrag(QDragMoveEvent *event)
{
    if (!m_drop)
        return false;
    // Files whose names cannot be read as paths, and nothing else, are refused: nothing of them
    // can be had, and their links typed into the page are not what the user dropped them for.
    bool unreadable = false;
    if (!basFile::LocalFiles(event->mimeData(), &unreadable).isEmpty())
        acceptAsCopy(event);
    else if (unreadable)
        event->ignore();
    else
        return false;
    return true;
}

void SourceTextEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (!answerFileDrag(event))
        QPlainTextEdit::dragEnterEvent(event);
}

void SourceTextEdit::dragMoveEvent(QDragMoveEvent *event)
{
    if (!answerFileDrag(event))
        QPlainTextEdit::dragMoveEvent(event);
}

void SourceTextEdit::dropEvent(QDropEvent *event)
{
    bool unreadable = false;
    const QStringList files =
        m_drop ? basFile::LocalFiles(event->mimeData(), &unreadable) : QStringList();
    if (files.isEmpty() && unreadable) {
        event->ignore();
        return;
    }
    if (!m_drop || !takesDrop(event, files)) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    const QMimeData *mime = event->mimeData();
    html::DropData data;
    data.files = files;
    data.offersFiles = !data.files.isEmpty();
    data.offersText = mime->hasText();
    data.text = mime->text();
    // A link dropped from a file manager's remote folder is no file here, but a move would still
    // be leave to delete it there.
    if (data.offersFiles || mime->hasUrls())
        acceptAsCopy(event);
    else
        event->acceptProposedAction();
    m_drop(data, shiftState(event->modifiers()));
}

int virtualKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // the same numbers as the characters
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return html::keys::F1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return html::keys::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return html::keys::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return html::keys::Enter;
    case Qt::Key_Shift:
        return html::keys::Shift;
    case Qt::Key_Control:
        return html::keys::Control;
    case Qt::Key_Alt:
        return html::keys::Alt;
    case Qt::Key_Escape:
        return html::keys::Escape;
    case Qt::Key_Space:
        return html::keys::Space;
    case Qt::Key_PageUp:
        return html::keys::PageUp;
    case Qt::Key_PageDown:
        return html::keys::PageDown;
    case Qt::Key_End:
        return html::keys::End;
    case Qt::Key_Home:
        return html::keys::Home;
    case Qt::Key_Left:
        return html::keys::Left;
    case Qt::Key_Up:
        return html::keys::Up;
    case Qt::Key_Right:
        return html::keys::Right;
    case Qt::Key_Down:
        return html::keys::Down;
    case Qt::Key_Insert:
        return html::keys::Insert;
    case Qt::Key_Delete:
        return html::keys::Delete;
    default:
        return 0;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= html::kShiftMask;
    if (modifiers & Qt::ControlModifier)
        shift |= html::kCtrlMask;
    if (modifiers & Qt::AltModifier)
        shift |= html::kAltMask;
    return shift;
}

QFont japaneseEditorFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("Noto Sans Mono CJK JP")});
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace scrivlet
