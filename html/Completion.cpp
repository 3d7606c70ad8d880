#include "html/Completion.h"

#include "editor/IEditControl.h"
#include "editor/SharedText.h"
#include "editor/TextCompare.h"
#include "editor/clsRTF.h"
#include "files/MarkupScanner.h"
#include "files/TagNames.h"
#include "files/basFile.h"
#include "platform/Globals.h"

#include <QtMath>

#include <algorithm>

namespace scrivlet::html {

using files::Markup;
using files::MarkupScanner;

namespace {

// Whether a row of the tag list, accepted with the space key, is a start tag to go on writing:
// the caret then steps back in front of its ">". Not a closing tag, a comment, a processing
// instruction, a tag closed by "/>" or a row holding a closing tag of its own, where a space
// before the ">" would break what the row wrote.
bool isStartTagRow(const QString &row)
{
    return row.size() > 2 && row.startsWith(u'<') && files::isAsciiLetter(row[1]) &&
           row.endsWith(u'>') && !row.endsWith(u"/>") && row.indexOf(u'<', 1) < 0;
}

} // namespace

std::optional<QString> CaretMarkup::startTagNameAt(const SharedText &text, qsizetype pos)
{
    constexpr qsizetype kCheckpointEvery = 4096;
    pos = std::clamp<qsizetype>(pos, 0, text.length());
    const qsizetype unchanged = m_read.commonPrefix(text, pos);
    while (m_checkpoints.back() > unchanged)
        m_checkpoints.pop_back();
    m_read = text;
    const qsizetype from = m_checkpoints.back();
    // Read up to the position only: a piece the scan finds closed there is closed in the whole
    // page too, and one still open holds the position.
    const QString part = text.mid(from, pos - from);
    MarkupScanner scan(part);
    // A piece that ends just before the position may read otherwise in the whole page
    // ("</script" there is no closing tag when "x" follows): no checkpoint so close.
    constexpr qsizetype kMargin = 16;
    std::optional<Markup> open;
    for (auto m = scan.next(); m; m = scan.next()) {
        // A value whose quote does not close before the position holds it, also when the tag
        // seemed to end at a ">" inside the value and what followed seemed markup. (A quote
        // opens a value only right after its "=": in alt="Tom's" an apostrophe opens nothing.)
        if (m->guessed)
            return std::nullopt;
        if (!m->closed) {
            open = m;
            break;
        }
        // Never at the end of a script's code, where its closing tag starts: an edit inside
        // that tag, after the checkpoint, could make it none and the code run on.
        if (scan.inText() && m->kind != Markup::Code &&
            from + m->end >= m_checkpoints.back() + kCheckpointEvery &&
            m->end + kMargin <= part.size())
            m_checkpoints.push_back(from + m->end);
    }
    if (!open || open->kind != Markup::Tag || open->begin + 1 >= part.size() ||
        !files::isAsciiLetter(part[open->begin + 1]))
        return std::nullopt;
    const QStringView tag = QStringView(part).sliced(open->begin);
    // Past the name: a name still running on after the position is being written.
    qsizetype nameEnd = 1;
    while (nameEnd < tag.size() && !files::endsTagName(tag[nameEnd]))
        ++nameEnd;
    if (nameEnd == tag.size() && pos < text.length() && !files::endsTagName(QChar(text.at(pos))))
        return std::nullopt;
    return tag.sliced(1, nameEnd - 1).toString();
}

CompletionController::CompletionController(IEditControl &rtfEdit, IPopupList &lstPopup,
                                           IWindowMetrics &window)
    : m_rtfEdit(rtfEdit), m_lstPopup(lstPopup), m_window(window)
{}

void CompletionController::setDocument(clsRTF *document)
{
    m_document = document;
}

int CompletionController::caretX() const
{
    return m_document ? m_document->CaretX() : 0;
}

int CompletionController::caretY() const
{
    return m_document ? m_document->CaretY() : 0;
}

// The row replaces the typed word only while that word still stands just before the caret.
// Keys the list does not follow (Ctrl+Backspace, Shift+Insert, a Ctrl+letter that types
// nothing), a click or a command can change the text under it; counting back the word's length
// from the caret then took text the user had never selected. Such a list is closed instead and
// the key goes in as typed.
bool CompletionController::acceptSelectedRow()
{
    const QString row = m_lstPopup.List(m_lstPopup.ListIndex());
    const int caret = m_rtfEdit.SelStart();
    const int start = caret - static_cast<int>(strPopupWord.size());
    if (start < 0 || m_rtfEdit.SelLength() != 0 ||
        m_rtfEdit.TextRange(start, static_cast<int>(strPopupWord.size())) != strPopupWord) {
        m_lstPopup.setVisible(false);
        return false;
    }
    m_rtfEdit.setSelStart(start);
    m_rtfEdit.setSelLength(caret - start);
    m_rtfEdit.setSelText(row);
    return true;
}

void CompletionController::rtfEdit_KeyPress(int &keyAscii)
{
    switch (keyAscii) {
    case keys::LessThan:
        strPopupWord = QStringLiteral("<");
        MovePopup();
        m_lstPopup.Clear();
        for (const QString &entry : std::as_const(gTagList))
            m_lstPopup.AddItem(entry);
        m_lstPopup.setVisible(true);
        break;
    case keys::GreaterThan:
        if (m_lstPopup.Visible()) {
            if (m_lstPopup.ListIndex() != -1 && acceptSelectedRow())
                keyAscii = 0;
            m_lstPopup.setVisible(false);
        }
        break;
    case keys::Enter:
        if (m_lstPopup.Visible())
            m_lstPopup.setVisible(false);
        break;
    case keys::Backspace:
        if (m_lstPopup.Visible()) {
            // The key takes a whole character, a surrogate pair too.
            const qsizetype last =
                strPopupWord.size() >= 2 && strPopupWord.back().isLowSurrogate() &&
                        strPopupWord.at(strPopupWord.size() - 2).isHighSurrogate()
                    ? 2
                    : 1;
            if (strPopupWord.size() > last) {
                strPopupWord.chop(last);
                SelectPopupItem();
                CheckPopupTop();
            } else {
                m_lstPopup.setVisible(false);
            }
        }
        break;
    case keys::Space:
        keyPressSpace(keyAscii);
        break;
    default:
        if (m_lstPopup.Visible()) {
            strPopupWord.append(QChar(char16_t(keyAscii)));
            SelectPopupItem();
            CheckPopupTop();
        }
        break;
    }
}

void CompletionController::keyPressSpace(int &keyAscii)
{
    if (m_lstPopup.Visible()) {
        if (m_lstPopup.ListIndex() > -1 && acceptSelectedRow()) {
            // Back in front of the row's closing ">", or between the quotes of an empty value,
            // where the space is not wanted. A row that ends otherwise (a comment's "<!--", a
            // value or a bare name of the user's own list) stays whole, the space after it:
            // stepping back split its last character off.
            const QString row = m_lstPopup.List(m_lstPopup.ListIndex());
            if (isStartTagRow(row) || row.endsWith(u"\"\"")) {
                m_rtfEdit.setSelStart(m_rtfEdit.SelStart() - 1);
                const int caret = m_rtfEdit.SelStart();
                if (caret > 0 && m_rtfEdit.TextRange(caret - 1, 1) == QStringLiteral("\""))
                    keyAscii = 0;
            }
        }
        m_lstPopup.setVisible(false);
    }

    const std::optional<QString> name =
        m_markup.startTagNameAt(m_rtfEdit.TextSnapshot(), m_rtfEdit.SelStart());
    if (!name)
        return;
    strPopupWord.clear();
    MovePopup();
    m_lstPopup.Clear();
    const AttributeRows rows =
        m_callbacks.attributeRows ? m_callbacks.attributeRows(*name) : AttributeRows{};
    if (rows.ownFile && rows.rows.isEmpty())
        return;
    for (const QString &row : rows.rows)
        m_lstPopup.AddItem(row);
    m_lstPopup.setVisible(true);
}

void CompletionController::rtfEdit_KeyDown(int &keyCode, int shift)
{
    Q_UNUSED(shift);
    switch (keyCode) {
    case keys::Up:
        if (m_lstPopup.Visible()) {
            if (m_lstPopup.ListIndex() > 0)
                m_lstPopup.setListIndex(m_lstPopup.ListIndex() - 1);
            m_rtfEdit.SetFocus();
            keyCode = 0;
        }
        break;
    case keys::Down:
        if (m_lstPopup.Visible()) {
            if (m_lstPopup.ListIndex() < m_lstPopup.ListCount() - 1)
                m_lstPopup.setListIndex(m_lstPopup.ListIndex() + 1);
            m_rtfEdit.SetFocus();
            keyCode = 0;
        }
        break;
    case keys::Left:
    case keys::Right:
    case keys::Home:
    case keys::End:
    case keys::PageUp:
    case keys::PageDown:
    case keys::Escape:
        m_lstPopup.setVisible(false);
        break;
    default:
        break;
    }
}

void CompletionController::lstPopup_MouseDown(int button, int shift)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    if (m_lstPopup.ListIndex() == -1)
        return;
    acceptSelectedRow();
    m_lstPopup.setVisible(false);
}

void CompletionController::SelectPopupItem()
{
    const int count = m_lstPopup.ListCount();
    for (int k = 0; k < count; ++k) {
        if (textStartsWith(m_lstPopup.List(k), strPopupWord, CompareMode::Text)) {
            m_lstPopup.setListIndex(k);
            return;
        }
    }
    m_lstPopup.setListIndex(-1);
}

// Just under the caret's line, or just above it when the window has no room below.
int CompletionController::popupTopAtCaret(int caretY) const
{
    int y = qRound(caretY + m_rtfEdit.FontSize() * m_window.lineOffsetFactor() * 20.0);
    if (y + m_lstPopup.Height() > m_window.ScaleHeight())
        y = caretY - m_lstPopup.Height();
    return y;
}

void CompletionController::MovePopup()
{
    int x = caretX();
    const int y = popupTopAtCaret(caretY());
    if (x + m_lstPopup.Width() > m_window.ScaleWidth())
        x = m_window.ScaleWidth() - m_lstPopup.Width();
    m_lstPopup.Move(x, y);
}

void CompletionController::CheckPopupTop()
{
    if (m_lstPopup.Top() != popupTopAtCaret(caretY()))
        MovePopup();
}

void CompletionController::rtfEdit_MouseDown(int button, int shift)
{
    Q_UNUSED(shift);
    // A press in the text puts the caret elsewhere, away from the word the list was following;
    // left open, the list's next acceptance replaced as many characters before the new caret,
    // text the user had never selected.
    if (button != kRightButton)
        m_lstPopup.setVisible(false);
    if (button == kRightButton && m_callbacks.popupEditMenu)
        m_callbacks.popupEditMenu();
}

void CompletionController::rtfEdit_OLEDragDrop(const DropData &data, int shift)
{
    if (data.offersFiles) {
        // Windows open from the last file to the first, so that the first ends up in front;
        // texts go in at the caret in the order dropped, as one change that one Undo takes back.
        const bool insert = (shift & (kShiftMask | kCtrlMask | kAltMask)) != 0;
        const qsizetype count = data.files.size();
        QString texts;
        for (qsizetype i = 0; i < count; ++i) {
            const QString &path = data.files.at(insert ? i : count - 1 - i);
            if (basFile::GetFileName(path).isEmpty() || basFile::GetExtension(path).isEmpty())
                continue;
            if (insert) {
                if (m_callbacks.loadTextFile)
                    texts += m_callbacks.loadTextFile(path);
            } else if (m_callbacks.newWindow) {
                m_callbacks.newWindow(path);
            }
        }
        if (!texts.isEmpty())
            m_rtfEdit.setSelText(texts);
    } else if (data.offersText) {
        m_rtfEdit.setSelText(data.text);
    }
}

void CompletionController::ResetFlag()
{
    if (m_document)
        m_document->InitVariable();
    if (m_callbacks.disableUndoRedo)
        m_callbacks.disableUndoRedo();
}

} // namespace scrivlet::html
