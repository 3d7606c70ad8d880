#pragma once
// The shape of the conversion tables: a row converts an input by one type into an expected
// text. Each table instantiates the one test, ConvTable.Converts, under its own prefix.

#include "editor/ConvType.h"

#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace scrivlet::html::test {

struct ConvCase
{
    const char *name;
    ConvType type;
    const char16_t *input;
    const char16_t *expected;
};

// The UTF-16 code units in hex, so that a failure tells ｶ from カ and ゛ from U+3099.
std::string codeUnits(const QString &text);
void PrintTo(const ConvCase &row, std::ostream *os);
std::string caseName(const ::testing::TestParamInfo<ConvCase> &info);

class ConvTable : public ::testing::TestWithParam<ConvCase>
{};

} // namespace scrivlet::html::test
