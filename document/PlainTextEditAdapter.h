#pragma once
// The edit control over a QPlainTextEdit; references the widget (owned by its window) and the
// clipboard.
//
// The widget stores a line break as one block separator; the control counts it as CR LF. This
// class is the only place that translates between the two, block by block, so no operation
// reads the whole text unless it asks for the whole text.

#include "editor/IEditControl.h"

#include <QPointer>

class QPlainTextEdit;
class QTextDocument;

namespace scrivlet {

class IClipboard;

class PlainTextEditAdapter final : public IEditControl
{
    Q_OBJECT
public:
    PlainTextEditAdapter(QPlainTextEdit *widget, IClipboard &clipboard, QObject *parent = nullptr);

    QString Text() const override;
    void setText(const QString &text) override;
    int TextLength() const override;
    QString TextRange(int position, int length) const override;
    SharedText TextSnapshot() const override { return m_text; }

    int SelStart() const override;
    void setSelStart(int position) override;
    int SelLength() const override;
    void setSelLength(int length) override;
    QString SelText() const override;
    void setSelText(const QString &text) override;
    void replaceEach(const QList<TextSpan> &spans, const QString &replacement) override;

    void cut() override;
    void copy() override;
    void paste() override;
    void clear() override;
    void selectAll() override;
    void emptyUndoBuffer() override;
    void hideSelection(bool hide) override;

    QPoint caretPos() const override;
    QPointF twipsPerPixel() const override;
    double FontSize() const override;
    void SetFocus() override;

    // Positions of the widget and of the control, each way.
    int toControl(int widgetPosition) const;
    int toWidget(int controlPosition) const;

private:
    QTextDocument *document() const;
    QString readWidgetRange(int from, int to) const;
    void document_contentsChange(int position, int removed, int added);
    void replaceSelection(const QString &normalized);
    void record(const TextChange &change);

    QPointer<QPlainTextEdit> m_widget;
    IClipboard &m_clipboard;
    // The text as the last change left it: tells what a widget change removed, and whether the
    // widget's notification was a change of text at all rather than of formats.
    SharedText m_text;
    // Set while this class edits the widget itself and raises Change on its own.
    bool m_editing = false;
    bool m_selectionHidden = false;
};

} // namespace scrivlet
