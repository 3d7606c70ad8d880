// Converting: the vectors of every code and mapping, faulty and binary input, which never stop
// a conversion, and line ends, counted and replaced.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace scrivlet::unkanj::test {
namespace {

constexpr KanjiCode kOutputs[] = {ShiftJis, Euc, Jis};

TEST(Conversion, EveryVector)
{
    for (const auto &row : rows("vectors.txt", 6))
        EXPECT_EQ(convertFrom(row[3], codeNamed(row[0]), codeNamed(row[1]), lineEndNamed(row[2])),
                  row[4])
            << row.group << ": " << row[0] << " into " << row[1] << ": " << row[5] << " " << row[3];
    EXPECT_EQ(convertFrom("\U0001F600", Utf8, ShiftJis, LineEnd::Lf, ReferenceStyle::Css),
              "\\1F600 ");
    // An unknown escape inside the kanji set: its ESC passes and the set goes on.
    const std::string out = convertFrom("\x1B$B0!\x1B(Z0!\x1B(B", Jis, ShiftJis);
    EXPECT_EQ(out.substr(0, 3), "\x88\x9F\x1B");
    EXPECT_EQ(out.substr(out.size() - 2), "\x88\x9F");
}

// Whether bytes are well-formed EUC-JP: ASCII, two bytes 0xA1-0xFE, 0x8E and a half-width
// katakana, or 0x8F and two bytes 0xA1-0xFE.
bool isValidEuc(std::string_view text)
{
    const auto at = [&](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    };
    const auto euc = [](unsigned char b) {
        return b >= 0xA1 && b <= 0xFE;
    };
    for (std::size_t i = 0; i < text.size();) {
        if (at(i) < 0x80)
            i += 1;
        else if ((euc(at(i)) && euc(at(i + 1))) ||
                 (at(i) == 0x8E && at(i + 1) >= 0xA1 && at(i + 1) <= 0xDF))
            i += 2;
        else if (at(i) == 0x8F && euc(at(i + 1)) && euc(at(i + 2)))
            i += 3;
        else
            return false;
    }
    return true;
}

bool validOutput(const std::string &out, KanjiCode to)
{
    return to == Euc ? isValidEuc(out) : to != Jis || jisBreach(out).empty();
}

TEST(Reading, FaultsBecomeOneGetaEachInEucAndJisAndTheTextAroundComesBack)
{
    // Good lines, with a faulty sequence at the end of one line after another (and one cut off
    // at the very end); reopening the EUC or JIS output gives the good text back, with 〓
    // where each fault was. The shapes are in tests/data/unkanj/fault-shapes.txt.
    const char *const lines[] = {
        "<p>いつも当店をご利用いただき、誠にありがとうございます。</p>",
        "営業時間は午前９時から午後６時までです。",
        "カタログはホームページからダウンロードできます。",
        "見積もりは無料です。お気軽にお申し込みください。",
        "台風による被害の点検を承ります。",
        "<li>東京都千代田区一番町</li>",
        "駐車場は店舗の裏手にございます。",
    };
    std::map<KanjiCode, std::vector<DataRow>> faults;
    for (auto &row : rows("fault-shapes.txt", 3))
        faults[codeNamed(row[0])].push_back(std::move(row));
    ASSERT_EQ(faults.size(), 4u);
    for (const auto &[code, shapes] : faults) {
        std::string source, expected;
        for (std::size_t i = 0; i < std::size(lines); ++i) {
            // Each line on its own, so that a JIS line ends in ASCII.
            source += iconvConvert("UTF-8", iconvName(code), lines[i]).value();
            expected += iconvConvert("UTF-8", "CP932", lines[i]).value();
            if (i + 1 < shapes.size()) {
                source += shapes[i][1];
                expected += shapes[i][2];
            }
            source += "\n";
            expected += "\n";
        }
        source += shapes.back()[1];
        expected += shapes.back()[2];
        for (KanjiCode to : {Euc, Jis}) {
            const std::string out = convertFrom(source, code, to);
            EXPECT_TRUE(validOutput(out, to)) << codeName(code) << " into " << codeName(to);
            Detection detected;
            EXPECT_EQ(convertDetected(out, OutputFormat{ShiftJis, LineEnd::Lf}, detected), expected)
                << codeName(code) << " into " << codeName(to);
            EXPECT_EQ(detected.code, to) << codeName(code);
        }
        // Into Shift-JIS, the load path, the faulty bytes still pass as they are.
        EXPECT_TRUE(code != ShiftJis || convertFrom(source, code, ShiftJis) == source);
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
    // A reference is at most ten bytes for a four-byte character; a line end two for one; a JIS
    // escape three for a character: growth is bounded. EUC and JIS output stays valid.
    for (const std::string &input : inputs) {
        for (KanjiCode from : {ShiftJis, Euc, Jis, Utf8}) {
            for (KanjiCode to : kOutputs) {
                const std::string out = convertFrom(input, from, to, LineEnd::CrLf);
                EXPECT_LE(out.size(), 8 * input.size() + 3);
                EXPECT_TRUE(validOutput(out, to)) << codeName(from) << " into " << codeName(to);
            }
        }
    }
}

TEST(LineEnds, EachKindCountsOnceAndBecomesTheRequestedOne)
{
    for (KanjiCode to : kOutputs) {
        for (const auto &row : rows("line-ends.txt", 4)) {
            EXPECT_EQ(convertFrom(row[0], Ascii, to, LineEnd::CrLf), row[1]) << row[0];
            EXPECT_EQ(convertFrom(row[0], Ascii, to, LineEnd::Cr), row[2]) << row[0];
            EXPECT_EQ(convertFrom(row[0], Ascii, to, LineEnd::Lf), row[3]) << row[0];
        }
    }
    // The same in every input code: あ CR LF い CR う LF え.
    for (KanjiCode code : {ShiftJis, Euc, Jis, Utf8}) {
        const std::string input =
            iconvConvert("UTF-8", iconvName(code), "あ\r\nい\rう\nえ").value();
        EXPECT_EQ(convertFrom(input, code, ShiftJis, LineEnd::Cr),
                  "\x82\xA0\r\x82\xA2\r\x82\xA4\r\x82\xA6")
            << codeName(code);
    }
}

} // namespace
} // namespace scrivlet::unkanj::test
