// The differential run against the literal history on the in-memory control; what the run does
// not reach: the caret position in twips; which Edit items are enabled, as a table of document
// states (tests/data/menu-states.txt).

#include "editor/MenuState.h"
#include "editor/clsRTF.h"
#include "tests/common/DataRows.h"
#include "tests/common/Differential.h"

#include <gtest/gtest.h>

namespace scrivlet::test {
namespace {

using namespace Qt::StringLiterals;

TEST(UndoHistoryDifferential, MatchesTheLiteralHistoryOnTheMemoryControl)
{
    MemoryKit kit;
    const DifferentialResult result = runDifferential(kit.subject(), 10000, 20261206);
    EXPECT_EQ(result.failure, "");
    EXPECT_GT(result.steps, 100000);
}

TEST(UndoHistoryDifferential, HidesTheSelectionWhileUndoRemovesText)
{
    MemoryKit kit;
    FakeMessageService messages;
    clsRTF doc(messages, {});
    doc.Init(&kit.control);
    QList<bool> hiddenDuringChange;
    QObject::connect(&kit.control, &IEditControl::Change, &doc, [&] {
        hiddenDuringChange.append(kit.control.selectionHidden);
        doc.IsTextChange();
    });
    kit.control.typeText(u"ab"_s);
    doc.Undo();
    EXPECT_EQ(hiddenDuringChange, (QList<bool>{false, false, true}));
    EXPECT_FALSE(kit.control.selectionHidden);
    doc.Redo();
    EXPECT_EQ(kit.control.hideSelectionCalls, 2) << "Redo does not hide the selection";
    EXPECT_EQ(kit.control.undoBufferEmptied, 4) << "the control's own undo is emptied per change";
}

TEST(EditingOperations, CaretPositionIsInTwipsAndTakesTheFocus)
{
    MemoryKit kit;
    FakeMessageService messages;
    clsRTF doc(messages, {});
    doc.Init(&kit.control);
    kit.control.twips = QPointF(1440.0 / 144.0 * 1.25, 11.25); // 115.2 dpi, 128 dpi
    kit.control.caretPixels = QPoint(3, 3);
    EXPECT_EQ(doc.CaretX(), 38); // 37.5 rounds away from zero
    EXPECT_EQ(doc.CaretY(), 34); // 33.75
    EXPECT_TRUE(kit.control.hasFocus);
}

// Which Edit items are enabled (the toolbar buttons: ToolBar.EnabledStatesFollowTheDocument).
TEST(MenuState, EditItemsFollowTheDocument)
{
    int rows = 0;
    for (const auto &r : test::readDataRows(SCRIVLET_TEST_DATA "/menu-states.txt", 7)) {
        ++rows;
        const EditMenuState s = ComputeEditMenuState(
            {std::stoi(r[1]), std::stoi(r[2]), std::stoi(r[3]), r[4] != "0", std::stoi(r[5])});
        std::string enabled;
        for (const bool on : {s.undo, s.redo, s.cut, s.copy, s.paste, s.del, s.selectAll})
            enabled += on ? '1' : '0';
        EXPECT_EQ(enabled, r[6]) << r[0];
    }
    EXPECT_EQ(rows, 8);
}

} // namespace
} // namespace scrivlet::test
