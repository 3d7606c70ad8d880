// The character references of "<", ">", "&" and the space: found in one left-to-right pass,
// case-sensitively, never looking again at what was put in.

#include "tests/html/ConvTestHelpers.h"

namespace scrivlet::html::test {
namespace {

constexpr auto EscLt = ConvType::EscapeAngleBrackets;
constexpr auto UnescLt = ConvType::UnescapeAngleBrackets;
constexpr auto EscAmp = ConvType::EscapeAmpersand;
constexpr auto UnescAmp = ConvType::UnescapeAmpersand;
constexpr auto ToNbsp = ConvType::SpaceToNbsp;
constexpr auto FromNbsp = ConvType::NbspToSpace;

INSTANTIATE_TEST_SUITE_P(
    References, ConvTable,
    ::testing::Values(
        ConvCase{"TagEscaped", EscLt, u"<a href=\"x\">リ</a>", u"&lt;a href=\"x\"&gt;リ&lt;/a&gt;"},
        ConvCase{"LoneBracketsEscaped", EscLt, u"a>b<c", u"a&gt;b&lt;c"},
        ConvCase{"WideBracketsAndReferencesStay", EscLt, u"＜＞〈〉&lt;", u"＜＞〈〉&lt;"},
        ConvCase{"ReferencesUnescaped", UnescLt, u"&lt;p&gt;段&lt;/p&gt;", u"<p>段</p>"},
        ConvCase{"AdjacentReferencesUnescaped", UnescLt, u"&lt;&gt;&gt;&lt;", u"<>><"},
        ConvCase{"UpperCaseReferencesStay", UnescLt, u"&LT;&Gt;&lT;", u"&LT;&Gt;&lT;"},
        ConvCase{"ReferenceWithoutSemicolonStays", UnescLt, u"&lt &gt", u"&lt &gt"},
        ConvCase{"EscapedAmpersandStays", UnescLt, u"&amp;lt;", u"&amp;lt;"},
        ConvCase{"UnescapedTextNotRescanned", UnescLt, u"&&lt;lt;gt;", u"&<lt;gt;"},
        ConvCase{"AmpersandsEscaped", EscAmp, u"a&b&&c", u"a&amp;b&amp;&amp;c"},
        ConvCase{"ReferencesEscapedAgain", EscAmp, u"&lt;&amp;＆", u"&amp;lt;&amp;amp;＆"},
        ConvCase{"AmpersandUnescaped", UnescAmp, u"R&amp;D", u"R&D"},
        ConvCase{"AmpersandUnescapeIsOnePass", UnescAmp, u"&amp;amp;", u"&amp;"},
        ConvCase{"UpperCaseAmpStays", UnescAmp, u"&AMP;&Amp;", u"&AMP;&Amp;"},
        ConvCase{"OtherReferencesStay", UnescAmp, u"&lt;&amp&nbsp;", u"&lt;&amp&nbsp;"},
        ConvCase{"SpacesToNbsp", ToNbsp, u"a b  c", u"a&nbsp;b&nbsp;&nbsp;c"},
        ConvCase{"SpacesInsideTagsToo", ToNbsp, u"<p class=x>", u"<p&nbsp;class=x>"},
        ConvCase{"OtherSpacesStay", ToNbsp, u"\t\u3000\u00A0", u"\t\u3000\u00A0"},
        ConvCase{"NbspToSpaces", FromNbsp, u"a&nbsp;b&nbsp;&nbsp;c", u"a b  c"},
        ConvCase{"UpperCaseNbspStays", FromNbsp, u"&NBSP;&Nbsp;", u"&NBSP;&Nbsp;"},
        ConvCase{"NbspUnescapeIsOnePass", FromNbsp, u"&nbsp;nbsp;", u" nbsp;"},
        ConvCase{"NbspWithoutSemicolonStays", FromNbsp, u"&nbsp &nbsp", u"&nbsp &nbsp"}),
    caseName);

} // namespace
} // namespace scrivlet::html::test
