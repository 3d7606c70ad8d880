// The Edit menu's operations on the editor document that the differential run does not reach: the
// caret position in twips, and the stretch the quick rule restores.

#include "editor/clsRTF.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
#include "tests/common/ReferenceRTF.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

TEST(EditingOperations, CaretPositionIsInTwipsAndTakesTheFocus)
{
    test::FakeClipboard clipboard;
    MemoryEditControl control(clipboard);
    test::FakeMessageService messages;
    clsRTF doc(messages, {});
    doc.Init(&control);
    control.setCaretPos(QPoint(10, 7));
    control.setTwipsPerPixel(QPointF(15.0, 15.0));
    EXPECT_EQ(doc.CaretX(), 150);
    EXPECT_EQ(doc.CaretY(), 105);
    EXPECT_TRUE(control.hasFocus());
    control.setHasFocus(false);
    control.setTwipsPerPixel(QPointF(1440.0 / 144.0 * 1.25, 11.25)); // 115.2 dpi, 128 dpi
    control.setCaretPos(QPoint(3, 3));
    EXPECT_EQ(doc.CaretX(), 38); // 37.5 rounds away from zero
    EXPECT_EQ(doc.CaretY(), 34); // 33.75
    EXPECT_TRUE(control.hasFocus());
}

TEST(DiffString, TakesTheRunOfTheLongerThatEndsBeforeEndPos)
{
    const struct
    {
        const char16_t *a, *b;
        int endPos;
        const char16_t *expect;
    } rows[] = {
        {u"abc", u"abXYc", 5, u"XY"}, {u"abXYc", u"abc", 5, u"XY"}, // either order
        {u"abc", u"abc", 2, u""},                                   // same length
        {u"a", u"abcd", 3, u""},      {u"a", u"abcd", 4, u"abc"},   // a start before the first
        {u"a", u"abcd", 6, u"cd"},                                  // a run past the end is cut
        {u"a", u"abcd", 9, u""},                                    // a start past the end
    };
    for (const auto &r : rows) {
        const QString a = QString::fromUtf16(r.a), b = QString::fromUtf16(r.b);
        const QString ours = GetDiffString(SharedText(a), SharedText(b), r.endPos);
        EXPECT_EQ(ours, QString::fromUtf16(r.expect)) << test::visible(a) << " " << r.endPos;
        EXPECT_EQ(ours, test::ReferenceRTF::GetDiffString(a, b, r.endPos));
    }
}

} // namespace
} // namespace scrivlet
