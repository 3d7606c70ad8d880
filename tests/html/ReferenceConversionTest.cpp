#include "ConvTestHelpers.h"

#include <QString>

#include <gtest/gtest.h>

namespace scrivlet::html::test {
namespace {

constexpr auto EscLt = ConvType::EscapeAngleBrackets;
constexpr auto UnescLt = ConvType::UnescapeAngleBrackets;
constexpr auto EscAmp = ConvType::EscapeAmpersand;
constexpr auto UnescAmp = ConvType::UnescapeAmpersand;
constexpr auto ToNbsp = ConvType::SpaceToNbsp;
constexpr auto FromNbsp = ConvType::NbspToSpace;

class CharacterReferences : public ::testing::TestWithParam<ConvCase>
{};

TEST_P(CharacterReferences, Converts)
{
    const ConvCase &row = GetParam();
    EXPECT_SAME_TEXT(convert(QString::fromUtf16(row.input), row.type),
                     QString::fromUtf16(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CharacterReferences,
    ::testing::Values(
        ConvCase{"TagEscaped", EscLt, u"<a href=\"x\">リンク</a>",
                 u"&lt;a href=\"x\"&gt;リンク&lt;/a&gt;"},
        ConvCase{"LoneBracketsEscaped", EscLt, u"a>b<c", u"a&gt;b&lt;c"},
        ConvCase{"FullWidthBracketsStayUnescaped", EscLt, u"＜＞〈〉", u"＜＞〈〉"},
        ConvCase{"ExistingReferenceStays", EscLt, u"&lt;", u"&lt;"},
        ConvCase{"ReferencesUnescaped", UnescLt, u"&lt;p&gt;段落&lt;/p&gt;", u"<p>段落</p>"},
        ConvCase{"AdjacentReferencesUnescaped", UnescLt, u"&lt;&gt;&gt;&lt;", u"<>><"},
        ConvCase{"UpperCaseReferencesStay", UnescLt, u"&LT;&Gt;&lT;", u"&LT;&Gt;&lT;"},
        ConvCase{"ReferenceWithoutSemicolonStays", UnescLt, u"&lt &gt", u"&lt &gt"},
        ConvCase{"EscapedAmpersandStays", UnescLt, u"&amp;lt;", u"&amp;lt;"},
        ConvCase{"UnescapedTextNotRescanned", UnescLt, u"&&lt;lt;gt;", u"&<lt;gt;"},
        ConvCase{"AmpersandEscaped", EscAmp, u"a&b&&c", u"a&amp;b&amp;&amp;c"},
        ConvCase{"ReferenceAmpersandEscaped", EscAmp, u"&lt;", u"&amp;lt;"},
        ConvCase{"EscapedAmpersandEscapedAgain", EscAmp, u"&amp;", u"&amp;amp;"},
        ConvCase{"FullWidthAmpersandStays", EscAmp, u"＆", u"＆"},
        ConvCase{"AmpersandUnescaped", UnescAmp, u"R&amp;D", u"R&D"},
        ConvCase{"UnescapeIsOnePass", UnescAmp, u"&amp;amp;", u"&amp;"},
        ConvCase{"UpperCaseAmpStays", UnescAmp, u"&AMP;&Amp;", u"&AMP;&Amp;"},
        ConvCase{"OtherReferencesStay", UnescAmp, u"&lt;&amp&nbsp;", u"&lt;&amp&nbsp;"},
        ConvCase{"SpacesToNbsp", ToNbsp, u"a b  c", u"a&nbsp;b&nbsp;&nbsp;c"},
        ConvCase{"SpacesInsideTagsToo", ToNbsp, u"<p class=x>", u"<p&nbsp;class=x>"},
        ConvCase{"TabAndIdeographicSpaceStay", ToNbsp, u"\t\u3000\u00A0", u"\t\u3000\u00A0"},
        ConvCase{"NbspToSpaces", FromNbsp, u"a&nbsp;b&nbsp;&nbsp;c", u"a b  c"},
        ConvCase{"UpperCaseNbspStays", FromNbsp, u"&NBSP;&Nbsp;", u"&NBSP;&Nbsp;"},
        ConvCase{"NbspUnescapeIsOnePass", FromNbsp, u"&nbsp;nbsp;", u" nbsp;"},
        ConvCase{"NbspWithoutSemicolonStays", FromNbsp, u"&nbsp &nbsp", u"&nbsp &nbsp"},
        ConvCase{"LineBreaksStayUnderNbsp", ToNbsp, u"a \r\n b", u"a&nbsp;\r\n&nbsp;b"},
        ConvCase{"LineBreaksStayUnderEscape", EscLt, u"<\r\n>", u"&lt;\r\n&gt;"}),
    caseName);

TEST(CharacterReferences, UnescapeThenEscapeDoesNotRestoreBareAmpersand)
{
    const QString text = QString::fromUtf16(u"A & B &amp; C");
    const QString unescaped = convert(text, ConvType::UnescapeAmpersand);
    EXPECT_SAME_TEXT(unescaped, QString::fromUtf16(u"A & B & C"));
    EXPECT_SAME_TEXT(convert(unescaped, ConvType::EscapeAmpersand),
                     QString::fromUtf16(u"A &amp; B &amp; C"));
}

} // namespace
} // namespace scrivlet::html::test
