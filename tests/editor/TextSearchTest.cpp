// The text comparison and FindNext/FindBack as the Edit menu uses them.

#include "editor/CharTables.h"
#include "tests/common/MemoryEditControl.h"
#include "editor/Messages.h"
#include "editor/TextCompare.h"
#include "editor/clsRTF.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using test::FakeClipboard;
using test::FakeMessageService;

struct FoldCase
{
    const char16_t *a;
    const char16_t *b;
    bool equal;
};

class TextComparison : public ::testing::TestWithParam<FoldCase>
{};

TEST_P(TextComparison, FoldsWidthKanaAndCaseUnitByUnit)
{
    const FoldCase c = GetParam();
    EXPECT_EQ(textEquals(QStringView(c.a), QStringView(c.b), CompareMode::Text), c.equal)
        << test::visible(QString::fromUtf16(c.a)) << " vs "
        << test::visible(QString::fromUtf16(c.b));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, TextComparison,
    ::testing::Values(
        FoldCase{u"abc", u"ABC", true}, FoldCase{u"Ａｂｃ", u"abc", true},
        FoldCase{u"カ", u"ｶ", true}, FoldCase{u"カ", u"か", true}, FoldCase{u"ｶ", u"か", true},
        FoldCase{u"ガ", u"が", true}, FoldCase{u"ゞ", u"ヾ", true}, FoldCase{u"\\", u"＼", true},
        FoldCase{u"a b", u"a　b", true}, FoldCase{u"。", u"｡", true}, FoldCase{u"ー", u"ｰ", true},
        FoldCase{u"Σ", u"σ", true}, FoldCase{u"Ж", u"ж", true}, FoldCase{u"É", u"é", true},
        // A match keeps the needle's length: a composed kana is not its halves.
        FoldCase{u"ガ", u"ｶﾞ", false}, FoldCase{u"ガ", u"ｶ", false}, FoldCase{u"ß", u"ss", false},
        FoldCase{u"ı", u"i", false}, FoldCase{u"K", u"k", true}, FoldCase{u"\u212A", u"k", false},
        FoldCase{u"漢", u"漢", true}, FoldCase{u"a", u"b", false}));

TEST(TextComparison, ExactComparisonComparesUnits)
{
    EXPECT_FALSE(textEquals(u"abc", u"ABC", CompareMode::Exact));
    EXPECT_TRUE(textEquals(u"ｶﾞ", u"ｶﾞ", CompareMode::Exact));
    EXPECT_EQ(findForward(u"aXbxc", u"x", 0, CompareMode::Exact), 3);
    EXPECT_EQ(findForward(u"aXbxc", u"x", 0, CompareMode::Text), 1);
}

TEST(TextComparison, FindRespectsItsBounds)
{
    const QString hay = QStringLiteral("aaaa");
    EXPECT_EQ(findForward(hay, u"aa", 3, CompareMode::Text), -1);
    EXPECT_EQ(findForward(hay, u"aa", 2, CompareMode::Text), 2);
    EXPECT_EQ(findBackward(hay, u"aa", 3, CompareMode::Text), 1);
    EXPECT_EQ(findBackward(hay, u"aa", 1, CompareMode::Text), -1);
    EXPECT_EQ(findForward(hay, u"", 0, CompareMode::Text), -1);
    EXPECT_EQ(findBackward(hay, u"aaaaa", 4, CompareMode::Exact), -1);
}

TEST(TextComparison, FoldsTheSameAsTheCasePairs)
{
    // The search and the case conversions share one table: whatever case conversion pairs,
    // the search treats as equal.
    for (char32_t u = 0; u < 0x10000; ++u) {
        const auto c = static_cast<char16_t>(u);
        const char16_t upper = chars::toUpperPair(c);
        if (upper != c) {
            ASSERT_EQ(chars::toLowerPair(upper), c) << std::hex << unsigned(u);
            ASSERT_EQ(chars::foldForCompare(upper), chars::foldForCompare(c))
                << std::hex << unsigned(u);
        }
    }
}

class FindCommands : public ::testing::Test
{
protected:
    FakeClipboard clipboard;
    MemoryEditControl control{clipboard};
    FakeMessageService messages;
    clsRTF doc{messages, {}};

    void SetUp() override
    {
        doc.Init(&control);
        QObject::connect(&control, &IEditControl::Change, &doc, [this] { doc.IsTextChange(); });
    }
    void select(int start, int length)
    {
        control.setSelStart(start);
        control.setSelLength(length);
    }
    void expectSelection(int start, int length)
    {
        EXPECT_EQ(control.SelStart(), start);
        EXPECT_EQ(control.SelLength(), length);
    }
};

TEST_F(FindCommands, FindNextWalksForwardThenReportsTheEnd)
{
    control.setText(QStringLiteral("abcABC"));
    doc.FindNext(QStringLiteral("abc"));
    expectSelection(0, 3);
    doc.FindNext(QStringLiteral("abc"));
    expectSelection(3, 3);
    doc.FindNext(QStringLiteral("abc"));
    expectSelection(3, 3);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, editor::msg::kSearchFinished);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Scrivlet"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
}

TEST_F(FindCommands, FindBackStopsAtTheStart)
{
    control.setText(QStringLiteral("abcABC"));
    select(3, 3);
    doc.FindBack(QStringLiteral("abc"));
    expectSelection(0, 3);
    doc.FindBack(QStringLiteral("abc"));
    expectSelection(0, 3);
    EXPECT_EQ(messages.texts(), QStringList{editor::msg::kSearchFinished});
}

TEST_F(FindCommands, FindBackIgnoresAMatchOverlappingTheSelection)
{
    control.setText(QStringLiteral("aaaa"));
    control.setSelStart(3);
    doc.FindBack(QStringLiteral("aa"));
    expectSelection(1, 2);
}

TEST_F(FindCommands, FindNextFromACaretFindsAMatchRightThere)
{
    control.setText(QStringLiteral("xxかなxx"));
    control.setSelStart(2);
    doc.FindNext(QStringLiteral("ｶﾅ"));
    expectSelection(2, 2);
}

TEST_F(FindCommands, EmptyNeedleDoesNothing)
{
    control.setText(QStringLiteral("abc"));
    select(1, 1);
    doc.FindNext(QString());
    doc.FindBack(QString());
    expectSelection(1, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(FindCommands, SearchChangesNoTextAndRecordsNothing)
{
    control.setText(QStringLiteral("one two one"));
    doc.InitVariable();
    doc.FindNext(QStringLiteral("ONE"));
    doc.FindNext(QStringLiteral("ONE"));
    EXPECT_EQ(doc.GetClctUndoCount(), 1);
    EXPECT_FALSE(doc.NeedSave());
    expectSelection(8, 3);
}

TEST_F(FindCommands, WithoutAControlTheSearchReportsItsFailure)
{
    clsRTF unbound(messages, {});
    unbound.FindNext(QStringLiteral("a"));
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, editor::msg::kSearchFailed);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
}

} // namespace
} // namespace scrivlet
