#pragma once
// One step of the undo history: the caret, the length and the whole text right after a change.
// A plain record; its text shares storage with the steps around it.

#include "editor/SharedText.h"

namespace scrivlet {

struct clsUndo
{
    int SelStart = 0;
    int TextLen = 0;
    SharedText Text;
};

} // namespace scrivlet
