// The conversions as the Edit menu applies them: through the editor document, on the selection
// or the whole text, as one step that Undo treats by its length rule.

#include "editor/clsRTF.h"
#include "html/ConvString.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
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

TEST_F(ConvThroughDocument, UndoAndRedoOfAConversionGiveBackTheExactText)
{
    // Longer, same length and shorter: the stretch that differs comes back selected, a single
    // character leaves the caret after it.
    struct Case
    {
        QString loaded;
        int selStart, selLength;
        ConvType type;
        QString converted;
        int undoStart, undoLength, redoStart, redoLength;
    };
    const Case cases[] = {
        {QStringLiteral("xガy"), 1, 1, ConvType::HalfWidth, QStringLiteral("xｶﾞy"), 2, 0, 1, 2},
        {QStringLiteral("かな"), 0, 0, ConvType::HiraganaToKatakana, QStringLiteral("カナ"), 0, 2,
         0, 2},
        {QStringLiteral("<p>a</p>\r\n"), 0, 8, ConvType::EscapeAngleBrackets,
         QStringLiteral("&lt;p&gt;a&lt;/p&gt;\r\n"), 0, 8, 0, 20},
        {QStringLiteral("&lt;b&gt;"), 0, 0, ConvType::UnescapeAngleBrackets, QStringLiteral("<b>"),
         0, 9, 0, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.loaded.toStdString());
        load(c.loaded);
        select(c.selStart, c.selLength);
        doc.Conv(c.type);
        ASSERT_EQ(control.Text(), c.converted);
        doc.Undo();
        EXPECT_EQ(control.Text(), c.loaded);
        EXPECT_EQ(control.SelStart(), c.undoStart);
        EXPECT_EQ(control.SelLength(), c.undoLength);
        doc.Redo();
        EXPECT_EQ(control.Text(), c.converted);
        EXPECT_EQ(control.SelStart(), c.redoStart);
        EXPECT_EQ(control.SelLength(), c.redoLength);
    }
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
