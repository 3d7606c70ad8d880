// ISO-2022-JP: the escapes we write, and the variants we read.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::unkanj::test {
namespace {

using namespace std::string_literals;

std::string sjisToJis(std::string_view sjis, LineEnd lineEnd = LineEnd::Lf)
{
    return convertFrom(sjis, KanjiCode::ShiftJis, KanjiCode::Jis, lineEnd);
}

std::string jisToSjis(std::string_view jis)
{
    return convertFrom(jis, KanjiCode::Jis, KanjiCode::ShiftJis);
}

// The first breach of our JIS output rules, or an empty string: only ESC $ B, ESC ( I and
// ESC ( B; never the escape of the set in use; ASCII before every control and at the end;
// seven bits.
std::string firstBreach(std::string_view jis)
{
    char set = 'B'; // 'B' ASCII, 'K' kanji, 'I' katakana
    for (std::size_t i = 0; i < jis.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(jis[i]);
        std::string at = " at byte " + std::to_string(i);
        if (c >= 0x80)
            return "eight-bit byte" + at;
        if (c == 0x1B) {
            std::string_view esc = jis.substr(i, 3);
            char next;
            if (esc == "\x1B$B")
                next = 'K';
            else if (esc == "\x1B(I")
                next = 'I';
            else if (esc == "\x1B(B")
                next = 'B';
            else
                return "escape other than ESC $ B, ESC ( I, ESC ( B" + at;
            if (next == set)
                return "escape repeats the set in use" + at;
            set = next;
            i += 2;
            continue;
        }
        if ((c < 0x20 || c == 0x7F) && set != 'B')
            return "control character outside ASCII" + at;
    }
    if (set != 'B')
        return "text ends outside ASCII";
    return "";
}

TEST(JisOutput, EscapesOnlyWhenTheSetChanges)
{
    // 漢字 ｶﾅ 漢 (kanji, kana, kanji, then ASCII): direct switches, no escape repeated.
    EXPECT_EQ(sjisToJis("\x8A\xBF\x8E\x9A\xB6\xC5\x8A\xBF"
                        "a"),
              "\x1B$B4A;z\x1B(I6E\x1B$B4A\x1B(B"
              "a"s);
    EXPECT_EQ(sjisToJis("plain <b>ASCII</b>\n"), "plain <b>ASCII</b>\n");
}

TEST(JisOutput, AsciiBeforeEveryControlCharacterAndAtTheEnd)
{
    EXPECT_EQ(sjisToJis("\x8A\xBF\t\x8E\x9A\r\n\x8A\xBF", LineEnd::CrLf),
              "\x1B$B4A\x1B(B\t\x1B$B;z\x1B(B\r\n\x1B$B4A\x1B(B"s);
    EXPECT_EQ(sjisToJis("\xB1\x0C"), "\x1B(I1\x1B(B\x0C"s);
    EXPECT_EQ(sjisToJis("\xB1"), "\x1B(I1\x1B(B"s);
}

TEST(JisOutput, SamplePageKeepsTheRules)
{
    std::string sjis = sampleFile("page.sjis.html");
    for (LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf})
        EXPECT_EQ(firstBreach(sjisToJis(sjis, lineEnd)), "");
}

TEST(JisOutput, RandomMixesKeepTheRules)
{
    // Kanji, kana, ASCII, controls, NUL, user-defined characters (references), NEC and IBM codes
    // in random order: the state machine must never write a stale or repeated escape.
    const std::string pieces[] = {"\x8A\xBF"s, "\xB1"s,     "a"s,  "\t"s,
                                  "\r\n"s,     "\r"s,       "\n"s, "\xF0\x40"s,
                                  "\xFA\x40"s, "\x87\x40"s, " "s,  "\0"s};
    std::mt19937 random(4);
    for (int round = 0; round < 300; ++round) {
        std::string sjis;
        for (int i = 0; i < 40; ++i)
            sjis += pieces[random() % std::size(pieces)];
        ASSERT_EQ(firstBreach(sjisToJis(sjis)), "") << hex(sjis);
    }
}

TEST(JisOutput, FaultyByteGoesOutInAscii)
{
    EXPECT_EQ(sjisToJis("\x8A\xBF\x80\x8A\xBF"), "\x1B$B4A\x1B(B\x80\x1B$B4A\x1B(B"s);
}

TEST(JisOutput, MatchesGlibcOnAPlainPage)
{
    std::string sjis = *iconvConvert("UTF-8", "CP932", sampleFile("plain.utf8.html"));
    EXPECT_EQ(sjisToJis(sjis), sampleFile("plain.jis.html"));
}

TEST(JisInput, Jis1978EscapeReadsAsJis1983)
{
    EXPECT_EQ(jisToSjis("\x1B$@4A;z\x1B(B"), "\x8A\xBF\x8E\x9A"s);
    EXPECT_EQ(jisToSjis("\x1B$B4A;z\x1B(B"), "\x8A\xBF\x8E\x9A"s);
}

TEST(JisInput, RomanSetReadsAsAscii)
{
    EXPECT_EQ(jisToSjis("\x1B$B4A\x1B(Jabc\\~"), "\x8A\xBF"
                                                 "abc\\~"s);
}

TEST(JisInput, HalfWidthKatakanaByEscapeAndByShiftOut)
{
    EXPECT_EQ(jisToSjis("\x1B(I1_\x1B(Ba"), "\xB1\xDF"
                                            "a"s);
    EXPECT_EQ(jisToSjis("\x1B)Ia\x0E"
                        "1_\x0F"
                        "b"),
              "a\xB1\xDF"
              "b"s);
    EXPECT_EQ(jisToSjis("a\x0E"
                        "1_\x0F"
                        "b"),
              "a\xB1\xDF"
              "b"s); // without ESC ) I
}

TEST(JisInput, SetSurvivesALineEndWithoutReturn)
{
    // Texts that forget ESC ( B before the line end still mean kanji on the next line.
    EXPECT_EQ(jisToSjis("\x1B$B0!\r\n0!\x1B(B"), "\x88\x9F\n\x88\x9F"s);
}

TEST(JisInput, LoneAndUnknownEscapesPassThrough)
{
    EXPECT_EQ(jisToSjis("ab\x1B"), "ab\x1B"s);
    EXPECT_EQ(jisToSjis("a\x1B(Zb"), "a\x1B(Zb"s);
    // Inside the kanji set: the ESC passes, and the set goes on.
    std::string out = jisToSjis("\x1B$B0!\x1B(Z0!\x1B(B");
    EXPECT_EQ(out.substr(0, 3), "\x88\x9F\x1B"s);
    EXPECT_EQ(out.substr(out.size() - 2), "\x88\x9F"s);
}

TEST(JisInput, SamplePageLoadsAsGlibcReadsIt)
{
    std::string expected = *iconvConvert("UTF-8", "CP932", sampleFile("plain.utf8.html"));
    EXPECT_EQ(jisToSjis(sampleFile("plain.jis.html")), expected);
}

} // namespace
} // namespace scrivlet::unkanj::test
