#include "ConvTestHelpers.h"

#include "editor/CharTables.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace scrivlet::html::test {
namespace {

constexpr int kRuns = 500;
constexpr int kMaxPieces = 60;

const std::vector<ConvType> kAllTypes = {
    ConvType::LowerCase,          ConvType::UpperCase,           ConvType::HalfWidth,
    ConvType::FullWidth,          ConvType::HalfKanaToFull,      ConvType::KatakanaToHiragana,
    ConvType::HiraganaToKatakana, ConvType::EscapeAngleBrackets, ConvType::UnescapeAngleBrackets,
    ConvType::EscapeAmpersand,    ConvType::UnescapeAmpersand,   ConvType::SpaceToNbsp,
    ConvType::NbspToSpace,        ConvType::TagNameLower,        ConvType::TagNameUpper,
    ConvType::AddBrAtLineEnd,     ConvType::BrToLineBreak,       ConvType::WrapLinesInLi,
};

bool keepsLength(ConvType type)
{
    switch (type) {
    case ConvType::LowerCase:
    case ConvType::UpperCase:
    case ConvType::HalfKanaToFull:
    case ConvType::KatakanaToHiragana:
    case ConvType::HiraganaToKatakana:
    case ConvType::TagNameLower:
    case ConvType::TagNameUpper:
        return true;
    default:
        return false;
    }
}

QStringList poolOf(std::initializer_list<const char16_t *> pieces)
{
    QStringList pool;
    for (const char16_t *piece : pieces)
        pool << QString::fromUtf16(piece);
    return pool;
}

// Pieces of hand-written Japanese HTML, with the characters each conversion treats specially.
const QStringList &htmlPool()
{
    static const QStringList pool = poolOf({
        u"あ",
        u"ん",
        u"が",
        u"ぱ",
        u"ゔ",
        u"ゕ",
        u"ゝ",
        u"カ",
        u"ガ",
        u"パ",
        u"ヴ",
        u"ヵ",
        u"ヶ",
        u"ヷ",
        u"ヸ",
        u"ヺ",
        u"ヽ",
        u"ヾ",
        u"ー",
        u"・",
        u"。",
        u"「",
        u"」",
        u"、",
        u"漢",
        u"字",
        u"ｶ",
        u"ｳ",
        u"ﾊ",
        u"ﾜ",
        u"ﾞ",
        u"ﾟ",
        u"ｰ",
        u"｡",
        u"Ａ",
        u"ａ",
        u"＜",
        u"＼",
        u"～",
        u"\u3000",
        u"゛",
        u"゜",
        u"\u3099",
        u"A",
        u"z",
        u"0",
        u"ß",
        u"Σ",
        u"ς",
        u"Ж",
        u"Ⅰ",
        u"Ⓐ",
        u"İ",
        u"\u212A",
        u"\U0001F600",
        u" ",
        u"  ",
        u"\t",
        u"\r\n",
        u"\r\n",
        u"\r",
        u"\n",
        u"<",
        u">",
        u"&",
        u"/",
        u"\"",
        u"\\",
        u"~",
        u"“",
        u"”",
        u"￥",
        u"¥",
        u"&lt;",
        u"&gt;",
        u"&amp;",
        u"&nbsp;",
        u"&LT;",
        u"<BR>",
        u"<br />",
        u"<Br/>",
        u"<br clear=all>",
        u"<li>",
        u"</li>",
        u"<LI>",
        u"</LI>",
        u"<P>",
        u"</p>",
        u"<A HREF=\"index.html\">",
        u"</A>",
        u"<!-- ",
        u"-->",
        u"<img\r\nSRC=x>",
        u"<td\tclass=y>",
    });
    return pool;
}

// Text that the half-width conversion splits and the full-width one puts back together.
const QStringList &fullWidthPool()
{
    static const QStringList pool = [] {
        QStringList p = poolOf({u"。", u"「", u"」", u"、", u"・", u"ー", u"\u3000"});
        for (char16_t c = 0xFF01; c <= 0xFF5E; ++c)
            p << QString(QChar(c));
        for (char16_t c = 0x30A1; c <= 0x30F4; ++c) {
            if (c != u'ヮ' && c != u'ヰ' && c != u'ヱ')
                p << QString(QChar(c));
        }
        return p;
    }();
    return pool;
}

const QStringList &katakanaPool()
{
    static const QStringList pool = [] {
        QStringList p = poolOf(
            {u"ー", u"・", u"゛", u"゜", u"ヽ", u"ヾ", u"ｶ", u"ﾞ", u"漢", u"A", u" ", u"\r\n"});
        for (char16_t c = 0x30A1; c <= 0x30FA; ++c)
            p << QString(QChar(c));
        return p;
    }();
    return pool;
}

QString lineEndsOf(const QString &text)
{
    QString ends;
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n')
            ends += c;
    }
    return ends;
}

bool isSubsequence(const QString &part, const QString &whole)
{
    qsizetype at = 0;
    for (const QChar c : whole) {
        if (at < part.size() && part[at] == c)
            ++at;
    }
    return at == part.size();
}

TEST(RoundTrips, EscapingAmpersandsThenUnescapingGivesTextBack)
{
    RandomText random(1);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces);
        const QString escaped = convert(text, ConvType::EscapeAmpersand);
        EXPECT_SAME_TEXT(convert(escaped, ConvType::UnescapeAmpersand), text);
    }
}

TEST(RoundTrips, EscapingAngleBracketsThenUnescapingGivesTextBack)
{
    RandomText random(2);
    int checked = 0;
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces / 4);
        if (text.contains(u"&lt;") || text.contains(u"&gt;"))
            continue;
        ++checked;
        const QString escaped = convert(text, ConvType::EscapeAngleBrackets);
        EXPECT_SAME_TEXT(convert(escaped, ConvType::UnescapeAngleBrackets), text);
    }
    EXPECT_GT(checked, kRuns / 4);
}

TEST(RoundTrips, NbspThenSpaceGivesTextBack)
{
    RandomText random(3);
    int checked = 0;
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces / 4);
        if (text.contains(u"&nbsp;"))
            continue;
        ++checked;
        const QString escaped = convert(text, ConvType::SpaceToNbsp);
        EXPECT_SAME_TEXT(convert(escaped, ConvType::NbspToSpace), text);
    }
    EXPECT_GT(checked, kRuns / 4);
}

TEST(RoundTrips, HalfWidthThenFullWidthGivesFullWidthTextBack)
{
    RandomText random(4);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(fullWidthPool(), kMaxPieces);
        const QString half = convert(text, ConvType::HalfWidth);
        EXPECT_SAME_TEXT(convert(half, ConvType::FullWidth), text);
    }
}

TEST(RoundTrips, HiraganaThenKatakanaGivesKatakanaTextBack)
{
    RandomText random(5);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(katakanaPool(), kMaxPieces);
        const QString hiragana = convert(text, ConvType::KatakanaToHiragana);
        EXPECT_SAME_TEXT(convert(hiragana, ConvType::HiraganaToKatakana), text);
    }
}

TEST(RoundTrips, BrThenLineBreakGivesTextBackWithFinalLineBreak)
{
    RandomText random(6);
    int checked = 0;
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces / 2);
        if (text.isEmpty() || convert(text, ConvType::BrToLineBreak) != text)
            continue; // holds a line-break tag of its own
        ++checked;
        const QString withBr = convert(text, ConvType::AddBrAtLineEnd);
        const QString expected = text.endsWith(u"\r\n") ? text : text + QString::fromUtf16(u"\r\n");
        EXPECT_SAME_TEXT(convert(withBr, ConvType::BrToLineBreak), expected);
    }
    EXPECT_GT(checked, kRuns / 10);
}

// Case conversions must never change what the text search sees.
TEST(RoundTrips, CaseConversionsKeepWhatSearchCompares)
{
    RandomText random(7);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces);
        for (const ConvType type : {ConvType::LowerCase, ConvType::UpperCase,
                                    ConvType::TagNameLower, ConvType::TagNameUpper}) {
            const QString out = convert(text, type);
            ASSERT_EQ(out.size(), text.size()) << describe(text) << " type " << int(type);
            for (qsizetype i = 0; i < text.size(); ++i) {
                EXPECT_EQ(chars::foldForCompare(out[i].unicode()),
                          chars::foldForCompare(text[i].unicode()))
                    << "at " << i << " of " << describe(text) << " type " << int(type);
            }
        }
    }
}

TEST(LineEnds, EveryTypeKeepsCarriageReturnsAndLineFeeds)
{
    RandomText random(8);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces);
        for (const ConvType type : kAllTypes) {
            if (type == ConvType::BrToLineBreak)
                continue; // adds line breaks; see the next test
            SCOPED_TRACE(int(type));
            const QString out = convert(text, type);
            EXPECT_SAME_TEXT(lineEndsOf(out), lineEndsOf(text));
            if (keepsLength(type)) {
                ASSERT_EQ(out.size(), text.size());
                for (qsizetype i = 0; i < text.size(); ++i) {
                    if (text[i] == u'\r' || text[i] == u'\n') {
                        EXPECT_EQ(out[i], text[i]) << "at " << i;
                    }
                }
            }
        }
    }
}

TEST(LineEnds, BreakTagConversionKeepsEveryLineEndAndAddsOnlyPairs)
{
    RandomText random(9);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces);
        const QString out = convert(text, ConvType::BrToLineBreak);
        const QString before = lineEndsOf(text);
        const QString after = lineEndsOf(out);
        EXPECT_TRUE(isSubsequence(before, after)) << describe(text) << " -> " << describe(out);
        EXPECT_EQ(out.count(u'\r') - text.count(u'\r'), out.count(u'\n') - text.count(u'\n'));
        EXPECT_SAME_TEXT(convert(out, ConvType::BrToLineBreak), out);
    }
}

TEST(EveryType, RepeatingAConversionChangesNothingMore)
{
    RandomText random(10);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), kMaxPieces);
        for (const ConvType type : kAllTypes) {
            if (type == ConvType::EscapeAmpersand || type == ConvType::UnescapeAmpersand)
                continue; // "&amp;" itself holds an "&"
            SCOPED_TRACE(int(type));
            const QString once = convert(text, type);
            EXPECT_SAME_TEXT(convert(once, type), once);
        }
    }
}

TEST(EveryType, NonEmptyTextNeverComesBackEmpty)
{
    RandomText random(11);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = random.make(htmlPool(), 3);
        if (text.isEmpty())
            continue;
        for (const ConvType type : kAllTypes)
            EXPECT_FALSE(convert(text, type).isEmpty()) << describe(text) << " type " << int(type);
    }
}

TEST(EveryType, EmptyTextStaysEmpty)
{
    for (const ConvType type : kAllTypes)
        EXPECT_TRUE(convert(QString(), type).isEmpty()) << int(type);
}

TEST(EveryType, UnknownTypeLeavesTextAlone)
{
    const QString text = QString::fromUtf16(u"<A HREF=x>ｶﾞ&amp;</A>\r\n");
    for (const int number : {15, 16, 17, 18, 22, -1})
        EXPECT_SAME_TEXT(convert(text, static_cast<ConvType>(number)), text);
}

} // namespace
} // namespace scrivlet::html::test
