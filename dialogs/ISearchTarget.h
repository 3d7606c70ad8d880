#pragma once
// What the Find and Replace dialogs act on: the edit control of the frame's active document
// window at the moment a button is pressed. The frame implements it; owns nothing.

namespace scrivlet {

class IEditControl;

class ISearchTarget
{
public:
    virtual ~ISearchTarget() = default;

    // The active document window's control, or null when no document window is active.
    virtual IEditControl *activeEditControl() = 0;
    // Gives the keyboard focus to the active document window, so that the user sees the hit.
    virtual void focusActiveDocument() = 0;
};

} // namespace scrivlet
