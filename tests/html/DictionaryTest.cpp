// The completion dictionary: splitting the list files, and the attribute rows of a tag read
// from its own file in a temporary program directory, with the settings file current again
// afterwards.

#include "html/Dictionary.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace scrivlet::html::test {
namespace {

struct SplitCase
{
    const char *name;
    const char16_t *text;
    QStringList entries;
};

class ListFileSplit : public ::testing::TestWithParam<SplitCase>
{};

TEST_P(ListFileSplit, SplitsAtCrLfOnly)
{
    EXPECT_EQ(splitListText(QString::fromUtf16(GetParam().text)), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ListFileSplit,
    ::testing::Values(
        SplitCase{"EmptyTextNoEntries", u"", {}},
        SplitCase{"OneLine", u"<p>", {QStringLiteral("<p>")}},
        SplitCase{"FinalCrLfGivesAnEmptyLastEntry",
                  u"<p>\r\n<b>\r\n",
                  {QStringLiteral("<p>"), QStringLiteral("<b>"), QString()}},
        SplitCase{"OnlyCrLf", u"\r\n", {QString(), QString()}},
        SplitCase{"EmptyLineIsAnEmptyEntry",
                  u"a\r\n\r\nb",
                  {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        SplitCase{"NoTrimming",
                  u" <p> \r\n\t<b>\t",
                  {QStringLiteral(" <p> "), QStringLiteral("\t<b>\t")}},
        SplitCase{"LoneCrAndLfStayInTheEntry", u"a\rb\nc\n\rd", {QStringLiteral("a\rb\nc\n\rd")}},
        SplitCase{"DuplicatesKept", u"x\r\nx", {QStringLiteral("x"), QStringLiteral("x")}},
        SplitCase{
            "CaseAndWidthKept", u"<P>\r\n<ｐ>", {QStringLiteral("<P>"), QStringLiteral("<ｐ>")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DictionaryLoading, ReadsBothListFilesFromTheProgramDirectory)
{
    ResetGlobals();
    QStringList asked;
    LoadDictionaries(QStringLiteral("/opt/scrivlet/"), [&asked](const QString &path) {
        asked.append(path);
        return path.endsWith(QStringLiteral("Tag.dat")) ? QStringLiteral("<a>\r\n<b>\r\n")
                                                        : QStringLiteral("id=\"\"");
    });
    EXPECT_EQ(asked, (QStringList{QStringLiteral("/opt/scrivlet/HTML/List/Tag.dat"),
                                  QStringLiteral("/opt/scrivlet/HTML/List/Attribute.dat")}));
    EXPECT_EQ(gTagList, (QStringList{QStringLiteral("<a>"), QStringLiteral("<b>"), QString()}));
    EXPECT_EQ(gAttributeList, QStringList{QStringLiteral("id=\"\"")});
    ResetGlobals();
}

TEST(DictionaryLoading, UnreadableFilesGiveEmptyLists)
{
    gTagList = QStringList{QStringLiteral("old")};
    LoadDictionaries(QStringLiteral("/nowhere/"), [](const QString &) { return QString(); });
    EXPECT_TRUE(gTagList.isEmpty());
    EXPECT_TRUE(gAttributeList.isEmpty());
    ResetGlobals();
}

class TagFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        programDir = m_dir.path() + u'/';
        tagDir = programDir + QStringLiteral("HTML/Tag/");
        ASSERT_TRUE(QDir().mkpath(tagDir));
        settingsFile = programDir + QStringLiteral("Scrivlet.ini");
        write(settingsFile, "[Convert]\r\nReturnCode=CRLF\r\n");
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
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeTag(const QString &fileName, const QByteArray &body)
    {
        write(tagDir + fileName, "[Attribute]\r\n" + body);
    }
    AttributeRows rowsFor(const QString &name)
    {
        return attributeRowsForTag(name, programDir, settingsFile);
    }

    QTemporaryDir m_dir;
    QString programDir;
    QString tagDir;
    QString settingsFile;
};

TEST_F(TagFiles, MissingKeysGiveEmptyNames)
{
    writeTag(QStringLiteral("a.tag"), "Attributes=3\r\n1=href\r\n3=title\r\n");
    const AttributeRows rows = rowsFor(QStringLiteral("a"));
    EXPECT_TRUE(rows.ownFile);
    EXPECT_EQ(rows.rows, (QStringList{QStringLiteral("href=\"\""), QStringLiteral("=\"\""),
                                      QStringLiteral("title=\"\"")}));
}

TEST_F(TagFiles, KeysBeyondTheCountAndOtherSectionsAreIgnored)
{
    write(tagDir + QStringLiteral("p.tag"),
          "[Other]\r\n1=wrong\r\n[Attribute]\r\nAttributes=2\r\n2=class\r\n1=align\r\n3=extra\r\n");
    EXPECT_EQ(rowsFor(QStringLiteral("p")).rows,
              (QStringList{QStringLiteral("align=\"\""), QStringLiteral("class=\"\"")}));
}

TEST_F(TagFiles, NoAttributesMeansNoRowsNotTheGeneralList)
{
    for (const QByteArray &body :
         {QByteArray("Attributes=0\r\n1=href\r\n"), QByteArray("1=href\r\n"),
          QByteArray("Attributes=none\r\n1=href\r\n"), QByteArray("Attributes=-4\r\n1=x\r\n")}) {
        writeTag(QStringLiteral("br.tag"), body);
        const AttributeRows rows = rowsFor(QStringLiteral("br"));
        EXPECT_TRUE(rows.ownFile) << body.toStdString();
        EXPECT_TRUE(rows.rows.isEmpty()) << body.toStdString();
        EXPECT_EQ(basINI::CurrentIniFile(), settingsFile) << body.toStdString();
    }
}

TEST_F(TagFiles, ATagWithoutAFileGetsTheGeneralListAsWritten)
{
    const AttributeRows rows = rowsFor(QStringLiteral("span"));
    EXPECT_FALSE(rows.ownFile);
    EXPECT_EQ(rows.rows, gAttributeList);
}

TEST_F(TagFiles, TheNameIsMatchedWithoutRegardToLetterCase)
{
    writeTag(QStringLiteral("table.tag"), "Attributes=1\r\n1=border\r\n");
    for (const QString &name :
         {QStringLiteral("TABLE"), QStringLiteral("Table"), QStringLiteral("table")}) {
        const AttributeRows rows = rowsFor(name);
        EXPECT_TRUE(rows.ownFile) << name.toStdString();
        EXPECT_EQ(rows.rows, QStringList{QStringLiteral("border=\"\"")}) << name.toStdString();
    }
    EXPECT_EQ(findTagFile(programDir, QStringLiteral("TABLE")),
              tagDir + QStringLiteral("table.tag"));
}

TEST_F(TagFiles, AnExactMatchWinsOverOneDifferingInCase)
{
    writeTag(QStringLiteral("Td.tag"), "Attributes=1\r\n1=upper\r\n");
    writeTag(QStringLiteral("td.tag"), "Attributes=1\r\n1=lower\r\n");
    EXPECT_EQ(rowsFor(QStringLiteral("td")).rows, QStringList{QStringLiteral("lower=\"\"")});
    EXPECT_EQ(rowsFor(QStringLiteral("Td")).rows, QStringList{QStringLiteral("upper=\"\"")});
    EXPECT_EQ(rowsFor(QStringLiteral("TD")).rows, QStringList{QStringLiteral("upper=\"\"")})
        << "the first in code-unit order";
}

TEST_F(TagFiles, NamesThatCouldLeaveTheFolderHaveNoFile)
{
    // Files where each hostile name would lead if it were used as given.
    write(programDir + QStringLiteral("HTML/secret.tag"), "[Attribute]\r\nAttributes=1\r\n1=x\r\n");
    ASSERT_TRUE(QDir().mkpath(tagDir + QStringLiteral("a")));
    writeTag(QStringLiteral("a/b.tag"), "Attributes=1\r\n1=x\r\n");
    writeTag(QStringLiteral("...tag"), "Attributes=1\r\n1=x\r\n");
    writeTag(QStringLiteral("c\x01.tag"), "Attributes=1\r\n1=x\r\n");
    writeTag(QStringLiteral("a\\b.tag"), "Attributes=1\r\n1=x\r\n");
    const QString hostile[] = {QStringLiteral("../secret"),
                               QStringLiteral("../../etc/passwd"),
                               QStringLiteral("a/b"),
                               QStringLiteral(".."),
                               QStringLiteral("c\x01"),
                               QStringLiteral("a\\b"),
                               QString::fromUtf16(u"p\0q", 3),
                               QStringLiteral("p\r\nq"),
                               QStringLiteral("p\x7f"),
                               QStringLiteral("/etc/passwd"),
                               QString()};
    for (const QString &name : hostile) {
        basINI::SetIniFile(settingsFile);
        EXPECT_EQ(findTagFile(programDir, name), QString()) << scrivlet::test::visible(name);
        const AttributeRows rows = rowsFor(name);
        EXPECT_FALSE(rows.ownFile) << scrivlet::test::visible(name);
        EXPECT_EQ(rows.rows, gAttributeList) << scrivlet::test::visible(name);
        EXPECT_EQ(basINI::CurrentIniFile(), settingsFile);
    }
}

TEST_F(TagFiles, WildcardsInANameStandForThemselves)
{
    writeTag(QStringLiteral("t1.tag"), "Attributes=1\r\n1=x\r\n");
    EXPECT_FALSE(rowsFor(QStringLiteral("t?")).ownFile);
    EXPECT_FALSE(rowsFor(QStringLiteral("t*")).ownFile);
    EXPECT_FALSE(rowsFor(QStringLiteral("[t]1")).ownFile);
}

TEST_F(TagFiles, AFolderNamedLikeATagFileIsNoTagFile)
{
    ASSERT_TRUE(QDir().mkpath(tagDir + QStringLiteral("ul.tag")));
    EXPECT_FALSE(rowsFor(QStringLiteral("ul")).ownFile);
}

TEST_F(TagFiles, ANameTooLongForAFileHasNoFile)
{
    EXPECT_FALSE(rowsFor(QString(300, u'x')).ownFile);
}

TEST_F(TagFiles, AHugeAttributeCountIsCappedAndReturnsPromptly)
{
    writeTag(QStringLiteral("big.tag"),
             "Attributes=2000000000\r\n1=first\r\n32767=last\r\n32768=beyond\r\n");
    QElapsedTimer timer;
    timer.start();
    const AttributeRows rows = rowsFor(QStringLiteral("big"));
    const qint64 ms = timer.elapsed();
    ASSERT_EQ(rows.rows.size(), kMaxAttributeRows);
    EXPECT_EQ(rows.rows.first(), QStringLiteral("first=\"\""));
    EXPECT_EQ(rows.rows.at(1), QStringLiteral("=\"\""));
    EXPECT_EQ(rows.rows.last(), QStringLiteral("last=\"\""));
    EXPECT_LT(ms, 10000) << "a file claiming two billion names must not hang the editor";
    EXPECT_EQ(basINI::CurrentIniFile(), settingsFile);
}

TEST_F(TagFiles, ASettingsWriteAfterAnAttributeListGoesToTheSettingsFile)
{
    writeTag(QStringLiteral("a.tag"), "Attributes=1\r\n1=href\r\n");
    const QByteArray tagBytes = read(tagDir + QStringLiteral("a.tag"));
    ASSERT_EQ(rowsFor(QStringLiteral("a")).rows, QStringList{QStringLiteral("href=\"\"")});
    EXPECT_EQ(basINI::CurrentIniFile(), settingsFile);
    EXPECT_TRUE(basINI::WriteIniString(QStringLiteral("Convert"), QStringLiteral("KanjiCode"),
                                       QStringLiteral("EUC")));
    EXPECT_TRUE(read(settingsFile).contains("KanjiCode=EUC"));
    EXPECT_EQ(read(tagDir + QStringLiteral("a.tag")), tagBytes);
}

TEST_F(TagFiles, TheGivenSettingsFileIsMadeCurrentWhateverWasBefore)
{
    writeTag(QStringLiteral("a.tag"), "Attributes=1\r\n1=href\r\n");
    basINI::SetIniFile(programDir + QStringLiteral("other.ini"));
    rowsFor(QStringLiteral("a"));
    EXPECT_EQ(basINI::CurrentIniFile(), settingsFile);
}

TEST_F(TagFiles, ShiftJisNamesAreReadAsText)
{
    writeTag(QStringLiteral("x.tag"), "Attributes=1\r\n1=\x83\x4a\x83\x69\r\n"); // カナ
    EXPECT_EQ(rowsFor(QStringLiteral("x")).rows, QStringList{QStringLiteral("カナ=\"\"")});
}

} // namespace
} // namespace scrivlet::html::test
