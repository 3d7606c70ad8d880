// The Shift-JIS codec pinned on the bytes where Windows' code page 932 and plain Shift_JIS part
// ways, and on faulty input.

#include "files/Cp932.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;

enum class Way { Both, DecodeOnly, EncodeOnly };

struct Pin
{
    QByteArray bytes;
    QString text;
    Way way;
    bool ok = true; // false: faulty bytes, or characters the code cannot hold
};

TEST(Cp932Codec, PinnedCodesGoTheWindowsWay)
{
    const Pin pins[] = {
        // Row 1, where JIS-based tables give U+301C, U+2016, U+2212 ...
        {"\x81\x60"_ba, u"\uFF5E"_s, Way::Both},
        {"\x81\x5F"_ba, u"\uFF3C"_s, Way::Both},
        {"\x81\x61\x81\x7C\x81\x5C"_ba, u"\u2225\uFF0D\u2015"_s, Way::Both},
        {"\x81\x91\x81\x92\x81\xCA"_ba, u"\uFFE0\uFFE1\uFFE2"_s, Way::Both},
        // The JIS forms, as input methods type them, take their Windows twin's code.
        {"\x81\x60\x81\x61\x81\x7C\x81\x5C"_ba, u"\u301C\u2016\u2212\u2014"_s, Way::EncodeOnly},
        {"\x81\x91\x81\x92\x81\xCA"_ba, u"\u00A2\u00A3\u00AC"_s, Way::EncodeOnly},
        // NEC row 13; where a character has two codes, the one Windows writes: row 2 before
        // row 13, IBM extensions before the NEC-selected copies.
        {"\x87\x40\x87\x54\x87\x82\x87\x5F"_ba, u"①Ⅰ№㍉"_s, Way::Both},
        {"\x87\x90"_ba, u"≒"_s, Way::DecodeOnly},
        {"\x81\xE0\x81\xE6"_ba, u"≒∵"_s, Way::Both},
        {"\xFA\x40\xFA\x5C\xFC\x4B\xFA\x55"_ba, u"ⅰ纊黑\uFFE4"_s, Way::Both},
        {"\xED\x40\xEE\xEF"_ba, u"纊ⅰ"_s, Way::DecodeOnly},
        // User-defined area, half-width katakana, ASCII, second bytes that look like ASCII.
        {"\xF0\x40\xF9\xFC\xB1\xDF"
         "abc\\~"_ba,
         u"\uE000\uE757ｱﾟabc\\~"_s, Way::Both},
        {"\x95\x5C\x83\x5D\x81\x5B\x94\x5C"_ba, u"表ゾー能"_s, Way::Both},
        {""_ba, u""_s, Way::Both},
        // Faulty bytes become U+FFFD one byte each: the byte after a stray lead byte may begin
        // the next character.
        {"\x81"_ba, u"\uFFFD"_s, Way::DecodeOnly, false},
        {"\x81 a\x80\xA0"_ba, u"\uFFFD a\uFFFD\uFFFD"_s, Way::DecodeOnly, false},
        {"a\xFD\xFE\xFF"
         "b\x95\x5C\x81"_ba,
         u"a\uFFFD\uFFFD\uFFFDb表\uFFFD"_s, Way::DecodeOnly, false},
        // Characters without a code become "?", also those glibc would quietly turn into the
        // ASCII backslash (U+00A5) and tilde (U+203E) or drop (tag characters).
        {"a?b"_ba, u"a😀b"_s, Way::EncodeOnly, false},
        {"?\x95\x5C??x?y"_ba, u"☃表\u00A5\u203Ex\U000E0001y"_s, Way::EncodeOnly, false},
        {"?a?"_ba, QChar(0xD800) + u"a"_s + QChar(0xDC00), Way::EncodeOnly, false}};
    for (const Pin &pin : pins) {
        bool ok = !pin.ok;
        if (pin.way != Way::EncodeOnly) {
            EXPECT_EQ(decodeCp932(pin.bytes, &ok), pin.text) << pin.bytes.toHex().data();
            EXPECT_EQ(ok, pin.ok) << pin.bytes.toHex().data();
        }
        ok = !pin.ok;
        if (pin.way != Way::DecodeOnly) {
            EXPECT_EQ(encodeCp932(pin.text, &ok).toStdString(), pin.bytes.toStdString())
                << test::visible(pin.text);
            EXPECT_EQ(ok, pin.ok) << test::visible(pin.text);
        }
    }
    EXPECT_EQ(decodeCp932("\x82\xA0"), u"あ"); // no ok pointer
    EXPECT_EQ(encodeCp932(u"😀"), "?"_ba);
}

TEST(Cp932Codec, EveryCharacterComesBackAsItself)
{
    // Every code that decodes cleanly gives bytes that decode to the same text again (the
    // bytes may be the twin's, as with 0xED40 and 0xFA5C).
    QString all;
    for (int lead = 0; lead < 0x100; ++lead) {
        for (int trail = -1; trail < 0x100; ++trail) {
            QByteArray bytes(1, char(lead));
            if (trail >= 0)
                bytes.append(char(trail));
            bool ok = false;
            const QString text = decodeCp932(bytes, &ok);
            if (!ok || text.size() != 1 || (trail >= 0 && lead < 0x80))
                continue;
            all += text;
            bool encoded = false;
            const QByteArray again = encodeCp932(text, &encoded);
            ASSERT_TRUE(encoded) << bytes.toHex().data();
            ASSERT_EQ(decodeCp932(again), text) << bytes.toHex().data();
        }
    }
    // 128 ASCII, 63 half-width katakana, and the two-byte codes of Windows' table; all of them
    // in one text, long enough that any fixed buffer inside would have to be refilled.
    EXPECT_GT(all.size(), 9000);
    bool ok = false;
    EXPECT_EQ(decodeCp932(encodeCp932(all, &ok)), all);
    EXPECT_TRUE(ok);
}

} // namespace
} // namespace scrivlet
