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
    // The table lives in tests/data/unkanj/vectors.txt.
    for (const auto &row : vectors("Reading", 4))
        EXPECT_EQ(convertFrom(row[1], codeNamed(row[0]), ShiftJis, LineEnd::CrLf), row[2])
            << row[0] << ": " << row[3];
    // An unknown escape inside the kanji set: its ESC passes and the set goes on.
    const std::string out = convertFrom("\x1B$B0!\x1B(Z0!\x1B(B", Jis, ShiftJis);
    EXPECT_EQ(out.substr(0, 3), "\x88\x9F\x1B");
    EXPECT_EQ(out.substr(out.size() - 2), "\x88\x9F");
    EXPECT_EQ(convertFrom("\x8F\xF4\xFB", Euc, Euc), "\xFC\xE2"); // to its CP932 twin
}

TEST(Reading, Utf8AlternativeFormsTakeTheCodesTheyStandFor)
{
    // 〜 ‖ − ¢ £ ¬ ― as a JIS-style mapping writes them: the CP932 codes of their Windows twins,
    // as the program's own codec encodes them, in every output code.
    const std::string utf8 =
        "\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92\xC2\xA2\xC2\xA3\xC2\xAC\xE2\x80\x94";
    EXPECT_EQ(convertFrom(utf8, Utf8, ShiftJis),
              "\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C");
    EXPECT_EQ(convertFrom(utf8, Utf8, Euc),
              "\xA1\xC1\xA1\xC2\xA1\xDD\xA1\xF1\xA1\xF2\xA2\xCC\xA1\xBD");
    EXPECT_EQ(convertFrom(utf8, Utf8, Jis), "\x1B$B!A!B!]!q!r\"L!=\x1B(B");
    EXPECT_EQ(countErrors(utf8, Utf8), 0u);
    // The Windows forms themselves are unchanged, and the yen sign still has no code.
    EXPECT_EQ(convertFrom("\xEF\xBD\x9E\xC2\xA5", Utf8, ShiftJis), "\x81\x60&#xA5;");
}

// Whether bytes are well-formed EUC-JP: ASCII, two bytes 0xA1-0xFE, 0x8E and a half-width
// katakana, or 0x8F and two bytes 0xA1-0xFE.
bool isValidEuc(std::string_view text)
{
    const auto euc = [](unsigned char b) {
        return b >= 0xA1 && b <= 0xFE;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const auto at = [&](std::size_t k) {
            return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
        };
        if (b < 0x80)
            i += 1;
        else if (euc(b) && euc(at(1)))
            i += 2;
        else if (b == 0x8E && at(1) >= 0xA1 && at(1) <= 0xDF)
            i += 2;
        else if (b == 0x8F && euc(at(1)) && euc(at(2)))
            i += 3;
        else
            return false;
    }
    return true;
}

TEST(Reading, FaultsBecomeOneGetaEachInEucAndJisAndTheTextAroundComesBack)
{
    // Good lines, with a faulty sequence at the end of one line after another (and one cut off
    // at the very end); reopening the EUC or JIS output gives the good text back, with 〓
    // (Shift-JIS 0x81AC) where each fault was.
    const std::string geta = "\x81\xAC";
    const char *const lines[] = {
        "<p>いつも当店をご利用いただき、誠にありがとうございます。</p>",
        "営業時間は午前９時から午後６時までです。",
        "カタログはホームページからダウンロードできます。",
        "見積もりは無料です。お気軽にお申し込みください。",
        "台風による被害の点検を承ります。",
        "<li>東京都千代田区一番町</li>",
        "駐車場は店舗の裏手にございます。",
    };
    struct Shape
    {
        std::string bytes, sjis;
    };
    const std::tuple<KanjiCode, const char *, std::vector<Shape>, Shape> codes[] = {
        {ShiftJis,
         "CP932",
         {{"\xFF", geta}, {"\x80", geta}, {"\xA0", geta}, {"\x82", geta}, {"\xFC\xFC", geta}},
         {"\x82", geta}},
        {Euc,
         "EUC-JP",
         {{"\x80", geta},
          {"\xFF", geta},
          {"\xA4", geta},
          {"\x8E", geta},
          {"\x8F\xB0", geta + geta}},
         {"\xA4", geta}},
        {Utf8,
         "UTF-8",
         {{"\xFF", geta},
          {"\x80", geta},
          {"\xE3\x81", geta},
          {"\xF0\x9F\x98", geta},
          {"\xC0\xAF", geta + geta}},
         {"\xE3\x81", geta}},
        {Jis,
         "ISO-2022-JP",
         {{"\x80", geta},
          {"\xFF", geta},
          {"\x1B(Z", geta + "(Z"},
          {"\x1B$B$\x1B(B", geta},
          {"\x1B", geta}},
         {"\x1B$B$", geta}},
    };
    for (const auto &[code, name, shapes, cutOff] : codes) {
        std::string source, expected;
        for (std::size_t i = 0; i < std::size(lines); ++i) {
            // Each line on its own, so that a JIS line ends in ASCII.
            source += iconvConvert("UTF-8", name, lines[i]).value();
            expected += iconvConvert("UTF-8", "CP932", lines[i]).value();
            if (i < shapes.size()) {
                source += shapes[i].bytes;
                expected += shapes[i].sjis;
            }
            source += "\n";
            expected += "\n";
        }
        source += cutOff.bytes;
        expected += cutOff.sjis;
        for (KanjiCode to : {Euc, Jis}) {
            const std::string out = convertFrom(source, code, to);
            EXPECT_TRUE(to == Euc ? isValidEuc(out) : jisBreach(out).empty())
                << name << " into " << codeName(to) << ": " << out;
            Detection detected;
            EXPECT_EQ(convertDetected(out, OutputFormat{ShiftJis, LineEnd::Lf}, detected), expected)
                << name << " into " << codeName(to);
            EXPECT_EQ(detected.code, to) << name;
        }
        // Into Shift-JIS, the load path, the faulty bytes still pass as they are.
        if (code == ShiftJis) {
            EXPECT_EQ(convertFrom(source, code, ShiftJis), source);
        }
    }
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
    for (const std::string &input : inputs) {
        for (KanjiCode from : {ShiftJis, Euc, Jis, Utf8}) {
            // A reference is at most ten bytes for a four-byte character; a line end two for
            // one; a JIS escape three for a character: growth is bounded. EUC and JIS output
            // stays valid whatever came in.
            for (KanjiCode to : kOutputs) {
                const std::string out = convertFrom(input, from, to, LineEnd::CrLf);
                EXPECT_LE(out.size(), 8 * input.size() + 3);
                if (to != ShiftJis) {
                    EXPECT_TRUE(to == Euc ? isValidEuc(out) : jisBreach(out).empty())
                        << codeName(from) << " into " << codeName(to);
                }
            }
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
