// Converting texts: the vectors of every code and mapping, faulty and binary input, which never
// stop a conversion, line ends, round trips of every CP932 character, the ISO-2022-JP output rules,
// and telling the source's code.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::unkanj::test {
namespace {

constexpr KanjiCode kOutputs[] = {ShiftJis, Euc, Jis};
constexpr LineEnd kLineEnds[] = {LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf};

TEST(Conversion, EveryVector)
{
    for (const auto &row : rows("vectors.txt", 6))
        EXPECT_EQ(convertFrom(row[3], codeNamed(row[0]), codeNamed(row[1]), lineEndNamed(row[2])),
                  row[4])
            << row.group << ": " << row[0] << " into " << row[1] << ": " << row[5] << " " << row[3];
    EXPECT_EQ(convertFrom("\U0001F600", Utf8, ShiftJis, LineEnd::Lf, ReferenceStyle::Css),
              "\\1F600 ");
    // An unknown escape inside the kanji set: its ESC is a fault and the set goes on.
    const std::string out = convertFrom("\x1B$B0!\x1B(Z0!\x1B(B", Jis, ShiftJis);
    EXPECT_EQ(out.substr(0, 4), "\x88\x9F\x81\xAC");
    EXPECT_EQ(out.substr(out.size() - 2), "\x88\x9F");
    // Each kind of line end counts once and becomes the one asked for, in every output code.
    for (KanjiCode to : kOutputs)
        for (const auto &row : rows("line-ends.txt", 4))
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(convertFrom(row[0], Ascii, to, kLineEnds[i]), row[1 + i]) << row[0];
}

// Whether bytes are well-formed EUC-JP: ASCII, two bytes 0xA1-0xFE, 0x8E and a half-width
// katakana, or 0x8F and two bytes 0xA1-0xFE.
bool isValidEuc(std::string_view text)
{
    const auto in = [&](std::size_t i, unsigned char low, unsigned char high) {
        return i < text.size() && static_cast<unsigned char>(text[i]) >= low &&
               static_cast<unsigned char>(text[i]) <= high;
    };
    for (std::size_t i = 0; i < text.size();) {
        const bool kanji = in(i, 0xA1, 0xFE) && in(i + 1, 0xA1, 0xFE);
        const bool kana = in(i, 0x8E, 0x8E) && in(i + 1, 0xA1, 0xDF);
        const bool x0212 = in(i, 0x8F, 0x8F) && in(i + 1, 0xA1, 0xFE) && in(i + 2, 0xA1, 0xFE);
        if (!in(i, 0, 0x7F) && !kanji && !kana && !x0212)
            return false;
        i += in(i, 0, 0x7F) ? 1 : x0212 ? 3 : 2;
    }
    return true;
}

TEST(Reading, BinaryInputNeitherCrashesNorHangs)
{
    std::mt19937 random(7);
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::vector<std::string> inputs = {all, std::string(100000, '\0'), std::string(5000, '\x1B'),
                                       "\x1B", "\x8F\x8F\x8F"};
    for (int n : {1, 2, 3, 17, 4096, 200000}) {
        inputs.emplace_back(n, '\0');
        for (char &c : inputs.back())
            c = static_cast<char>(random());
    }
    // Without a byte above 0x7F or an escape that selects a set, it is ASCII; three bytes 0x8F
    // are one Shift-JIS kanji (緒) and a cut-off lead byte, while EUC and UTF-8 see three faults.
    const KanjiCode told[] = {Ascii, Ascii, Ascii, ShiftJis};
    for (std::size_t i = 0; i < std::size(told); ++i)
        EXPECT_EQ(detectCode(inputs[i + 1]).code, told[i]) << i;
    EXPECT_EQ(detectCode(inputs[4]).errors, 1u);
    // A reference is at most ten bytes for a four-byte character; a line end two for one; a JIS
    // escape three for a character: growth is bounded. EUC and JIS output stays valid.
    for (const std::string &input : inputs) {
        for (KanjiCode from : {ShiftJis, Euc, Jis, Utf8}) {
            for (KanjiCode to : kOutputs) {
                const std::string out = convertFrom(input, from, to, LineEnd::CrLf);
                EXPECT_LE(out.size(), 8 * input.size() + 3);
                EXPECT_TRUE(to == Euc ? isValidEuc(out) : to != Jis || jisBreach(out).empty())
                    << codeName(from) << " into " << codeName(to);
            }
        }
    }
}

std::string cp932ToUtf8(std::string_view cp932)
{
    return iconvConvert("CP932", "UTF-8", cp932).value();
}

TEST(KanjiRoundTrip, EveryCp932CharacterComesBackFromAPureForm)
{
    // Shift-JIS -> JIS, EUC or UTF-8 -> Shift-JIS gives the same characters; user-defined ones,
    // most of which JIS and EUC cannot hold, become references there, so they go through UTF-8
    // only.
    // Every code glibc's CP932 decodes: the double-byte ones, half-width katakana, ASCII.
    std::string all, pure;
    for (int lead = 0x81; lead <= 0xFC; lead = lead == 0x9F ? 0xE0 : lead + 1) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const bool known =
                iconvConvert("CP932", "UTF-8", std::string_view(code, 2)).has_value();
            all.append(code, known ? 2 : 0);
            pure.append(code, known && (lead < 0xF0 || lead > 0xF9) ? 2 : 0);
        }
    }
    for (int b = 0x20; b <= 0xDF; b = b == 0x7E ? 0xA1 : b + 1) {
        all += static_cast<char>(b);
        pure += static_cast<char>(b);
    }
    for (KanjiCode code : {Jis, Euc, Utf8}) {
        const std::string &sjis = code == Utf8 ? all : pure;
        const std::string middle = convertFrom(sjis, ShiftJis, code);
        // Pure: nothing passes through in Shift-JIS, and JIS keeps its rules.
        EXPECT_EQ(countErrors(middle, code), 0u) << codeName(code);
        EXPECT_EQ(code == Jis ? jisBreach(middle) : "", "");
        const std::string back = convertFrom(middle, code, ShiftJis);
        ASSERT_EQ(cp932ToUtf8(back).size(), cp932ToUtf8(sjis).size()) << codeName(code);
        EXPECT_TRUE(cp932ToUtf8(back) == cp932ToUtf8(sjis)) << codeName(code);
        // UTF-8 holds each character as glibc's CP932 table gives it, and goes back to the code
        // glibc writes for it.
        EXPECT_TRUE(code != Utf8 || (middle == cp932ToUtf8(all) &&
                                     back == iconvConvert("UTF-8", "CP932", middle).value()));
    }
}

TEST(CodeDetection, ShortAmbiguousAndFaultyTexts)
{
    for (const auto &row : rows("error-counts.txt", 4))
        EXPECT_EQ(countErrors(row[1], codeNamed(row[0])), std::stoul(row[2])) << row[3];
    for (const auto &row : rows("detection.txt", 3))
        EXPECT_EQ(codeName(detectCode(row[1]).code), row[0]) << row[2];
    // A page read past its mark in another code loses the mark, not its first character.
    Detection detected;
    EXPECT_EQ(convertDetected("\xEF\xBB\xBF<p>\x89\xEF\x8E\xD0\x88\xC4\x93\xE0</p>",
                              {.code = Utf8, .lineEnd = LineEnd::Lf}, detected),
              "<p>\xE4\xBC\x9A\xE7\xA4\xBE\xE6\xA1\x88\xE5\x86\x85</p>");
    EXPECT_EQ(detected.code, ShiftJis);
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
    for (const std::string &text : {turning, std::string()}) {
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
