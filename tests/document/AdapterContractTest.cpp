// The edit-control and history contracts, and the differential run against the literal
// history, on the real text widget.

#include "tests/common/EditControlContract.h"
#include "tests/common/UndoHistoryContract.h"
#include "tests/document/WidgetKit.h"

namespace scrivlet::test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(Widget, EditControlContract, ::testing::Types<WidgetKit>);
INSTANTIATE_TYPED_TEST_SUITE_P(Widget, UndoHistoryContract, ::testing::Types<WidgetKit>);

TEST(UndoHistoryDifferential, MatchesTheLiteralHistoryOnTheTextWidget)
{
    WidgetKit kit;
    const DifferentialResult result = runDifferential(kit.subject(), 10000, 20261207);
    EXPECT_EQ(result.failure, "");
    EXPECT_EQ(result.sequences, 10000);
}

} // namespace
} // namespace scrivlet::test
