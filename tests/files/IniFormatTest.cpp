// The profile format on bytes in memory: what a value reads as, and which bytes a write changes.

#include "files/IniFormat.h"
#include "tests/common/TestSupport.h"
#include "tests/files/IniTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;
using files::profileInteger;
using files::profileValue;
using files::withProfileValue;
using test::str;

constexpr auto kNone = std::nullopt; // missing on reading, refused on writing

// The file "[s]" with "k=" and the value's bytes.
QByteArray sk(const QByteArray &value)
{
    return "[s]\r\nk=" + value + "\r\n";
}

TEST(ProfileRead, ValuesAsTheWindowsReaderSeesThem)
{
    const QByteArray q = test::iniFixture(u"quirks.ini"_s);
    ASSERT_FALSE(q.isEmpty());
    const QByteArray a1500(1500, 'a');
    const QByteArray odd = "k=1\r\n[s]\r\n=2\r\nn =  \r\n";
    const std::tuple<QByteArray, QStringView, QStringView, std::optional<QString>> cases[] = {
        // Names in any letter case and blanks around names and values do not count; the first
        // of two sections or keys of one name wins; one pair of enclosing quotes is dropped.
        {q, u"CONVERT", u"kanjicode", u"EUC"_s},
        {q, u"Convert", u"ReturnCode", u"  CR  "_s},
        {q, u"Convert", u"Extra", kNone},             // in the second [Convert] only
        {"[s]\r\n;k=v\r\n", u"s", u";k", kNone},      // a comment
        {q, u"Convert", u"Internet Explorer", kNone}, // a line without "="
        {q, u" Spaced Section ", u"Internet Explorer ", u"/opt/ie/iexplore"_s},
        {q, u"Quotes", u"single", u"quoted"_s},
        {q, u"Quotes", u"mismatched", u"\"open'"_s},
        {q, u"Quotes", u"lone", u"\""_s},
        {q, u"Quotes", u"empty", u""_s},
        {q, u"Quotes", u"inner", u"a \"b\" c"_s},
        {q, u"Quotes", u"equals", u"a=b=c"_s},
        {sk("\"\"\"\""), u"s", u"k", u"\"\""_s},
        {sk("v \x1A"), u"s", u"k", u"v"_s}, // ^Z, the DOS end-of-file mark, is a blank too
        // Full-width letters fold; a full-width space is a character, not a blank.
        {"[\x82\x60\x82\x81]\r\nk=\x81\x40x\x81\x40\r\n", u"ａＡ", u"K", u"\u3000x\u3000"_s},
        // A key before any section is in none; a line "=value" has no name; empty is a value.
        {odd, u"s", u"k", kNone},
        {odd, u"s", u"n", u""_s},
        {odd, u"", u"k", kNone},
        {odd, u"s", u"", kNone},
        // A section line ends at its last "]" that is a character of its own: ゾ is 0x83 0x5D.
        {"[a]b] ; remark\r\nk=v\r\n", u"a]b", u"k", u"v"_s},
        {"[\x83\x5D]\r\nk=v\r\n", u"ゾ", u"k", u"v"_s},
        {"[s]\r\n[\x83\x5D\r\nk=v\r\n", u"s", u"k", u"v"_s}, // no "]": no section
        // A lone CR ends a line; LF CR LF is two; UTF-16 is not this format.
        {"[s]\rk=v", u"s", u"k", u"v"_s},
        {"[s]\n\r\nk=v", u"s", u"k", u"v"_s},
        {"\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0"_ba, u"s", u"k", kNone},
        // The quotes go first, then the value ends at a NUL or at 1023 bytes, never inside a
        // character; half-width katakana are one byte each.
        {sk("\"a\0b\""_ba), u"s", u"k", u"a"_s},
        {sk(a1500), u"s", u"k", QString(1023, u'a')},
        {sk('"' + a1500 + '"'), u"s", u"k", QString(1023, u'a')},
        {sk(QByteArray(1023, 'a')), u"s", u"k", QString(1023, u'a')},
        {sk(QByteArray(1022, 'a') + "\x82\xA0"), u"s", u"k", QString(1022, u'a')},
        {sk(QByteArray(1021, 'a') + "\x82\xA0\x82\xA0"), u"s", u"k", QString(1021, u'a') + u'あ'},
        {sk(QByteArray(1200, '\xB1')), u"s", u"k", QString(1023, u'ｱ')},
    };
    for (const auto &[file, section, key, value] : cases)
        EXPECT_EQ(profileValue(file, section, key), value)
            << str(file.left(60)) << " / " << str(key.toUtf8());
}

TEST(ProfileRead, IntegersAreTheLeadingAsciiDigitsHeldToTheRangeOfInt)
{
    const std::pair<const char16_t *, int> cases[] = {
        {u"0", 0},  {u"007", 7}, {u"12abc", 12}, {u"3 4", 3},  {u"", 0},    {u"x1", 0},
        {u"-1", 0}, {u"+5", 0},  {u" 5", 0},     {u"0x10", 0}, {u"１２", 0}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(profileInteger(QStringView(value)), expected)
            << QStringView(value).toString().toStdString();
    for (QStringView big : {u"2147483647", u"2147483648", u"4294967297", u"99999999999999999999"})
        EXPECT_EQ(profileInteger(big), INT_MAX) << big.toString().toStdString();
}

const QByteArray kConvert = "; settings\r\n[Convert]\r\nKanjiCode = EUC\r\nReturnCode=LF  \r\n"
                            "\r\n[History]\r\n1=/tmp/a.html\r\n";

QByteArray convertWith(const char *before, const char *after)
{
    return QByteArray(kConvert).replace(before, after);
}

TEST(ProfileWrite, OneValueChangesAndEveryOtherByteStays)
{
    const std::tuple<QByteArray, QStringView, QStringView, QString, std::optional<QByteArray>>
        cases[] = {
            // In place: the name as the file spells it and the blanks around "=" stay.
            {kConvert, u"Convert", u"ReturnCode", u"CR"_s, convertWith("LF  ", "CR")},
            {kConvert, u"CONVERT", u"kanjicode", u"JIS"_s, convertWith("EUC", "JIS")},
            {kConvert, u"Convert", u"KanjiCode", u""_s, convertWith(" EUC", "")},
            {"[s]\r\n  k\t=\t\"old\"  \r\n", u"s", u"k", u"new"_s, "[s]\r\n  k\t=\tnew\r\n"},
            {"[s]\r\nk=1\r\nK=2\r\n", u"s", u"k", u"3"_s, "[s]\r\nk=3\r\nK=2\r\n"},
            // A new key after the section's last entry (a bare line counts as one), in front of
            // the comments and blank lines that follow it; in the first section of the name.
            {kConvert, u"Convert", u"Extra", u""_s, convertWith("LF  \r\n", "LF  \r\nExtra=\r\n")},
            {"[s]\r\na=1\r\n; note\r\nbare\r\n\r\n\r\n[t]\r\n", u"s", u"b", u"2"_s,
             "[s]\r\na=1\r\n; note\r\nbare\r\nb=2\r\n\r\n\r\n[t]\r\n"},
            {"[s]\r\na=1\r\n; one\r\n\r\n;two\r\n[t]\r\n", u"s", u"b", u"2"_s,
             "[s]\r\na=1\r\nb=2\r\n; one\r\n\r\n;two\r\n[t]\r\n"},
            {"[s]\r\n; only a comment\r\n", u"s", u"b", u"2"_s,
             "[s]\r\nb=2\r\n; only a comment\r\n"},
            {"[s]\r\n\r\n[t]\r\n", u"S", u"k", u"v"_s, "[s]\r\nk=v\r\n\r\n[t]\r\n"},
            {"[s]\r\na=1\r\n[S]\r\nb=2\r\n", u"s", u"b", u"3"_s,
             "[s]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n"},
            {"[s]\r\nk=v", u"s", u"k", u"w"_s, "[s]\r\nk=w"},
            {"[s]\r\nk=v", u"s", u"n", u"1"_s, "[s]\r\nk=v\r\nn=1\r\n"},
            {"[s]", u"s", u"k", u"v"_s, "[s]\r\nk=v\r\n"},
            // A new section right after the last line, with no blank line before it, in the
            // file's own line ends; a last line without its line break gets one first.
            {kConvert, u"Find", u"1", u"表"_s, kConvert + "[Find]\r\n1=\x95\x5C\r\n"},
            {"[s]\r\nk=v\r\n\r\n", u"t", u"k", u"v"_s, "[s]\r\nk=v\r\n\r\n[t]\r\nk=v\r\n"},
            {"[s]\rk=v\r", u"t", u"n", u"1"_s, "[s]\rk=v\r[t]\rn=1\r"},
            {"[s]\r\nk=v", u"t", u"n", u"1"_s, "[s]\r\nk=v\r\n[t]\r\nn=1\r\n"},
            {"", u" Browser ", u" Internet Explorer ", u"/x"_s,
             "[Browser]\r\nInternet Explorer=/x\r\n"},
            {"\xEF\xBB\xBF", u"s", u"k", u"表☃"_s,
             "\xEF\xBB\xBF[s]\r\nk=\xE8\xA1\xA8\xE2\x98\x83\r\n"},
            // Japanese names match by their characters: ゾ and ソ end in "]" and "\".
            {"[\x83\x5D\x81\x5B]\r\n\x83\x5C=1\r\n", u"ゾー", u"ソ", u"2"_s,
             "[\x83\x5D\x81\x5B]\r\n\x83\x5C=2\r\n"},
            // NUL bytes, faulty Shift-JIS and a key before any section pass through untouched.
            {"k=0\r\n\0\xFF\x81\r\n[s]\r\nbad\x81=\x80\r\nk=v\r\ntail\0\r\n"_ba, u"s", u"k", u"w"_s,
             "k=0\r\n\0\xFF\x81\r\n[s]\r\nbad\x81=\x80\r\nk=w\r\ntail\0\r\n"_ba},
            // Blanks or quotes at the edges that reading would drop are kept inside quotes.
            {sk("v"), u"s", u"k", u" x "_s, sk("\" x \"")},
            {sk("v"), u"s", u"k", u"a \"b\""_s, sk("a \"b\"")}};
    for (const auto &[file, section, key, value, expected] : cases) {
        EXPECT_EQ(str(withProfileValue(file, section, key, value)), str(expected))
            << str(file.left(60)) << " / " << str(key.toUtf8()) << " = " << test::visible(value);
    }
}

TEST(ProfileWrite, WhatTheReaderCouldNotGiveBackOrWouldFindAsAnotherKeyIsRefused)
{
    for (const QString &value : {u"a\r\nk=b"_s, u"a\n"_s, u"a\rb"_s, u"a\0"_s, u"😀"_s, u"\u00A5"_s})
        EXPECT_EQ(str(withProfileValue(sk("v"), u"s", u"k", value)), "<refused>")
            << test::visible(value);
    const QStringView sectionsAndKeys[][2] = {{u"s", u"☃"},     {u"", u"k"},    {u"s", u" "},
                                              {u"s", u"a=b"},   {u"s", u"[k]"}, {u"s", u";k"},
                                              {u"a\r\nb", u"k"}};
    for (const auto &[section, key] : sectionsAndKeys)
        EXPECT_EQ(str(withProfileValue(sk("v"), section, key, u"v")), "<refused>")
            << test::visible(key.toString());
    EXPECT_FALSE(withProfileValue("\xEF\xBB\xBF", u"s", u"k", QString(QChar(0xD800)))); // UTF-8
    EXPECT_FALSE(withProfileValue("\xFF\xFE[\0s\0]\0"_ba, u"s", u"k", u"v"));           // UTF-16
}

TEST(ProfileWrite, NamesWithAlternativeFormsFindTheLineWrittenForThem)
{
    // 〜 and — are written under the codes of ～ and ―, and read back as those: either spelling
    // finds the line, and writing again replaces it rather than adding another.
    const std::optional<QByteArray> once = withProfileValue(""_ba, u"波〜", u"—a", u"1");
    ASSERT_TRUE(once);
    EXPECT_EQ(str(once), "[\x94\x67\x81\x60]\r\n\x81\x5C"
                         "a=1\r\n");
    EXPECT_EQ(profileValue(*once, u"波〜", u"—a"), u"1"_s);
    EXPECT_EQ(profileValue(*once, u"波～", u"―A"), u"1"_s);
    EXPECT_EQ(str(withProfileValue(*once, u"波〜", u"—a", u"2")), "[\x94\x67\x81\x60]\r\n\x81\x5C"
                                                                  "a=2\r\n");
}

TEST(ProfileWrite, RandomWritesAlwaysReadBackAndRewritingChangesNothing)
{
    // Names and values pieced together from what has tripped the format: letter case, blanks
    // (^Z among them), "=", brackets, ";", quotes, kanji whose second byte is "\" or "]",
    // half-width katakana, full-width letters and spaces, and the alternative forms beside
    // their Windows twins. Fixed seed.
    const QStringList pieces = {u"a"_s,      u"B"_s,  u"k"_s,  u"1"_s, u" "_s,  u"\t"_s, u"\x1A"_s,
                                u"\u3000"_s, u"ソ"_s, u"="_s,  u"["_s, u"]"_s,  u";"_s,  u"\""_s,
                                u"'"_s,      u"表"_s, u"ゾ"_s, u"ｱ"_s, u"Ａ"_s, u"ａ"_s, u"〜"_s,
                                u"～"_s,     u"—"_s,  u"―"_s,  u"‖"_s, u"∥"_s,  u"−"_s,  u"－"_s,
                                u"¢"_s,      u"£"_s,  u"¬"_s};
    // What reading gives back for each alternative form: its Windows twin.
    const std::pair<char16_t, char16_t> twins[] = {{u'〜', u'～'}, {u'—', u'―'},  {u'‖', u'∥'},
                                                   {u'−', u'－'},  {u'¢', u'￠'}, {u'£', u'￡'},
                                                   {u'¬', u'￢'}};
    std::mt19937 random(20261207);
    const auto draw = [&](int most) {
        QString text;
        for (int n = 1 + int(random() % most); n > 0; --n)
            text += pieces[int(random() % pieces.size())];
        return text;
    };
    QByteArray file = test::iniFixture(u"Scrivlet.ini"_s);
    ASSERT_FALSE(file.isEmpty());
    int written = 0;
    for (int round = 0; round < 4000; ++round) {
        const QString section = draw(3);
        const QString key = draw(3);
        const QString value = round % 5 == 0 ? QString() : draw(6);
        const std::optional<QByteArray> next = withProfileValue(file, section, key, value);
        if (!next)
            continue;
        ++written;
        QString expected = value;
        for (const auto &[form, twin] : twins)
            expected.replace(form, twin);
        const std::optional<QString> back = profileValue(*next, section, key);
        ASSERT_TRUE(back) << test::visible(section) << " / " << test::visible(key);
        ASSERT_EQ(*back, expected) << test::visible(section) << " / " << test::visible(key);
        ASSERT_EQ(str(withProfileValue(*next, section, key, value)), str(next))
            << test::visible(section) << " / " << test::visible(key);
        file = *next;
    }
    EXPECT_GT(written, 2000);
}

} // namespace
} // namespace scrivlet
