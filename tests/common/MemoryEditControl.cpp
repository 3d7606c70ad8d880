#include "tests/common/MemoryEditControl.h"

#include "platform/IClipboard.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace scrivlet {

MemoryEditControl::MemoryEditControl(IClipboard &clipboard, QObject *parent)
    : IEditControl(parent), m_clipboard(clipboard)
{}

int MemoryEditControl::snap(int position) const
{
    if (position <= 0 || position >= m_text.length())
        return position;
    return snapOutOfLineBreak(position, m_text.at(position - 1), m_text.at(position));
}

void MemoryEditControl::replace(int position, int length, const QString &normalized)
{
    // Typing a character over the same selected character changes no text, and so raises
    // nothing; only the caret moves.
    const bool same = length == normalized.size() && m_text.mid(position, length) == normalized;
    if (!same)
        m_text = m_text.replaced(position, length, normalized);
    m_selStart = position + static_cast<int>(normalized.size());
    m_selLength = 0;
    if (!same)
        Q_EMIT Change(TextChange{position, length, normalized});
}

void MemoryEditControl::setText(const QString &text)
{
    const QString normalized = normalizeLineBreaks(text);
    if (normalized.size() == m_text.length() && normalized == m_text.toString())
        return;
    const int oldLength = TextLength();
    m_text = SharedText(normalized);
    m_selStart = 0;
    m_selLength = 0;
    Q_EMIT Change(TextChange{0, oldLength, normalized});
}

QString MemoryEditControl::TextRange(int position, int length) const
{
    if (position < 0 || length <= 0)
        return {};
    return m_text.mid(position, length);
}

void MemoryEditControl::setSelStart(int position)
{
    if (position < 0)
        return;
    m_selStart = snap(std::min(position, TextLength()));
    m_selLength = 0;
}

void MemoryEditControl::setSelLength(int length)
{
    if (length < 0)
        return;
    const int end =
        snap(static_cast<int>(std::min<qint64>(qint64(m_selStart) + length, TextLength())));
    m_selLength = std::max(0, end - m_selStart);
}

void MemoryEditControl::setSelText(const QString &text)
{
    replace(m_selStart, m_selLength, normalizeLineBreaks(text));
}

void MemoryEditControl::cut()
{
    if (m_selLength > 0) {
        m_clipboard.setText(SelText());
        replace(m_selStart, m_selLength, {});
    }
}

void MemoryEditControl::copy()
{
    if (m_selLength > 0)
        m_clipboard.setText(SelText());
}

void MemoryEditControl::paste()
{
    if (const QString text = m_clipboard.text(); !text.isEmpty())
        setSelText(text);
}

void MemoryEditControl::clear()
{
    if (m_selLength > 0)
        replace(m_selStart, m_selLength, {});
}

void MemoryEditControl::selectAll()
{
    m_selStart = 0;
    m_selLength = TextLength();
}

void MemoryEditControl::hideSelection(bool hide)
{
    m_selectionHidden = hide;
    ++m_hideSelectionCalls;
}

void MemoryEditControl::typeText(const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n')
            pressEnter();
        else
            replace(m_selStart, m_selLength, QString(c));
    }
}

void MemoryEditControl::pressEnter()
{
    replace(m_selStart, m_selLength, QStringLiteral("\r\n"));
}

void MemoryEditControl::pressBackspace()
{
    if (m_selLength > 0 || m_selStart == 0)
        return clear();
    // A line break and a surrogate pair go as one.
    const QChar first = m_selStart >= 2 ? m_text.at(m_selStart - 2) : QChar();
    const QChar before = m_text.at(m_selStart - 1);
    const bool pair =
        (first == u'\r' && before == u'\n') || (first.isHighSurrogate() && before.isLowSurrogate());
    replace(m_selStart - (pair ? 2 : 1), pair ? 2 : 1, {});
}

void MemoryEditControl::pressDelete()
{
    if (m_selLength > 0 || m_selStart >= TextLength())
        return clear();
    // Delete takes a line break or a whole grapheme cluster (a kana with its voiced mark, a base
    // letter with its accents), Backspace only the code point before the caret: the text widget
    // works so.
    QString rest = m_text.mid(m_selStart, 64);
    if (rest.startsWith(u"\r\n"))
        return replace(m_selStart, 2, {});
    rest.truncate(rest.indexOf(u'\r') >= 0 ? rest.indexOf(u'\r') : rest.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, rest);
    const qsizetype next = finder.toNextBoundary();
    replace(m_selStart, next > 0 ? static_cast<int>(next) : 1, {});
}

} // namespace scrivlet
