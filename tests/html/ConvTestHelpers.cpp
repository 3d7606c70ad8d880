#include "tests/html/ConvTestHelpers.h"

#include "html/ConvString.h"
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
    const QString input = QString::fromUtf16(row.input);
    *os << row.name << ": type " << int(row.type) << " on \"" << scrivlet::test::visible(input)
        << "\" [" << codeUnits(input) << "]";
}

std::string caseName(const ::testing::TestParamInfo<ConvCase> &info)
{
    return info.param.name;
}

TEST_P(ConvTable, Converts)
{
    const ConvCase &row = GetParam();
    const QString out = ConvString(QString::fromUtf16(row.input), row.type);
    const QString expected = QString::fromUtf16(row.expected);
    EXPECT_EQ(out, expected) << "[" << codeUnits(out) << "] instead of [" << codeUnits(expected)
                             << "]";
}

} // namespace scrivlet::html::test
