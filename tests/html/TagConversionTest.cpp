// Conversions that act on markup: the letter case of tag names, whose name runs from "<" to
// the first space before the next ">", and the line-oriented <BR> and <LI> tags.

#include "tests/html/ConvTestHelpers.h"

namespace scrivlet::html::test {
namespace {

constexpr auto TagLower = ConvType::TagNameLower;
constexpr auto TagUpper = ConvType::TagNameUpper;
constexpr auto AddBr = ConvType::AddBrAtLineEnd;
constexpr auto BrToBreak = ConvType::BrToLineBreak;
constexpr auto WrapLi = ConvType::WrapLinesInLi;

INSTANTIATE_TEST_SUITE_P(
    TagName, ConvTable,
    ::testing::Values(
        ConvCase{"NameLoweredAttributesKept", TagLower, u"<A HREF=\"X.HTML\">リ</A>",
                 u"<a HREF=\"X.HTML\">リ</a>"},
        ConvCase{"NameRaisedAttributesKept", TagUpper, u"<img src=\"a\" alt=\"図\"></td>",
                 u"<IMG src=\"a\" alt=\"図\"></TD>"},
        ConvCase{"TextBetweenTagsStays", TagLower, u"AB<BR>\r\nCD</P>EF", u"AB<br>\r\nCD</p>EF"},
        ConvCase{"LineBreakAfterNameTakesAll", TagLower, u"<IMG\r\nSRC=\"A\">X",
                 u"<img\r\nsrc=\"a\">X"},
        ConvCase{"TabAfterNameTakesAll", TagUpper, u"<td\tclass=x>", u"<TD\tCLASS=X>"},
        ConvCase{"CommentWithoutSpaceConverted", TagLower, u"<!--NOTE-->", u"<!--note-->"},
        ConvCase{"CommentWithSpaceStays", TagLower, u"<!-- NOTE -->", u"<!-- NOTE -->"},
        ConvCase{"BracketInValueEndsTag", TagLower, u"<A\tT=\"X>Y\" H=Z><B>",
                 u"<a\tt=\"x>Y\" H=Z><b>"},
        ConvCase{"RunningTextBracketIsTag", TagLower, u"if a<B and C>D", u"if a<b and C>D"},
        ConvCase{"SpaceAfterBracketMeansNoName", TagLower, u"a < B > C", u"a < B > C"},
        ConvCase{"BracketInsideName", TagLower, u"<<B>", u"<<b>"},
        ConvCase{"CloserBeforeFirstTagStays", TagLower, u"A>B<C>", u"A>B<c>"},
        ConvCase{"LessThanWithoutCloserStays", TagLower, u"<P>x<A HREF", u"<p>x<A HREF"},
        ConvCase{"EmptyPairStays", TagUpper, u"<>", u"<>"},
        ConvCase{"WideLettersInNameConverted", TagUpper, u"<ａｂ ｃ>", u"<ＡＢ ｃ>"},
        ConvCase{"SharpSInNameKeepsLength", TagUpper, u"<straße>", u"<STRAßE>"}),
    caseName);

// Lines end at CR LF only. A line already ending in a line-break tag, or already a list item,
// is left alone, so either command can be repeated.
INSTANTIATE_TEST_SUITE_P(
    LineTags, ConvTable,
    ::testing::Values(
        ConvCase{"BrAddedToEachLine", AddBr, u"一\r\n二", u"一<BR>\r\n二<BR>"},
        ConvCase{"BrNotAddedAfterFinalBreak", AddBr, u"a\r\nb\r\n", u"a<BR>\r\nb<BR>\r\n"},
        ConvCase{"BrAddedToEmptyLines", AddBr, u"a\r\n\r\nb", u"a<BR>\r\n<BR>\r\nb<BR>"},
        ConvCase{"BrAddedToLoneBreak", AddBr, u"\r\n", u"<BR>\r\n"},
        ConvCase{"BrAddedAfterTrailingSpaces", AddBr, u"a  \r\n", u"a  <BR>\r\n"},
        ConvCase{"ExistingBreakTagsKept", AddBr, u"a<br>\r\nb<BR />\r\nc<br/>  \r\nd<Br>",
                 u"a<br>\r\nb<BR />\r\nc<br/>  \r\nd<Br>"},
        ConvCase{"BreakTagInsideLineDoesNotCount", AddBr, u"a<br>b\r\n", u"a<br>b<BR>\r\n"},
        ConvCase{"OtherTagAtEndDoesNotCount", AddBr, u"<bra>\r\n<b>\r\n<r>",
                 u"<bra><BR>\r\n<b><BR>\r\n<r><BR>"},
        ConvCase{"LoneLineFeedIsNoLineEnd", AddBr, u"a\nb", u"a\nb<BR>"},
        ConvCase{"LoneCarriageReturnIsNoLineEnd", AddBr, u"a\rb\r\nc\r", u"a\rb<BR>\r\nc\r<BR>"},
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
        ConvCase{"LinesWrappedInLi", WrapLi, u"一\r\n二", u"<LI>一</LI>\r\n<LI>二</LI>"},
        ConvCase{"IndentKeptBeforeLi", WrapLi, u"  a\r\n\tb", u"  <LI>a</LI>\r\n\t<LI>b</LI>"},
        ConvCase{"EmptyAndBlankLinesStay", WrapLi, u"a\r\n\r\n \t\r\nb\r\n",
                 u"<LI>a</LI>\r\n\r\n \t\r\n<LI>b</LI>\r\n"},
        ConvCase{"ExistingItemsStay", WrapLi, u"<li>a</li>\r\n  <LI>b</Li>  \r\n<li></li>",
                 u"<li>a</li>\r\n  <LI>b</Li>  \r\n<li></li>"},
        ConvCase{"HalfItemsWrapped", WrapLi, u"<li>first\r\nlast</li>",
                 u"<LI><li>first</LI>\r\n<LI>last</li></LI>"},
        ConvCase{"TrailingSpacesInsideItem", WrapLi, u"a  ", u"<LI>a  </LI>"},
        ConvCase{"IdeographicSpaceIsContent", WrapLi, u"\u3000字", u"<LI>\u3000字</LI>"},
        ConvCase{"LoneLineFeedInsideItem", WrapLi, u"a\nb", u"<LI>a\nb</LI>"},
        ConvCase{"LoneBreakStays", WrapLi, u"\r\n", u"\r\n"}),
    caseName);

} // namespace
} // namespace scrivlet::html::test
