// The settings module on real files: the program's own settings file and per-tag files,
// hostile files, and writes that must never lose the file.

#include "files/basINI.h"
#include "tests/common/TestSupport.h"
#include "tests/files/IniTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;
using basINI::ReadIniInt;
using basINI::ReadIniString;
using basINI::SetIniFile;
using basINI::WriteIniString;
using test::bytesOf;
using test::escaped;
using test::iniFixture;
using test::readBytes;
using test::writeBytes;

// Every test gets an empty folder of its own and starts with no current profile file.
class ScratchFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        basINI::ResetForTests();
    }
    void TearDown() override { basINI::ResetForTests(); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A writable copy of a fixture in the scratch folder.
    QString copyOf(const QString &fixture, const QString &name = QString())
    {
        const QString target = path(name.isEmpty() ? fixture : name);
        const QByteArray bytes = readBytes(iniFixture(fixture));
        EXPECT_FALSE(bytes.isEmpty()) << fixture.toStdString();
        EXPECT_TRUE(writeBytes(target, bytes));
        return target;
    }

    // Everything in the scratch folder, hidden files included.
    QStringList entries() const
    {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

ino_t inodeOf(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

mode_t modeOf(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// --- Reading ------------------------------------------------------------------------------

class SettingsRead : public ScratchFolder
{};

TEST_F(SettingsRead, WithoutASettingsFileEveryReadGivesItsDefault)
{
    const QString ini = path(u"Scrivlet.ini"_s);
    SetIniFile(ini);
    EXPECT_EQ(ReadIniInt(u"Template"_s, u"Use"_s, 0), 0);
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"Shift-JIS");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"ReturnCode"_s, u"CRLF"_s), u"CRLF");
    EXPECT_EQ(ReadIniString(u"Browser"_s, u"Internet Explorer"_s, QString()), u"");
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(ReadIniString(u"FindHistory"_s, QString::number(i), u"-"_s), u"-");
    EXPECT_FALSE(QFileInfo::exists(ini)) << "reading made the file";
}

TEST_F(SettingsRead, WithoutACurrentFileReadsGiveDefaultsAndWritesFail)
{
    EXPECT_EQ(basINI::CurrentIniFile(), u"");
    EXPECT_EQ(ReadIniInt(u"Template"_s, u"Use"_s, 5), 5);
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"Shift-JIS");
    EXPECT_FALSE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
}

TEST_F(SettingsRead, TheProgramsSettingsFileReadsBackWhole)
{
    SetIniFile(copyOf(u"Scrivlet.ini"_s));
    EXPECT_EQ(ReadIniInt(u"Template"_s, u"Use"_s, 0), 1);
    EXPECT_EQ(ReadIniString(u"Template"_s, u"TemplatePass"_s, QString()),
              u"/home/taro/ホームページ/ﾃﾝﾌﾟﾚｰﾄ");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"EUC");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"ReturnCode"_s, u"CRLF"_s), u"LF");
    // Present but empty is not missing.
    EXPECT_EQ(ReadIniString(u"Browser"_s, u"Internet Explorer"_s, u"-"_s), u"");
    EXPECT_EQ(ReadIniString(u"Browser"_s, u"Netscape"_s, QString()),
              u"/usr/local/netscape/netscape");
    const QString history[] = {u"/home/taro/ホームページ/表紙.html"_s,
                               u"/home/taro/ホームページ/日記/ゾーン①.html"_s,
                               u"/home/taro/ソフト/能力表.htm"_s, QString(), QString()};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ReadIniString(u"History"_s, QString::number(i + 1), u"-"_s), history[i]) << i;
    EXPECT_EQ(ReadIniString(u"History"_s, u"6"_s, u"-"_s), u"-");
    const QString found[] = {u"ソフトウェア"_s, u"<TABLE border=\"1\">"_s, u"～"_s, u"ⅰ"_s};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadIniString(u"FindHistory"_s, QString::number(i + 1), QString()), found[i]);
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"10"_s, u"-"_s), u"");
    EXPECT_EQ(ReadIniString(u"ReplaceHistory"_s, u"1"_s, QString()), u"能力");
    EXPECT_EQ(ReadIniString(u"ReplaceHistory"_s, u"2"_s, QString()), u"&nbsp;");
}

TEST_F(SettingsRead, ValuesKeepTheirLetterCase)
{
    SetIniFile(path(u"Scrivlet.ini"_s));
    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"jis"_s));
    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"ReturnCode"_s, u"cr"_s));
    // The callers compare exactly, so these count as neither JIS nor CR.
    EXPECT_EQ(ReadIniString(u"convert"_s, u"kanjicode"_s, u"Shift-JIS"_s), u"jis");
    EXPECT_EQ(ReadIniString(u"CONVERT"_s, u"RETURNCODE"_s, u"CRLF"_s), u"cr");
}

TEST_F(SettingsRead, IntegersAreTheLeadingDigitsAndTheDefaultOnlyForAMissingKey)
{
    SetIniFile(path(u"Scrivlet.ini"_s));
    EXPECT_EQ(ReadIniInt(u"Template"_s, u"Use"_s, 3), 3);
    const std::pair<QString, int> cases[] = {
        {u"abc"_s, 0}, {u"7"_s, 7},  {u"2"_s, 2},   {u"12px"_s, 12},
        {u""_s, 0},    {u"-1"_s, 0}, {u" 4 "_s, 0}, // no digit first: 0
    };
    for (const auto &[value, expected] : cases) {
        ASSERT_TRUE(WriteIniString(u"Template"_s, u"Use"_s, value));
        EXPECT_EQ(ReadIniInt(u"Template"_s, u"Use"_s, 9), expected) << value.toStdString();
    }
}

TEST_F(SettingsRead, EveryReadSeesTheFileAsItIsNow)
{
    const QString ini = path(u"Scrivlet.ini"_s);
    SetIniFile(ini);
    ASSERT_TRUE(writeBytes(ini, "[Convert]\r\nKanjiCode=EUC\r\n"));
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"EUC");
    // Changed behind the program's back.
    ASSERT_TRUE(writeBytes(ini, "[Convert]\r\nKanjiCode=JIS\r\n"));
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"JIS");
    ASSERT_TRUE(QFile::remove(ini));
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"Shift-JIS");
}

TEST_F(SettingsRead, ATagFileIsReadThroughTheSameOperationsAndThenLeftAlone)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    const QString tag = copyOf(u"img.tag"_s);
    const QByteArray tagBytes = readBytes(tag);
    SetIniFile(ini);

    SetIniFile(tag);
    EXPECT_EQ(basINI::CurrentIniFile(), tag);
    ASSERT_EQ(ReadIniInt(u"Attribute"_s, u"Attributes"_s, 0), 3);
    EXPECT_EQ(ReadIniString(u"Attribute"_s, u"1"_s, QString()), u"src");
    EXPECT_EQ(ReadIniString(u"Attribute"_s, u"2"_s, QString()), u"");
    EXPECT_EQ(ReadIniString(u"Attribute"_s, u"3"_s, QString()), u"alt");
    SetIniFile(ini);

    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_EQ(escaped(readBytes(tag)), escaped(tagBytes));
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, QString()), u"JIS");
}

TEST_F(SettingsRead, ResetForgetsTheCurrentFile)
{
    SetIniFile(path(u"Scrivlet.ini"_s));
    basINI::ResetForTests();
    EXPECT_EQ(basINI::CurrentIniFile(), u"");
}

// --- Writing --------------------------------------------------------------------------------

class SettingsWrite : public ScratchFolder
{};

TEST_F(SettingsWrite, AWriteChangesItsOwnLineAndNoOtherByte)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    const QByteArray before = readBytes(ini);
    SetIniFile(ini);
    ASSERT_TRUE(WriteIniString(u"FindHistory"_s, u"3"_s, u"表示"_s));
    QByteArray expected = before;
    // "3=～" occurs in FindHistory only.
    ASSERT_EQ(expected.count("\r\n3=\x81\x60\r\n"), 1);
    expected.replace("\r\n3=\x81\x60\r\n", "\r\n3=\x95\x5C\x8E\xA6\r\n");
    EXPECT_EQ(escaped(readBytes(ini)), escaped(expected));
}

TEST_F(SettingsWrite, AnEmptySearchStringLeavesItsKeyWithAnEmptyValue)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    SetIniFile(ini);
    ASSERT_TRUE(WriteIniString(u"FindHistory"_s, u"3"_s, QString()));
    const QByteArray after = readBytes(ini);
    const qsizetype section = after.indexOf("[FindHistory]\r\n");
    ASSERT_GE(section, 0);
    const qsizetype line = after.indexOf("\r\n2=<TABLE border=\"1\">\r\n3=\r\n4=\xFA\x40\r\n");
    EXPECT_GT(line, section);
    EXPECT_LT(line, after.indexOf("[ReplaceHistory]"));
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"3"_s, u"-"_s), u"");
}

TEST_F(SettingsWrite, WritingWhatIsThereAlreadyDoesNotTouchTheFile)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    const QByteArray before = readBytes(ini);
    const ino_t inode = inodeOf(ini);
    SetIniFile(ini);
    const char *keys[][2] = {
        {"Template", "Use"},       {"Template", "TemplatePass"}, {"Convert", "KanjiCode"},
        {"Convert", "ReturnCode"}, {"Browser", "Netscape"},      {"Browser", "Internet Explorer"},
        {"History", "2"},          {"FindHistory", "2"},         {"ReplaceHistory", "10"}};
    for (const auto &key : keys) {
        const QString section = QString::fromLatin1(key[0]);
        const QString name = QString::fromLatin1(key[1]);
        ASSERT_TRUE(WriteIniString(section, name, ReadIniString(section, name, QString())))
            << key[0] << '/' << key[1];
    }
    EXPECT_EQ(escaped(readBytes(ini)), escaped(before));
    EXPECT_EQ(inodeOf(ini), inode);
}

TEST_F(SettingsWrite, ALongHistoryEntryIsKeptWholeButReadAsItsFirst1023Bytes)
{
    SetIniFile(path(u"Scrivlet.ini"_s));
    // 1500 bytes: a folder of 500 two-byte kanji and 500 ASCII letters.
    const QString entry = QString(500, u'表') + QString(500, u'a');
    ASSERT_TRUE(WriteIniString(u"History"_s, u"1"_s, entry));
    EXPECT_EQ(readBytes(path(u"Scrivlet.ini"_s)).size(),
              QByteArray("[History]\r\n1=\r\n").size() + 1500);
    EXPECT_EQ(ReadIniString(u"History"_s, u"1"_s, QString()),
              QString(500, u'表') + QString(23, u'a'));
    // A two-byte character across the limit is left out whole.
    const QString odd = u"a"_s + QString(750, u'表');
    ASSERT_TRUE(WriteIniString(u"History"_s, u"2"_s, odd));
    EXPECT_EQ(ReadIniString(u"History"_s, u"2"_s, QString()), u"a"_s + QString(511, u'表'));
}

TEST_F(SettingsWrite, TheFirstWriteMakesTheFile)
{
    const QString ini = path(u"Scrivlet.ini"_s);
    SetIniFile(ini);
    ASSERT_TRUE(WriteIniString(u"FindHistory"_s, u"3"_s, QString()));
    EXPECT_EQ(escaped(readBytes(ini)), escaped("[FindHistory]\r\n3=\r\n"));
}

TEST_F(SettingsWrite, ShutdownsHistoriesGoInTheirSectionsInSlotOrder)
{
    const QString ini = path(u"Scrivlet.ini"_s);
    SetIniFile(ini);
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(WriteIniString(u"History"_s, QString::number(i), QString()));
    for (int i = 1; i <= 10; ++i) {
        ASSERT_TRUE(
            WriteIniString(u"FindHistory"_s, QString::number(i), i == 1 ? u"検索"_s : u""_s));
        ASSERT_TRUE(WriteIniString(u"ReplaceHistory"_s, QString::number(i), QString()));
    }
    QByteArray expected = "[History]\r\n1=\r\n2=\r\n3=\r\n4=\r\n5=\r\n\r\n[FindHistory]\r\n"
                          "1=\x8C\x9F\x8D\xF5\r\n";
    for (int i = 2; i <= 10; ++i)
        expected += QByteArray::number(i) + "=\r\n";
    expected += "\r\n[ReplaceHistory]\r\n";
    for (int i = 1; i <= 10; ++i)
        expected += QByteArray::number(i) + "=\r\n";
    EXPECT_EQ(escaped(readBytes(ini)), escaped(expected));
}

TEST_F(SettingsWrite, ARefusedValueLeavesTheFileAsItWas)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    const QByteArray before = readBytes(ini);
    SetIniFile(ini);
    EXPECT_FALSE(WriteIniString(u"FindHistory"_s, u"1"_s, u"two\r\nlines"_s));
    EXPECT_FALSE(WriteIniString(u"FindHistory"_s, u"1"_s, u"😀"_s));
    EXPECT_EQ(escaped(readBytes(ini)), escaped(before));
    EXPECT_EQ(entries(), QStringList{u"Scrivlet.ini"_s});
}

// --- Replacing the file safely --------------------------------------------------------------

class SafeReplace : public ScratchFolder
{};

TEST_F(SafeReplace, AFolderThatIsNotThereFailsCleanly)
{
    SetIniFile(path(u"missing/Scrivlet.ini"_s));
    EXPECT_FALSE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_TRUE(entries().isEmpty());

    ASSERT_TRUE(writeBytes(path(u"plain"_s), "x"));
    SetIniFile(path(u"plain/Scrivlet.ini"_s));
    EXPECT_FALSE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_EQ(readBytes(path(u"plain"_s)), "x");
}

TEST_F(SafeReplace, ADirectoryInThePlaceOfTheFileIsLeftAlone)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"Scrivlet.ini"_s));
    SetIniFile(path(u"Scrivlet.ini"_s));
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"Shift-JIS");
    EXPECT_FALSE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_TRUE(QFileInfo(path(u"Scrivlet.ini"_s)).isDir());
    EXPECT_EQ(entries(), QStringList{u"Scrivlet.ini"_s});
}

TEST_F(SafeReplace, AReadOnlyFileIsNotReplaced)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    const QByteArray before = readBytes(ini);
    ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0444), 0);
    SetIniFile(ini);
    EXPECT_FALSE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_EQ(escaped(readBytes(ini)), escaped(before));
    EXPECT_EQ(modeOf(ini), mode_t(0444));
    EXPECT_EQ(entries(), QStringList{u"Scrivlet.ini"_s});
}

TEST_F(SafeReplace, AReplacedFileKeepsItsPermissions)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    ASSERT_EQ(::chmod(QFile::encodeName(ini).constData(), 0640), 0);
    SetIniFile(ini);
    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_EQ(modeOf(ini), mode_t(0640));
}

TEST_F(SafeReplace, ANewFileGetsThePermissionsOfAnyNewFile)
{
    const mode_t old = ::umask(027);
    SetIniFile(path(u"Scrivlet.ini"_s));
    const bool written = WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s);
    ::umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(modeOf(path(u"Scrivlet.ini"_s)), mode_t(0640));
}

TEST_F(SafeReplace, ASymbolicLinkIsWrittenThroughToItsTarget)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"dotfiles"_s));
    const QString target = copyOf(u"Scrivlet.ini"_s, u"dotfiles/Scrivlet.ini"_s);
    const QString link = path(u"Scrivlet.ini"_s);
    ASSERT_EQ(::symlink("dotfiles/Scrivlet.ini", QFile::encodeName(link).constData()), 0);
    SetIniFile(link);
    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, QString()), u"JIS");
    EXPECT_TRUE(readBytes(target).contains("\r\nKanjiCode=JIS\r\n"));
}

TEST_F(SafeReplace, AReaderOfTheOldFileSeesItWholeNeverAMixture)
{
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    const QByteArray before = readBytes(ini);
    QFile reader(ini);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    SetIniFile(ini);
    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    EXPECT_EQ(escaped(reader.readAll()), escaped(before));
    EXPECT_NE(escaped(readBytes(ini)), escaped(before));
    EXPECT_EQ(entries(), QStringList{u"Scrivlet.ini"_s});
}

TEST_F(SafeReplace, AWriteThatRunsOutOfSpaceLosesNothing)
{
    // A file-size limit stands in for a full disk: the new contents cannot be written whole.
    const QString ini = copyOf(u"Scrivlet.ini"_s);
    QByteArray big = readBytes(ini);
    big += "[Notes]\r\n";
    for (int i = 0; i < 200; ++i)
        big += "; " + QByteArray(60, 'x') + "\r\n";
    ASSERT_TRUE(writeBytes(ini, big));
    SetIniFile(ini);

    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(escaped(readBytes(ini)), escaped(big));
    EXPECT_EQ(entries(), QStringList{u"Scrivlet.ini"_s});
}

// --- Hostile files --------------------------------------------------------------------------

class HostileProfile : public ScratchFolder
{};

TEST_F(HostileProfile, TheLastLineWithoutItsLineBreak)
{
    const QString ini = copyOf(u"no-final-line-break.ini"_s);
    SetIniFile(ini);
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"ReturnCode"_s, QString()), u"LF");
    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"ReturnCode"_s, u"CR"_s));
    EXPECT_EQ(escaped(readBytes(ini)), escaped("[Convert]\r\nKanjiCode=JIS\r\nReturnCode=CR"));
    ASSERT_TRUE(WriteIniString(u"History"_s, u"1"_s, u"/a.html"_s));
    EXPECT_EQ(escaped(readBytes(ini)),
              escaped("[Convert]\r\nKanjiCode=JIS\r\nReturnCode=CR\r\n\r\n[History]\r\n"
                      "1=/a.html\r\n"));
}

TEST_F(HostileProfile, AMegabyteLongLine)
{
    const QByteArray megabyte(1 << 20, 'x');
    QByteArray kanji;
    for (int i = 0; i < (1 << 19); ++i)
        kanji += "\x95\x5C";
    const QByteArray file = "[FindHistory]\r\n1=" + kanji + "\r\n; " + megabyte + "\r\n" +
                            megabyte + "\r\n2=after\r\n[Convert]\r\nKanjiCode=EUC\r\n";
    const QString ini = path(u"Scrivlet.ini"_s);
    ASSERT_TRUE(writeBytes(ini, file));
    SetIniFile(ini);
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"1"_s, QString()), QString(511, u'表'));
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"2"_s, QString()), u"after");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, QString()), u"EUC");

    ASSERT_TRUE(WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"JIS"_s));
    QByteArray expected = file;
    expected.replace("KanjiCode=EUC", "KanjiCode=JIS");
    const QByteArray after = readBytes(ini);
    EXPECT_EQ(after.size(), expected.size());
    EXPECT_TRUE(after == expected);
}

TEST_F(HostileProfile, NulBytes)
{
    const QString ini = copyOf(u"nul-bytes.ini"_s);
    const QByteArray before = readBytes(ini);
    SetIniFile(ini);
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"1"_s, QString()), u"abc");
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"2"_s, u"-"_s), u"-");
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"3"_s, QString()), u"after the NULs");

    ASSERT_TRUE(WriteIniString(u"FindHistory"_s, u"3"_s, u"x"_s));
    QByteArray expected = before;
    expected.replace("3=after the NULs", "3=x");
    EXPECT_EQ(escaped(readBytes(ini)), escaped(expected));
    ASSERT_TRUE(WriteIniString(u"FindHistory"_s, u"2"_s, u"y"_s));
    EXPECT_EQ(escaped(readBytes(ini)), escaped(expected.replace("3=x\r\n", "3=x\r\n2=y\r\n")));
}

TEST_F(HostileProfile, SectionLinesWithoutTheirClosingBracket)
{
    const QString ini = copyOf(u"unclosed-section.ini"_s);
    const QByteArray before = readBytes(ini);
    SetIniFile(ini);
    EXPECT_EQ(ReadIniString(u"Browser"_s, u"Netscape"_s, u"-"_s), u"-");
    // The keys below such a line stay in the section above it.
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"Netscape"_s, QString()), u"/usr/bin/mozilla");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"ReturnCode"_s, QString()), u"CR");
    EXPECT_EQ(ReadIniString(u"History"_s, u"1"_s, QString()), u"/tmp/a.html");

    ASSERT_TRUE(WriteIniString(u"Browser"_s, u"Netscape"_s, u"/usr/bin/firefox"_s));
    EXPECT_EQ(escaped(readBytes(ini)),
              escaped(before + "\r\n[Browser]\r\nNetscape=/usr/bin/firefox\r\n"));
    EXPECT_EQ(ReadIniString(u"Browser"_s, u"Netscape"_s, QString()), u"/usr/bin/firefox");
}

TEST_F(HostileProfile, BinaryGarbage)
{
    std::mt19937 random(932);
    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    for (char &c : garbage)
        c = static_cast<char>(random());
    garbage[0] = 'x'; // not a UTF-16 byte-order mark by chance
    const QString ini = path(u"Scrivlet.ini"_s);
    ASSERT_TRUE(writeBytes(ini, garbage));
    SetIniFile(ini);
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, u"Shift-JIS"_s), u"Shift-JIS");
    EXPECT_EQ(ReadIniInt(u"Template"_s, u"Use"_s, 0), 0);
    ASSERT_TRUE(WriteIniString(u"Scrivlet"_s, u"KanjiCode"_s, u"JIS"_s));
    const QByteArray after = readBytes(ini);
    EXPECT_TRUE(after.startsWith(garbage));
    // The new lines end like the garbage's first line, whichever line end that was.
    EXPECT_TRUE(after.mid(garbage.size()).contains("[Scrivlet]"));
    EXPECT_EQ(ReadIniString(u"Scrivlet"_s, u"KanjiCode"_s, QString()), u"JIS");
}

TEST_F(HostileProfile, HandWrittenQuirks)
{
    SetIniFile(copyOf(u"quirks.ini"_s));
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, QString()), u"EUC");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"ReturnCode"_s, QString()), u"  CR  ");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"Extra"_s, u"-"_s), u"-");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"Netscape"_s, u"-"_s), u"-");
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"Internet Explorer"_s, u"-"_s), u"-");
    EXPECT_EQ(ReadIniString(u"Spaced Section"_s, u"Internet Explorer"_s, QString()),
              u"/opt/ie/iexplore");
    EXPECT_EQ(ReadIniString(u"Quotes"_s, u"double"_s, QString()), u"quoted");
    EXPECT_EQ(ReadIniString(u"Quotes"_s, u"single"_s, QString()), u"quoted");
    EXPECT_EQ(ReadIniString(u"Quotes"_s, u"mismatched"_s, QString()), u"\"open'");
    EXPECT_EQ(ReadIniString(u"Quotes"_s, u"lone"_s, QString()), u"\"");
    EXPECT_EQ(ReadIniString(u"Quotes"_s, u"empty"_s, u"-"_s), u"");
    EXPECT_EQ(ReadIniString(u"Quotes"_s, u"inner"_s, QString()), u"a \"b\" c");
    EXPECT_EQ(ReadIniString(u"Quotes"_s, u"equals"_s, QString()), u"a=b=c");
    EXPECT_EQ(ReadIniInt(u"Template"_s, u"Use"_s, 4), 4);
}

TEST_F(HostileProfile, OtherLineEndsAndAByteOrderMark)
{
    const QString lf = copyOf(u"lf-line-ends.ini"_s);
    SetIniFile(lf);
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"ReturnCode"_s, QString()), u"CR");
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"1"_s, QString()), u"表示");
    ASSERT_TRUE(WriteIniString(u"FindHistory"_s, u"2"_s, u"x"_s));
    EXPECT_TRUE(readBytes(lf).endsWith("\n1=\x95\x5C\x8E\xA6\n2=x\n"));

    const QString bom = copyOf(u"utf8-bom.ini"_s);
    SetIniFile(bom);
    EXPECT_EQ(ReadIniString(u"Convert"_s, u"KanjiCode"_s, QString()), u"EUC");
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"1"_s, QString()), u"表示");
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"2"_s, QString()), u"☃");
    ASSERT_TRUE(WriteIniString(u"FindHistory"_s, u"1"_s, u"能"_s));
    EXPECT_TRUE(readBytes(bom).startsWith("\xEF\xBB\xBF[Convert]\r\n"));
    EXPECT_EQ(ReadIniString(u"FindHistory"_s, u"1"_s, QString()), u"能");
}

} // namespace
} // namespace scrivlet
