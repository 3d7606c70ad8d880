// Letter case, character width and kana type on the characters each of them singles out.

#include "tests/html/ConvTestHelpers.h"

namespace scrivlet::html::test {
namespace {

constexpr auto Lower = ConvType::LowerCase;
constexpr auto Upper = ConvType::UpperCase;
constexpr auto Half = ConvType::HalfWidth;
constexpr auto Full = ConvType::FullWidth;
constexpr auto HalfKana = ConvType::HalfKanaToFull;
constexpr auto ToHira = ConvType::KatakanaToHiragana;
constexpr auto ToKata = ConvType::HiraganaToKatakana;

// Mappings that are one-way or change the length leave their characters alone.
INSTANTIATE_TEST_SUITE_P(
    Case, ConvTable,
    ::testing::Values(ConvCase{"AsciiToLower", Lower, u"<P CLASS=\"Note\">Hi 1</P>",
                               u"<p class=\"note\">hi 1</p>"},
                      ConvCase{"AsciiToUpper", Upper, u"<p class=\"note\">hi 1</p>",
                               u"<P CLASS=\"NOTE\">HI 1</P>"},
                      ConvCase{"OtherScriptsToLower", Lower, u"ÀÞŁŒΣДЁ", u"àþłœσдё"},
                      ConvCase{"OtherScriptsToUpper", Upper, u"àþłœσдёÿ", u"ÀÞŁŒΣДЁŸ"},
                      ConvCase{"WideRomanCircledToLower", Lower, u"ＡＺⅠⅯⒶⓏ", u"ａｚⅰⅿⓐⓩ"},
                      ConvCase{"WideRomanCircledToUpper", Upper, u"ａｚⅰⅿⓐⓩ", u"ＡＺⅠⅯⒶⓏ"},
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
                      ConvCase{"JapaneseStays", Upper, u"ひらカタ漢ｶﾅ。", u"ひらカタ漢ｶﾅ。"},
                      ConvCase{"SurrogatePairsStay", Upper, u"a\U0001D400\U00010428b",
                               u"A\U0001D400\U00010428B"}),
    caseName);

// Only characters with a partner of the other width change, so that either conversion undoes
// the other; a half-width kana and its mark become one kana where Shift-JIS has it.
INSTANTIATE_TEST_SUITE_P(
    Width, ConvTable,
    ::testing::Values(
        ConvCase{"WideAsciiToHalf", Half, u"＜Ｐ　Ｃ＝＂ｘ＂＞！～＼\t", u"<P C=\"x\">!~\\\t"},
        ConvCase{"KatakanaToHalf", Half, u"カタカナ ヲンァッ", u"ｶﾀｶﾅ ｦﾝｧｯ"},
        ConvCase{"VoicedKatakanaSplit", Half, u"ガギグゲゴザジズゼゾダヂヅデドバビブベボ",
                 u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ"},
        ConvCase{"SemiVoicedKatakanaSplit", Half, u"パピプペポ", u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        ConvCase{"VuAndVoicedWaWoSplit", Half, u"ヴヷヺ", u"ｳﾞﾜﾞｦﾞ"},
        ConvCase{"KatakanaWithoutHalfFormStay", Half, u"ヮヰヱヵヶヸヹヽヾ", u"ヮヰヱヵヶヸヹヽヾ"},
        ConvCase{"PunctuationAndMarksToHalf", Half, u"。「」、・ー゛゜", u"｡｢｣､･ｰﾞﾟ"},
        ConvCase{"CombiningMarksStay", Half, u"カ\u3099ハ\u309A", u"ｶ\u3099ﾊ\u309A"},
        ConvCase{"QuotesAndUnpairedSignsStay", Half, u"‘’“”￥￣￠￡￢￤\u301C\uFF5F\uFF60",
                 u"‘’“”￥￣￠￡￢￤\u301C\uFF5F\uFF60"},
        ConvCase{"HiraganaAndKanjiStay", Half, u"ひらがな漢字", u"ひらがな漢字"},
        ConvCase{"AsciiToFull", Full, u"<a> !\"#\\~09AZaz", u"＜ａ＞\u3000！＂＃＼～０９ＡＺａｚ"},
        ConvCase{"ControlsStay", Full, u"\t\u0001\u007F", u"\t\u0001\u007F"},
        ConvCase{"Latin1SignsStay", Full, u"¥¢£¬¯¦", u"¥¢£¬¯¦"},
        ConvCase{"HalfKanaToFull", Full, u"ｶﾀｶﾅ｡｢｣､･ｰ", u"カタカナ。「」、・ー"},
        ConvCase{"VoicedHalfKanaMerge", Full, u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ",
                 u"ガギグゲゴザジズゼゾダヂヅデドバビブベボ"},
        ConvCase{"SemiVoicedAndVuMerge", Full, u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ", u"パピプペポヴ"},
        ConvCase{"WaWoDoNotMerge", Full, u"ﾜﾞｦﾞ", u"ワ゛ヲ゛"},
        ConvCase{"UnvoiceableKanaDoNotMerge", Full, u"ｱﾞｶﾟﾏﾟ", u"ア゛カ゜マ゜"},
        ConvCase{"LoneMarksToSpacingMarks", Full, u"ﾞﾟ", u"゛゜"},
        ConvCase{"FullWidthBaseDoesNotMerge", Full, u"カﾞハﾟ", u"カ゛ハ゜"},
        ConvCase{"SecondMarkStaysSeparate", Full, u"ｶﾞﾞ", u"ガ゛"},
        ConvCase{"MarkBeforeKanaDoesNotMerge", Full, u"ﾞｶ", u"゛カ"},
        ConvCase{"LineBreakBetweenKanaAndMark", Full, u"ｶ\r\nﾞ", u"カ\r\n゛"},
        ConvCase{"FullWidthStays", Full, u"ａ漢字かな\u3000", u"ａ漢字かな\u3000"},
        ConvCase{"EveryHalfKanaToFull", HalfKana,
                 u"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ",
                 u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
                 u"ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜"},
        ConvCase{"HalfKanaNeverMerge", HalfKana, u"ｶﾞﾊﾟｳﾞ", u"カ゛ハ゜ウ゛"},
        ConvCase{"OthersStayUnderHalfKana", HalfKana, u"<a> bＡ\u3000カ", u"<a> bＡ\u3000カ"}),
    caseName);

// ヴ, ヵ and ヶ stay katakana: their hiragana cannot be saved in Shift-JIS.
INSTANTIATE_TEST_SUITE_P(
    Kana, ConvTable,
    ::testing::Values(
        ConvCase{"KatakanaToHiragana", ToHira, u"カタァンガパヂヅヽヾ", u"かたぁんがぱぢづゝゞ"},
        ConvCase{"MarksStayUnderHiragana", ToHira, u"コーヒー・ケ゛゜", u"こーひー・け゛゜"},
        ConvCase{"VuAndSmallKaKeStay", ToHira, u"ヴヵヶ", u"ヴヵヶ"},
        ConvCase{"VoicedWaToVoStay", ToHira, u"ヷヸヹヺ", u"ヷヸヹヺ"},
        ConvCase{"OthersStayUnderHiragana", ToHira, u"ｶﾅ漢字ひらＡa", u"ｶﾅ漢字ひらＡa"},
        ConvCase{"HiraganaToKatakana", ToKata, u"ひらがなぁんゝゞ", u"ヒラガナァンヽヾ"},
        ConvCase{"VuAndSmallKaKeToKatakana", ToKata, u"ゔゕゖ", u"ヴヵヶ"},
        ConvCase{"MarksStayUnderKatakana", ToKata, u"ー・゛゜ゟ", u"ー・゛゜ゟ"},
        ConvCase{"OthersStayUnderKatakana", ToKata, u"漢字カナｶﾅa", u"漢字カナｶﾅa"}),
    caseName);

} // namespace
} // namespace scrivlet::html::test
