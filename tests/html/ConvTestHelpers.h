#pragma once
// The conversion table: a row converts an input by one type into an expected text. The rows
// live in tests/data/conversions.txt; ConvTable.Converts runs each.

#include "editor/ConvType.h"

#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace scrivlet::html::test {

struct ConvCase
{
    std::string name; // "Group_Name"
    ConvType type;
    QString input;
    QString expected;
};

// The UTF-16 code units in hex, so that a failure tells ｶ from カ and ゛ from U+3099.
std::string codeUnits(const QString &text);
void PrintTo(const ConvCase &row, std::ostream *os);

class ConvTable : public ::testing::TestWithParam<ConvCase>
{};

} // namespace scrivlet::html::test
