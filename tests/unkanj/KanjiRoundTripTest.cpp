// The character mapping: CP932 as Windows has it, the NEC and IBM rows in JIS and EUC, round
// trips of every character, and the ISO-2022-JP output rules on pages and random mixes.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace scrivlet::unkanj::test {
namespace {

std::string cp932ToUtf8(std::string_view cp932)
{
    return iconvConvert("CP932", "UTF-8", cp932).value();
}

// Every code glibc's CP932 decodes, as Shift-JIS bytes: the double-byte ones, then the half-width
// katakana.
std::vector<std::string> allCp932Codes()
{
    std::vector<std::string> codes;
    for (int lead = 0x81; lead <= 0xFC; lead = lead == 0x9F ? 0xE0 : lead + 1) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            if (iconvConvert("CP932", "UTF-8", std::string_view(code, 2)))
                codes.emplace_back(code, 2);
        }
    }
    for (int b = 0xA1; b <= 0xDF; ++b)
        codes.emplace_back(1, static_cast<char>(b));
    return codes;
}

TEST(Cp932Mapping, EveryCharacterFromUtf8AsGlibcWritesIt)
{
    std::string utf8;
    for (const std::string &code : allCp932Codes())
        utf8 += cp932ToUtf8(code);
    const std::string expected = iconvConvert("UTF-8", "CP932", utf8).value();
    const std::string actual = convertFrom(utf8, Utf8, ShiftJis);
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected);
}

TEST(NecIbmMapping, ShiftJisIntoEucAndJisAndBack)
{
    for (const auto &row : rows("nec-ibm-rows.txt", 4)) {
        const std::string &sjis = row[0], &euc = row[1], &jis = row[2];
        EXPECT_EQ(convertFrom(sjis, ShiftJis, Euc), euc) << row[3];
        EXPECT_EQ(convertFrom(sjis, ShiftJis, Jis), jis) << row[3];
        EXPECT_EQ(convertFrom(sjis, ShiftJis, ShiftJis), sjis) << row[3];
        if (euc.find('&') == std::string::npos) { // as the same character
            EXPECT_EQ(cp932ToUtf8(convertFrom(euc, Euc, ShiftJis)), cp932ToUtf8(sjis));
            EXPECT_EQ(cp932ToUtf8(convertFrom(jis, Jis, ShiftJis)), cp932ToUtf8(sjis));
        }
    }
}

TEST(KanjiRoundTrip, EveryCp932CharacterComesBackFromAPureForm)
{
    // Shift-JIS -> JIS, EUC or UTF-8 -> Shift-JIS gives the same characters (user-defined ones,
    // which JIS and EUC cannot hold, become references, so they are left out).
    std::string sjis;
    for (const std::string &code : allCp932Codes()) {
        if (static_cast<unsigned char>(code[0]) < 0xF0 ||
            static_cast<unsigned char>(code[0]) > 0xF9)
            sjis += code;
    }
    for (int b = 0x20; b <= 0x7E; ++b)
        sjis += static_cast<char>(b);
    const std::string expected = cp932ToUtf8(sjis);
    for (KanjiCode code : {Jis, Euc, Utf8}) {
        const std::string middle = convertFrom(sjis, ShiftJis, code);
        // UTF-8 holds each character as glibc's CP932 table gives it.
        EXPECT_TRUE(code != Utf8 || middle == expected);
        // Pure: nothing passes through in Shift-JIS, and JIS is seven bits.
        EXPECT_EQ(countErrors(middle, code), 0u) << codeName(code);
        EXPECT_TRUE(code != Jis || std::none_of(middle.begin(), middle.end(), [](char c) {
                        return static_cast<unsigned char>(c) >= 0x80;
                    }));
        const std::string back = cp932ToUtf8(convertFrom(middle, code, ShiftJis));
        ASSERT_EQ(back.size(), expected.size()) << codeName(code);
        EXPECT_TRUE(back == expected) << codeName(code);
    }
}

TEST(Output, SamplePagesAndRandomMixesKeepTheRules)
{
    // A plain page comes out in JIS as glibc writes it, and goes back; the page in UTF-8.
    const std::string sjis = iconvConvert("UTF-8", "CP932", sampleFile("plain.utf8.html")).value();
    const std::string jis = sampleFile("plain.jis.html");
    EXPECT_EQ(convertFrom(sjis, ShiftJis, Jis), jis);
    EXPECT_EQ(convertFrom(jis, Jis, ShiftJis), sjis);
    const std::string page = sampleFile("page.sjis.html");
    EXPECT_EQ(convertFrom(page, ShiftJis, Utf8), sampleFile("page.utf8.html"));
    for (LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf})
        EXPECT_EQ(jisBreach(convertFrom(page, ShiftJis, Jis, lineEnd)), "");
    // Kanji, kana, ASCII, controls, NUL, user-defined characters (references), NEC and IBM
    // codes in random order: never a stale or repeated escape.
    const std::string pieces[] = {"\x8A\xBF", "\xB1", "a",        "\t",
                                  "\r\n",     "\r",   "\n",       "\xF0\x40",
                                  "\xFA\x40", " ",    "\x87\x40", std::string(1, '\0')};
    std::mt19937 random(4);
    for (int round = 0; round < 300; ++round) {
        std::string mix;
        for (int i = 0; i < 40; ++i)
            mix += pieces[random() % std::size(pieces)];
        ASSERT_EQ(jisBreach(convertFrom(mix, ShiftJis, Jis)), "") << mix;
    }
}

} // namespace
} // namespace scrivlet::unkanj::test
