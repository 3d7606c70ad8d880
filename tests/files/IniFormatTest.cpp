// The profile format on bytes in memory: what a value reads as, and which bytes a write changes.

#include "files/IniFormat.h"
#include "tests/common/DataRows.h"
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

// The rows of a table under tests/data/ini: bytes, then section, key and value as text.
std::vector<test::DataRow> rows(const char *name, std::size_t width)
{
    return test::readDataRows(std::string(SCRIVLET_TEST_DATA "/ini/") + name, width);
}

QString text(const std::string &field)
{
    return QString::fromStdString(field);
}

TEST(ProfileRead, ValuesAsTheWindowsReaderSeesThem)
{
    for (const auto &row : rows("profile-reads.txt", 4))
        EXPECT_EQ(profileValue(QByteArray::fromStdString(row[0]), text(row[1]), text(row[2]))
                      .value_or(u"<missing>"_s),
                  text(row[3]))
            << row[0] << " / " << row[2];
    // The quotes go first, then the value ends at 1023 bytes, never inside a character;
    // half-width katakana are one byte each.
    const QByteArray a1500(1500, 'a');
    const std::pair<QByteArray, QString> longValues[] = {
        {a1500, QString(1023, u'a')},
        {'"' + a1500 + '"', QString(1023, u'a')},
        {QByteArray(1023, 'a'), QString(1023, u'a')},
        {QByteArray(1022, 'a') + "\x82\xA0", QString(1022, u'a')},
        {QByteArray(1021, 'a') + "\x82\xA0\x82\xA0", QString(1021, u'a') + u'あ'},
        {QByteArray(1200, '\xB1'), QString(1023, u'ｱ')}};
    for (const auto &[value, expected] : longValues)
        EXPECT_EQ(profileValue("[s]\r\nk=" + value + "\r\n", u"s", u"k"), expected)
            << str(value.right(10));
}

TEST(ProfileRead, IntegersAreTheLeadingAsciiDigitsHeldToTheRangeOfInt)
{
    const std::pair<const char16_t *, int> cases[] = {{u"0", 0},
                                                      {u"007", 7},
                                                      {u"12abc", 12},
                                                      {u"3 4", 3},
                                                      {u"", 0},
                                                      {u"x1", 0},
                                                      {u"-1", 0},
                                                      {u"+5", 0},
                                                      {u" 5", 0},
                                                      {u"0x10", 0},
                                                      {u"１２", 0},
                                                      {u"2147483647", INT_MAX},
                                                      {u"2147483648", INT_MAX},
                                                      {u"4294967297", INT_MAX},
                                                      {u"99999999999999999999", INT_MAX}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(profileInteger(QStringView(value)), expected)
            << QStringView(value).toString().toStdString();
}

TEST(ProfileWrite, OneValueChangesAndEveryOtherByteStaysOrTheWriteIsRefused)
{
    // Refused: what the reader could not give back, or would find as another key.
    for (const auto &row : rows("profile-writes.txt", 5))
        EXPECT_EQ(str(withProfileValue(QByteArray::fromStdString(row[0]), text(row[1]),
                                       text(row[2]), text(row[3]))),
                  row[4])
            << row[0] << " / " << row[2] << " = " << row[3];
    // A lone surrogate has no UTF-8 to be written in the file.
    EXPECT_FALSE(withProfileValue("\xEF\xBB\xBF", u"s", u"k", QString(QChar(0xD800))));
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
