// Properties of the conversions on random texts built from pieces of hand-written Japanese
// HTML: the round trips that must give a text back, and what every type keeps.

#include "editor/CharTables.h"
#include "html/ConvString.h"
#include "tests/common/TestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace scrivlet::html::test {
namespace {

using enum ConvType;

constexpr int kRuns = 500;

const std::vector<ConvType> kAllTypes = {
    LowerCase,          UpperCase,           HalfWidth,
    FullWidth,          HalfKanaToFull,      KatakanaToHiragana,
    HiraganaToKatakana, EscapeAngleBrackets, UnescapeAngleBrackets,
    EscapeAmpersand,    UnescapeAmpersand,   SpaceToNbsp,
    NbspToSpace,        TagNameLower,        TagNameUpper,
    AddBrAtLineEnd,     BrToLineBreak,       WrapLinesInLi,
};

// Pieces separated by "|": every character some conversion singles out, references and
// tags in several spellings, and every kind of line end.
QStringList pieces(const char16_t *joined)
{
    return QString::fromUtf16(joined).split(u'|');
}

const QStringList kHtml = pieces(
    u"あ|ん|が|ぱ|ゔ|ゕ|ゝ|カ|ガ|パ|ヴ|ヵ|ヶ|ヷ|ヸ|ヺ|ヽ|ヾ|ー|・|。|「|」|、|漢|ｶ|ｳ|ﾊ|ﾜ|ﾞ|ﾟ|ｰ|｡"
    u"|Ａ|ａ|＜|＼|～|\u3000|゛|゜|\u3099|A|z|0|ß|Σ|ς|Ж|Ⅰ|Ⓐ|İ|\u212A|\U0001F600| |  |\t"
    u"|\r\n|\r\n|\r|\n|<|>|&|/|\"|\\|~|“|”|￥|¥|&lt;|&gt;|&amp;|&nbsp;|&LT;|<BR>|<br />"
    u"|<Br/>|<br clear=all>|<li>|</li>|<LI>|</LI>|<P>|</p>|<A HREF=\"index.html\">|</A>|<!-- "
    u"|-->|<img\r\nSRC=x>|<td\tclass=y>");

// Full-width text that the half-width conversion splits and the full-width one puts together.
const QStringList kFullWidth = [] {
    QStringList p = pieces(u"。|「|」|、|・|ー|\u3000");
    for (char16_t c = 0xFF01; c <= 0xFF5E; ++c)
        p << QString(QChar(c));
    for (char16_t c = u'ァ'; c <= u'ヴ'; ++c) {
        if (c != u'ヮ' && c != u'ヰ' && c != u'ヱ')
            p << QString(QChar(c));
    }
    return p;
}();

const QStringList kKatakana = [] {
    QStringList p = pieces(u"ー|・|゛|゜|ヽ|ヾ|ｶ|ﾞ|漢|A| |\r\n");
    for (char16_t c = u'ァ'; c <= u'ヺ'; ++c)
        p << QString(QChar(c));
    return p;
}();

// Up to maxPieces pieces of the pool, each chosen with equal chance.
QString randomText(std::mt19937 &engine, const QStringList &pool, int maxPieces)
{
    QString text;
    for (auto n = engine() % (maxPieces + 1); n > 0; --n)
        text += pool[engine() % pool.size()];
    return text;
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

// A text holding what the way there produces from something else is skipped; the others are
// kept short, so that few are.
struct RoundTrip
{
    ConvType there;
    ConvType back;
    const QStringList *pool;
    QStringList skipped;
};

TEST(ConversionProperty, RoundTripsGiveTheTextBack)
{
    const RoundTrip trips[] = {
        {EscapeAmpersand, UnescapeAmpersand, &kHtml, {}},
        {EscapeAngleBrackets, UnescapeAngleBrackets, &kHtml, pieces(u"&lt;|&gt;")},
        {SpaceToNbsp, NbspToSpace, &kHtml, pieces(u"&nbsp;")},
        {HalfWidth, FullWidth, &kFullWidth, {}},
        {KatakanaToHiragana, HiraganaToKatakana, &kKatakana, {}},
    };
    std::mt19937 engine(1);
    for (const RoundTrip &trip : trips) {
        int checked = 0;
        for (int run = 0; run < kRuns; ++run) {
            const QString text = randomText(engine, *trip.pool, trip.skipped.isEmpty() ? 60 : 15);
            if (std::any_of(trip.skipped.begin(), trip.skipped.end(),
                            [&](const QString &s) { return text.contains(s); }))
                continue;
            ++checked;
            ASSERT_EQ(ConvString(ConvString(text, trip.there), trip.back), text)
                << "types " << int(trip.there) << ", " << int(trip.back);
        }
        EXPECT_GT(checked, kRuns / 4) << int(trip.there);
    }
}

// A text with a line-break tag of its own loses it, so only the others come back, with a
// final CR LF.
TEST(ConversionProperty, BrThenLineBreakGivesTheTextBack)
{
    std::mt19937 engine(2);
    int checked = 0;
    for (int run = 0; run < kRuns; ++run) {
        const QString text = randomText(engine, kHtml, 30);
        if (text.isEmpty() || ConvString(text, BrToLineBreak) != text)
            continue;
        ++checked;
        const QString expected = text.endsWith(u"\r\n") ? text : text + QStringLiteral("\r\n");
        ASSERT_EQ(ConvString(ConvString(text, AddBrAtLineEnd), BrToLineBreak), expected);
    }
    EXPECT_GT(checked, kRuns / 10);
}

// Every type keeps each CR and LF, the <BR> conversion adding only CR LF pairs; keeps a text
// empty or not; and a second run changes nothing more, but for the ampersands.
TEST(ConversionProperty, EveryTypeKeepsLineEndsAndIsStable)
{
    std::mt19937 engine(3);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = randomText(engine, kHtml, 60);
        for (const ConvType type : kAllTypes) {
            const QString out = ConvString(text, type);
            SCOPED_TRACE(testing::Message()
                         << "type " << int(type) << " on " << scrivlet::test::visible(text));
            if (type == BrToLineBreak) {
                ASSERT_TRUE(isSubsequence(lineEndsOf(text), lineEndsOf(out)));
                ASSERT_EQ(out.count(u'\r') - text.count(u'\r'),
                          out.count(u'\n') - text.count(u'\n'));
            } else {
                ASSERT_EQ(lineEndsOf(out), lineEndsOf(text));
            }
            ASSERT_EQ(out.isEmpty(), text.isEmpty());
            if (type != EscapeAmpersand && type != UnescapeAmpersand) {
                ASSERT_EQ(ConvString(out, type), out);
            }
        }
    }
}

// The case conversions change nothing the text search tells apart.
TEST(ConversionProperty, CaseConversionsKeepWhatSearchCompares)
{
    std::mt19937 engine(4);
    for (int run = 0; run < kRuns; ++run) {
        const QString text = randomText(engine, kHtml, 60);
        for (const ConvType type : {LowerCase, UpperCase, TagNameLower, TagNameUpper}) {
            const QString out = ConvString(text, type);
            ASSERT_EQ(out.size(), text.size());
            for (qsizetype i = 0; i < text.size(); ++i) {
                ASSERT_EQ(chars::foldForCompare(out[i].unicode()),
                          chars::foldForCompare(text[i].unicode()))
                    << "at " << i << " of " << scrivlet::test::visible(text) << ", type "
                    << int(type);
            }
        }
    }
}

TEST(ConversionProperty, UnknownTypeLeavesTheTextAlone)
{
    const QString text = QStringLiteral("<A HREF=x>ｶﾞ&amp;</A>\r\n");
    for (const int number : {15, 16, 17, 18, 22, -1})
        EXPECT_EQ(ConvString(text, static_cast<ConvType>(number)), text) << number;
}

} // namespace
} // namespace scrivlet::html::test
