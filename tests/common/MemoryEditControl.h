#pragma once
// An edit control held in memory, for running the editing core without widgets; owns its text
// and references the clipboard it cuts to and pastes from. It types as the text widget does.

#include "editor/IEditControl.h"
#include "platform/IClipboard.h"

#include <QTextBoundaryFinder>

namespace scrivlet {

namespace test {
// What the keyboard does to a control, as a user types.
class KeyDriver
{
public:
    virtual ~KeyDriver() = default;
    virtual void typeText(const QString &text) = 0;
    virtual void pressEnter() = 0;
    virtual void pressBackspace() = 0;
    virtual void pressDelete() = 0;
};
} // namespace test

class MemoryEditControl final : public IEditControl, public test::KeyDriver
{
    Q_OBJECT
public:
    explicit MemoryEditControl(IClipboard &clipboard) : m_clipboard(clipboard) {}

    QString Text() const override { return m_text.toString(); }
    void setText(const QString &text) override
    {
        const QString normalized = normalizeLineBreaks(text);
        if (normalized.size() == m_text.length() && normalized == m_text.toString())
            return;
        const int oldLength = TextLength();
        m_text = SharedText(normalized);
        m_selStart = m_selLength = 0;
        Q_EMIT Change(TextChange{0, oldLength, normalized});
    }
    int TextLength() const override { return static_cast<int>(m_text.length()); }
    QString TextRange(int position, int length) const override
    {
        return position < 0 || length <= 0 ? QString() : m_text.mid(position, length);
    }
    SharedText TextSnapshot() const override { return m_text; }

    int SelStart() const override { return m_selStart; }
    void setSelStart(int position) override
    {
        if (position < 0)
            return;
        m_selStart = snap(std::min(position, TextLength()));
        m_selLength = 0;
    }
    int SelLength() const override { return m_selLength; }
    void setSelLength(int length) override
    {
        if (length < 0)
            return;
        const qint64 end = std::min<qint64>(qint64(m_selStart) + length, TextLength());
        m_selLength = std::max(0, snap(static_cast<int>(end)) - m_selStart);
    }
    QString SelText() const override { return m_text.mid(m_selStart, m_selLength); }
    void setSelText(const QString &text) override
    {
        replace(m_selStart, m_selLength, normalizeLineBreaks(text));
    }

    void cut() override
    {
        copy();
        clear();
    }
    void copy() override
    {
        if (m_selLength > 0)
            m_clipboard.setText(SelText());
    }
    void paste() override
    {
        if (const QString text = m_clipboard.text(); !text.isEmpty())
            setSelText(text);
    }
    void clear() override { replace(m_selStart, m_selLength, {}); }
    void selectAll() override
    {
        m_selStart = 0;
        m_selLength = TextLength();
    }
    void emptyUndoBuffer() override { ++undoBufferEmptied; }
    void hideSelection(bool hide) override
    {
        selectionHidden = hide;
        ++hideSelectionCalls;
    }

    QPoint caretPos() const override { return caretPixels; }
    QPointF twipsPerPixel() const override { return twips; }
    double FontSize() const override { return 9.0; }
    void SetFocus() override { hasFocus = true; }

    void typeText(const QString &text) override
    {
        for (const QChar c : text)
            c == u'\r' || c == u'\n' ? pressEnter() : replace(m_selStart, m_selLength, QString(c));
    }
    void pressEnter() override { replace(m_selStart, m_selLength, QStringLiteral("\r\n")); }
    // Backspace takes a line break or a surrogate pair before the caret, else one unit.
    void pressBackspace() override
    {
        if (m_selLength > 0 || m_selStart == 0)
            return clear();
        const QChar first = m_selStart >= 2 ? m_text.at(m_selStart - 2) : QChar();
        const QChar before = m_text.at(m_selStart - 1);
        const bool pair = (first == u'\r' && before == u'\n') ||
                          (first.isHighSurrogate() && before.isLowSurrogate());
        replace(m_selStart - (pair ? 2 : 1), pair ? 2 : 1, {});
    }
    // Delete takes a line break or a whole grapheme cluster (a kana with its voiced mark, a base
    // letter with its accents).
    void pressDelete() override
    {
        if (m_selLength > 0 || m_selStart >= TextLength())
            return clear();
        QString rest = m_text.mid(m_selStart, 64);
        if (rest.startsWith(u"\r\n"))
            return replace(m_selStart, 2, {});
        rest.truncate(rest.indexOf(u'\r') >= 0 ? rest.indexOf(u'\r') : rest.size());
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, rest);
        const qsizetype next = finder.toNextBoundary();
        replace(m_selStart, next > 0 ? static_cast<int>(next) : 1, {});
    }

    // Settings and observations for tests.
    QPoint caretPixels;
    QPointF twips{15.0, 15.0};
    bool hasFocus = false, selectionHidden = false;
    int hideSelectionCalls = 0, undoBufferEmptied = 0;

private:
    int snap(int position) const
    {
        if (position <= 0 || position >= m_text.length())
            return position;
        return snapOutOfLineBreak(position, m_text.at(position - 1), m_text.at(position));
    }
    // Typing a character over the same selected character changes no text, and so raises
    // nothing; only the caret moves.
    void replace(int position, int length, const QString &normalized)
    {
        const bool same = length == normalized.size() && m_text.mid(position, length) == normalized;
        if (!same)
            m_text = m_text.replaced(position, length, normalized);
        m_selStart = position + static_cast<int>(normalized.size());
        m_selLength = 0;
        if (!same)
            Q_EMIT Change(TextChange{position, length, normalized});
    }

    IClipboard &m_clipboard;
    SharedText m_text;
    int m_selStart = 0;
    int m_selLength = 0;
};

} // namespace scrivlet
