// Reading each input code: its variants, faulty and binary input, which never stop a
// conversion; line ends, counted and replaced.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::unkanj::test {
namespace {

constexpr KanjiCode kOutputs[] = {ShiftJis, Euc, Jis};

TEST(Reading, EveryCodeIntoShiftJis)
{
    const std::tuple<KanjiCode, std::string, std::string, const char *> cases[] = {
        // JIS variants: the 1978 set reads as 1983, the Roman set as ASCII, katakana by escape
        // or by shift out (after ESC ) I or without); a control does not end the kanji set.
        {Jis, "\x1B$@4A;z\x1B(B", "\x8A\xBF\x8E\x9A", "ESC $ @"},
        {Jis, "\x1B$B4A\x1B(Jxyz\\~", "\x8A\xBFxyz\\~", "ESC ( J"},
        {Jis, "\x1B(I1_\x1B(B<", "\xB1\xDF<", "ESC ( I"},
        {Jis, "\x1B)I<\x0EIJ\x0F<", "<\xC9\xCA<", "ESC ) I, SO, SI"},
        {Jis, "<\x0EIJ\x0F<", "<\xC9\xCA<", "SO, SI"},
        {Jis, "\x1B$B0!\r\n0!\t0!\x1B(B", "\x88\x9F\r\n\x88\x9F\t\x88\x9F", "controls in the set"},
        // JIS X 0212: the IBM extensions as EUC-JP-MS writes them, its tilde as CP932's
        // full-width one, and a kanji CP932 lacks.
        {Euc, "\x8F\xF3\xF3\x8F\xF4\xFB\x8F\xA2\xB7", "\xFA\x40\xFB\xFC\x81\x60", "EUC-JP-MS"},
        {Jis, "\x1B$(Dss\x1B(B", "\xFA\x40", "ESC $ ( D"},
        {Euc, "\x8F\xB0\xA1", "&#x4E02;", "not in CP932"},
        {Jis, "\x1B$(D0!\x1B(B", "&#x4E02;", "not in CP932"},
        // Faults pass through unchanged, and the text around them comes through exactly.
        {ShiftJis, "\x82\xA0\x82<p>\x82\xA2", "\x82\xA0\x82<p>\x82\xA2", "lead byte"},
        {ShiftJis, "\x82\xA0\x82", "\x82\xA0\x82", "truncated at the end"},
        {ShiftJis, "\x82\xA0\x82\r\n\xFF\x80\xA0\xFD\xFE\x81\x7F\x82\xA2",
         "\x82\xA0\x82\r\n\xFF\x80\xA0\xFD\xFE\x81\x7F\x82\xA2", "invalid bytes"},
        {Euc, "\xA4\xA2\x80\xA4\xA4", "\x82\xA0\x80\x82\xA2", "invalid byte"},
        {Euc, "\xA4\xA2\xA4", "\x82\xA0\xA4", "truncated at the end"},
        {Euc, "\x8Ez\xA4\xA2", "\x8Ez\x82\xA0", "0x8E without katakana"},
        {Euc, "\x8F\xB0z", "\x8F\xB0z", "truncated JIS X 0212"},
        {Utf8, "\xE3\x81\x82\xE3\x81z\xE3\x81\x84", "\x82\xA0\xE3\x81z\x82\xA2", "truncated"},
        {Utf8, "<\xC0\xAF\xE0\x80\xAF>", "<\xC0\xAF\xE0\x80\xAF>", "overlong"},
        {Utf8, "<\xED\xA0\x80>", "<\xED\xA0\x80>", "surrogate"},
        {Utf8, "<\xF5\x80\x80\x80>", "<\xF5\x80\x80\x80>", "beyond U+10FFFF"},
        {Jis, "\x1B$B$\"\x1B", "\x82\xA0\x1B", "lone ESC at the end"},
        {Jis, "<\x1B(Z>", "<\x1B(Z>", "unknown escape"},
        {Jis, "\x1B$B$\"\xA4$$\x1B(B", "\x82\xA0\xA4\x82\xA2", "eight-bit byte"},
        {Jis, "\x1B$B$\"$\x1B(B<", "\x82\xA0$<", "half a character"},
    };
    for (const auto &[from, input, sjis, what] : cases)
        EXPECT_EQ(convertFrom(input, from, ShiftJis, LineEnd::CrLf), sjis)
            << codeName(from) << ": " << what;
    // An unknown escape inside the kanji set: its ESC passes and the set goes on.
    const std::string out = convertFrom("\x1B$B0!\x1B(Z0!\x1B(B", Jis, ShiftJis);
    EXPECT_EQ(out.substr(0, 3), "\x88\x9F\x1B");
    EXPECT_EQ(out.substr(out.size() - 2), "\x88\x9F");
    EXPECT_EQ(convertFrom("\x8F\xF4\xFB", Euc, Euc), "\xFC\xE2"); // to its CP932 twin
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
    for (const std::string &input : inputs) {
        detectCode(input);
        for (KanjiCode from : {ShiftJis, Euc, Jis, Utf8}) {
            // A reference is at most ten bytes for a four-byte character; a line end two for
            // one; a JIS escape three for a character: growth is bounded.
            for (KanjiCode to : kOutputs)
                EXPECT_LE(convertFrom(input, from, to, LineEnd::CrLf).size(), 8 * input.size() + 3);
        }
    }
}

TEST(LineEnds, EachKindCountsOnceAndBecomesTheRequestedOne)
{
    struct Case
    {
        std::string input, crlf, cr, lf;
    };
    const Case cases[] = {
        {"a\r\nb", "a\r\nb", "a\rb", "a\nb"},
        {"a\rb", "a\r\nb", "a\rb", "a\nb"},
        {"a\nb", "a\r\nb", "a\rb", "a\nb"},
        {"a\n\rb", "a\r\n\r\nb", "a\r\rb", "a\n\nb"},   // LF CR is two
        {"a\r\r\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb"}, // CR, then CR LF
        {"a\r\n\nb", "a\r\n\r\nb", "a\r\rb", "a\n\nb"}, // CR LF, then LF
        {"a\n", "a\r\n", "a\r", "a\n"},
        {"a", "a", "a", "a"}, // none added
        {"\r\n", "\r\n", "\r", "\n"},
        {"", "", "", ""},
    };
    for (KanjiCode to : kOutputs) {
        for (const Case &c : cases) {
            EXPECT_EQ(convertFrom(c.input, Ascii, to, LineEnd::CrLf), c.crlf) << c.input;
            EXPECT_EQ(convertFrom(c.input, Ascii, to, LineEnd::Cr), c.cr) << c.input;
            EXPECT_EQ(convertFrom(c.input, Ascii, to, LineEnd::Lf), c.lf) << c.input;
        }
    }
    // The same in every input code: あ CR LF い CR う LF え.
    const std::pair<KanjiCode, const char *> codes[] = {
        {ShiftJis, "CP932"}, {Euc, "EUC-JP"}, {Jis, "ISO-2022-JP"}, {Utf8, "UTF-8"}};
    for (const auto &[code, name] : codes) {
        const std::string input = iconvConvert("UTF-8", name, "あ\r\nい\rう\nえ").value();
        EXPECT_EQ(convertFrom(input, code, ShiftJis, LineEnd::Cr),
                  "\x82\xA0\r\x82\xA2\r\x82\xA4\r\x82\xA6")
            << name;
    }
}

} // namespace
} // namespace scrivlet::unkanj::test
