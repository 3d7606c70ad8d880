// Telling the source's code: real-looking pages, very short texts, ambiguous and faulty ones.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet::unkanj::test {
namespace {

TEST(CodeDetection, PagesInEveryCodeAreToldAndLoadToTheSameShiftJis)
{
    // The load path: whatever the page's code, the Shift-JIS text is the same, byte for byte
    // (the byte-order mark dropped, the JIS X 0212 forms of EUC-JP-MS taken as CP932's).
    const std::string sjis = sampleFile("page.sjis.html");
    const std::pair<const char *, KanjiCode> pages[] = {{"page.sjis.html", ShiftJis},
                                                        {"page.euc.html", Euc},
                                                        {"page.utf8.html", Utf8},
                                                        {"page.utf8bom.html", Utf8}};
    for (const auto &[name, code] : pages) {
        const std::string text = sampleFile(name);
        const Detection detected = detectCode(text);
        EXPECT_EQ(detected.code, code) << name;
        EXPECT_EQ(detected.errors, 0u) << name;
        EXPECT_EQ(convertFrom(text, code, ShiftJis), sjis) << name;
    }
    EXPECT_EQ(detectCode(sampleFile("plain.jis.html")).code, Jis);
}

TEST(CodeDetection, ShortAndAmbiguousTexts)
{
    // The readings that make these ambiguous are clean indeed.
    ASSERT_EQ(countErrors("\xC3\xA9", ShiftJis) + countErrors("\xC3\xA9", Euc), 0u);
    ASSERT_EQ(countErrors("\xB1\xB2", ShiftJis), 0u);
    for (const auto &row : rows("detection.txt", 3))
        EXPECT_EQ(codeName(detectCode(row[1]).code), row[0]) << row[2];
    // UTF-8 in its JIS forms has no fault.
    EXPECT_EQ(countErrors(
                  "\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92\xC2\xA2\xC2\xA3\xC2\xAC\xE2\x80\x94", Utf8),
              0u);
}

TEST(CodeDetection, FaultsAndUnassignedCodesCountAgainstAReading)
{
    const std::string sjis = sampleFile("page.sjis.html");
    const std::string euc = sampleFile("page.euc.html");
    const std::string utf8 = sampleFile("page.utf8.html");
    // EUC text read as Shift-JIS is mostly well-formed, but lands on unassigned codes.
    EXPECT_GT(countErrors(euc, ShiftJis), 0u);
    EXPECT_EQ(countErrors("\xA9\xA1", Euc), 1u); // row 9
    EXPECT_EQ(countErrors("\x85\x40", ShiftJis), 1u);
    EXPECT_EQ(countErrors("\xF0\x40", ShiftJis), 0u); // user-defined is assigned
    // The fewest errors win, faults or not.
    EXPECT_EQ(detectCode(sjis.substr(0, 400) + "\xFF" + sjis.substr(400)).code, ShiftJis);
    EXPECT_EQ(detectCode(euc + "\x80\xA4").code, Euc);
    EXPECT_EQ(detectCode(utf8.substr(0, utf8.size() - 20) + "\xE3\x81").code, Utf8);
    EXPECT_EQ(detectCode(sampleFile("plain.jis.html") + "\xA4").code, Jis);
}

TEST(CodeDetection, TheWholeTextDecidesAndConvertingWhileDetectingAgrees)
{
    // The first 64 KiB only order the candidates. Here Shift-JIS hiragana lead there, and EUC
    // kanji that Shift-JIS lacks follow: the leader, converted while counted, loses, and the
    // text must be converted again in the winning code.
    std::string turning;
    for (int i = 0; i < 40000; ++i)
        turning += "\x82\xA0";
    for (int i = 0; i < 100000; ++i)
        turning += "\xEB\xA1";
    ASSERT_EQ(detectCode(turning.substr(0, 64 * 1024)).code, ShiftJis);
    EXPECT_EQ(detectCode(turning).code, Euc);
    EXPECT_EQ(detectCode(std::string(300 * 1024, 'a') + "\x82\xA0\x82\xA2").code, ShiftJis);
    for (const std::string &text :
         {turning, sampleFile("page.euc.html"), sampleFile("plain.jis.html"),
          sampleFile("page.utf8bom.html"), std::string()}) {
        const Detection expected = detectCode(text);
        Detection detected;
        const std::string out = convertDetected(text, {Euc, LineEnd::CrLf}, detected);
        EXPECT_EQ(detected.code, expected.code);
        EXPECT_EQ(detected.errors, expected.errors);
        EXPECT_EQ(out, convertFrom(text, expected.code, Euc, LineEnd::CrLf));
    }
}

} // namespace
} // namespace scrivlet::unkanj::test
