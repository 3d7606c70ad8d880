#pragma once
// Which Edit items and toolbar buttons are enabled: pure functions of the document's state, so
// that the rules are tested without windows and the windows only apply them.

namespace scrivlet {

struct EditMenuInputs
{
    int undoCount = 0;
    int redoCount = 0;
    int selLength = 0;
    bool clipboardHasText = false;
    int textLength = 0;
};

struct EditMenuState
{
    bool undo = false;
    bool redo = false;
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool del = false;
    bool selectAll = false;
};

struct ToolBarState
{
    bool editUndo = false;
    bool editRedo = false;
    bool editCut = false;
    bool editCopy = false;
    bool editPaste = false;
};

EditMenuState ComputeEditMenuState(const EditMenuInputs &in);
// The buttons follow the Edit items for Undo and Redo and the document for the rest.
ToolBarState ComputeToolBarState(bool undoItemEnabled, bool redoItemEnabled, int selLength,
                                 bool clipboardHasText);

} // namespace scrivlet
