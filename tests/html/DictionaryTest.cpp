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

using scrivlet::test::visible;

TEST(ListFiles, SplitAtCrLfOnlyAndKeepEveryEntryAsWritten)
{
    const std::pair<const char16_t *, QStringList> cases[] = {
        {u"", {}},
        {u"<p>\r\n<b>\r\n", {QStringLiteral("<p>"), QStringLiteral("<b>"), QString()}},
        {u"a\r\n\r\nb", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {u" <p> \r\n\t<b>\t", {QStringLiteral(" <p> "), QStringLiteral("\t<b>\t")}},
        {u"a\rb\nc\n\rd", {QStringLiteral("a\rb\nc\n\rd")}},
    };
    for (const auto &[text, entries] : cases)
        EXPECT_EQ(splitListText(QString::fromUtf16(text)), entries)
            << visible(QString::fromUtf16(text));
}

TEST(ListFiles, BothAreReadFromTheProgramDirectory)
{
    LoadDictionaries(QStringLiteral("/opt/s/"), [](const QString &path) { return path; });
    EXPECT_EQ(gTagList, QStringList{QStringLiteral("/opt/s/HTML/List/Tag.dat")});
    EXPECT_EQ(gAttributeList, QStringList{QStringLiteral("/opt/s/HTML/List/Attribute.dat")});
    ResetGlobals();
}

class TagFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        gAttributeList = {QStringLiteral("id=\"\""), QStringLiteral(" x"), QString()};
        basINI::SetIniFile(settingsFile);
    }
    void TearDown() override
    {
        basINI::ResetForTests();
        ResetGlobals();
    }

    // A file below the program directory, or the folder a path ending in "/" names.
    void write(const QString &path, const QByteArray &bytes)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(programDir + path).path())) << visible(path);
        QFile file(programDir + path);
        ASSERT_TRUE(path.endsWith(u'/') ||
                    (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()))
            << visible(path);
    }
    QStringList rowsFor(const QString &name, bool ownFile = true)
    {
        const AttributeRows rows = attributeRowsForTag(name, programDir, settingsFile);
        EXPECT_EQ(rows.ownFile, ownFile) << visible(name);
        EXPECT_EQ(basINI::CurrentIniFile(), settingsFile) << visible(name);
        return rows.rows;
    }

    QTemporaryDir m_dir;
    QString programDir = m_dir.path() + u'/';
    QString settingsFile = programDir + QStringLiteral("Scrivlet.ini");
};

// Rows of tests/data/tag-files.txt: the files, then the rows each name gets.
TEST_F(TagFiles, EachNameGetsTheRowsOfItsOwnFileOrTheGeneralList)
{
    for (const auto &row : scrivlet::test::readDataRows(SCRIVLET_TEST_DATA "/tag-files.txt", 0)) {
        const auto field = [&](int i) {
            return QString::fromStdString(row[i]);
        };
        if (row.group == "Files") {
            write(field(0), QByteArray::fromStdString(row[1]));
            continue;
        }
        const bool own = field(2) == u"own";
        EXPECT_EQ(rowsFor(field(1), own),
                  own ? field(3).split(u'|', Qt::SkipEmptyParts) : gAttributeList)
            << row[0];
        if (!own) {
            EXPECT_EQ(findTagFile(programDir, field(1)), QString()) << row[0];
        }
    }
}

TEST_F(TagFiles, AHugeAttributeCountIsCappedAtTheRowsAListCanHold)
{
    write(QStringLiteral("HTML/Tag/big.tag"),
          "[Attribute]\r\nAttributes=2000000000\r\n32767=last\r\n32768=no\r\n");
    const QStringList rows = rowsFor(QStringLiteral("big"));
    ASSERT_EQ(rows.size(), kMaxAttributeRows);
    EXPECT_EQ(rows.last(), QStringLiteral("last=\"\""));
}

TEST_F(TagFiles, ASettingsWriteAfterAnAttributeListGoesToTheSettingsFile)
{
    write(QStringLiteral("HTML/Tag/a.tag"), "[Attribute]\r\nAttributes=1\r\n1=href\r\n");
    basINI::SetIniFile(programDir + QStringLiteral("other.ini"));
    ASSERT_EQ(rowsFor(QStringLiteral("a")), QStringList{QStringLiteral("href=\"\"")});
    EXPECT_TRUE(basINI::WriteIniString(QStringLiteral("Convert"), QStringLiteral("KanjiCode"),
                                       QStringLiteral("EUC")));
    QFile settings(settingsFile);
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("KanjiCode=EUC"));
}

} // namespace
} // namespace scrivlet::html::test
