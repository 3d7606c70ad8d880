#include "ConvTestHelpers.h"

#include <QString>

#include <gtest/gtest.h>

namespace scrivlet::html::test {
namespace {

constexpr auto TagLower = ConvType::TagNameLower;
constexpr auto TagUpper = ConvType::TagNameUpper;
constexpr auto AddBr = ConvType::AddBrAtLineEnd;
constexpr auto BrToBreak = ConvType::BrToLineBreak;
constexpr auto WrapLi = ConvType::WrapLinesInLi;

class TagNameCase : public ::testing::TestWithParam<ConvCase>
{};
class LineTagInsertion : public ::testing::TestWithParam<ConvCase>
{};
class BreakTagToLineBreak : public ::testing::TestWithParam<ConvCase>
{};

TEST_P(TagNameCase, Converts)
{
    const ConvCase &row = GetParam();
    EXPECT_SAME_TEXT(convert(QString::fromUtf16(row.input), row.type),
                     QString::fromUtf16(row.expected));
}

TEST_P(LineTagInsertion, Converts)
{
    const ConvCase &row = GetParam();
    EXPECT_SAME_TEXT(convert(QString::fromUtf16(row.input), row.type),
                     QString::fromUtf16(row.expected));
}

TEST_P(BreakTagToLineBreak, Converts)
{
    const ConvCase &row = GetParam();
    EXPECT_SAME_TEXT(convert(QString::fromUtf16(row.input), row.type),
                     QString::fromUtf16(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TagNameCase,
    ::testing::Values(
        ConvCase{"NameLoweredAttributesKept", TagLower, u"<A HREF=\"INDEX.HTML\">リンク</A>",
                 u"<a HREF=\"INDEX.HTML\">リンク</a>"},
        ConvCase{"NameRaisedAttributesKept", TagUpper, u"<img src=\"a.gif\" alt=\"図\">",
                 u"<IMG src=\"a.gif\" alt=\"図\">"},
        ConvCase{"BreakAndClosingTagLowered", TagLower, u"行<BR>\r\n</P>", u"行<br>\r\n</p>"},
        ConvCase{"ClosingTagRaised", TagUpper, u"</td></tr>", u"</TD></TR>"},
        ConvCase{"TextBetweenTagsStays", TagLower, u"AB<P>CD</P>EF", u"AB<p>CD</p>EF"},
        ConvCase{"LineBreakAfterNameTakesAttributes", TagLower, u"<IMG\r\nSRC=\"A.GIF\">X",
                 u"<img\r\nsrc=\"a.gif\">X"},
        ConvCase{"TabAfterNameTakesAttributes", TagUpper, u"<td\tclass=x>", u"<TD\tCLASS=X>"},
        ConvCase{"CommentWithoutSpaceConverted", TagLower, u"<!--NOTE-->", u"<!--note-->"},
        ConvCase{"CommentWithSpaceStays", TagLower, u"<!-- NOTE -->", u"<!-- NOTE -->"},
        ConvCase{"QuotedBracketEndsTagEarly", TagLower, u"<A\tTITLE=\"X>Y\" HREF=Z><B>",
                 u"<a\ttitle=\"x>Y\" HREF=Z><b>"},
        ConvCase{"RunningTextBracketIsTag", TagLower, u"if a<B and C>D", u"if a<b and C>D"},
        ConvCase{"SpaceAfterBracketMeansNoName", TagLower, u"a < B > C", u"a < B > C"},
        ConvCase{"BracketInsideNameConverted", TagLower, u"<<B>", u"<<b>"},
        ConvCase{"CloserBeforeFirstTagStays", TagLower, u"A>B<C>", u"A>B<c>"},
        ConvCase{"NoCloserStays", TagLower, u"text <P class", u"text <P class"},
        ConvCase{"CutOffTagEndsScan", TagLower, u"<P>text<A HREF", u"<p>text<A HREF"},
        ConvCase{"EmptyPairStays", TagUpper, u"<>", u"<>"},
        ConvCase{"FullWidthLettersInNameConverted", TagUpper, u"<ａｂ ｃ>", u"<ＡＢ ｃ>"},
        ConvCase{"JapaneseInNameStays", TagUpper, u"<見出し>", u"<見出し>"},
        ConvCase{"SharpSInNameKeepsLength", TagUpper, u"<straße>", u"<STRAßE>"},
        ConvCase{"EmptyStays", TagLower, u"", u""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Table, LineTagInsertion,
    ::testing::Values(
        ConvCase{"BrAddedToEachLine", AddBr, u"一行目\r\n二行目", u"一行目<BR>\r\n二行目<BR>"},
        ConvCase{"BrNotAddedAfterFinalBreak", AddBr, u"a\r\nb\r\n", u"a<BR>\r\nb<BR>\r\n"},
        ConvCase{"BrAddedToEmptyLines", AddBr, u"a\r\n\r\nb", u"a<BR>\r\n<BR>\r\nb<BR>"},
        ConvCase{"BrAddedToLoneBreak", AddBr, u"\r\n", u"<BR>\r\n"},
        ConvCase{"BrAddedToSingleLine", AddBr, u"a", u"a<BR>"},
        ConvCase{"BrAddedAfterTrailingSpaces", AddBr, u"a  \r\n", u"a  <BR>\r\n"},
        ConvCase{"ExistingBreakTagsKept", AddBr, u"a<br>\r\nb<BR />\r\nc<br/>  \r\nd<Br>",
                 u"a<br>\r\nb<BR />\r\nc<br/>  \r\nd<Br>"},
        ConvCase{"BreakTagInsideLineDoesNotCount", AddBr, u"a<br>b\r\n", u"a<br>b<BR>\r\n"},
        ConvCase{"OtherTagAtEndDoesNotCount", AddBr, u"<bra>\r\n<b>\r\n<r>",
                 u"<bra><BR>\r\n<b><BR>\r\n<r><BR>"},
        ConvCase{"LoneLineFeedIsNotLineEnd", AddBr, u"a\nb", u"a\nb<BR>"},
        ConvCase{"LoneCarriageReturnIsNotLineEnd", AddBr, u"a\rb\r\nc\r", u"a\rb<BR>\r\nc\r<BR>"},
        ConvCase{"EmptyStaysUnderBr", AddBr, u"", u""},
        ConvCase{"LinesWrappedInLi", WrapLi, u"項目一\r\n項目二",
                 u"<LI>項目一</LI>\r\n<LI>項目二</LI>"},
        ConvCase{"IndentKeptBeforeLi", WrapLi, u"  a\r\n\tb", u"  <LI>a</LI>\r\n\t<LI>b</LI>"},
        ConvCase{"EmptyAndBlankLinesStay", WrapLi, u"a\r\n\r\n \t\r\nb\r\n",
                 u"<LI>a</LI>\r\n\r\n \t\r\n<LI>b</LI>\r\n"},
        ConvCase{"ExistingItemsStay", WrapLi, u"<li>a</li>\r\n  <LI>b</Li>  \r\n<li>c",
                 u"<li>a</li>\r\n  <LI>b</Li>  \r\n<LI><li>c</LI>"},
        ConvCase{"EmptyItemStays", WrapLi, u"<li></li>", u"<li></li>"},
        ConvCase{"ClosingItemAloneWrapped", WrapLi, u"a</li>", u"<LI>a</li></LI>"},
        ConvCase{"TrailingSpacesInsideItem", WrapLi, u"a  ", u"<LI>a  </LI>"},
        ConvCase{"IdeographicSpaceIsContent", WrapLi, u"\u3000字下げ", u"<LI>\u3000字下げ</LI>"},
        ConvCase{"LoneLineFeedInsideItem", WrapLi, u"a\nb", u"<LI>a\nb</LI>"},
        ConvCase{"LoneBreakStaysUnderLi", WrapLi, u"\r\n", u"\r\n"},
        ConvCase{"EmptyStaysUnderLi", WrapLi, u"", u""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Table, BreakTagToLineBreak,
    ::testing::Values(
        ConvCase{"TagBecomesLineBreak", BrToBreak, u"一<BR>二", u"一\r\n二"},
        ConvCase{"AllFormsAndCases", BrToBreak, u"a<br>b<Br/>c<bR />d<BR\t/>e<br >f",
                 u"a\r\nb\r\nc\r\nd\r\ne\r\nf"},
        ConvCase{"TagBeforeLineBreakRemoved", BrToBreak, u"a<br>\r\nb", u"a\r\nb"},
        ConvCase{"SpacesBeforeLineBreakKept", BrToBreak, u"a<BR />  \r\nb", u"a  \r\nb"},
        ConvCase{"TwoTagsMakeOneBlankLine", BrToBreak, u"a<br><br>\r\nb", u"a\r\n\r\nb"},
        ConvCase{"TagAloneNeverEmpty", BrToBreak, u"<br>", u"\r\n"},
        ConvCase{"TagBeforeFinalBreak", BrToBreak, u"<BR>\r\n", u"\r\n"},
        ConvCase{"TagBeforeLoneLineFeed", BrToBreak, u"a<br>\nb", u"a\r\n\nb"},
        ConvCase{"TagBeforeLoneCarriageReturn", BrToBreak, u"a<br>\r", u"a\r\n\r"},
        ConvCase{"TrailingSpacesAfterLastTag", BrToBreak, u"a<br>  ", u"a\r\n  "},
        ConvCase{"TagWithAttributesStays", BrToBreak, u"a<br clear=all>b", u"a<br clear=all>b"},
        ConvCase{"SimilarTagsStay", BrToBreak, u"<bra><b>r<br/ ><br", u"<bra><b>r<br/ ><br"},
        ConvCase{"EscapedTagStays", BrToBreak, u"&lt;br&gt;", u"&lt;br&gt;"},
        ConvCase{"EmptyStaysUnderBreak", BrToBreak, u"", u""}),
    caseName);

} // namespace
} // namespace scrivlet::html::test
