#pragma once
// The edit control a document window shows its text in, as the editing core uses it; an
// implementation owns its text and selection and references its clipboard.
//
// Positions and lengths count UTF-16 units of Text(), in which every line break is the two
// units CR LF. Text written into the control is normalized the way the text widget stores it:
// CR LF, a lone CR, a lone LF, U+2029 and the frame marks U+FDD0/U+FDD1 each become one line
// break, CR LF. A position that falls between the CR and the LF of a line break is taken as the
// position just before the CR, for the caret and for both ends of a selection.

#include "editor/SharedText.h"
#include "editor/TextCompare.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QString>

namespace scrivlet {

// One change of the text, in the control's positions: removedLength units at position gave way
// to inserted.
struct TextChange
{
    int position = 0;
    int removedLength = 0;
    QString inserted;
};

class IEditControl : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~IEditControl() override;

    virtual QString Text() const = 0;
    // Replaces everything and puts the caret at 0; writing the same text changes nothing.
    virtual void setText(const QString &text) = 0;
    // Length of Text() and a part of it, without building the whole text.
    virtual int TextLength() const = 0;
    virtual QString TextRange(int position, int length) const = 0;
    // The whole text as an immutable value that shares storage with the control's own: taking
    // one costs the same for a line as for a large page.
    virtual SharedText TextSnapshot() const = 0;

    virtual int SelStart() const = 0;
    // Collapses the selection at position; a negative position is refused and changes nothing,
    // one past the end is taken as the end.
    virtual void setSelStart(int position) = 0;
    virtual int SelLength() const = 0;
    // Selects length units from SelStart(); a negative length is refused, one past the end is
    // cut at the end.
    virtual void setSelLength(int length) = 0;
    virtual QString SelText() const = 0;
    // Replaces the selection and leaves the caret after the new text with nothing selected.
    virtual void setSelText(const QString &text) = 0;

    // Replaces each of spans (ascending, not overlapping, in the text as it is now) by
    // replacement, as one change of the text, and puts the caret at 0 as setText does. Nothing
    // happens when the text would stay the same. The default writes the whole text; a control that
    // can edit in place does so, which keeps many replacements in a big text cheap.
    virtual void replaceEach(const QList<TextSpan> &spans, const QString &replacement);

    // What the control's window messages do: cut, copy, paste and clear the selection, select
    // everything, empty the control's own undo buffer, hide or show the selection highlight.
    virtual void cut() = 0;
    virtual void copy() = 0;
    virtual void paste() = 0;
    virtual void clear() = 0;
    virtual void selectAll() = 0;
    virtual void emptyUndoBuffer() = 0;
    virtual void hideSelection(bool hide) = 0;

    // The caret's top-left corner in pixels of the control's client area.
    virtual QPoint caretPos() const = 0;
    // Twips per pixel of the screen the control is on, horizontally and vertically.
    virtual QPointF twipsPerPixel() const = 0;
    virtual double FontSize() const = 0;
    virtual void SetFocus() = 0;

Q_SIGNALS:
    // Raised synchronously inside the call that changed the text, once per change, and only
    // when the text really changed.
    void Change(const scrivlet::TextChange &change);
};

// The text as the control would store it: every kind of line break becomes CR LF.
QString normalizeLineBreaks(const QString &text);

// The text with each of spans (ascending, not overlapping) replaced by replacement.
QString spliceEach(QStringView text, const QList<TextSpan> &spans, QStringView replacement);

// Moves a position that falls between CR and LF to just before the CR.
int snapOutOfLineBreak(int position, QChar before, QChar at);

} // namespace scrivlet
