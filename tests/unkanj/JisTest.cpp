// ISO-2022-JP output: the escapes we write (the variants we read are in ReadingTest).
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::unkanj::test {
namespace {

std::string sjisToJis(std::string_view sjis, LineEnd lineEnd = LineEnd::Lf)
{
    return convertFrom(sjis, ShiftJis, Jis, lineEnd);
}

TEST(JisOutput, EscapesOnlyWhenTheSetChangesAndAsciiBeforeControlsAndAtTheEnd)
{
    const std::tuple<std::string, LineEnd, std::string> cases[] = {
        // 漢字 ｶﾅ 漢 a: direct switches, no escape repeated.
        {"\x8A\xBF\x8E\x9A\xB6\xC5\x8A\xBF<", LineEnd::Lf, "\x1B$B4A;z\x1B(I6E\x1B$B4A\x1B(B<"},
        {"plain <b>ASCII</b>\n", LineEnd::Lf, "plain <b>ASCII</b>\n"},
        {"\x8A\xBF\t\x8E\x9A\r\n\x8A\xBF", LineEnd::CrLf,
         "\x1B$B4A\x1B(B\t\x1B$B;z\x1B(B\r\n\x1B$B4A\x1B(B"},
        {"\xB1\x0C", LineEnd::Lf, "\x1B(I1\x1B(B\x0C"},
        {"\xB1", LineEnd::Lf, "\x1B(I1\x1B(B"},
        // A faulty byte is 〓, and so are ESC, SO and SI, which JIS keeps for its escapes.
        {"\x8A\xBF\x80\x8A\xBF", LineEnd::Lf, "\x1B$B4A\".4A\x1B(B"},
        {"a\x1B$Bb\x0E\x0F", LineEnd::Lf, "a\x1B$B\".\x1B(B$Bb\x1B$B\".\".\x1B(B"},
    };
    for (const auto &[sjis, lineEnd, jis] : cases)
        EXPECT_EQ(sjisToJis(sjis, lineEnd), jis);
    // A reference, for a character CP932 lacks, is ASCII too.
    EXPECT_EQ(convertFrom("\xE6\xBC\xA2\U0001F600", Utf8, Jis), "\x1B$B4A\x1B(B&#x1F600;");
}

TEST(JisOutput, PagesAndRandomMixesKeepTheRules)
{
    // A plain page comes out as glibc writes it, and goes back.
    const std::string sjis = iconvConvert("UTF-8", "CP932", sampleFile("plain.utf8.html")).value();
    const std::string jis = sampleFile("plain.jis.html");
    EXPECT_EQ(sjisToJis(sjis), jis);
    EXPECT_EQ(convertFrom(jis, Jis, ShiftJis), sjis);
    const std::string page = sampleFile("page.sjis.html");
    for (LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf})
        EXPECT_EQ(jisBreach(sjisToJis(page, lineEnd)), "");
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
        ASSERT_EQ(jisBreach(sjisToJis(mix)), "") << mix;
    }
}

} // namespace
} // namespace scrivlet::unkanj::test
