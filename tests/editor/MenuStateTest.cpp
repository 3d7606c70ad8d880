// Which Edit items and toolbar buttons are enabled, as a table of document states.

#include "editor/MenuState.h"

#include <gtest/gtest.h>

#include <array>

namespace scrivlet {
namespace {

TEST(MenuState, EditItemsFollowTheDocument)
{
    struct Row
    {
        const char *what;
        EditMenuInputs in;
        EditMenuState out;
    };
    // in: undoCount, redoCount, selLength, clipboardHasText, textLength
    // out: undo, redo, cut, copy, paste, del, selectAll
    const Row rows[] = {
        {"empty new document",
         {1, 0, 0, false, 0},
         {false, false, false, false, false, false, false}},
        {"no steps at all", {0, 0, 0, false, 5}, {false, false, false, false, false, false, true}},
        {"one edit after the baseline",
         {2, 0, 0, false, 5},
         {true, false, false, false, false, false, true}},
        {"undone to the baseline",
         {1, 1, 0, false, 5},
         {false, true, false, false, false, false, true}},
        {"a selection", {1, 0, 3, false, 5}, {false, false, true, true, false, true, true}},
        {"a backwards selection",
         {1, 0, -3, false, 5},
         {false, false, true, true, false, true, true}},
        {"text on the clipboard",
         {1, 0, 0, true, 0},
         {false, false, false, false, true, false, false}},
        {"everything", {9, 4, 1, true, 1}, {true, true, true, true, true, true, true}},
    };
    for (const Row &r : rows) {
        const EditMenuState s = ComputeEditMenuState(r.in);
        const auto bits = [](const EditMenuState &m) {
            return std::array{m.undo, m.redo, m.cut, m.copy, m.paste, m.del, m.selectAll};
        };
        EXPECT_EQ(bits(s), bits(r.out)) << r.what;
    }
}

TEST(MenuState, ToolbarFollowsTheItemsForUndoAndTheDocumentForTheRest)
{
    struct Row
    {
        bool undoItem, redoItem;
        int selLength;
        bool clipboardHasText;
        std::array<bool, 5> out; // undo, redo, cut, copy, paste
    };
    const Row rows[] = {
        {false, false, 0, false, {false, false, false, false, false}},
        {true, false, 0, false, {true, false, false, false, false}},
        {false, true, 0, false, {false, true, false, false, false}},
        {false, false, 2, false, {false, false, true, true, false}},
        {false, false, -2, false, {false, false, true, true, false}},
        {false, false, 0, true, {false, false, false, false, true}},
        {true, true, 1, true, {true, true, true, true, true}},
    };
    for (const Row &r : rows) {
        const ToolBarState s =
            ComputeToolBarState(r.undoItem, r.redoItem, r.selLength, r.clipboardHasText);
        EXPECT_EQ((std::array{s.editUndo, s.editRedo, s.editCut, s.editCopy, s.editPaste}), r.out)
            << r.undoItem << r.redoItem << ' ' << r.selLength << ' ' << r.clipboardHasText;
    }
}

} // namespace
} // namespace scrivlet
