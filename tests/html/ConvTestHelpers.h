#pragma once
// Helpers of the conversion tests: readable comparison of texts, table rows and random texts.

#include "editor/ConvType.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>

namespace scrivlet::html::test {

QString convert(const QString &text, ConvType type);

// Quotes a text with its control characters escaped and, when it holds anything beyond ASCII,
// its code points, so that ｶ and カ or ゛ and U+3099 are told apart in a failure.
std::string describe(const QString &text);

// For EXPECT_PRED_FORMAT2: on a mismatch shows both texts around the first difference.
::testing::AssertionResult sameText(const char *actualExpr, const char *expectedExpr,
                                    const QString &actual, const QString &expected);

#define EXPECT_SAME_TEXT(actual, expected)                                                         \
    EXPECT_PRED_FORMAT2(::scrivlet::html::test::sameText, actual, expected)

// One row of a conversion table.
struct ConvCase
{
    const char *name;
    ConvType type;
    const char16_t *input;
    const char16_t *expected;
};

void PrintTo(const ConvCase &row, std::ostream *os);
std::string caseName(const ::testing::TestParamInfo<ConvCase> &info);

// Deterministic random texts built from pieces of a pool.
class RandomText
{
public:
    explicit RandomText(std::uint32_t seed) : m_engine(seed) {}

    // Between 0 and maxPieces pieces of the pool, each chosen with equal chance.
    QString make(const QStringList &pool, int maxPieces);

private:
    std::uint32_t below(std::uint32_t bound) { return m_engine() % bound; }

    std::mt19937 m_engine;
};

} // namespace scrivlet::html::test
