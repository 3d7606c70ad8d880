#include "tests/html/ConvTestHelpers.h"

#include "html/ConvString.h"
#include "tests/common/DataRows.h"
#include "tests/common/TestSupport.h"

namespace scrivlet::html::test {

std::string codeUnits(const QString &text)
{
    QString out;
    for (const QChar c : text)
        out += QString::number(c.unicode(), 16).toUpper() + u' ';
    return out.trimmed().toStdString();
}

void PrintTo(const ConvCase &row, std::ostream *os)
{
    *os << row.name << ": type " << int(row.type) << " on \"" << scrivlet::test::visible(row.input)
        << "\" [" << codeUnits(row.input) << "]";
}

namespace {

std::vector<ConvCase> loadConvCases()
{
    // Indexed by the ConvType number.
    static const QStringList types =
        QStringLiteral(
            "LowerCase UpperCase HalfWidth FullWidth HalfKanaToFull KatakanaToHiragana "
            "HiraganaToKatakana EscapeAngleBrackets UnescapeAngleBrackets EscapeAmpersand "
            "UnescapeAmpersand SpaceToNbsp NbspToSpace TagNameLower TagNameUpper - - - - "
            "AddBrAtLineEnd BrToLineBreak WrapLinesInLi")
            .split(u' ');
    std::vector<ConvCase> rows;
    for (const auto &r : scrivlet::test::readDataRows(SCRIVLET_TEST_DATA "/conversions.txt", 4)) {
        const auto type = types.indexOf(QString::fromStdString(r[1]));
        if (type < 0)
            throw std::runtime_error("unknown conversion " + r[1]);
        rows.push_back({r.group + '_' + r[0], static_cast<ConvType>(type),
                        QString::fromStdString(r[2]), QString::fromStdString(r[3])});
    }
    return rows;
}

} // namespace

TEST_P(ConvTable, Converts)
{
    const ConvCase &row = GetParam();
    const QString out = ConvString(row.input, row.type);
    EXPECT_EQ(out, row.expected) << "[" << codeUnits(out) << "] instead of ["
                                 << codeUnits(row.expected) << "]";
}

INSTANTIATE_TEST_SUITE_P(Data, ConvTable, ::testing::ValuesIn(loadConvCases()),
                         [](const auto &info) { return info.param.name; });

} // namespace scrivlet::html::test
