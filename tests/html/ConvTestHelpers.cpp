#include "ConvTestHelpers.h"

#include "html/ConvString.h"

#include <algorithm>
#include <cstdio>

namespace scrivlet::html::test {

QString convert(const QString &text, ConvType type)
{
    return ConvString(text, type);
}

std::string describe(const QString &text)
{
    std::string quoted = "\"";
    std::string codes;
    bool beyondAscii = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", unsigned(u));
        if (!codes.empty())
            codes += ' ';
        codes += hex;
        if (u == u'\r')
            quoted += "\\r";
        else if (u == u'\n')
            quoted += "\\n";
        else if (u == u'\t')
            quoted += "\\t";
        else if (u == u'"' || u == u'\\')
            quoted += std::string("\\") + char(u);
        else if (u < 0x20)
            quoted += std::string("\\u") + hex;
        else
            quoted += QString(c).toStdString();
        beyondAscii = beyondAscii || u >= 0x80;
    }
    quoted += '"';
    return beyondAscii ? quoted + " [" + codes + "]" : quoted;
}

::testing::AssertionResult sameText(const char *actualExpr, const char *expectedExpr,
                                    const QString &actual, const QString &expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    const qsizetype common = std::min(actual.size(), expected.size());
    qsizetype at = 0;
    while (at < common && actual[at] == expected[at])
        ++at;
    // Long texts of the property tests are shown around the first difference only.
    constexpr qsizetype kContext = 16;
    const qsizetype from = std::max<qsizetype>(0, at - kContext);
    const auto excerpt = [&](const QString &s) {
        const bool whole = s.size() <= 4 * kContext;
        return whole ? describe(s) : "..." + describe(s.mid(from, 2 * kContext)) + "...";
    };
    return ::testing::AssertionFailure()
           << actualExpr << " differs from " << expectedExpr << " at index " << at << "\n"
           << "  actual:   " << excerpt(actual) << " (length " << actual.size() << ")\n"
           << "  expected: " << excerpt(expected) << " (length " << expected.size() << ")";
}

void PrintTo(const ConvCase &row, std::ostream *os)
{
    *os << row.name << ": type " << int(row.type) << ", " << describe(QString::fromUtf16(row.input))
        << " -> " << describe(QString::fromUtf16(row.expected));
}

std::string caseName(const ::testing::TestParamInfo<ConvCase> &info)
{
    return info.param.name;
}

QString RandomText::make(const QStringList &pool, int maxPieces)
{
    const auto pieces = below(std::uint32_t(maxPieces) + 1);
    QString text;
    for (std::uint32_t i = 0; i < pieces; ++i)
        text += pool[below(std::uint32_t(pool.size()))];
    return text;
}

} // namespace scrivlet::html::test
