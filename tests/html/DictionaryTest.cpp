// The completion dictionary: splitting the list files, and the attribute rows of a tag read
// from its own file in a temporary program directory, with the settings file current again
// afterwards.

#include "html/Dictionary.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "tests/common/DataRows.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace scrivlet::html::test {
namespace {

using scrivlet::test::readDataRows;
using scrivlet::test::visible;

// Both are read from the program directory. The rows of tests/data/list-files.txt: name, the
// file's text, then its entries.
TEST(ListFiles, AreReadFromTheProgramDirectoryAndSplitAtCrLfOnly)
{
    LoadDictionaries(QStringLiteral("/opt/s/"), [](const QString &path) { return path; });
    EXPECT_EQ(gTagList, QStringList{QStringLiteral("/opt/s/HTML/List/Tag.dat")});
    EXPECT_EQ(gAttributeList, QStringList{QStringLiteral("/opt/s/HTML/List/Attribute.dat")});
    ResetGlobals();
    for (const auto &row : readDataRows(SCRIVLET_TEST_DATA "/list-files.txt", 0)) {
        QStringList entries;
        for (std::size_t i = 2; i < row.fields.size(); ++i)
            entries << field(row, i);
        EXPECT_EQ(splitListText(field(row, 1)), entries) << row[0];
    }
}

class TagFiles : public ::testing::Test
{
protected:
    void SetUp() override { gAttributeList = QStringLiteral("id=\"\"| x|").split(u'|'); }
    void TearDown() override { basINI::ResetForTests(), ResetGlobals(); }

    // Reading a tag's own file leaves the settings file current, whatever was before; a name
    // without one leaves the current file alone.
    QStringList rowsFor(const QString &name, bool ownFile = true)
    {
        const QString other = programDir + QStringLiteral("other.ini");
        basINI::SetIniFile(other);
        const AttributeRows rows = attributeRowsForTag(name, programDir, settingsFile);
        EXPECT_EQ(rows.ownFile, ownFile) << visible(name);
        EXPECT_EQ(basINI::CurrentIniFile(), ownFile ? settingsFile : other) << visible(name);
        return rows.rows;
    }

    QTemporaryDir m_dir;
    QString programDir = m_dir.path() + u'/';
    QString settingsFile = programDir + QStringLiteral("Scrivlet.ini");
};

// Rows of tests/data/tag-files.txt: the files, then the rows each name gets.
TEST_F(TagFiles, EachNameGetsTheRowsOfItsOwnFileOrTheGeneralList)
{
    for (const auto &row : readDataRows(SCRIVLET_TEST_DATA "/tag-files.txt", 0)) {
        const QString path = programDir + field(row, 0); // "/" at the end: a folder
        if (row.group == "Files") {
            const QByteArray bytes = QByteArray::fromStdString(row[1]);
            QFile file(path);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()) &&
                        (path.endsWith(u'/') ||
                         (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())))
                << row[0];
            continue;
        }
        const bool own = field(row, 2) == u"own";
        EXPECT_EQ(rowsFor(field(row, 1), own),
                  own ? field(row, 3).split(u'|', Qt::SkipEmptyParts) : gAttributeList)
            << row[0];
        if (!own) {
            EXPECT_EQ(findTagFile(programDir, field(row, 1)), QString()) << row[0];
        }
    }
    // A huge count is capped at the rows a list can hold.
    const QStringList rows = rowsFor(QStringLiteral("big"));
    ASSERT_EQ(rows.size(), kMaxAttributeRows);
    EXPECT_EQ(rows.last(), QStringLiteral("last=\"\""));
}

} // namespace
} // namespace scrivlet::html::test
