// The completion dictionary: splitting the list files, and the attribute rows of a tag read
// from its own file in a temporary program directory, with the settings file current again
// afterwards.

#include "html/Dictionary.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
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
        programDir = m_dir.path() + u'/';
        tagDir = programDir + QStringLiteral("HTML/Tag/");
        ASSERT_TRUE(QDir().mkpath(tagDir));
        settingsFile = programDir + QStringLiteral("Scrivlet.ini");
        ResetGlobals();
        gAttributeList = {QStringLiteral("id=\"\""), QStringLiteral(" x"), QString()};
        basINI::SetIniFile(settingsFile);
    }
    void TearDown() override
    {
        basINI::ResetForTests();
        ResetGlobals();
    }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(bytes);
    }
    void writeTag(const QString &name, const QByteArray &body)
    {
        write(tagDir + name + QStringLiteral(".tag"), "[Attribute]\r\n" + body);
    }
    QStringList rowsFor(const QString &name, bool ownFile = true)
    {
        const AttributeRows rows = attributeRowsForTag(name, programDir, settingsFile);
        EXPECT_EQ(rows.ownFile, ownFile) << visible(name);
        EXPECT_EQ(basINI::CurrentIniFile(), settingsFile) << visible(name);
        return rows.rows;
    }

    QTemporaryDir m_dir;
    QString programDir;
    QString tagDir;
    QString settingsFile;
};

TEST_F(TagFiles, RowsAreTheNumberedNamesOfTheAttributeSectionUpToTheCount)
{
    write(tagDir + QStringLiteral("a.tag"), "[Other]\r\n2=wrong\r\n[Attribute]\r\nAttributes=3\r\n"
                                            "1=href\r\n3=title\r\n4=beyond\r\n");
    EXPECT_EQ(rowsFor(QStringLiteral("a")),
              (QStringList{QStringLiteral("href=\"\""), QStringLiteral("=\"\""),
                           QStringLiteral("title=\"\"")}));
}

TEST_F(TagFiles, NoAttributeCountMeansNoRowsNotTheGeneralList)
{
    for (const char *count : {"Attributes=0\r\n", "", "Attributes=none\r\n", "Attributes=-4\r\n"}) {
        writeTag(QStringLiteral("br"), QByteArray(count) + "1=href\r\n");
        EXPECT_TRUE(rowsFor(QStringLiteral("br")).isEmpty()) << count;
    }
}

TEST_F(TagFiles, TheNameIsMatchedWithoutRegardToLetterCaseAnExactMatchFirst)
{
    for (const auto &[file, row] : {std::pair{"table", "border"}, {"Td", "upper"}, {"td", "lower"}})
        writeTag(QString::fromLatin1(file), QByteArray("Attributes=1\r\n1=") + row + "\r\n");
    // "TD" matches both others; the first in code-unit order wins.
    for (const auto &[name, row] : {std::pair{"TABLE", "border"},
                                    {"Table", "border"},
                                    {"td", "lower"},
                                    {"Td", "upper"},
                                    {"TD", "upper"}})
        EXPECT_EQ(rowsFor(QString::fromLatin1(name)),
                  QStringList{QString::fromLatin1(row) + QStringLiteral("=\"\"")});
}

// Names that could leave the folder, hold what no file name should, or have no file of their
// own read no file: they get the general list as written.
TEST_F(TagFiles, NamesWithoutAFileOfTheirOwnGetTheGeneralList)
{
    write(programDir + QStringLiteral("HTML/secret.tag"), "[Attribute]\r\nAttributes=1\r\n1=x\r\n");
    ASSERT_TRUE(QDir().mkpath(tagDir + QStringLiteral("a")));
    ASSERT_TRUE(QDir().mkpath(tagDir + QStringLiteral("ul.tag")));
    for (const char *name : {"a/b", "..", "c\x01", "a\\b", "t1"})
        writeTag(QString::fromLatin1(name), "Attributes=1\r\n1=x\r\n");
    const QString names[] = {QStringLiteral("span"),         QStringLiteral("../secret"),
                             QStringLiteral("a/b"),          QStringLiteral(".."),
                             QStringLiteral("c\x01"),        QStringLiteral("a\\b"),
                             QString::fromUtf16(u"p\0q", 3), QStringLiteral("p\x7f"),
                             QStringLiteral("/etc/passwd"),  QString(),
                             QStringLiteral("t?"),           QStringLiteral("t*"),
                             QStringLiteral("ul"),           QString(300, u'x')};
    for (const QString &name : names) {
        EXPECT_EQ(findTagFile(programDir, name), QString()) << visible(name);
        EXPECT_EQ(rowsFor(name, false), gAttributeList);
    }
}

TEST_F(TagFiles, AHugeAttributeCountIsCappedAtTheRowsAListCanHold)
{
    writeTag(QStringLiteral("big"), "Attributes=2000000000\r\n32767=last\r\n32768=no\r\n");
    const QStringList rows = rowsFor(QStringLiteral("big"));
    ASSERT_EQ(rows.size(), kMaxAttributeRows);
    EXPECT_EQ(rows.last(), QStringLiteral("last=\"\""));
}

TEST_F(TagFiles, ASettingsWriteAfterAnAttributeListGoesToTheSettingsFile)
{
    writeTag(QStringLiteral("a"), "Attributes=1\r\n1=href\r\n");
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
