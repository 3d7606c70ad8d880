#include "document/PlainTextEditAdapter.h"

#include "platform/IClipboard.h"

#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace scrivlet {

namespace {

constexpr char16_t kBlockSeparator = 0x2029;

// Control text (CR LF) to the text the widget inserts (LF).
QString toWidgetText(const QString &normalized)
{
    QString out = normalized;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}

} // namespace

PlainTextEditAdapter::PlainTextEditAdapter(QPlainTextEdit *widget, IClipboard &clipboard,
                                           QObject *parent)
    : IEditControl(parent), m_widget(widget), m_clipboard(clipboard)
{
    document()->setUndoRedoEnabled(false);
    m_text = SharedText(Text());
    connect(document(), &QTextDocument::contentsChange, this,
            &PlainTextEditAdapter::document_contentsChange);
}

QTextDocument *PlainTextEditAdapter::document() const
{
    return m_widget->document();
}

int PlainTextEditAdapter::TextLength() const
{
    const QTextDocument *doc = document();
    return (doc->characterCount() - 1) + (doc->blockCount() - 1);
}

int PlainTextEditAdapter::toControl(int widgetPosition) const
{
    return widgetPosition + document()->findBlock(widgetPosition).blockNumber();
}

int PlainTextEditAdapter::toWidget(int controlPosition) const
{
    const QTextDocument *doc = document();
    controlPosition = std::clamp(controlPosition, 0, TextLength());
    // The last block whose first unit lies at or before the position: each block before it
    // adds one unit (the LF) to the control's count.
    int lo = 0;
    int hi = doc->blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= controlPosition)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(lo);
    const int offset = controlPosition - (block.position() + lo);
    // One past the block's text is between its CR and LF: before the CR.
    return block.position() + std::min(offset, block.length() - 1);
}

QString PlainTextEditAdapter::readWidgetRange(int from, int to) const
{
    if (to <= from)
        return {};
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar(kBlockSeparator), QStringLiteral("\r\n"));
    return text;
}

QString PlainTextEditAdapter::Text() const
{
    QString out;
    out.reserve(TextLength());
    // Block by block rather than toPlainText(), which turns a no-break space into a space.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            out.append(QStringLiteral("\r\n"));
        out.append(block.text());
    }
    return out;
}

QString PlainTextEditAdapter::TextRange(int position, int length) const
{
    if (position < 0 || length <= 0)
        return {};
    const int end = static_cast<int>(std::min<qint64>(qint64(position) + length, TextLength()));
    if (position >= end)
        return {};
    // Widget positions cannot name the unit between CR and LF; read whole breaks and trim.
    const int from = toWidget(position);
    const int to = std::min(toWidget(end) + 1, document()->characterCount() - 1);
    const QString text = readWidgetRange(from, to);
    const int lead = position - toControl(from);
    return text.mid(lead, end - position);
}

void PlainTextEditAdapter::setText(const QString &text)
{
    const QString normalized = normalizeLineBreaks(text);
    if (normalized.size() == m_text.length() && normalized == m_text.toString())
        return;
    const int oldLength = static_cast<int>(m_text.length());
    {
        QScopedValueRollback<bool> editing(m_editing, true);
        m_widget->setPlainText(toWidgetText(normalized));
        document()->setUndoRedoEnabled(false);
    }
    m_text = SharedText(normalized);
    Q_EMIT Change(TextChange{0, oldLength, normalized});
}

int PlainTextEditAdapter::SelStart() const
{
    return toControl(m_widget->textCursor().selectionStart());
}

int PlainTextEditAdapter::SelLength() const
{
    const QTextCursor cursor = m_widget->textCursor();
    return toControl(cursor.selectionEnd()) - toControl(cursor.selectionStart());
}

void PlainTextEditAdapter::setSelStart(int position)
{
    if (position < 0)
        return;
    QTextCursor cursor = m_widget->textCursor();
    cursor.setPosition(toWidget(position));
    m_widget->setTextCursor(cursor);
}

void PlainTextEditAdapter::setSelLength(int length)
{
    if (length < 0)
        return;
    QTextCursor cursor = m_widget->textCursor();
    const int start = cursor.selectionStart();
    const qint64 end = std::min<qint64>(qint64(toControl(start)) + length, TextLength());
    cursor.setPosition(start);
    cursor.setPosition(toWidget(static_cast<int>(end)), QTextCursor::KeepAnchor);
    m_widget->setTextCursor(cursor);
}

QString PlainTextEditAdapter::SelText() const
{
    const QTextCursor cursor = m_widget->textCursor();
    return readWidgetRange(cursor.selectionStart(), cursor.selectionEnd());
}

void PlainTextEditAdapter::replaceSelection(const QString &normalized)
{
    QTextCursor cursor = m_widget->textCursor();
    const int position = toControl(cursor.selectionStart());
    const int removed = toControl(cursor.selectionEnd()) - position;
    {
        QScopedValueRollback<bool> editing(m_editing, true);
        cursor.insertText(toWidgetText(normalized));
        m_widget->setTextCursor(cursor);
    }
    record(TextChange{position, removed, normalized});
}

void PlainTextEditAdapter::setSelText(const QString &text)
{
    const QString normalized = normalizeLineBreaks(text);
    QTextCursor cursor = m_widget->textCursor();
    if (SelText() == normalized) {
        cursor.setPosition(cursor.selectionEnd());
        m_widget->setTextCursor(cursor);
        return;
    }
    replaceSelection(normalized);
}

void PlainTextEditAdapter::replaceEach(const QList<TextSpan> &spans, const QString &replacement)
{
    if (spans.isEmpty())
        return;
    const QString old = m_text.toString();
    const QString normalized = normalizeLineBreaks(replacement);
    const QString result = spliceEach(old, spans, normalized);
    // A stretch that starts or ends between a CR and its LF has no place in the widget; the
    // whole text, normalized, is written instead.
    const auto insideBreak = [&old](qsizetype p) {
        return p > 0 && p < old.size() && old.at(p - 1) == u'\r' && old.at(p) == u'\n';
    };
    for (const TextSpan &span : spans) {
        if (insideBreak(span.position) || insideBreak(qsizetype(span.position) + span.length)) {
            setText(result);
            return;
        }
    }
    if (result.size() == old.size() && result == old)
        return;

    // Each stretch is edited in place inside one edit block: the widget keeps its blocks and
    // lays out once, and reports one change. Widget positions follow from the line breaks
    // (CR LF in the text, one unit in the widget) counted on the way.
    const auto breaksIn = [&old](qsizetype from, qsizetype to) {
        return static_cast<int>(QStringView(old).mid(from, to - from).count(u'\r'));
    };
    const QString inserted = toWidgetText(normalized);
    {
        QScopedValueRollback<bool> editing(m_editing, true);
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        int breaksBefore = 0;
        qsizetype counted = 0;
        int shift = 0; // what the edits so far added to widget positions
        for (const auto &[p, length] : spans) {
            breaksBefore += breaksIn(counted, p);
            counted = p;
            const int from = p - breaksBefore + shift;
            const int removed = length - breaksIn(p, qsizetype(p) + length);
            cursor.setPosition(from);
            cursor.setPosition(from + removed, QTextCursor::KeepAnchor);
            cursor.insertText(inserted);
            shift += static_cast<int>(inserted.size()) - removed;
        }
        cursor.endEditBlock();
        QTextCursor caret = m_widget->textCursor();
        caret.setPosition(0);
        m_widget->setTextCursor(caret);
    }
    const int first = spans.first().position;
    const qsizetype removed = qsizetype(spans.last().position) + spans.last().length - first;
    m_text = SharedText(result);
    Q_EMIT Change(TextChange{first, static_cast<int>(removed),
                             result.mid(first, removed + result.size() - old.size())});
}

void PlainTextEditAdapter::cut()
{
    if (!m_widget->textCursor().hasSelection())
        return;
    m_clipboard.setText(SelText());
    replaceSelection(QString());
}

void PlainTextEditAdapter::copy()
{
    if (m_widget->textCursor().hasSelection())
        m_clipboard.setText(SelText());
}

void PlainTextEditAdapter::paste()
{
    const QString text = m_clipboard.text();
    if (!text.isEmpty())
        setSelText(text);
}

void PlainTextEditAdapter::clear()
{
    if (m_widget->textCursor().hasSelection())
        replaceSelection(QString());
}

void PlainTextEditAdapter::selectAll()
{
    QTextCursor cursor = m_widget->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(document()->characterCount() - 1, QTextCursor::KeepAnchor);
    m_widget->setTextCursor(cursor);
}

void PlainTextEditAdapter::emptyUndoBuffer()
{
    document()->clearUndoRedoStacks();
}

void PlainTextEditAdapter::hideSelection(bool hide)
{
    // The widget paints only from the event loop, so holding its updates back is enough to keep
    // a selection that is about to go from ever being shown; repainting the palette would cost
    // a relayout of a large page.
    if (hide == m_selectionHidden)
        return;
    m_selectionHidden = hide;
    m_widget->viewport()->setUpdatesEnabled(!hide);
}

QPoint PlainTextEditAdapter::caretPos() const
{
    return m_widget->cursorRect().topLeft();
}

QPointF PlainTextEditAdapter::twipsPerPixel() const
{
    return {1440.0 / m_widget->logicalDpiX(), 1440.0 / m_widget->logicalDpiY()};
}

double PlainTextEditAdapter::FontSize() const
{
    return m_widget->font().pointSizeF();
}

void PlainTextEditAdapter::SetFocus()
{
    m_widget->setFocus(Qt::OtherFocusReason);
}

void PlainTextEditAdapter::record(const TextChange &change)
{
    m_text = m_text.replaced(change.position, change.removedLength, change.inserted);
    Q_EMIT Change(change);
}

void PlainTextEditAdapter::document_contentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_editing)
        return;
    // The widget's counts may include the document's closing separator, and a change of formats
    // alone is reported as text removed and added again. The new text of the range is read
    // back, the old one follows from the change of length, and what the two share at either
    // end is no change.
    const qsizetype oldLength = m_text.length();
    const int end = std::min(position + added, document()->characterCount() - 1);
    const int start = toControl(position);
    const QString inserted = readWidgetRange(position, end);
    const qsizetype removedUnits = inserted.size() - (TextLength() - oldLength);
    if (removedUnits < 0 || start + removedUnits > oldLength) {
        // Not a change this class can read; take the whole text as new.
        const QString text = Text();
        m_text = SharedText(text);
        Q_EMIT Change(TextChange{0, static_cast<int>(oldLength), text});
        return;
    }
    const QString old = m_text.mid(start, removedUnits);
    qsizetype head = 0;
    const qsizetype shorter = std::min(old.size(), inserted.size());
    while (head < shorter && old.at(head) == inserted.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           old.at(old.size() - 1 - tail) == inserted.at(inserted.size() - 1 - tail))
        ++tail;
    if (head == old.size() && head == inserted.size())
        return;
    record(TextChange{static_cast<int>(start + head), static_cast<int>(old.size() - head - tail),
                      inserted.mid(head, inserted.size() - head - tail)});
}

} // namespace scrivlet
