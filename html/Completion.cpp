#include "html/Completion.h"

#include "editor/IEditControl.h"
#include "editor/SharedText.h"
#include "editor/TextCompare.h"
#include "editor/clsRTF.h"
#include "files/TagNames.h"
#include "files/basFile.h"
#include "platform/Globals.h"

#include <QtMath>

#include <algorithm>

namespace scrivlet::html {

namespace {

// Reads a text in chunks that grow as a scan goes on: a bracket a few characters away costs a
// few characters, one a megabyte away costs a megabyte, and no scan copies the whole text up
// front.
class ChunkedScan
{
public:
    explicit ChunkedScan(const SharedText &text) : m_text(text), m_length(text.length()) {}

    qsizetype length() const { return m_length; }
    char16_t at(qsizetype index) const { return m_text.at(index); }

    // Index of the first unit in [from, end) that is one of wanted, or -1.
    qsizetype forward(qsizetype from, qsizetype end, QStringView wanted) const
    {
        end = std::min(end, m_length);
        qsizetype chunk = kFirstChunk;
        for (qsizetype pos = std::max<qsizetype>(from, 0); pos < end;) {
            const qsizetype len = std::min(chunk, end - pos);
            const QString piece = m_text.mid(pos, len);
            for (qsizetype k = 0; k < piece.size(); ++k) {
                if (wanted.contains(piece.at(k)))
                    return pos + k;
            }
            pos += len;
            chunk = std::min(chunk * 2, kLastChunk);
        }
        return -1;
    }

    // Index of the last unit in [0, from] that is one of wanted, or -1.
    qsizetype backward(qsizetype from, QStringView wanted) const
    {
        qsizetype chunk = kFirstChunk;
        for (qsizetype end = std::min(from + 1, m_length); end > 0;) {
            const qsizetype start = std::max<qsizetype>(end - chunk, 0);
            const QString piece = m_text.mid(start, end - start);
            for (qsizetype k = piece.size() - 1; k >= 0; --k) {
                if (wanted.contains(piece.at(k)))
                    return start + k;
            }
            end = start;
            chunk = std::min(chunk * 2, kLastChunk);
        }
        return -1;
    }

    // Occurrences of c in [from, end).
    qsizetype count(qsizetype from, qsizetype end, QChar c) const
    {
        end = std::min(end, m_length);
        qsizetype total = 0;
        qsizetype chunk = kFirstChunk;
        for (qsizetype pos = std::max<qsizetype>(from, 0); pos < end;) {
            const qsizetype len = std::min(chunk, end - pos);
            total += m_text.mid(pos, len).count(c);
            pos += len;
            chunk = std::min(chunk * 2, kLastChunk);
        }
        return total;
    }

private:
    static constexpr qsizetype kFirstChunk = 256;
    static constexpr qsizetype kLastChunk = 64 * 1024;

    const SharedText &m_text;
    qsizetype m_length;
};

constexpr char16_t kLt = u'<';
constexpr char16_t kGt = u'>';
constexpr char16_t kQuote = u'"';

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// A "<" that opens a start tag, as a browser reads one: before an ASCII letter.
bool opensStartTag(const ChunkedScan &scan, qsizetype lt)
{
    return lt + 1 < scan.length() && isAsciiLetter(scan.at(lt + 1));
}

// Whether the text just before at is the code of a script or a style, which a browser reads as
// text: the nearest script or style tag in the 64 KiB before it is a start tag. A script's "i<n"
// is then no tag. Looking no further keeps a space cheap on any page.
bool inScriptOrStyle(const SharedText &text, qsizetype at)
{
    constexpr qsizetype kLookBack = 64 * 1024;
    const qsizetype from = std::max<qsizetype>(0, at - kLookBack);
    const QString before = text.mid(from, at - from);
    for (qsizetype lt = before.lastIndexOf(u'<'); lt >= 0;
         lt = lt == 0 ? -1 : before.lastIndexOf(u'<', lt - 1)) {
        const QStringView tag = QStringView(before).sliced(lt + 1);
        const bool closing = tag.startsWith(u'/');
        for (const QStringView name : {u"script", u"style"}) {
            if (files::startsWithTagName(tag.sliced(closing ? 1 : 0), name))
                return !closing;
        }
    }
    return false;
}

enum class TagState { Open, InValue, Closed };

// How the tag opened at lt stands at limit: still open, inside one of its quoted values, or
// closed by a ">" before it. A quote opens a value only right after its "=" (blanks between
// allowed), as in a browser: in alt="Tom's" or class=it's an apostrophe opens nothing.
TagState tagStateAt(const ChunkedScan &scan, qsizetype lt, qsizetype limit)
{
    char16_t last = 0;
    for (qsizetype i = lt + 1; i < limit; ++i) {
        const char16_t c = scan.at(i);
        if (c == u'>')
            return TagState::Closed;
        if ((c == u'"' || c == u'\'') && last == u'=') {
            const qsizetype closing = scan.forward(i + 1, scan.length(), QStringView(&c, 1));
            if (closing < 0 || closing >= limit)
                return TagState::InValue;
            i = closing;
        }
        if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n')
            last = c;
    }
    return TagState::Open;
}

// Whether the tag the bracket-and-quote test found is one a browser reads as a start tag, with
// the caret past its name and outside its values: the test itself takes the last "<" before the
// caret for a tag's, so it also found one in "3 < 5 is", "(>_<) ok", "<!-- note", a value's
// "a<b", a script's "i<n", a single-quoted value or the middle of a name, and an attribute went
// in there.
bool standsInAStartTag(const SharedText &text, qsizetype caret, const QString &name)
{
    const ChunkedScan scan(text);
    const qsizetype lt = scan.backward(caret - 1, u"<");
    if (lt < 0 || !opensStartTag(scan, lt))
        return false;
    // The name ends at a "/" too: <br/> is the tag br.
    const qsizetype slash = name.indexOf(u'/');
    if (caret < lt + 1 + (slash > 0 ? slash : name.size()))
        return false;
    // A "<" inside a quoted value of the tag before it (title="a<b") is a letter of that value.
    qsizetype outer = scan.backward(lt - 1, u"<");
    while (outer >= 0 && !opensStartTag(scan, outer))
        outer = scan.backward(outer - 1, u"<");
    if (outer >= 0 && tagStateAt(scan, outer, lt) == TagState::InValue)
        return false;
    return tagStateAt(scan, lt, caret) == TagState::Open && !inScriptOrStyle(text, lt);
}

// Whether a row of the tag list, accepted with the space key, is a start tag to go on writing:
// the caret then steps back in front of its ">". Not a closing tag, a comment, a processing
// instruction, a tag closed by "/>" or a row holding a closing tag of its own, where a space
// before the ">" would break what the row wrote.
bool isStartTagRow(const QString &row)
{
    return row.size() > 2 && row.startsWith(u'<') && isAsciiLetter(row[1].unicode()) &&
           row.endsWith(u'>') && !row.endsWith(u"/>") && row.indexOf(u'<', 1) < 0;
}

} // namespace

// Positions in the comments are counted from 1, so that 0 can stand for "none": p is the
// character just before the caret (index p - 1), lt and gt the last "<" and ">" at or before p,
// lt2 and gt2 the first "<" and ">" at or after p.
std::optional<QString> tagNameForAttributes(const SharedText &text, int selStart)
{
    if (selStart <= 0)
        return std::nullopt;
    const ChunkedScan scan(text);
    const qsizetype p = std::min<qsizetype>(selStart, scan.length());
    const QStringView brackets = u"<>";

    // lt > gt: the nearest bracket at or before p is a "<".
    const qsizetype before = scan.backward(p - 1, brackets);
    if (before < 0 || scan.at(before) != kLt)
        return std::nullopt;
    const qsizetype lt = before + 1;

    // Either a ">" comes first, or a "<" comes first and no ">" follows anywhere (gt2 = 0).
    // A ">" with no "<" anywhere after it closes the last tag of the text: asking for a later
    // "<" there kept the list shut while a page was written from top to bottom.
    const qsizetype after = scan.forward(p - 1, scan.length(), brackets);
    if (after < 0)
        return std::nullopt;
    qsizetype gt2 = 0;
    if (scan.at(after) == kGt) {
        gt2 = after + 1;
    } else if (scan.forward(after + 1, scan.length(), u">") >= 0) {
        return std::nullopt;
    }

    // Quotes from lt to p, and after p up to gt2: an odd number on both sides puts the caret
    // inside a quoted value. A quote at p belongs to the side before the caret only; counted on
    // both sides it would make the caret right after an opening quote look outside the value.
    const qsizetype i = scan.count(lt - 1, p, QChar(kQuote));
    const qsizetype j = gt2 > 0 ? scan.count(p, gt2, QChar(kQuote)) : 0;
    if (scan.at(p - 1) == kQuote && p < scan.length() && scan.at(p) == kQuote)
        return std::nullopt;
    if (i % 2 == 1 && j % 2 == 1)
        return std::nullopt;

    // The name ends at the first blank inside the tag, else at its ">": attributes written on
    // the lines below the name are common in hand-written pages.
    if (gt2 == 0)
        return QString();
    const qsizetype space = scan.forward(lt - 1, gt2 - 1, u" \t\r\n");
    const qsizetype nameEnd = space >= 0 ? space : gt2 - 1; // index just past the name
    return text.mid(lt, nameEnd - lt);
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
            if (strPopupWord.size() >= 2) {
                strPopupWord.chop(1);
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

    const SharedText text = m_rtfEdit.TextSnapshot();
    const std::optional<QString> name = tagNameForAttributes(text, m_rtfEdit.SelStart());
    if (!name || !standsInAStartTag(text, m_rtfEdit.SelStart(), *name))
        return;
    strPopupWord.clear();
    MovePopup();
    m_lstPopup.Clear();
    if (name->startsWith(u'/'))
        return;
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
        // texts go in at the caret, which each leaves after itself, in the order dropped.
        const bool insert = (shift & (kShiftMask | kCtrlMask | kAltMask)) != 0;
        const qsizetype count = data.files.size();
        for (qsizetype i = 0; i < count; ++i) {
            const QString &path = data.files.at(insert ? i : count - 1 - i);
            if (basFile::GetFileName(path).isEmpty() || basFile::GetExtension(path).isEmpty())
                continue;
            if (insert) {
                if (m_callbacks.loadTextFile)
                    m_rtfEdit.setSelText(m_callbacks.loadTextFile(path));
            } else if (m_callbacks.newWindow) {
                m_callbacks.newWindow(path);
            }
        }
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
