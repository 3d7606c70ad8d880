#include "editor/MenuState.h"

namespace scrivlet {

EditMenuState ComputeEditMenuState(const EditMenuInputs &in)
{
    EditMenuState s;
    // The oldest step is the baseline, which is never undone: Undo needs a second one.
    s.undo = in.undoCount > 1;
    s.redo = in.redoCount > 0;
    s.cut = s.copy = s.del = in.selLength != 0;
    s.paste = in.clipboardHasText;
    s.selectAll = in.textLength != 0;
    return s;
}

ToolBarState ComputeToolBarState(bool undoItemEnabled, bool redoItemEnabled, int selLength,
                                 bool clipboardHasText)
{
    ToolBarState s;
    s.editUndo = undoItemEnabled;
    s.editRedo = redoItemEnabled;
    s.editCut = s.editCopy = selLength != 0;
    s.editPaste = clipboardHasText;
    return s;
}

} // namespace scrivlet
