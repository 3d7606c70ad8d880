// The Shift-JIS codec pinned on the bytes where Windows' code page 932 and plain Shift_JIS part
// ways, and on faulty input.

#include "files/Cp932.h"
#include "tests/common/TestSupport.h"
#include "tests/files/IniTestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;
using test::escaped;

struct CodePair
{
    const char *bytes;
    const char16_t *text;
};

class Cp932Decoding : public ::testing::TestWithParam<CodePair>
{};

TEST_P(Cp932Decoding, GivesTheWindowsCharacter)
{
    const CodePair c = GetParam();
    bool ok = false;
    EXPECT_EQ(decodeCp932(c.bytes, &ok), QString::fromUtf16(c.text)) << escaped(c.bytes);
    EXPECT_TRUE(ok);
}

INSTANTIATE_TEST_SUITE_P(
    Cp932Codec, Cp932Decoding,
    ::testing::Values(
        // Row 1, where JIS-based tables give U+301C, U+005C-like, U+2016, U+2212 ...
        CodePair{"\x81\x60", u"\uFF5E"}, CodePair{"\x81\x5F", u"\uFF3C"},
        CodePair{"\x81\x61", u"\u2225"}, CodePair{"\x81\x7C", u"\uFF0D"},
        CodePair{"\x81\x91", u"\uFFE0"}, CodePair{"\x81\x92", u"\uFFE1"},
        CodePair{"\x81\xCA", u"\uFFE2"}, CodePair{"\x81\x5C", u"\u2015"},
        // NEC row 13.
        CodePair{"\x87\x40", u"①"}, CodePair{"\x87\x54", u"Ⅰ"}, CodePair{"\x87\x82", u"№"},
        CodePair{"\x87\x90", u"≒"}, CodePair{"\x87\x5F", u"㍉"},
        // IBM extensions, and the NEC-selected copies of them.
        CodePair{"\xFA\x40", u"ⅰ"}, CodePair{"\xFA\x5C", u"纊"}, CodePair{"\xED\x40", u"纊"},
        CodePair{"\xFC\x4B", u"黑"}, CodePair{"\xEE\xEF", u"ⅰ"}, CodePair{"\xFA\x55", u"\uFFE4"},
        // User-defined area.
        CodePair{"\xF0\x40", u"\uE000"}, CodePair{"\xF9\xFC", u"\uE757"},
        // Single bytes: ASCII stays ASCII; half-width katakana.
        CodePair{"\x5C", u"\\"}, CodePair{"\x7E", u"~"}, CodePair{"\xB1", u"ｱ"},
        CodePair{"\xDF", u"ﾟ"},
        // Second bytes that look like ASCII punctuation.
        CodePair{"\x95\x5C", u"表"}, CodePair{"\x83\x5D", u"ゾ"}, CodePair{"\x81\x5B", u"ー"},
        CodePair{"\x94\x5C\x97\xCD", u"能力"}));

class Cp932Encoding : public ::testing::TestWithParam<CodePair>
{};

TEST_P(Cp932Encoding, PicksTheCodeWindowsPicks)
{
    const CodePair c = GetParam();
    bool ok = false;
    const QString text = QString::fromUtf16(c.text);
    EXPECT_EQ(escaped(encodeCp932(text, &ok)), escaped(c.bytes)) << test::visible(text);
    EXPECT_TRUE(ok);
}

INSTANTIATE_TEST_SUITE_P(
    Cp932Codec, Cp932Encoding,
    ::testing::Values(CodePair{"\x81\x60", u"\uFF5E"}, CodePair{"\x81\x5F", u"\uFF3C"},
                      // The JIS forms, as input methods type them, take their Windows twin's code.
                      CodePair{"\x81\x60", u"\u301C"}, CodePair{"\x81\x61", u"\u2016"},
                      CodePair{"\x81\x7C", u"\u2212"}, CodePair{"\x81\x5C", u"\u2014"},
                      CodePair{"\x81\x91", u"\u00A2"}, CodePair{"\x81\x92", u"\u00A3"},
                      CodePair{"\x81\xCA", u"\u00AC"},
                      // A character with two codes gets the one Windows writes: row 2 before NEC
                      // row 13, IBM extensions before the NEC-selected copies.
                      CodePair{"\x81\xE0", u"≒"}, CodePair{"\x81\xE6", u"∵"},
                      CodePair{"\x81\xCA", u"\uFFE2"}, CodePair{"\xFA\x40", u"ⅰ"},
                      CodePair{"\xFA\x5C", u"纊"}, CodePair{"\x87\x54", u"Ⅰ"},
                      CodePair{"\x87\x82", u"№"}, CodePair{"\x87\x40", u"①"},
                      CodePair{"\xF0\x40", u"\uE000"}, CodePair{"\xB1\xDF", u"ｱﾟ"},
                      CodePair{"abc\\~", u"abc\\~"}, CodePair{"", u""}));

TEST(Cp932Codec, EveryCharacterComesBackAsItself)
{
    // Every two-byte code and every single byte that decodes cleanly gives bytes that decode to
    // the same text again (the bytes may be the twin's, as with 0xED40 and 0xFA5C).
    int characters = 0;
    for (int lead = 0; lead < 0x100; ++lead) {
        for (int trail = -1; trail < 0x100; ++trail) {
            QByteArray bytes(1, char(lead));
            if (trail >= 0)
                bytes.append(char(trail));
            bool ok = false;
            const QString text = decodeCp932(bytes, &ok);
            if (!ok || text.size() != 1 || (trail >= 0 && lead < 0x80))
                continue;
            ++characters;
            bool encoded = false;
            const QByteArray again = encodeCp932(text, &encoded);
            ASSERT_TRUE(encoded) << escaped(bytes);
            ASSERT_EQ(decodeCp932(again), text) << escaped(bytes);
        }
    }
    // 128 ASCII, 63 half-width katakana, and the two-byte codes of Windows' table.
    EXPECT_GT(characters, 9000);
}

TEST(Cp932Codec, FaultyBytesBecomeReplacementCharactersOneByteEach)
{
    struct Case
    {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"\x81", u"\uFFFD"_s},     // lead byte at the end
        {"\x81 a", u"\uFFFD a"_s}, // lead byte before a byte that cannot follow it
        {"\x80", u"\uFFFD"_s},
        {"\xA0", u"\uFFFD"_s},
        {"a\xFD\xFE\xFF"
         "b",
         u"a\uFFFD\uFFFD\uFFFDb"_s},
        {"\x95\x5C\x81", u"表\uFFFD"_s},
    };
    for (const Case &c : cases) {
        bool ok = true;
        EXPECT_EQ(decodeCp932(c.bytes, &ok), c.text) << escaped(c.bytes);
        EXPECT_FALSE(ok) << escaped(c.bytes);
    }
}

TEST(Cp932Codec, CharactersWithoutACodeAreReportedNotDropped)
{
    struct Case
    {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {u"a😀b"_s, "a?b"}, // outside the code, one "?" for the surrogate pair
        {u"☃"_s, "?"},
        {u"\u00A5"_s, "?"},         // would become the ASCII backslash
        {u"\u203E"_s, "?"},         // would become the ASCII tilde
        {u"x\U000E0001y"_s, "x?y"}, // glibc would drop a tag character without a word
        {QString(QChar(0xD800)) + u"a"_s, "?a"},
        {u"a"_s + QChar(0xDC00), "a?"},
        {u"表\u00A5表"_s, "\x95\x5C?\x95\x5C"},
    };
    for (const Case &c : cases) {
        bool ok = true;
        EXPECT_EQ(escaped(encodeCp932(c.text, &ok)), escaped(c.bytes)) << test::visible(c.text);
        EXPECT_FALSE(ok) << test::visible(c.text);
    }
}

TEST(Cp932Codec, NullOkPointerIsAllowed)
{
    EXPECT_EQ(decodeCp932("\x82\xA0"), u"あ"_s);
    EXPECT_EQ(encodeCp932(u"あ"), QByteArray("\x82\xA0"));
    EXPECT_EQ(encodeCp932(u"😀"), QByteArray("?"));
}

TEST(Cp932Codec, LargeTextsRoundTrip)
{
    // Long enough that any fixed buffer inside would have to be refilled many times.
    QString text;
    for (int i = 0; i < 40000; ++i)
        text += u"表示ｱｲｳabc①ⅰ～\r\n";
    bool encoded = false;
    const QByteArray bytes = encodeCp932(text, &encoded);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(bytes.size(), 40000 * 18);
    bool decoded = false;
    EXPECT_EQ(decodeCp932(bytes, &decoded), text);
    EXPECT_TRUE(decoded);
}

} // namespace
} // namespace scrivlet
