#pragma once
// The completion list as the completion logic drives it, and the window it floats in; owns
// nothing.
//
// Coordinates are twips (1/1440 inch) in the window's client area, whose origin is the edit
// control's.

#include <QString>

namespace scrivlet::html {

class IPopupList
{
public:
    virtual ~IPopupList() = default;

    // Removes every row; the list then has no selection.
    virtual void Clear() = 0;
    // Appends a row without selecting anything.
    virtual void AddItem(const QString &item) = 0;
    virtual QString List(int index) const = 0;
    virtual int ListCount() const = 0;
    // The selected row, or -1 when none is.
    virtual int ListIndex() const = 0;
    virtual void setListIndex(int index) = 0;
    // Whether the list was last shown or hidden; hiding keeps the rows.
    virtual bool Visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The top the last Move gave the list.
    virtual int Top() const = 0;
    // Places the list's top-left corner; either value may be negative.
    virtual void Move(int left, int top) = 0;
};

class IWindowMetrics
{
public:
    virtual ~IWindowMetrics() = default;

    // Size of the window's client area.
    virtual int ScaleWidth() const = 0;
    virtual int ScaleHeight() const = 0;
    // The list stands this many times the font size below the caret's top: the editor's line
    // height over its font size, so that the list sits just under the caret's line.
    virtual double lineOffsetFactor() const = 0;
};

} // namespace scrivlet::html
