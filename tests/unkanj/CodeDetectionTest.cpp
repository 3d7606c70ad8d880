// Telling the source's code: real-looking pages, very short texts, ambiguous and faulty ones.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet::unkanj::test {
namespace {

using namespace std::string_literals;

KanjiCode detect(std::string_view text)
{
    return detectCode(text).code;
}

std::string utf8To(const char *code, std::string_view utf8)
{
    std::optional<std::string> out = iconvConvert("UTF-8", code, utf8);
    EXPECT_TRUE(out.has_value()) << code;
    return out.value_or("");
}

TEST(CodeDetection, SamplePages)
{
    EXPECT_EQ(detect(sampleFile("page.sjis.html")), KanjiCode::ShiftJis);
    EXPECT_EQ(detect(sampleFile("page.euc.html")), KanjiCode::Euc);
    EXPECT_EQ(detect(sampleFile("page.utf8.html")), KanjiCode::Utf8);
    EXPECT_EQ(detect(sampleFile("page.utf8bom.html")), KanjiCode::Utf8);
    EXPECT_EQ(detect(sampleFile("plain.jis.html")), KanjiCode::Jis);
    EXPECT_EQ(detectCode(sampleFile("page.sjis.html")).errors, 0u);
    EXPECT_EQ(detectCode(sampleFile("page.euc.html")).errors, 0u);
}

TEST(CodeDetection, EverySamplePageLoadsToTheSameShiftJis)
{
    // The load path: whatever the page's code, the Shift-JIS text is the same, byte for byte
    // (the byte-order mark dropped, the JIS X 0212 forms of EUC-JP-MS taken as CP932's).
    std::string expected = sampleFile("page.sjis.html");
    for (const char *name :
         {"page.sjis.html", "page.euc.html", "page.utf8.html", "page.utf8bom.html"}) {
        std::string text = sampleFile(name);
        EXPECT_EQ(convertFrom(text, detect(text), KanjiCode::ShiftJis), expected) << name;
    }
}

TEST(CodeDetection, PagesWrittenByGlibcInEachCode)
{
    std::string page = sampleFile("plain.utf8.html");
    EXPECT_EQ(detect(utf8To("CP932", page)), KanjiCode::ShiftJis);
    EXPECT_EQ(detect(utf8To("EUC-JP", page)), KanjiCode::Euc);
    EXPECT_EQ(detect(utf8To("ISO-2022-JP", page)), KanjiCode::Jis);
    EXPECT_EQ(detect(page), KanjiCode::Utf8);
}

TEST(CodeDetection, AsciiHasNoCodeToTell)
{
    EXPECT_EQ(detect(""), KanjiCode::Ascii);
    EXPECT_EQ(detect("<p>Hello</p>\r\n"), KanjiCode::Ascii);
    EXPECT_EQ(detect("a\x1B(Bb"), KanjiCode::Ascii); // an escape back to ASCII selects nothing
}

TEST(CodeDetection, VeryShortTexts)
{
    EXPECT_EQ(detect("\x82\xA0"), KanjiCode::ShiftJis); // あ
    EXPECT_EQ(detect("\xA4\xA2"), KanjiCode::Euc);      // あ
    EXPECT_EQ(detect("\xE3\x81\x82"), KanjiCode::Utf8); // あ
    EXPECT_EQ(detect("\x1B$B$\"\x1B(B"), KanjiCode::Jis);
    EXPECT_EQ(detect("\xB1"), KanjiCode::ShiftJis); // ｱ: a lone EUC lead would be faulty
    EXPECT_EQ(detect("\x8A\xBF\x8E\x9A"), KanjiCode::ShiftJis); // 漢字
    EXPECT_EQ(detect("\xB4\xC1\xBB\xFA"), KanjiCode::Euc);      // 漢字
    EXPECT_EQ(detect("\xE6\xBC\xA2"), KanjiCode::Utf8);         // 漢
}

TEST(CodeDetection, TiesGoToUtf8ThenEucThenShiftJis)
{
    // é in UTF-8 is also two half-width katakana in Shift-JIS and a kanji in EUC.
    ASSERT_EQ(countErrors("\xC3\xA9", KanjiCode::ShiftJis), 0u);
    ASSERT_EQ(countErrors("\xC3\xA9", KanjiCode::Euc), 0u);
    EXPECT_EQ(detect("\xC3\xA9"), KanjiCode::Utf8);
    // Two half-width katakana in Shift-JIS are a valid EUC kanji: the rule says EUC.
    ASSERT_EQ(countErrors("\xB1\xB2", KanjiCode::ShiftJis), 0u);
    EXPECT_EQ(detect("\xB1\xB2"), KanjiCode::Euc);
    // With a hiragana beside them, Shift-JIS is the only clean reading.
    EXPECT_EQ(detect("\xB1\xB2\x82\xA0"), KanjiCode::ShiftJis);
}

TEST(CodeDetection, UnassignedCodesCountAgainstAReading)
{
    // EUC text read as Shift-JIS is mostly well-formed, but lands on unassigned codes.
    std::string euc = sampleFile("page.euc.html");
    EXPECT_GT(countErrors(euc, KanjiCode::ShiftJis), 0u);
    EXPECT_EQ(countErrors("\xA9\xA1", KanjiCode::Euc), 1u); // row 9
    EXPECT_EQ(countErrors("\x85\x40", KanjiCode::ShiftJis), 1u);
    EXPECT_EQ(countErrors("\xF0\x40", KanjiCode::ShiftJis), 0u); // user-defined is assigned
}

TEST(CodeDetection, FewestErrorsWinWithFaultyBytes)
{
    std::string sjis = sampleFile("page.sjis.html");
    std::string euc = sampleFile("page.euc.html");
    std::string utf8 = sampleFile("page.utf8.html");
    std::string jis = sampleFile("plain.jis.html");
    EXPECT_EQ(detect(sjis.substr(0, 400) + "\xFF" + sjis.substr(400)), KanjiCode::ShiftJis);
    EXPECT_EQ(detect(euc + "\x80\xA4"), KanjiCode::Euc);
    EXPECT_EQ(detect(utf8.substr(0, utf8.size() - 20) + "\xE3\x81"), KanjiCode::Utf8);
    EXPECT_EQ(detect(jis + "\xA4"), KanjiCode::Jis);
    // A seven-bit JIS text with a broken character still reads as JIS, not as ASCII.
    EXPECT_EQ(detect("\x1B$B4A;\x1B(B\n"), KanjiCode::Jis);
}

TEST(CodeDetection, ByteOrderMarkDecidesAndIsDropped)
{
    std::string text = "\xEF\xBB\xBF"
                       "abc";
    EXPECT_EQ(detect(text), KanjiCode::Utf8);
    EXPECT_EQ(convertFrom(text, KanjiCode::Utf8, KanjiCode::ShiftJis), "abc");
    // Only at the start: elsewhere it is a character Shift-JIS lacks.
    EXPECT_EQ(convertFrom("a\xEF\xBB\xBF", KanjiCode::Utf8, KanjiCode::ShiftJis), "a&#xFEFF;");
}

TEST(CodeDetection, LongTextDecidedOnTheWholeNotItsStart)
{
    // The first 64 KiB only order the candidates: a long ASCII start followed by Shift-JIS.
    std::string text(300 * 1024, 'a');
    text += "\x82\xA0\x82\xA2";
    EXPECT_EQ(detect(text), KanjiCode::ShiftJis);
    // A long EUC text with Shift-JIS-looking start is still EUC by the errors of the whole.
    std::string euc = sampleFile("page.euc.html");
    std::string longEuc = "\xB1\xB2";
    while (longEuc.size() < 400 * 1024)
        longEuc += euc;
    EXPECT_EQ(detect(longEuc), KanjiCode::Euc);
}

TEST(CodeDetection, ConvertingWhileDetectingAgreesWithDetectingFirst)
{
    // The leader on the first 64 KiB is converted while it is counted; here it loses on the
    // whole text (Shift-JIS hiragana first, then EUC kanji that Shift-JIS lacks), and the text
    // must be converted again in the winning code.
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "\x82\xA0";
    for (int i = 0; i < 100000; ++i)
        text += "\xEB\xA1";
    std::vector<std::string> texts = {text,
                                      sampleFile("page.sjis.html"),
                                      sampleFile("page.euc.html"),
                                      sampleFile("page.utf8bom.html"),
                                      sampleFile("plain.jis.html"),
                                      "",
                                      "ascii only\n"};
    for (const std::string &t : texts) {
        Detection expected = detectCode(t);
        Detection detected;
        std::string out = convertDetected(t, {KanjiCode::Euc, LineEnd::CrLf}, detected);
        EXPECT_EQ(detected.code, expected.code);
        EXPECT_EQ(detected.errors, expected.errors);
        EXPECT_EQ(out, convertFrom(t, expected.code, KanjiCode::Euc, LineEnd::CrLf));
    }
    EXPECT_EQ(detectCode(text).code, KanjiCode::Euc);
    EXPECT_EQ(detectCode(text.substr(0, 64 * 1024)).code, KanjiCode::ShiftJis);
}

} // namespace
} // namespace scrivlet::unkanj::test
