// Faulty and binary input never stops a conversion; line ends are counted and replaced.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::unkanj::test {
namespace {

using namespace std::string_literals;

constexpr KanjiCode kInputs[] = {KanjiCode::ShiftJis, KanjiCode::Euc, KanjiCode::Jis,
                                 KanjiCode::Utf8};
constexpr KanjiCode kOutputs[] = {KanjiCode::ShiftJis, KanjiCode::Euc, KanjiCode::Jis};

// --- Faults -----------------------------------------------------------------------------------

struct FaultCase
{
    KanjiCode from;
    std::string input;
    std::string expectedSjis;
    const char *what;
};

TEST(FaultyInput, TextAroundAFaultComesThroughExactly)
{
    const FaultCase cases[] = {
        {KanjiCode::ShiftJis, "\x82\xA0\x82<p>\x82\xA2", "\x82\xA0\x82<p>\x82\xA2", "lead byte"},
        {KanjiCode::ShiftJis, "\x82\xA0\x82", "\x82\xA0\x82", "truncated at the end"},
        {KanjiCode::ShiftJis,
         "a\x80\xA0\xFD\xFE\xFF"
         "b",
         "a\x80\xA0\xFD\xFE\xFF"
         "b",
         "invalid"},
        {KanjiCode::Euc, "\xA4\xA2\x80\xA4\xA4", "\x82\xA0\x80\x82\xA2", "invalid byte"},
        {KanjiCode::Euc, "\xA4\xA2\xA4", "\x82\xA0\xA4", "truncated at the end"},
        {KanjiCode::Euc,
         "\x8E"
         "a\xA4\xA2",
         "\x8E"
         "a\x82\xA0",
         "0x8E without katakana"},
        {KanjiCode::Euc,
         "\x8F\xB0"
         "a",
         "\x8F\xB0"
         "a",
         "truncated JIS X 0212"},
        {KanjiCode::Utf8,
         "\xE3\x81\x82\xE3\x81"
         "a\xE3\x81\x84",
         "\x82\xA0\xE3\x81"
         "a\x82\xA2",
         "truncated sequence"},
        {KanjiCode::Utf8,
         "a\xC0\xAF"
         "b",
         "a\xC0\xAF"
         "b",
         "overlong"},
        {KanjiCode::Utf8,
         "a\xED\xA0\x80"
         "b",
         "a\xED\xA0\x80"
         "b",
         "surrogate"},
        {KanjiCode::Utf8,
         "a\xF5\x80\x80\x80"
         "b",
         "a\xF5\x80\x80\x80"
         "b",
         "beyond U+10FFFF"},
        {KanjiCode::Jis, "\x1B$B$\"\x1B", "\x82\xA0\x1B", "lone ESC at the end"},
        {KanjiCode::Jis, "\x1B$B$\"\xA4$$\x1B(B", "\x82\xA0\xA4\x82\xA2", "eight-bit byte"},
        {KanjiCode::Jis, "\x1B$B$\"$\x1B(Ba", "\x82\xA0$a", "half a character"},
    };
    for (const FaultCase &c : cases) {
        EXPECT_EQ(hex(convertFrom(c.input, c.from, KanjiCode::ShiftJis)), hex(c.expectedSjis))
            << codeName(c.from) << ": " << c.what;
    }
}

TEST(FaultyInput, FaultNeverEndsTheConversion)
{
    // A fault right at the start of a long page: everything after it is converted.
    std::string page = sampleFile("page.sjis.html");
    std::string expected = convertFrom(page, KanjiCode::ShiftJis, KanjiCode::Euc);
    for (const char *fault : {"\x82", "\xFF", "\x80"}) {
        std::string out = convertFrom(fault + page, KanjiCode::ShiftJis, KanjiCode::Euc);
        ASSERT_GE(out.size(), expected.size());
        EXPECT_EQ(out.substr(out.size() - expected.size() + 1), expected.substr(1)) << hex(fault);
    }
}

TEST(FaultyInput, BinaryInputNeitherCrashesNorHangs)
{
    std::mt19937 random(7);
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::vector<std::string> inputs = {all, std::string(100000, '\0'), std::string(1, '\x1B'),
                                       std::string(5000, '\x1B'), std::string(3, '\x8F')};
    for (int n : {1, 2, 3, 17, 4096, 200000}) {
        std::string bytes(static_cast<std::size_t>(n), '\0');
        for (char &c : bytes)
            c = static_cast<char>(random());
        inputs.push_back(bytes);
    }
    for (const std::string &input : inputs) {
        detectCode(input);
        for (KanjiCode from : kInputs) {
            for (KanjiCode to : kOutputs) {
                std::string out = convertFrom(input, from, to, LineEnd::CrLf);
                // A reference is at most ten bytes for a four-byte character; a line end two
                // for one; a JIS escape three for a character: growth is bounded.
                EXPECT_LE(out.size(), 8 * input.size() + 3);
            }
        }
    }
}

TEST(FaultyInput, FaultyBytesPassThroughUnchangedBetweenSameCodes)
{
    // Loading a damaged Shift-JIS file and saving it again keeps every byte.
    std::string damaged = "\x82\xA0\x82\r\n\xFF\x80\xA0\x81\x7F\x82\xA2";
    EXPECT_EQ(convertFrom(damaged, KanjiCode::ShiftJis, KanjiCode::ShiftJis, LineEnd::CrLf),
              damaged);
}

// --- Line ends --------------------------------------------------------------------------------

struct LineCase
{
    std::string input;
    std::string crlf, cr, lf;
};

TEST(LineEnds, EachKindCountsOnceAndBecomesTheRequestedOne)
{
    const LineCase cases[] = {
        {"a\r\nb", "a\r\nb", "a\rb", "a\nb"},
        {"a\rb", "a\r\nb", "a\rb", "a\nb"},
        {"a\nb", "a\r\nb", "a\rb", "a\nb"},
        {"a\n\rb", "a\r\n\r\nb", "a\r\rb", "a\n\nb"},   // LF CR is two
        {"a\r\r\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb"}, // CR, then CR LF
        {"a\r\n\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb"}, // CR LF, then LF
        {"a\n", "a\r\n", "a\r", "a\n"},                 // final line end
        {"a", "a", "a", "a"},                           // none added
        {"\r\n", "\r\n", "\r", "\n"},
        {"", "", "", ""},
    };
    for (KanjiCode to : kOutputs) {
        for (const LineCase &c : cases) {
            EXPECT_EQ(convertFrom(c.input, KanjiCode::Ascii, to, LineEnd::CrLf), c.crlf)
                << hex(c.input);
            EXPECT_EQ(convertFrom(c.input, KanjiCode::Ascii, to, LineEnd::Cr), c.cr)
                << hex(c.input);
            EXPECT_EQ(convertFrom(c.input, KanjiCode::Ascii, to, LineEnd::Lf), c.lf)
                << hex(c.input);
        }
    }
}

TEST(LineEnds, SameInEveryInputCode)
{
    // あ CR LF い CR う LF え, no final line end, in each code.
    std::string utf8 = "\u3042\r\n\u3044\r\u3046\n\u3048";
    std::string expected = "\x82\xA0\r\x82\xA2\r\x82\xA4\r\x82\xA6";
    for (auto [code, name] :
         {std::pair{KanjiCode::ShiftJis, "CP932"}, std::pair{KanjiCode::Euc, "EUC-JP"},
          std::pair{KanjiCode::Jis, "ISO-2022-JP"}, std::pair{KanjiCode::Utf8, "UTF-8"}}) {
        std::string input = *iconvConvert("UTF-8", name, utf8);
        EXPECT_EQ(hex(convertFrom(input, code, KanjiCode::ShiftJis, LineEnd::Cr)), hex(expected))
            << name;
    }
}

TEST(LineEnds, LineEndInsideKanjiSetOfJisInput)
{
    EXPECT_EQ(
        convertFrom("\x1B$B$\"\r\n$$\n\x1B(B", KanjiCode::Jis, KanjiCode::ShiftJis, LineEnd::CrLf),
        "\x82\xA0\r\n\x82\xA2\r\n"s);
}

} // namespace
} // namespace scrivlet::unkanj::test
