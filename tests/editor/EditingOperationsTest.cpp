// The Edit menu's operations on the editor document: each change is one step, and only real
// changes are steps.

#include "editor/clsRTF.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
#include "tests/common/ReferenceRTF.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using test::FakeClipboard;
using test::FakeMessageService;

class EditingOperations : public ::testing::Test
{
protected:
    FakeClipboard clipboard;
    MemoryEditControl control{clipboard};
    FakeMessageService messages;
    QList<ConvType> converted;
    clsRTF doc{messages, [this](const QString &text, ConvType type) {
                   converted.append(type);
                   return QStringLiteral("[") + text + QStringLiteral("]");
               }};

    void SetUp() override
    {
        doc.Init(&control);
        QObject::connect(&control, &IEditControl::Change, &doc, [this] { doc.IsTextChange(); });
        control.setText(QStringLiteral("one two"));
        doc.InitVariable();
    }
};

TEST_F(EditingOperations, ConvWithoutSelectionConvertsTheWholeTextAsOneStep)
{
    doc.Conv(ConvType::WrapLinesInLi);
    EXPECT_EQ(control.Text(), QStringLiteral("[one two]"));
    EXPECT_EQ(converted, QList<ConvType>{ConvType::WrapLinesInLi});
    EXPECT_EQ(doc.GetClctUndoCount(), 2);
}

TEST_F(EditingOperations, ConvOnASelectionReplacesExactlyIt)
{
    control.setSelStart(4);
    control.setSelLength(2);
    doc.Conv(ConvType::UpperCase);
    EXPECT_EQ(control.Text(), QStringLiteral("one [tw]o"));
    EXPECT_EQ(control.SelStart(), 8);
    EXPECT_EQ(control.SelLength(), 0);
    EXPECT_EQ(doc.GetClctUndoCount(), 2);
    // The conversion grew the text by two before the caret, but not by inserting them there:
    // Undo puts back what was selected.
    doc.Undo();
    EXPECT_EQ(control.Text(), QStringLiteral("one two"));
    EXPECT_EQ(control.SelStart(), 4);
    EXPECT_EQ(control.SelLength(), 2);
    EXPECT_EQ(doc.GetClctRedoCount(), 1);
}

TEST_F(EditingOperations, CutAndDeleteOfNothingRecordNothing)
{
    control.setSelStart(2);
    doc.Cut();
    doc.Delete();
    EXPECT_EQ(doc.GetClctUndoCount(), 1);
    EXPECT_FALSE(doc.NeedSave());
    control.setSelLength(3);
    doc.Cut();
    EXPECT_EQ(clipboard.content, QStringLiteral("e t"));
    EXPECT_EQ(doc.GetClctUndoCount(), 2);
    doc.Paste();
    doc.Paste();
    EXPECT_EQ(control.Text(), QStringLiteral("one te two"));
    EXPECT_EQ(doc.GetClctUndoCount(), 4);
}

TEST_F(EditingOperations, CaretPositionIsInTwipsAndTakesTheFocus)
{
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
    auto diff = [](const char16_t *a, const char16_t *b, int endPos) {
        const QString sa = QString::fromUtf16(a);
        const QString sb = QString::fromUtf16(b);
        const QString ours = GetDiffString(SharedText(sa), SharedText(sb), endPos);
        EXPECT_EQ(ours, test::ReferenceRTF::GetDiffString(sa, sb, endPos));
        return ours;
    };
    EXPECT_EQ(diff(u"abc", u"abXYc", 5), QStringLiteral("XY"));
    EXPECT_EQ(diff(u"abXYc", u"abc", 5), QStringLiteral("XY")) << "either order";
    EXPECT_EQ(diff(u"abc", u"abc", 2), QString()) << "same length";
    EXPECT_EQ(diff(u"a", u"abcd", 3), QString()) << "a start before the first unit";
    EXPECT_EQ(diff(u"a", u"abcd", 4), QStringLiteral("abc"));
    EXPECT_EQ(diff(u"a", u"abcd", 6), QStringLiteral("cd")) << "a run past the end is cut";
    EXPECT_EQ(diff(u"a", u"abcd", 9), QString()) << "a start past the end";
}

} // namespace
} // namespace scrivlet
