// The conversions: the rows of tests/data/conversions.txt, and properties on random texts built
// from pieces of hand-written Japanese HTML: the round trips that must give a text back, and
// what every type keeps.

#include "editor/CharTables.h"
#include "html/ConvString.h"
#include "tests/common/DataRows.h"
#include "tests/common/TestSupport.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::html::test {
namespace {

using enum ConvType;
using scrivlet::test::readDataRows;
using scrivlet::test::visible;

// Indexed by the ConvType number; "-" where no type has the number.
const QStringList kTypeNames =
    QStringLiteral("LowerCase UpperCase HalfWidth FullWidth HalfKanaToFull KatakanaToHiragana "
                   "HiraganaToKatakana EscapeAngleBrackets UnescapeAngleBrackets EscapeAmpersand "
                   "UnescapeAmpersand SpaceToNbsp NbspToSpace TagNameLower TagNameUpper - - - - "
                   "AddBrAtLineEnd BrToLineBreak WrapLinesInLi")
        .split(u' ');

// The type a field names: a ConvType name, or a number no type has.
ConvType typeOf(const std::string &field)
{
    const auto named = kTypeNames.indexOf(QString::fromStdString(field));
    return static_cast<ConvType>(named >= 0 ? static_cast<int>(named) : std::stoi(field));
}

// Rows of tests/data/conversions.txt: name, type, input, expected, the input's range marked
// ⟦ ⟧ where it lies in a page. A failure shows the UTF-8 bytes in hex, so that it tells ｶ from
// カ and ゛ from U+3099.
TEST(Conversions, EveryRowConvertsAsWritten)
{
    const auto bytes = [](const QString &text) {
        return text.toUtf8().toHex(' ').toStdString();
    };
    for (const auto &row : readDataRows(SCRIVLET_TEST_DATA "/conversions.txt", 4)) {
        QString in = field(row, 2);
        const QString expected = field(row, 3);
        const qsizetype begin = in.indexOf(u'⟦'), end = in.indexOf(u'⟧');
        QString out;
        if (begin < 0) {
            out = ConvString(in, typeOf(row[1]));
        } else {
            const QString range = in.mid(begin + 1, end - begin - 1);
            in = in.remove(end, 1).remove(begin, 1);
            out = in.left(begin) + ConvString(range, typeOf(row[1]), {in, begin}) + in.mid(end - 1);
        }
        EXPECT_EQ(out, expected) << row.group << '_' << row[0] << ", " << visible(in) << ": ["
                                 << bytes(out) << "] instead of [" << bytes(expected) << "]";
    }
}

constexpr int kRuns = 500;

// A pool of pieces from tests/data/conversion-pieces.txt.
QStringList pool(const std::string &name)
{
    QStringList pieces;
    for (const auto &row : readDataRows(SCRIVLET_TEST_DATA "/conversion-pieces.txt", 0))
        for (std::size_t i = 1; row[0] == name && i < row.fields.size(); ++i)
            pieces << QString::fromStdString(row[i]);
    return pieces;
}

// Calls check on kRuns random texts of up to maxPieces pieces of the pool, each piece chosen
// with equal chance, up to its first failure; how many texts the check took (returned true for).
template<class Check>
int forRandomTexts(unsigned seed, const QStringList &pool, int maxPieces, Check check)
{
    std::mt19937 engine(seed);
    int taken = 0;
    const bool failedBefore = ::testing::Test::HasFailure();
    for (int run = 0; run < kRuns && (failedBefore || !::testing::Test::HasFailure()); ++run) {
        QString text;
        for (auto n = engine() % (maxPieces + 1); n > 0; --n)
            text += pool[engine() % pool.size()];
        taken += check(text) ? 1 : 0;
    }
    return taken;
}

// Rows of tests/data/conversion-round-trips.txt. The way back must leave a text alone for the
// trip to give it back, so a text it changes is skipped, but for the ampersands, which come back
// whatever the text. The line-break tags come back with a final CR LF where the last line got
// one.
TEST(ConversionProperty, RoundTripsGiveTheTextBack)
{
    for (const auto &row : readDataRows(SCRIVLET_TEST_DATA "/conversion-round-trips.txt", 4)) {
        const ConvType there = typeOf(row[0]), back = typeOf(row[1]);
        const auto roundTrip = [&](const QString &text) {
            if (there != EscapeAmpersand && ConvString(text, back) != text)
                return false;
            const QString out = ConvString(text, there);
            const bool endsAdded =
                there == AddBrAtLineEnd && out.endsWith(u"<BR>") && !text.endsWith(u"<BR>");
            EXPECT_EQ(ConvString(out, back), endsAdded ? text + QStringLiteral("\r\n") : text)
                << row[0];
            return true;
        };
        EXPECT_GT(forRandomTexts(1, pool(row[2]), std::stoi(row[3]), roundTrip), kRuns / 4)
            << row[0];
    }
}

// Every type keeps each CR and LF, the <BR> conversion adding only CR LF pairs; keeps a text
// empty or not; and a second run changes nothing more, but for the ampersands. The case
// conversions change nothing the text search tells apart.
TEST(ConversionProperty, EveryTypeKeepsLineEndsAndIsStable)
{
    const auto lineEndsOf = [](QString text) {
        return text.remove(QRegularExpression(QStringLiteral("[^\r\n]")));
    };
    const auto isSubsequence = [](const QString &part, const QString &whole) {
        qsizetype at = 0;
        for (const QChar c : whole)
            at += at < part.size() && part[at] == c ? 1 : 0;
        return at == part.size();
    };
    const auto folded = [](QString s) {
        for (QChar &c : s)
            c = QChar(chars::foldForCompare(c.unicode()));
        return s;
    };
    forRandomTexts(3, pool("Html"), 60, [&](const QString &text) {
        for (int number = 0; number < kTypeNames.size(); ++number) {
            const auto type = static_cast<ConvType>(number);
            if (kTypeNames[number] == u"-")
                continue;
            const QString out = ConvString(text, type);
            SCOPED_TRACE(testing::Message() << "type " << number << " on " << visible(text));
            if (type == BrToLineBreak) {
                EXPECT_TRUE(isSubsequence(lineEndsOf(text), lineEndsOf(out)));
                EXPECT_EQ(out.count(u'\r') - text.count(u'\r'),
                          out.count(u'\n') - text.count(u'\n'));
            } else {
                EXPECT_EQ(lineEndsOf(out), lineEndsOf(text));
            }
            EXPECT_EQ(out.isEmpty(), text.isEmpty());
            if (type != EscapeAmpersand && type != UnescapeAmpersand) {
                EXPECT_EQ(ConvString(out, type), out);
            }
            if (number <= int(UpperCase) || type == TagNameLower || type == TagNameUpper) {
                EXPECT_EQ(folded(out), folded(text));
            }
        }
        return true;
    });
}

} // namespace
} // namespace scrivlet::html::test
