// The edit-control and history contracts, and the differential run against the literal
// history, on the in-memory control.

#include "tests/common/ControlKits.h"
#include "tests/common/EditControlContract.h"
#include "tests/common/UndoHistoryContract.h"

namespace scrivlet::test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, EditControlContract, ::testing::Types<MemoryKit>);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, UndoHistoryContract, ::testing::Types<MemoryKit>);

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
    FakeClipboard clipboard;
    MemoryEditControl control(clipboard);
    FakeMessageService messages;
    clsRTF doc(messages, upperAscii);
    doc.Init(&control);
    QList<bool> hiddenDuringChange;
    QObject::connect(&control, &IEditControl::Change, &doc, [&] {
        hiddenDuringChange.append(control.selectionHidden());
        doc.IsTextChange();
    });
    control.typeText(QStringLiteral("ab"));
    doc.Undo();
    EXPECT_EQ(hiddenDuringChange, (QList<bool>{false, false, true}));
    EXPECT_FALSE(control.selectionHidden());
    doc.Redo();
    EXPECT_EQ(control.hideSelectionCalls(), 2) << "Redo does not hide the selection";
    EXPECT_EQ(control.undoBufferEmptied(), 4) << "the control's own undo is emptied per change";
}

} // namespace
} // namespace scrivlet::test
