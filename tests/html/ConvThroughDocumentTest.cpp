// The conversions as the Edit menu applies them: through the editor document, on the selection
// or the whole text, as one step that Undo treats by its length rule.

#include "editor/MemoryEditControl.h"
#include "editor/clsRTF.h"
#include "html/ConvString.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

class ConvThroughDocument : public ::testing::Test
{
protected:
    test::FakeClipboard clipboard;
    MemoryEditControl control{clipboard};
    test::FakeMessageService messages;
    clsRTF doc{messages, html::ConvString};

    void SetUp() override
    {
        doc.Init(&control);
        QObject::connect(&control, &IEditControl::Change, &doc, [this] { doc.IsTextChange(); });
    }
    void load(const QString &text)
    {
        control.setText(text);
        doc.InitVariable();
    }
    void select(int start, int length)
    {
        control.setSelStart(start);
        control.setSelLength(length);
    }
};

TEST_F(ConvThroughDocument, ASelectionIsConvertedAloneAsOneStep)
{
    load(QStringLiteral("<P>abc</P>"));
    select(3, 3);
    doc.Conv(ConvType::FullWidth);
    EXPECT_EQ(control.Text(), QStringLiteral("<P>ａｂｃ</P>"));
    EXPECT_EQ(control.SelStart(), 6);
    EXPECT_EQ(control.SelLength(), 0);
    EXPECT_EQ(doc.GetClctUndoCount(), 2);
    EXPECT_TRUE(doc.NeedSave());
}

TEST_F(ConvThroughDocument, NothingSelectedConvertsTheWholeText)
{
    load(QStringLiteral("<P CLASS=\"X\">a</P>\r\n<BR>"));
    control.setSelStart(5);
    doc.Conv(ConvType::TagNameLower);
    EXPECT_EQ(control.Text(), QStringLiteral("<p CLASS=\"X\">a</p>\r\n<br>"));
    EXPECT_EQ(doc.GetClctUndoCount(), 2);
}

TEST_F(ConvThroughDocument, UndoOfAGrowingConversionRemovesTheGrowthBeforeTheCaret)
{
    // "ガ" becomes "ｶﾞ": one unit longer, the caret after it. Undo takes one unit back from
    // before the caret, which is the mark; the length rule knows no more than that.
    load(QStringLiteral("xガy"));
    select(1, 1);
    doc.Conv(ConvType::HalfWidth);
    EXPECT_EQ(control.Text(), QStringLiteral("xｶﾞy"));
    doc.Undo();
    EXPECT_EQ(control.Text(), QStringLiteral("xｶy"));
    EXPECT_EQ(control.SelStart(), 2);
    doc.Redo();
    EXPECT_EQ(control.Text(), QStringLiteral("xｶﾞy"));
}

TEST_F(ConvThroughDocument, UndoOfASameLengthConversionOnlyMovesTheCaret)
{
    load(QStringLiteral("かな"));
    doc.Conv(ConvType::HiraganaToKatakana);
    EXPECT_EQ(control.Text(), QStringLiteral("カナ"));
    doc.Undo();
    EXPECT_EQ(control.Text(), QStringLiteral("カナ"));
    EXPECT_EQ(doc.GetClctRedoCount(), 1);
}

TEST_F(ConvThroughDocument, AConversionThatChangesNothingRecordsNothing)
{
    load(QStringLiteral("漢字だけ"));
    doc.Conv(ConvType::UpperCase);
    EXPECT_EQ(doc.GetClctUndoCount(), 1);
    EXPECT_FALSE(doc.NeedSave());
}

} // namespace
} // namespace scrivlet
