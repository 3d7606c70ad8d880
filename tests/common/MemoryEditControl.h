#pragma once
// An edit control held in memory, for running the editing core without widgets; owns its text
// and references the clipboard it cuts to and pastes from.

#include "editor/IEditControl.h"

namespace scrivlet {

class IClipboard;

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
    explicit MemoryEditControl(IClipboard &clipboard, QObject *parent = nullptr);

    QString Text() const override { return m_text.toString(); }
    void setText(const QString &text) override;
    int TextLength() const override { return static_cast<int>(m_text.length()); }
    QString TextRange(int position, int length) const override;
    SharedText TextSnapshot() const override { return m_text; }

    int SelStart() const override { return m_selStart; }
    void setSelStart(int position) override;
    int SelLength() const override { return m_selLength; }
    void setSelLength(int length) override;
    QString SelText() const override { return m_text.mid(m_selStart, m_selLength); }
    void setSelText(const QString &text) override;

    void cut() override;
    void copy() override;
    void paste() override;
    void clear() override;
    void selectAll() override;
    void emptyUndoBuffer() override { ++m_undoBufferEmptied; }
    void hideSelection(bool hide) override;

    QPoint caretPos() const override { return m_caretPos; }
    QPointF twipsPerPixel() const override { return m_twipsPerPixel; }
    double FontSize() const override { return m_fontSize; }
    void SetFocus() override { m_hasFocus = true; }

    // What the keyboard does in the text widget, so that tests can type into this model.
    void typeText(const QString &text) override;
    void pressEnter() override;
    void pressBackspace() override;
    void pressDelete() override;

    // Observations and settings for tests.
    void setCaretPos(QPoint pixels) { m_caretPos = pixels; }
    void setTwipsPerPixel(QPointF factors) { m_twipsPerPixel = factors; }
    void setFontSize(double points) { m_fontSize = points; }
    bool hasFocus() const { return m_hasFocus; }
    void setHasFocus(bool focus) { m_hasFocus = focus; }
    bool selectionHidden() const { return m_selectionHidden; }
    int hideSelectionCalls() const { return m_hideSelectionCalls; }
    int undoBufferEmptied() const { return m_undoBufferEmptied; }

private:
    int snap(int position) const;
    void replace(int position, int length, const QString &normalized);

    IClipboard &m_clipboard;
    SharedText m_text;
    int m_selStart = 0;
    int m_selLength = 0;
    QPoint m_caretPos;
    QPointF m_twipsPerPixel{15.0, 15.0};
    double m_fontSize = 9.0;
    bool m_hasFocus = false;
    bool m_selectionHidden = false;
    int m_hideSelectionCalls = 0;
    int m_undoBufferEmptied = 0;
};

} // namespace scrivlet
