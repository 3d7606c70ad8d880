// The text comparison and FindNext/FindBack as the Edit menu uses them.

#include "editor/CharTables.h"
#include "editor/Messages.h"
#include "editor/TextCompare.h"
#include "editor/clsRTF.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;

TEST(TextComparison, FoldsWidthKanaAndCaseUnitByUnit)
{
    const struct
    {
        const char16_t *a, *b;
        bool equal;
    } pairs[] = {{u"abc", u"ABC", true},
                 {u"Ａｂｃ", u"abc", true},
                 {u"カ", u"ｶ", true},
                 {u"カ", u"か", true},
                 {u"ｶ", u"か", true},
                 {u"ガ", u"が", true},
                 {u"ゞ", u"ヾ", true},
                 {u"\\", u"＼", true},
                 {u"a b", u"a　b", true},
                 {u"。", u"｡", true},
                 {u"ー", u"ｰ", true},
                 {u"Σ", u"σ", true},
                 {u"Ж", u"ж", true},
                 {u"É", u"é", true},
                 {u"K", u"k", true},
                 {u"漢", u"漢", true},
                 // A match keeps the needle's length: a composed kana is not its halves.
                 {u"ガ", u"ｶﾞ", false},
                 {u"ガ", u"ｶ", false},
                 {u"ß", u"ss", false},
                 {u"ı", u"i", false},
                 {u"\u212A", u"k", false},
                 {u"a", u"b", false}};
    for (const auto &p : pairs)
        EXPECT_EQ(textEquals(p.a, p.b, CompareMode::Text), p.equal)
            << test::visible(QString::fromUtf16(p.a)) << " vs "
            << test::visible(QString::fromUtf16(p.b));
    EXPECT_FALSE(textEquals(u"abc", u"ABC", CompareMode::Exact));
    EXPECT_TRUE(textEquals(u"ｶﾞ", u"ｶﾞ", CompareMode::Exact));
}

TEST(TextComparison, FindRespectsItsModeAndBounds)
{
    const auto E = CompareMode::Exact, T = CompareMode::Text;
    const struct
    {
        const char16_t *hay, *needle;
        qsizetype from;
        bool forward;
        CompareMode mode;
        qsizetype expect;
    } rows[] = {
        {u"aXbxc", u"x", 0, true, E, 3},  {u"aXbxc", u"x", 0, true, T, 1},
        {u"aaaa", u"aa", 3, true, T, -1}, {u"aaaa", u"aa", 2, true, T, 2},
        {u"aaaa", u"aa", 3, false, T, 1}, {u"aaaa", u"aa", 1, false, T, -1},
        {u"aaaa", u"", 0, true, T, -1},   {u"aaaa", u"aaaaa", 4, false, E, -1},
    };
    for (const auto &r : rows)
        EXPECT_EQ(r.forward ? findForward(r.hay, r.needle, r.from, r.mode)
                            : findBackward(r.hay, r.needle, r.from, r.mode),
                  r.expect)
            << test::visible(QString::fromUtf16(r.hay)) << " " << r.from << " " << r.forward;
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

// Each press selects the next or previous match from the selection, or says there is none; a
// search changes no text and records nothing.
TEST(FindCommands, SelectTheNearestMatchOrReportTheEnd)
{
    const struct
    {
        QString text;
        int selStart, selLength;
        QString needle;
        bool next;
        int expectStart, expectLength;
        bool finished;
    } rows[] = {
        {u"abcABC"_s, 0, 0, u"abc"_s, true, 0, 3, false},
        {u"abcABC"_s, 0, 3, u"abc"_s, true, 3, 3, false},
        {u"abcABC"_s, 3, 3, u"abc"_s, true, 3, 3, true},
        {u"abcABC"_s, 3, 3, u"abc"_s, false, 0, 3, false},
        {u"abcABC"_s, 0, 3, u"abc"_s, false, 0, 3, true},
        {u"aaaa"_s, 3, 0, u"aa"_s, false, 1, 2, false}, // not the match overlapping the caret
        {u"xxかなxx"_s, 2, 0, u"ｶﾅ"_s, true, 2, 2, false},
        {u"one two one"_s, 3, 0, u"ONE"_s, true, 8, 3, false},
        {u"abc"_s, 1, 1, QString(), true, 1, 1, false},
        {u"abc"_s, 1, 1, QString(), false, 1, 1, false},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(test::visible(r.text) + " " + std::to_string(r.selStart) + " " +
                     test::visible(r.needle) + (r.next ? " next" : " back"));
        test::FakeClipboard clipboard;
        MemoryEditControl control(clipboard);
        test::FakeMessageService messages;
        clsRTF doc(messages, {});
        doc.Init(&control);
        QObject::connect(&control, &IEditControl::Change, &doc, [&] { doc.IsTextChange(); });
        control.setText(r.text);
        doc.InitVariable();
        control.setSelStart(r.selStart);
        control.setSelLength(r.selLength);
        r.next ? doc.FindNext(r.needle) : doc.FindBack(r.needle);
        EXPECT_EQ(control.SelStart(), r.expectStart);
        EXPECT_EQ(control.SelLength(), r.expectLength);
        EXPECT_EQ(control.Text(), r.text);
        EXPECT_EQ(doc.GetClctUndoCount(), 1);
        EXPECT_FALSE(doc.NeedSave());
        ASSERT_EQ(messages.shown.size(), r.finished ? 1 : 0);
        if (r.finished) {
            EXPECT_EQ(messages.shown[0].text, editor::msg::kSearchFinished);
            EXPECT_EQ(messages.shown[0].title, u"Scrivlet"_s);
            EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
            EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
        }
    }
}

TEST(FindCommands, WithoutAControlTheSearchReportsItsFailure)
{
    test::FakeMessageService messages;
    clsRTF unbound(messages, {});
    unbound.FindNext(u"a"_s);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, editor::msg::kSearchFailed);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
}

} // namespace
} // namespace scrivlet
