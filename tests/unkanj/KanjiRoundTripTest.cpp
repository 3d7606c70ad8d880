// The character mapping: CP932 as Windows has it, the NEC and IBM rows in JIS and EUC, round
// trips of every character, half-width katakana, and references for what a code cannot hold.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace scrivlet::unkanj::test {
namespace {

std::string cp932ToUtf8(std::string_view cp932)
{
    return iconvConvert("CP932", "UTF-8", cp932).value();
}

// Every double-byte code glibc's CP932 decodes, as Shift-JIS bytes.
std::vector<std::string> allCp932DoubleByteCodes()
{
    std::vector<std::string> codes;
    for (int lead = 0x81; lead <= 0xFC; lead = lead == 0x9F ? 0xE0 : lead + 1) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            if (iconvConvert("CP932", "UTF-8", std::string_view(code, 2)))
                codes.emplace_back(code, 2);
        }
    }
    return codes;
}

TEST(Cp932Mapping, FromUtf8TheCodesWindowsWrites)
{
    for (const auto &row : vectors("Cp932", 2))
        EXPECT_EQ(convertFrom(row[0], Utf8, ShiftJis), row[1]) << row[0];
    EXPECT_EQ(convertFrom("\U0001F600", Utf8, ShiftJis, LineEnd::Lf, ReferenceStyle::Css),
              "\\1F600 ");
}

TEST(Cp932Mapping, EveryCharacterFromUtf8AsGlibcWritesIt)
{
    std::string utf8;
    for (const std::string &code : allCp932DoubleByteCodes())
        utf8 += cp932ToUtf8(code);
    for (int b = 0xA1; b <= 0xDF; ++b)
        utf8 += cp932ToUtf8(std::string(1, static_cast<char>(b)));
    const std::string expected = iconvConvert("UTF-8", "CP932", utf8).value();
    const std::string actual = convertFrom(utf8, Utf8, ShiftJis);
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected);
}

TEST(NecIbmMapping, ShiftJisIntoEucAndJis)
{
    for (const auto &row : vectors("NecIbm", 4)) {
        const struct
        {
            const std::string &sjis, &euc, &jis, &why;
        } c{row[0], row[1], row[2], row[3]};
        EXPECT_EQ(convertFrom(c.sjis, ShiftJis, Euc), c.euc) << c.why;
        EXPECT_EQ(convertFrom(c.sjis, ShiftJis, Jis), c.jis) << c.why;
        EXPECT_EQ(convertFrom(c.sjis, ShiftJis, ShiftJis), c.sjis) << c.why;
        // And back, as the same character.
        if (c.euc.find('&') == std::string_view::npos) {
            EXPECT_EQ(cp932ToUtf8(convertFrom(c.euc, Euc, ShiftJis)), cp932ToUtf8(c.sjis));
            EXPECT_EQ(cp932ToUtf8(convertFrom(c.jis, Jis, ShiftJis)), cp932ToUtf8(c.sjis));
        }
    }
}

class KanjiRoundTrip : public testing::TestWithParam<KanjiCode>
{};

TEST_P(KanjiRoundTrip, EveryCp932CharacterComesBackFromAPureForm)
{
    // Shift-JIS -> JIS or EUC -> Shift-JIS gives the same characters (user-defined ones, which
    // JIS and EUC cannot hold, become references: see the table above).
    std::string sjis;
    for (const std::string &code : allCp932DoubleByteCodes()) {
        if (static_cast<unsigned char>(code[0]) < 0xF0 ||
            static_cast<unsigned char>(code[0]) > 0xF9)
            sjis += code;
    }
    for (int b = 0x20; b <= 0xDF; ++b) {
        if (b <= 0x7E || b >= 0xA1)
            sjis += static_cast<char>(b);
    }
    const std::string middle = convertFrom(sjis, ShiftJis, GetParam());
    // UTF-8 holds each character as glibc's CP932 table gives it.
    if (GetParam() == Utf8) {
        EXPECT_TRUE(middle == cp932ToUtf8(sjis));
    }
    // Pure: nothing passes through in Shift-JIS, and JIS is seven bits.
    EXPECT_EQ(countErrors(middle, GetParam()), 0u);
    const auto eightBit = [](char c) {
        return static_cast<unsigned char>(c) >= 0x80;
    };
    EXPECT_FALSE(GetParam() == Jis && std::any_of(middle.begin(), middle.end(), eightBit));
    const std::string back = cp932ToUtf8(convertFrom(middle, GetParam(), ShiftJis));
    const std::string expected = cp932ToUtf8(sjis);
    ASSERT_EQ(back.size(), expected.size());
    EXPECT_TRUE(back == expected);
}

INSTANTIATE_TEST_SUITE_P(ThroughEveryOutputCode, KanjiRoundTrip, testing::Values(Jis, Euc, Utf8),
                         [](const auto &info) {
                             return info.param == Jis ? "Jis" : info.param == Euc ? "Euc" : "Utf8";
                         });

TEST(Utf8Output, EveryCharacterAsItselfWithoutAMark)
{
    // From UTF-8 every plane passes as it is: ASCII, kanji, half-width katakana, an emoji, a
    // combining mark, U+2028, the wave dash and yen sign that CP932 lacks, private use.
    const std::string planes = "a<p>\xE6\xBC\xA2\xEF\xBD\xB1 \xF0\x9F\x98\x80 e\xCC\x81 "
                               "\xE2\x80\xA8 \xE3\x80\x9C\xC2\xA5\xEE\x80\x80";
    EXPECT_EQ(convertFrom(planes, Utf8, Utf8), planes);
    EXPECT_EQ(convertFrom("\xEF\xBB\xBF" + planes + "\r\n", Utf8, Utf8, LineEnd::CrLf),
              planes + "\r\n");
    // The other codes give their CP932 characters; a fault is 〓, as in EUC and JIS.
    EXPECT_EQ(convertFrom(sampleFile("page.sjis.html"), ShiftJis, Utf8),
              sampleFile("page.utf8.html"));
    EXPECT_EQ(convertFrom("\xF0\x40\x82\xA0\xB1\xFF", ShiftJis, Utf8),
              "\xEE\x80\x80\xE3\x81\x82\xEF\xBD\xB1\xE3\x80\x93");
    EXPECT_EQ(convertFrom("\xA4<\xE3\x81", Utf8, Utf8), "\xE3\x80\x93<\xE3\x80\x93");
    EXPECT_EQ(convertFrom("\x1B$B$\"\x1B(B\xA4", Jis, Utf8), "\xE3\x81\x82\xE3\x80\x93");
}

} // namespace
} // namespace scrivlet::unkanj::test
