// The profile format on bytes in memory: what a value reads as, and which bytes a write changes.

#include "files/IniFormat.h"
#include "tests/common/TestSupport.h"
#include "tests/files/IniTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;
using files::profileInteger;
using files::profileValue;
using files::withProfileValue;
using test::bytesOf;
using test::escaped;

const QString kMissing = u"<missing>"_s;

QString read(QByteArrayView file, QStringView section, QStringView key)
{
    return profileValue(file, section, key).value_or(kMissing);
}

// The file after the write, escaped for readable failures; "<refused>" when it was refused.
std::string write(QByteArrayView file, QStringView section, QStringView key, QStringView value)
{
    const std::optional<QByteArray> out = withProfileValue(file, section, key, value);
    return out ? escaped(*out) : std::string("<refused>");
}

// --- Reading ------------------------------------------------------------------------------

TEST(ProfileRead, NamesMatchWithoutRegardToCaseValuesKeepTheirs)
{
    const QByteArray file = "[Convert]\r\nKanjiCode=jis\r\n";
    EXPECT_EQ(read(file, u"convert", u"KANJICODE"), u"jis");
    EXPECT_EQ(read(file, u"CONVERT", u"kanjicode"), u"jis");
    // Full-width letters fold too, as the platform's comparison does.
    EXPECT_EQ(read("[\x82\x60\x82\x81]\r\nk=v\r\n", u"ａＡ", u"K"), u"v");
}

TEST(ProfileRead, BlanksAroundNamesAndValuesDoNotCount)
{
    const QByteArray file = "  [ Browser ]  \r\n\t Internet Explorer \t=  /opt/ie/iexplore \t\r\n";
    EXPECT_EQ(read(file, u"Browser", u"Internet Explorer"), u"/opt/ie/iexplore");
    EXPECT_EQ(read(file, u" Browser ", u"Internet Explorer "), u"/opt/ie/iexplore");
    EXPECT_EQ(read(file, u"Browser", u"InternetExplorer"), kMissing);
    // A full-width space is a character of the value, not a blank.
    EXPECT_EQ(read("[s]\r\nk=\x81\x40x\x81\x40\r\n", u"s", u"k"), u"\u3000x\u3000");
}

TEST(ProfileRead, OnePairOfEnclosingQuotesIsDropped)
{
    struct Case
    {
        const char *value;
        const char16_t *read;
    };
    const Case cases[] = {
        {"\"quoted\"", u"quoted"},
        {"'quoted'", u"quoted"},
        {"\"  spaced  \"", u"  spaced  "},
        {"\"\"", u""},
        {"\"\"\"\"", u"\"\""},
        {"\"open'", u"\"open'"},
        {"\"", u"\""},
        {"'", u"'"},
        {"a \"b\" c", u"a \"b\" c"},
        {"\"a\" b", u"\"a\" b"},
        {"\"\x95\x5C\"", u"表"},
        {"  \"x\"  ", u"x"},
    };
    for (const Case &c : cases) {
        const QByteArray file = QByteArray("[s]\r\nk=") + c.value + "\r\n";
        EXPECT_EQ(read(file, u"s", u"k"), QString::fromUtf16(c.read)) << c.value;
    }
}

TEST(ProfileRead, TheFirstOfTwoSectionsOrKeysWins)
{
    const QByteArray file = "[Convert]\r\nKanjiCode=EUC\r\nkanjicode=JIS\r\n"
                            "[convert]\r\nKanjiCode=LF\r\nReturnCode=CR\r\n";
    EXPECT_EQ(read(file, u"Convert", u"KanjiCode"), u"EUC");
    // Only the first section of the name is searched.
    EXPECT_EQ(read(file, u"Convert", u"ReturnCode"), kMissing);
}

TEST(ProfileRead, OnlyNameEqualsValueLinesInsideASectionAreKeys)
{
    const QByteArray file = "Use=1\r\n" // before any section
                            "[Template]\r\n"
                            "; Use=2\r\n" // a comment
                            ";Use=3\r\n"
                            "TemplatePass\r\n"    // no "="
                            "=orphan\r\n"         // no name
                            "Netscape=a=b=c\r\n"; // the first "=" splits
    EXPECT_EQ(read(file, u"Template", u"Use"), kMissing);
    EXPECT_EQ(read(file, u"Template", u";Use"), kMissing);
    EXPECT_EQ(read(file, u"Template", u"TemplatePass"), kMissing);
    EXPECT_EQ(read(file, u"Template", u"Netscape"), u"a=b=c");
}

TEST(ProfileRead, ASectionLineEndsAtItsLastBracket)
{
    EXPECT_EQ(read("[Convert] ; remark\r\nk=v\r\n", u"Convert", u"k"), u"v");
    EXPECT_EQ(read("[a]b]\r\nk=v\r\n", u"a]b", u"k"), u"v");
    // ゾ is 0x83 0x5D: its second byte is no bracket.
    EXPECT_EQ(read("[\x83\x5D]\r\nk=v\r\n", u"ゾ", u"k"), u"v");
}

TEST(ProfileRead, ALineWithoutItsClosingBracketOpensNoSection)
{
    const QByteArray file = "[Convert]\r\nKanjiCode=JIS\r\n[Browser\r\nNetscape=/usr/bin/x\r\n"
                            "[\x83\x5D\r\nReturnCode=CR\r\n";
    EXPECT_EQ(read(file, u"Browser", u"Netscape"), kMissing);
    EXPECT_EQ(read(file, u"Convert", u"Netscape"), u"/usr/bin/x");
    EXPECT_EQ(read(file, u"Convert", u"ReturnCode"), u"CR");
    EXPECT_EQ(read(file, QString(QChar(0xFFFD)), u"ReturnCode"), kMissing);
}

TEST(ProfileRead, AnyLineEndReads)
{
    for (const char *lineBreak : {"\r\n", "\n", "\r"}) {
        const QByteArray file = QByteArray("[Convert]") + lineBreak + "KanjiCode=EUC" + lineBreak +
                                "ReturnCode=LF" + lineBreak;
        EXPECT_EQ(read(file, u"Convert", u"KanjiCode"), u"EUC") << escaped(lineBreak);
        EXPECT_EQ(read(file, u"Convert", u"ReturnCode"), u"LF") << escaped(lineBreak);
    }
    EXPECT_EQ(read("[s]\n\r\nk=v", u"s", u"k"), u"v");
}

TEST(ProfileRead, AByteOrderMarkMeansUtf8)
{
    const QByteArray file = "\xEF\xBB\xBF[FindHistory]\r\n1=\xE8\xA1\xA8\xE7\xA4\xBA\r\n";
    EXPECT_EQ(read(file, u"FindHistory", u"1"), u"表示");
}

TEST(ProfileRead, Utf16FilesAreNotThisFormat)
{
    const QByteArray file = bytesOf("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0");
    EXPECT_EQ(read(file, u"s", u"k"), kMissing);
}

TEST(ProfileRead, AValueEndsAtItsFirstNulByte)
{
    EXPECT_EQ(read(bytesOf("[s]\r\nk=abc\0def\r\n"), u"s", u"k"), u"abc");
    EXPECT_EQ(read(bytesOf("[s]\r\nk=\0\r\n"), u"s", u"k"), u"");
    EXPECT_EQ(read(bytesOf("[s]\r\nk=\"a\0b\"\r\n"), u"s", u"k"), u"a");
}

TEST(ProfileRead, AnEmptyValueIsAValue)
{
    EXPECT_EQ(read("[FindHistory]\r\n3=\r\n", u"FindHistory", u"3"), u"");
    EXPECT_EQ(read("[FindHistory]\r\n3 =   \r\n", u"FindHistory", u"3"), u"");
}

TEST(ProfileRead, EmptyNamesFindNothing)
{
    const QByteArray file = "k=before\r\n[s]\r\nk=v\r\n";
    EXPECT_EQ(read(file, u"", u"k"), kMissing);
    EXPECT_EQ(read(file, u"s", u""), kMissing);
    EXPECT_EQ(read(file, u"  ", u"k"), kMissing);
}

TEST(ProfileRead, AValueIsCutTo1023BytesNeverInsideACharacter)
{
    struct Case
    {
        QByteArray value;
        QString read;
    };
    const QByteArray a1500(1500, 'a');
    const Case cases[] = {
        {a1500, QString(1023, u'a')},
        {QByteArray(1023, 'a'), QString(1023, u'a')},
        // A two-byte character across the limit is left out whole.
        {QByteArray(1022, 'a') + "\x82\xA0", QString(1022, u'a')},
        {QByteArray(1021, 'a') + "\x82\xA0", QString(1021, u'a') + u"あ"_s},
        {QByteArray(1021, 'a') + "\x82\xA0\x82\xA0", QString(1021, u'a') + u"あ"_s},
        // Half-width katakana take one byte each.
        {QByteArray(1200, '\xB1'), QString(1023, u'ｱ')},
        // Kanji whose second byte is a backslash are counted as the characters they are.
        {QByteArray("a") + QByteArray(1000, '\x95').replace("\x95", "\x95\x5C"),
         u"a"_s + QString(511, u'表')},
        // The quotes go first, then the cut.
        {'"' + a1500 + '"', QString(1023, u'a')},
    };
    for (const Case &c : cases) {
        const QByteArray file = "[History]\r\n1=" + c.value + "\r\n2=next\r\n";
        const QString value = read(file, u"History", u"1");
        EXPECT_EQ(value.size(), c.read.size()) << c.value.size();
        EXPECT_EQ(value, c.read) << c.value.size();
        EXPECT_EQ(read(file, u"History", u"2"), u"next");
    }
}

// --- Integers -------------------------------------------------------------------------------

struct IntegerCase
{
    const char16_t *value;
    int read;
};

class ProfileInteger : public ::testing::TestWithParam<IntegerCase>
{};

TEST_P(ProfileInteger, ReadsTheLeadingDigits)
{
    const IntegerCase c = GetParam();
    EXPECT_EQ(profileInteger(QString::fromUtf16(c.value)), c.read)
        << test::visible(QString::fromUtf16(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileInteger,
    ::testing::Values(IntegerCase{u"0", 0}, IntegerCase{u"2", 2}, IntegerCase{u"007", 7},
                      IntegerCase{u"12abc", 12}, IntegerCase{u"3 4", 3}, IntegerCase{u"abc", 0},
                      IntegerCase{u"", 0}, IntegerCase{u"x1", 0},
                      // A sign or a blank left inside quotes is not a digit.
                      IntegerCase{u"-1", 0}, IntegerCase{u"+5", 0}, IntegerCase{u"-", 0},
                      IntegerCase{u" 5", 0}, IntegerCase{u"\t-5", 0},
                      // Decimal only, ASCII digits only.
                      IntegerCase{u"0x10", 0}, IntegerCase{u"１２", 0},
                      // Held at the ends of the range, never wrapped.
                      IntegerCase{u"2147483647", INT_MAX}, IntegerCase{u"2147483648", INT_MAX},
                      IntegerCase{u"4294967297", INT_MAX},
                      IntegerCase{u"99999999999999999999999", INT_MAX}));

// --- Writing --------------------------------------------------------------------------------

const QByteArray kConvert = "; settings\r\n"
                            "[Convert]\r\n"
                            "KanjiCode = EUC\r\n"
                            "ReturnCode=LF  \r\n"
                            "\r\n"
                            "[History]\r\n"
                            "1=/tmp/a.html\r\n";

TEST(ProfileWrite, AnExistingValueIsReplacedInItsLineAlone)
{
    EXPECT_EQ(write(kConvert, u"Convert", u"ReturnCode", u"CR"),
              escaped("; settings\r\n[Convert]\r\nKanjiCode = EUC\r\nReturnCode=CR\r\n\r\n"
                      "[History]\r\n1=/tmp/a.html\r\n"));
    // The name keeps the file's spelling, the blanks around "=" stay.
    EXPECT_EQ(write(kConvert, u"CONVERT", u"kanjicode", u"JIS"),
              escaped("; settings\r\n[Convert]\r\nKanjiCode = JIS\r\nReturnCode=LF  \r\n\r\n"
                      "[History]\r\n1=/tmp/a.html\r\n"));
    EXPECT_EQ(write("[s]\r\n  k\t=\t\"old\"  \r\n", u"s", u"k", u"new"),
              escaped("[s]\r\n  k\t=\tnew\r\n"));
}

TEST(ProfileWrite, AnEmptyValueLeavesTheKeyAndItsEqualsSign)
{
    EXPECT_EQ(write(kConvert, u"Convert", u"KanjiCode", u""),
              escaped("; settings\r\n[Convert]\r\nKanjiCode =\r\nReturnCode=LF  \r\n\r\n"
                      "[History]\r\n1=/tmp/a.html\r\n"));
    EXPECT_EQ(write("[FindHistory]\r\n1=a\r\n", u"FindHistory", u"3", u""),
              escaped("[FindHistory]\r\n1=a\r\n3=\r\n"));
}

TEST(ProfileWrite, ANewKeyGoesAfterTheLastEntryOfItsSection)
{
    // Before the blank line that parts the sections.
    EXPECT_EQ(write(kConvert, u"Convert", u"Extra", u"x"),
              escaped("; settings\r\n[Convert]\r\nKanjiCode = EUC\r\nReturnCode=LF  \r\nExtra=x\r\n"
                      "\r\n[History]\r\n1=/tmp/a.html\r\n"));
    // Comments and lines without "=" belong to the section they stand in.
    EXPECT_EQ(write("[s]\r\na=1\r\n; note\r\nbare\r\n\r\n\r\n[t]\r\n", u"s", u"b", u"2"),
              escaped("[s]\r\na=1\r\n; note\r\nbare\r\nb=2\r\n\r\n\r\n[t]\r\n"));
    // A section of a header alone.
    EXPECT_EQ(write("[s]\r\n\r\n[t]\r\n", u"S", u"k", u"v"), escaped("[s]\r\nk=v\r\n\r\n[t]\r\n"));
    // Into the first of two sections of that name.
    EXPECT_EQ(write("[s]\r\na=1\r\n[S]\r\nb=2\r\n", u"s", u"b", u"3"),
              escaped("[s]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n"));
    // The first of two keys of that name is the one written.
    EXPECT_EQ(write("[s]\r\nk=1\r\nK=2\r\n", u"s", u"k", u"3"), escaped("[s]\r\nk=3\r\nK=2\r\n"));
}

TEST(ProfileWrite, ANewSectionGoesAtTheEndAfterABlankLine)
{
    EXPECT_EQ(write(kConvert, u"FindHistory", u"1", u"表"),
              escaped(kConvert + "\r\n[FindHistory]\r\n1=\x95\x5C\r\n"));
    EXPECT_EQ(write("[s]\r\nk=v\r\n\r\n", u"t", u"k", u"v"),
              escaped("[s]\r\nk=v\r\n\r\n[t]\r\nk=v\r\n"));
    EXPECT_EQ(write("", u"FindHistory", u"3", u""), escaped("[FindHistory]\r\n3=\r\n"));
    EXPECT_EQ(write("\xEF\xBB\xBF", u"s", u"k", u"v"), escaped("\xEF\xBB\xBF[s]\r\nk=v\r\n"));
    // A line that only looks like the section's header does not count as it.
    EXPECT_EQ(write("[Browser\r\nNetscape=x\r\n", u"Browser", u"Netscape", u"y"),
              escaped("[Browser\r\nNetscape=x\r\n\r\n[Browser]\r\nNetscape=y\r\n"));
}

TEST(ProfileWrite, AFileWithoutAFinalLineBreakGetsOneBeforeNewLines)
{
    const QByteArray file = "[Convert]\r\nKanjiCode=JIS\r\nReturnCode=LF";
    EXPECT_EQ(write(file, u"Convert", u"ReturnCode", u"CR"),
              escaped("[Convert]\r\nKanjiCode=JIS\r\nReturnCode=CR"));
    EXPECT_EQ(write(file, u"Convert", u"Extra", u"x"), escaped(file + "\r\nExtra=x\r\n"));
    EXPECT_EQ(write(file, u"History", u"1", u"x"), escaped(file + "\r\n\r\n[History]\r\n1=x\r\n"));
    EXPECT_EQ(write("[s]", u"s", u"k", u"v"), escaped("[s]\r\nk=v\r\n"));
}

TEST(ProfileWrite, NewLinesEndLikeTheFilesOwn)
{
    EXPECT_EQ(write("[s]\nk=v\n", u"s", u"n", u"1"), escaped("[s]\nk=v\nn=1\n"));
    EXPECT_EQ(write("[s]\rk=v\r", u"t", u"n", u"1"), escaped("[s]\rk=v\r\r[t]\rn=1\r"));
}

TEST(ProfileWrite, AUtf8FileStaysUtf8)
{
    const QByteArray file = "\xEF\xBB\xBF[FindHistory]\r\n1=x\r\n";
    EXPECT_EQ(write(file, u"FindHistory", u"1", u"表☃"),
              escaped("\xEF\xBB\xBF[FindHistory]\r\n1=\xE8\xA1\xA8\xE2\x98\x83\r\n"));
}

TEST(ProfileWrite, ValuesThatReadingWouldAlterAreQuoted)
{
    const QString values[] = {
        u" leading"_s,
        u"trailing "_s,
        u"  "_s,
        u"\t"_s,
        u"\"quoted\""_s,
        u"'quoted'"_s,
        u"\"\""_s,
        u"\""_s,
        u"\"a'"_s,
        u"a \"b\" c"_s,
        u"=;[x]"_s,
        u"表ソ能ゾ"_s,
        u"\u3000全角\u3000"_s,
        u"\x1A"_s,
        u"plain"_s,
        u""_s,
    };
    for (const QString &value : values) {
        const std::optional<QByteArray> file = withProfileValue(kConvert, u"Find", u"1", value);
        ASSERT_TRUE(file) << test::visible(value);
        EXPECT_EQ(read(*file, u"Find", u"1"), value) << escaped(*file);
        // And again over the value just written.
        const std::optional<QByteArray> again = withProfileValue(*file, u"Find", u"1", value);
        ASSERT_TRUE(again);
        EXPECT_EQ(escaped(*again), escaped(*file));
    }
    EXPECT_EQ(write("[s]\r\nk=v\r\n", u"s", u"k", u" x "), escaped("[s]\r\nk=\" x \"\r\n"));
    EXPECT_EQ(write("[s]\r\nk=v\r\n", u"s", u"k", u"a \"b\""), escaped("[s]\r\nk=a \"b\"\r\n"));
}

TEST(ProfileWrite, WhatCannotBeStoredFaithfullyIsRefused)
{
    const QByteArray file = "[s]\r\nk=v\r\n";
    // A line break would put the rest of the value on a line of its own, as a key perhaps.
    EXPECT_EQ(write(file, u"s", u"k", u"a\r\nk=b"), "<refused>");
    EXPECT_EQ(write(file, u"s", u"k", u"a\n"), "<refused>");
    EXPECT_EQ(write(file, u"s", u"k", u"a\rb"), "<refused>");
    EXPECT_EQ(write(file, u"s", u"k", u"a"_s + QChar(0)), "<refused>");
    // Shift-JIS has no code for these.
    EXPECT_EQ(write(file, u"s", u"k", u"😀"), "<refused>");
    EXPECT_EQ(write(file, u"s", u"k", u"\u00A5100"), "<refused>");
    EXPECT_EQ(write(file, u"s", u"☃", u"v"), "<refused>");
    // Names the reader could not find again.
    EXPECT_EQ(write(file, u"", u"k", u"v"), "<refused>");
    EXPECT_EQ(write(file, u"s", u" ", u"v"), "<refused>");
    EXPECT_EQ(write(file, u"s", u"a=b", u"v"), "<refused>");
    EXPECT_EQ(write(file, u"s", u"[k]", u"v"), "<refused>");
    EXPECT_EQ(write(file, u"s", u";k", u"v"), "<refused>");
    EXPECT_EQ(write(file, u"a\r\nb", u"k", u"v"), "<refused>");
    // A format this reader does not read.
    EXPECT_EQ(write(bytesOf("\xFF\xFE[\0s\0]\0"), u"s", u"k", u"v"), "<refused>");
}

TEST(ProfileWrite, NamesAreWrittenWithoutTheirEdgeBlanks)
{
    EXPECT_EQ(write("", u" Browser ", u" Internet Explorer ", u"/x"),
              escaped("[Browser]\r\nInternet Explorer=/x\r\n"));
}

TEST(ProfileWrite, JapaneseNamesMatchByTheirCharacters)
{
    // ゾ (0x83 0x5D) and ソ (0x83 0x5C) end in bytes that look like "]" and "\".
    const QByteArray file = "[\x83\x5D\x81\x5B\x83\x93]\r\n\x83\x5C=1\r\n";
    EXPECT_EQ(write(file, u"ゾーン", u"ソ", u"2"),
              escaped("[\x83\x5D\x81\x5B\x83\x93]\r\n\x83\x5C=2\r\n"));
    EXPECT_EQ(write("", u"ゾ", u"ソ", u"表"), escaped("[\x83\x5D]\r\n\x83\x5C=\x95\x5C\r\n"));
    EXPECT_EQ(read("[\x83\x5D]\r\n\x83\x5C=\x95\x5C\r\n", u"ゾ", u"ソ"), u"表");
}

TEST(ProfileWrite, EveryOtherByteStaysEvenInHostileFiles)
{
    // NUL bytes, faulty Shift-JIS and a key before any section pass through untouched.
    const QByteArray head = bytesOf("k=0\r\n\0\xFF\x81\r\n[s]\r\nbad\x81=\x80\r\n");
    const QByteArray file = head + "k=v\r\n" + bytesOf("tail\0\r\n");
    EXPECT_EQ(write(file, u"s", u"k", u"w"), escaped(head + "k=w\r\n" + bytesOf("tail\0\r\n")));
}

} // namespace
} // namespace scrivlet
