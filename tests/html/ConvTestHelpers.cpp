#include "tests/html/ConvTestHelpers.h"

#include "html/ConvString.h"
#include "tests/common/TestSupport.h"

#include <QFile>

#include <stdexcept>

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

QString unescape(const QString &field)
{
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const QChar e = field[++i];
        const int digits = e == u'u' ? 4 : e == u'U' ? 8 : 0;
        if (digits > 0) {
            const char32_t code = field.mid(i + 1, digits).toUInt(nullptr, 16);
            out += QString::fromUcs4(&code, 1);
            i += digits;
        } else {
            out += e == u'r' ? u'\r' : e == u'n' ? u'\n' : e == u't' ? u'\t' : e.unicode();
        }
    }
    return out;
}

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
    QFile file(QStringLiteral(SCRIVLET_TEST_DATA "/conversions.txt"));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read conversions.txt");
    std::vector<ConvCase> rows;
    QString group;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList f = line.split(u'\t');
        if (line.startsWith(u'['))
            group = line.mid(1, line.size() - 2);
        else if (f.size() == 4 && types.contains(f[1]))
            rows.push_back({(group + u'_' + f[0]).toStdString(),
                            static_cast<ConvType>(types.indexOf(f[1])), unescape(f[2]),
                            unescape(f[3])});
        else if (!line.isEmpty() && !line.startsWith(u'#'))
            throw std::runtime_error("bad row in conversions.txt: " + line.toStdString());
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
