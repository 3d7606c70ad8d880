// Which Edit items and toolbar buttons are enabled, as a table of document states
// (tests/data/menu-states.txt).

#include "editor/MenuState.h"
#include "tests/common/DataRows.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

std::string bits(std::initializer_list<bool> flags)
{
    std::string out;
    for (const bool f : flags)
        out += f ? '1' : '0';
    return out;
}

TEST(MenuState, EditItemsAndToolbarFollowTheDocument)
{
    int edit = 0, toolbar = 0;
    for (const auto &r : test::readDataRows(SCRIVLET_TEST_DATA "/menu-states.txt", 0)) {
        const auto n = [&r](std::size_t i) {
            return std::stoi(r[i]);
        };
        if (r.group == "Edit") {
            ++edit;
            const EditMenuState s = ComputeEditMenuState({n(1), n(2), n(3), n(4) != 0, n(5)});
            EXPECT_EQ(bits({s.undo, s.redo, s.cut, s.copy, s.paste, s.del, s.selectAll}), r[6])
                << r[0];
        } else {
            ++toolbar;
            const ToolBarState s = ComputeToolBarState(n(1) != 0, n(2) != 0, n(3), n(4) != 0);
            EXPECT_EQ(bits({s.editUndo, s.editRedo, s.editCut, s.editCopy, s.editPaste}), r[5])
                << r[0];
        }
    }
    EXPECT_EQ(edit, 8);
    EXPECT_EQ(toolbar, 7);
}

} // namespace
} // namespace scrivlet
