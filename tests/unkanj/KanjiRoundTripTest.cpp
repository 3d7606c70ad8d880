// The character mapping: CP932 as Windows has it, the NEC and IBM rows in JIS and EUC, round
// trips of every character, half-width katakana, and references for what a code cannot hold.
#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace scrivlet::unkanj::test {
namespace {

using namespace std::string_literals;

std::string fromUtf8(std::string_view utf8, ReferenceStyle refs = ReferenceStyle::Html)
{
    return convertFrom(utf8, KanjiCode::Utf8, KanjiCode::ShiftJis, LineEnd::Lf, refs);
}

std::string sjisTo(KanjiCode to, std::string_view sjis)
{
    return convertFrom(sjis, KanjiCode::ShiftJis, to);
}

// Every double-byte code glibc's CP932 decodes, as Shift-JIS bytes.
std::vector<std::string> allCp932DoubleByteCodes()
{
    std::vector<std::string> codes;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char out[8];
            char *ip = in;
            char *op = out;
            std::size_t inLeft = 2;
            std::size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &inLeft, &op, &outLeft) != static_cast<std::size_t>(-1) &&
                inLeft == 0 && outLeft < sizeof out)
                codes.emplace_back(in, 2);
        }
    }
    iconv_close(cd);
    return codes;
}

// The code point of a one-character UTF-8 string.
char32_t codePointOf(std::string_view utf8)
{
    auto b = [&](std::size_t i) {
        return static_cast<unsigned char>(utf8[i]);
    };
    if (utf8.size() == 2)
        return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    if (utf8.size() == 3)
        return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
}

std::string htmlReference(char32_t cp)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "&#x%X;", static_cast<unsigned>(cp));
    return buf;
}

// --- CP932, not plain Shift_JIS ---------------------------------------------------------------

TEST(Cp932Mapping, BytesWhereCp932DiffersFromShiftJis)
{
    EXPECT_EQ(fromUtf8("\uFF5E"), "\x81\x60"s); // FULLWIDTH TILDE
    EXPECT_EQ(fromUtf8("\uFF3C"), "\x81\x5F"s); // FULLWIDTH REVERSE SOLIDUS
    EXPECT_EQ(fromUtf8("\u2225"), "\x81\x61"s); // PARALLEL TO
    EXPECT_EQ(fromUtf8("\uFF0D"), "\x81\x7C"s); // FULLWIDTH HYPHEN-MINUS
    EXPECT_EQ(fromUtf8("\uFFE0\uFFE1"), "\x81\x91\x81\x92"s);
    // The JIS-standard code points of the same bytes are not CP932's: references.
    EXPECT_EQ(fromUtf8("\u301C\u2016\u2212\u00A2"), "&#x301C;&#x2016;&#x2212;&#xA2;");
    EXPECT_EQ(fromUtf8("\\~"), "\\~"); // 0x5C and 0x7E stay ASCII
}

TEST(Cp932Mapping, NecRow13AndIbmExtensionsFromUtf8)
{
    EXPECT_EQ(fromUtf8("\u2460\u2160\u3231\u2116"), "\x87\x40\x87\x54\x87\x8A\x87\x82"s);
    // Where CP932 holds a character twice, the code Windows writes.
    EXPECT_EQ(fromUtf8("\u2170"), "\xFA\x40"s);               // IBM, not NEC-selected 0xEEEF
    EXPECT_EQ(fromUtf8("\u9AD9\uFA11"), "\xFB\xFC\xFA\xB1"s); // 髙 﨑
    EXPECT_EQ(fromUtf8("\uFFE2\u2235"), "\x81\xCA\x81\xE6"s); // row 2, not IBM or row 13
}

TEST(Cp932Mapping, EveryCharacterFromUtf8AsGlibcWritesIt)
{
    // Each character CP932 holds, written from UTF-8, must come out as glibc's CP932 encoder
    // writes it (Microsoft's choice among duplicates).
    std::string utf8;
    for (const std::string &code : allCp932DoubleByteCodes())
        utf8 += cp932ToUtf8(code);
    for (int b = 0xA1; b <= 0xDF; ++b)
        utf8 += cp932ToUtf8(std::string(1, static_cast<char>(b)));
    std::optional<std::string> expected = iconvConvert("UTF-8", "CP932", utf8);
    ASSERT_TRUE(expected.has_value());
    std::string actual = fromUtf8(utf8);
    ASSERT_EQ(actual.size(), expected->size());
    EXPECT_TRUE(actual == *expected);
}

// --- NEC and IBM rows in JIS and EUC ----------------------------------------------------------

TEST(NecIbmMapping, NecRow13GoesToRow13)
{
    EXPECT_EQ(sjisTo(KanjiCode::Euc, "\x87\x40"), "\xAD\xA1"s); // ①
    EXPECT_EQ(sjisTo(KanjiCode::Jis, "\x87\x40"), "\x1B$B-!\x1B(B"s);
    EXPECT_EQ(sjisTo(KanjiCode::Euc, "\x87\x9C"), "\xAD\xFC"s); // ∪, last of the row
}

TEST(NecIbmMapping, NecSelectedRowsStayInRows89To92)
{
    EXPECT_EQ(sjisTo(KanjiCode::Euc, "\xED\x40"), "\xF9\xA1"s); // 纊
    EXPECT_EQ(sjisTo(KanjiCode::Euc, "\xEE\xFC"), "\xFC\xFE"s); // ＂
    EXPECT_EQ(sjisTo(KanjiCode::Jis, "\xED\x40"), "\x1B$By!\x1B(B"s);
    EXPECT_EQ(sjisTo(KanjiCode::Jis, "\xEE\xFC"), "\x1B$B|~\x1B(B"s);
}

TEST(NecIbmMapping, IbmCodeTakesItsTwinInTheOrderOfRows)
{
    struct Case
    {
        const char *ibm;
        const char *euc;
        const char *why;
    };
    const Case cases[] = {
        {"\xFA\x54", "\xA2\xCC", "NOT SIGN: row 2 first"},
        {"\xFA\x5B", "\xA2\xE8", "BECAUSE: row 2, though row 13 has it too"},
        {"\xFA\x4A", "\xAD\xB5", "ROMAN NUMERAL ONE: row 13"},
        {"\xFA\x58", "\xAD\xEA", "PARENTHESIZED IDEOGRAPH STOCK: row 13"},
        {"\xFA\x59", "\xAD\xE2", "NUMERO SIGN: row 13"},
        {"\xFA\x40", "\xFC\xF1", "SMALL ROMAN NUMERAL ONE: NEC-selected"},
        {"\xFA\x5C", "\xF9\xA1", "first IBM kanji: first NEC-selected kanji"},
        {"\xFB\xFC", "\xFC\xE2", "髙"},
        {"\xFC\x4B", "\xFC\xEE", "last IBM code: last NEC-selected kanji"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(hex(sjisTo(KanjiCode::Euc, c.ibm)), hex(c.euc)) << c.why;
}

TEST(NecIbmMapping, EucOfIbmCodeLoadsAsTheSameCharacter)
{
    for (const char *ibm : {"\xFA\x40", "\xFA\x54", "\xFA\x58", "\xFB\xFC", "\xFA\xB1"}) {
        std::string back =
            convertFrom(sjisTo(KanjiCode::Euc, ibm), KanjiCode::Euc, KanjiCode::ShiftJis);
        EXPECT_EQ(cp932ToUtf8(back), cp932ToUtf8(ibm)) << hex(ibm);
    }
}

TEST(NecIbmMapping, Jis0212FormsOfIbmCharactersAreAccepted)
{
    // As EUC-JP-MS writes them: the IBM extensions in the JIS X 0212 plane.
    EXPECT_EQ(convertFrom("\x8F\xF3\xF3", KanjiCode::Euc, KanjiCode::ShiftJis), "\xFA\x40"s);
    EXPECT_EQ(convertFrom("\x8F\xF4\xFB", KanjiCode::Euc, KanjiCode::ShiftJis), "\xFB\xFC"s);
    EXPECT_EQ(convertFrom("\x8F\xF4\xFB", KanjiCode::Euc, KanjiCode::Euc), "\xFC\xE2"s);
    // JIS X 0212's own tilde is CP932's full-width tilde.
    EXPECT_EQ(convertFrom("\x8F\xA2\xB7", KanjiCode::Euc, KanjiCode::ShiftJis), "\x81\x60"s);
    EXPECT_EQ(convertFrom("\x1B$(Dss\x1B(B", KanjiCode::Jis, KanjiCode::ShiftJis), "\xFA\x40"s);
}

// --- Round trips ------------------------------------------------------------------------------

class KanjiRoundTrip : public testing::TestWithParam<KanjiCode>
{};

TEST_P(KanjiRoundTrip, EveryCp932CharacterComesBack)
{
    // Shift-JIS -> JIS or EUC -> Shift-JIS gives the same characters; a user-defined character,
    // which JIS and EUC cannot hold, comes back as its reference.
    std::string sjis;
    std::string expected;
    for (const std::string &code : allCp932DoubleByteCodes()) {
        sjis += code;
        std::string utf8 = cp932ToUtf8(code);
        char32_t cp = codePointOf(utf8);
        expected += cp >= 0xE000 && cp <= 0xF8FF ? htmlReference(cp) : utf8;
    }
    for (int b = 0x20; b <= 0x7E; ++b)
        sjis += static_cast<char>(b);
    for (int b = 0xA1; b <= 0xDF; ++b)
        sjis += static_cast<char>(b);
    expected += cp932ToUtf8(sjis.substr(sjis.size() - 95 - 63));

    std::string middle = sjisTo(GetParam(), sjis);
    std::string back = convertFrom(middle, GetParam(), KanjiCode::ShiftJis, LineEnd::CrLf);
    std::string actual = cp932ToUtf8(back);
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected);
}

TEST_P(KanjiRoundTrip, MiddleCodeHasNoShiftJisBytes)
{
    // The JIS or EUC form must be pure: nothing passes through in Shift-JIS.
    std::string sjis;
    for (const std::string &code : allCp932DoubleByteCodes()) {
        if (static_cast<unsigned char>(code[0]) < 0xF0 ||
            static_cast<unsigned char>(code[0]) > 0xF9)
            sjis += code;
    }
    std::string middle = sjisTo(GetParam(), sjis);
    EXPECT_EQ(countErrors(middle, GetParam()), 0u);
    if (GetParam() == KanjiCode::Jis) {
        for (char c : middle)
            ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    }
}

INSTANTIATE_TEST_SUITE_P(ThroughJisAndEuc, KanjiRoundTrip,
                         testing::Values(KanjiCode::Jis, KanjiCode::Euc), [](const auto &info) {
                             return std::string(info.param == KanjiCode::Jis ? "Jis" : "Euc");
                         });

// --- Half-width katakana ----------------------------------------------------------------------

TEST(HalfWidthKana, StaysHalfWidthInEveryCode)
{
    EXPECT_EQ(sjisTo(KanjiCode::Euc, "\xB1\xDF"), "\x8E\xB1\x8E\xDF"s);
    EXPECT_EQ(sjisTo(KanjiCode::Jis, "\xB1\xDF"), "\x1B(I1_\x1B(B"s);
    EXPECT_EQ(fromUtf8("\uFF71\uFF9F"), "\xB1\xDF"s);
    EXPECT_EQ(convertFrom("\x8E\xB1", KanjiCode::Euc, KanjiCode::ShiftJis), "\xB1"s);
}

TEST(HalfWidthKana, AllSixtyThreeComeBackFromJisAndEuc)
{
    std::string kana;
    for (int b = 0xA1; b <= 0xDF; ++b)
        kana += static_cast<char>(b);
    for (KanjiCode code : {KanjiCode::Jis, KanjiCode::Euc})
        EXPECT_EQ(convertFrom(sjisTo(code, kana), code, KanjiCode::ShiftJis), kana);
}

// --- References -------------------------------------------------------------------------------

TEST(References, CharacterShiftJisCannotHold)
{
    EXPECT_EQ(fromUtf8("a\U0001F600b"), "a&#x1F600;b");
    EXPECT_EQ(fromUtf8("\u00E9\u00A5"), "&#xE9;&#xA5;"); // upper case, no leading zeros
    EXPECT_EQ(fromUtf8("\U0001F600", ReferenceStyle::Css), "\\1F600 ");
    // A JIS X 0212 kanji from EUC that CP932 lacks.
    ASSERT_FALSE(iconvConvert("UTF-8", "CP932", "\u4E02").has_value());
    EXPECT_EQ(convertFrom("\x8F\xB0\xA1", KanjiCode::Euc, KanjiCode::ShiftJis), "&#x4E02;");
    EXPECT_EQ(convertFrom("\x1B$(D0!\x1B(B", KanjiCode::Jis, KanjiCode::ShiftJis), "&#x4E02;");
}

TEST(References, UserDefinedCharacterIntoJisAndEuc)
{
    EXPECT_EQ(sjisTo(KanjiCode::Euc, "\xF0\x40\xF9\xFC"), "&#xE000;&#xE757;");
    // In JIS the reference is ASCII: the kanji set ends before it and starts again after.
    EXPECT_EQ(sjisTo(KanjiCode::Jis, "\x88\x9F\xF0\x40\x88\x9F"),
              "\x1B$B0!\x1B(B&#xE000;\x1B$B0!\x1B(B"s);
    // Shift-JIS holds it: no reference.
    EXPECT_EQ(sjisTo(KanjiCode::ShiftJis, "\xF0\x40"), "\xF0\x40"s);
    EXPECT_EQ(fromUtf8("\uE000"), "\xF0\x40"s);
}

TEST(References, NothingBecomesQuestionMarkOrGeta)
{
    std::string utf8 = "\U0001F600\u00A9\u20AC\u2603\uFFFD\u4E02";
    std::string out = fromUtf8(utf8);
    EXPECT_EQ(out.find('?'), std::string::npos);
    EXPECT_EQ(out.find("\x81\xAC"), std::string::npos); // 〓
    EXPECT_EQ(out, "&#x1F600;&#xA9;&#x20AC;&#x2603;&#xFFFD;&#x4E02;");
}

} // namespace
} // namespace scrivlet::unkanj::test
