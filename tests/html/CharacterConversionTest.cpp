#include "ConvTestHelpers.h"

#include <QString>

#include <gtest/gtest.h>

namespace scrivlet::html::test {
namespace {

constexpr auto Lower = ConvType::LowerCase;
constexpr auto Upper = ConvType::UpperCase;
constexpr auto Half = ConvType::HalfWidth;
constexpr auto Full = ConvType::FullWidth;
constexpr auto HalfKana = ConvType::HalfKanaToFull;
constexpr auto ToHira = ConvType::KatakanaToHiragana;
constexpr auto ToKata = ConvType::HiraganaToKatakana;

class CaseConversion : public ::testing::TestWithParam<ConvCase>
{};
class WidthConversion : public ::testing::TestWithParam<ConvCase>
{};
class KanaConversion : public ::testing::TestWithParam<ConvCase>
{};

TEST_P(CaseConversion, Converts)
{
    const ConvCase &row = GetParam();
    EXPECT_SAME_TEXT(convert(QString::fromUtf16(row.input), row.type),
                     QString::fromUtf16(row.expected));
}

TEST_P(WidthConversion, Converts)
{
    const ConvCase &row = GetParam();
    EXPECT_SAME_TEXT(convert(QString::fromUtf16(row.input), row.type),
                     QString::fromUtf16(row.expected));
}

TEST_P(KanaConversion, Converts)
{
    const ConvCase &row = GetParam();
    EXPECT_SAME_TEXT(convert(QString::fromUtf16(row.input), row.type),
                     QString::fromUtf16(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CaseConversion,
    ::testing::Values(ConvCase{"AsciiToLower", Lower, u"<P CLASS=\"Note\">Hello 123</P>",
                               u"<p class=\"note\">hello 123</p>"},
                      ConvCase{"AsciiToUpper", Upper, u"<p class=\"note\">hello 123</p>",
                               u"<P CLASS=\"NOTE\">HELLO 123</P>"},
                      ConvCase{"Latin1ToLower", Lower, u"ÀÉÎÕÜÝÞ", u"àéîõüýþ"},
                      ConvCase{"Latin1ToUpper", Upper, u"àéîõüýþÿ", u"ÀÉÎÕÜÝÞŸ"},
                      ConvCase{"LatinExtendedToLower", Lower, u"ŁŒŽǄ", u"łœžǆ"},
                      ConvCase{"LatinExtendedToUpper", Upper, u"łœžǆ", u"ŁŒŽǄ"},
                      ConvCase{"GreekToLower", Lower, u"ΑΒΓΣΩ", u"αβγσω"},
                      ConvCase{"GreekToUpper", Upper, u"αβγσω", u"ΑΒΓΣΩ"},
                      ConvCase{"CyrillicToLower", Lower, u"ДЖЁЯ", u"джёя"},
                      ConvCase{"CyrillicToUpper", Upper, u"джёя", u"ДЖЁЯ"},
                      ConvCase{"FullWidthLatinToLower", Lower, u"ＡＢＣＺ", u"ａｂｃｚ"},
                      ConvCase{"FullWidthLatinToUpper", Upper, u"ａｂｃｚ", u"ＡＢＣＺ"},
                      ConvCase{"RomanNumeralsToLower", Lower, u"ⅠⅡⅫⅯ", u"ⅰⅱⅻⅿ"},
                      ConvCase{"RomanNumeralsToUpper", Upper, u"ⅰⅱⅻⅿ", u"ⅠⅡⅫⅯ"},
                      ConvCase{"CircledLettersToLower", Lower, u"ⒶⓏ", u"ⓐⓩ"},
                      ConvCase{"CircledLettersToUpper", Upper, u"ⓐⓩ", u"ⒶⓏ"},
                      // One-way or length-changing mappings are left alone.
                      ConvCase{"SharpSStaysUnderUpper", Upper, u"straße", u"STRAßE"},
                      ConvCase{"FinalSigmaStaysUnderUpper", Upper, u"λόγος", u"ΛΌΓΟς"},
                      ConvCase{"MicroSignStaysUnderUpper", Upper, u"5µm", u"5µM"},
                      ConvCase{"DotlessIStaysUnderUpper", Upper, u"ıi", u"ıI"},
                      ConvCase{"LongSStaysUnderUpper", Upper, u"ſs", u"ſS"},
                      ConvCase{"DottedCapitalIStaysUnderLower", Lower, u"İI", u"İi"},
                      ConvCase{"KelvinSignStaysUnderLower", Lower, u"\u212AK", u"\u212Ak"},
                      ConvCase{"OhmSignStaysUnderLower", Lower, u"\u2126Ω", u"\u2126ω"},
                      ConvCase{"TitleCaseDzStaysUnderLower", Lower, u"ǅ", u"ǅ"},
                      ConvCase{"TitleCaseDzStaysUnderUpper", Upper, u"ǅ", u"ǅ"},
                      ConvCase{"JapaneseStaysUnderLower", Lower, u"ひらがなカタカナ漢字ｶﾅ。",
                               u"ひらがなカタカナ漢字ｶﾅ。"},
                      ConvCase{"JapaneseStaysUnderUpper", Upper, u"ひらがなカタカナ漢字ｶﾅ。",
                               u"ひらがなカタカナ漢字ｶﾅ。"},
                      ConvCase{"SurrogatePairsSurvive", Upper, u"a\U0001D400\U00010428b",
                               u"A\U0001D400\U00010428B"},
                      ConvCase{"LineBreaksStay", Lower, u"A\r\nB\rC\nD", u"a\r\nb\rc\nd"},
                      ConvCase{"Empty", Upper, u"", u""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Table, WidthConversion,
    ::testing::Values(
        // To half-width.
        ConvCase{"FullWidthAsciiToHalf", Half, u"＜Ｐ　ＣＬＡＳＳ＝＂ｘ＂＞！～",
                 u"<P CLASS=\"x\">!~"},
        ConvCase{"FullWidthBackslashToHalf", Half, u"Ｃ：＼ｗｗｗ", u"C:\\www"},
        ConvCase{"IdeographicSpaceToHalf", Half, u"ａ\u3000ｂ\tｃ", u"a b\tc"},
        ConvCase{"KatakanaToHalf", Half, u"カタカナ ヲン", u"ｶﾀｶﾅ ｦﾝ"},
        ConvCase{"SmallKatakanaToHalf", Half, u"ァィゥェォャュョッ", u"ｧｨｩｪｫｬｭｮｯ"},
        ConvCase{"VoicedKatakanaSplit", Half, u"ガギグゲゴザジズゼゾダヂヅデドバビブベボ",
                 u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"},
        ConvCase{"SemiVoicedKatakanaSplit", Half, u"パピプペポ", u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        ConvCase{"VuAndVoicedWaWoSplit", Half, u"ヴヷヺ", u"ｳﾞﾜﾞｦﾞ"},
        ConvCase{"KatakanaWithoutHalfFormStay", Half, u"ヮヰヱヵヶヸヹヽヾ", u"ヮヰヱヵヶヸヹヽヾ"},
        ConvCase{"JapanesePunctuationToHalf", Half, u"。「」、・ー", u"｡｢｣､･ｰ"},
        ConvCase{"SpacingMarksToHalf", Half, u"゛゜", u"ﾞﾟ"},
        ConvCase{"CombiningMarksStay", Half, u"カ\u3099ハ\u309A", u"ｶ\u3099ﾊ\u309A"},
        ConvCase{"TypographicQuotesStay", Half, u"‘’“”", u"‘’“”"},
        ConvCase{"FullWidthSignsWithoutPairStay", Half, u"￥￣￠￡￢￤", u"￥￣￠￡￢￤"},
        ConvCase{"WaveDashAndWhiteParenthesesStay", Half, u"\u301C\uFF5F\uFF60",
                 u"\u301C\uFF5F\uFF60"},
        ConvCase{"HiraganaAndKanjiStay", Half, u"ひらがな漢字", u"ひらがな漢字"},
        ConvCase{"LineBreaksStayUnderHalf", Half, u"ア\r\nイ\rウ\nエ", u"ｱ\r\nｲ\rｳ\nｴ"},
        // To full-width.
        ConvCase{"TagToFullWidth", Full, u"<a>", u"＜ａ＞"},
        ConvCase{"AsciiToFullWidth", Full, u"!\"#\\~ 09AZaz", u"！＂＃＼～\u3000０９ＡＺａｚ"},
        ConvCase{"TabAndControlsStay", Full, u"\t\u0001\u007F", u"\t\u0001\u007F"},
        ConvCase{"Latin1SignsStay", Full, u"¥¢£¬¯¦", u"¥¢£¬¯¦"},
        ConvCase{"HalfKanaToFullWidth", Full, u"ｶﾀｶﾅ", u"カタカナ"},
        ConvCase{"HalfPunctuationToFullWidth", Full, u"｡｢｣､･ｰ", u"。「」、・ー"},
        ConvCase{"VoicedHalfKanaMerge", Full, u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ",
                 u"ガギグゲゴザジズゼゾダヂヅデドバビブベボ"},
        ConvCase{"SemiVoicedHalfKanaMerge", Full, u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", u"パピプペポ"},
        ConvCase{"HalfVuMerges", Full, u"ｳﾞ", u"ヴ"},
        ConvCase{"HalfWaWoDoNotMerge", Full, u"ﾜﾞｦﾞ", u"ワ\u309Bヲ\u309B"},
        ConvCase{"UnvoiceableKanaDoNotMerge", Full, u"ｱﾞｶﾟﾏﾟ", u"ア\u309Bカ\u309Cマ\u309C"},
        ConvCase{"LoneMarksToSpacingMarks", Full, u"ﾞﾟ", u"\u309B\u309C"},
        ConvCase{"FullWidthBaseDoesNotMerge", Full, u"カﾞハﾟ", u"カ\u309Bハ\u309C"},
        ConvCase{"SecondMarkStaysSeparate", Full, u"ｶﾞﾞ", u"ガ\u309B"},
        ConvCase{"MarkBeforeKanaDoesNotMerge", Full, u"ﾞｶ", u"\u309Bカ"},
        ConvCase{"LineBreakBetweenKanaAndMark", Full, u"ｶ\r\nﾞ", u"カ\r\n\u309B"},
        ConvCase{"FullWidthStays", Full, u"ａ漢字かな\u3000", u"ａ漢字かな\u3000"},
        // Half-width katakana only, one character at a time.
        ConvCase{"EveryHalfKanaToFull", HalfKana,
                 u"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ",
                 u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
                 u"ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン\u309B\u309C"},
        ConvCase{"HalfKanaNeverMerge", HalfKana, u"ｶﾞﾊﾟｳﾞ", u"カ\u309Bハ\u309Cウ\u309B"},
        ConvCase{"AsciiStaysUnderHalfKana", HalfKana, u"<a href=\"x\"> b", u"<a href=\"x\"> b"},
        ConvCase{"FullWidthStaysUnderHalfKana", HalfKana, u"ＡＢ\u3000カナ", u"ＡＢ\u3000カナ"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Table, KanaConversion,
    ::testing::Values(
        ConvCase{"KatakanaToHiragana", ToHira, u"カタカナ", u"かたかな"},
        ConvCase{"RangeEndsToHiragana", ToHira, u"ァン", u"ぁん"},
        ConvCase{"VoicedToHiragana", ToHira, u"ガパヂヅ", u"がぱぢづ"},
        ConvCase{"IterationMarksToHiragana", ToHira, u"ヽヾ", u"ゝゞ"},
        ConvCase{"ProlongedMarkStays", ToHira, u"コーヒー・ケーキ", u"こーひー・けーき"},
        ConvCase{"VuAndSmallKaKeStay", ToHira, u"ヴヵヶ", u"ヴヵヶ"},
        ConvCase{"VoicedWaToVoStay", ToHira, u"ヷヸヹヺ", u"ヷヸヹヺ"},
        ConvCase{"MarksStayUnderHiragana", ToHira, u"゛゜", u"゛゜"},
        ConvCase{"HalfKatakanaStays", ToHira, u"ｶﾀｶﾅ", u"ｶﾀｶﾅ"},
        ConvCase{"OthersStayUnderHiragana", ToHira, u"漢字ひらがなＡa", u"漢字ひらがなＡa"},
        ConvCase{"HiraganaToKatakana", ToKata, u"ひらがな", u"ヒラガナ"},
        ConvCase{"RangeEndsToKatakana", ToKata, u"ぁん", u"ァン"},
        ConvCase{"IterationMarksToKatakana", ToKata, u"ゝゞ", u"ヽヾ"},
        ConvCase{"VuAndSmallKaKeToKatakana", ToKata, u"ゔゕゖ", u"ヴヵヶ"},
        ConvCase{"YoriDigraphStays", ToKata, u"ゟ", u"ゟ"},
        ConvCase{"MarksStayUnderKatakana", ToKata, u"ー゛゜", u"ー゛゜"},
        ConvCase{"OthersStayUnderKatakana", ToKata, u"漢字カタカナｶﾅa", u"漢字カタカナｶﾅa"},
        ConvCase{"LineBreaksStayUnderKana", ToKata, u"あ\r\nい", u"ア\r\nイ"}),
    caseName);

} // namespace
} // namespace scrivlet::html::test
