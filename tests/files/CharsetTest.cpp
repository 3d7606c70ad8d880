// The charset a page declares, and the kanji code each label names.

#include "files/Charset.h"
#include "tests/common/DataRows.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;

TEST(Charset, TheFirstMetaDeclarationAsWrittenAndTheCodeEachLabelNames)
{
    for (const auto &row : test::readDataRows(SCRIVLET_TEST_DATA "/charsets.txt", 2)) {
        const QString input = QString::fromStdString(row[0]);
        const QString expected = QString::fromStdString(row[1]);
        if (row.group == "Declarations")
            EXPECT_EQ(files::DeclaredCharset(input), expected) << row[0];
        else
            EXPECT_EQ(files::KanjiCodeOfCharset(input), expected) << row[0];
    }
    // The setting as a save reads it: anything else is Shift-JIS.
    EXPECT_EQ(files::SavedKanjiCode(u"UTF-8"_s), u"UTF-8"_s);
    EXPECT_EQ(files::SavedKanjiCode(u"utf-8"_s), u"Shift-JIS"_s);
}

} // namespace
} // namespace scrivlet
