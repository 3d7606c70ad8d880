// The edit-control contract, and the differential run against the literal history, on the
// in-memory control.

#include "tests/common/EditControlContract.h"

namespace scrivlet::test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, EditControlContract, ::testing::Types<MemoryKit>);

TEST(UndoHistoryDifferential, MatchesTheLiteralHistoryOnTheMemoryControl)
{
    MemoryKit kit;
    const DifferentialResult result = runDifferential(kit.subject(), 10000, 20261206);
    EXPECT_EQ(result.failure, "");
    EXPECT_EQ(result.sequences, 10000);
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
        hiddenDuringChange.append(kit.control.selectionHidden());
        doc.IsTextChange();
    });
    kit.control.typeText(u"ab"_s);
    doc.Undo();
    EXPECT_EQ(hiddenDuringChange, (QList<bool>{false, false, true}));
    EXPECT_FALSE(kit.control.selectionHidden());
    doc.Redo();
    EXPECT_EQ(kit.control.hideSelectionCalls(), 2) << "Redo does not hide the selection";
    EXPECT_EQ(kit.control.undoBufferEmptied(), 4) << "the control's own undo is emptied per change";
}

} // namespace
} // namespace scrivlet::test
