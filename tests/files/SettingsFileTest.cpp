// Settings files: the profile format on bytes in memory (what a value reads as, which bytes a
// write changes), then the settings module on real files: the program's own settings file and
// per-tag files, hostile files, and writes that must never lose the file.

#include "files/IniFormat.h"
#include "files/basINI.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"
#include "tests/files/IniTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;
using namespace basINI;
using namespace files;
using namespace test;

const QString kDefault = u"<default>"_s;

QString get(QStringView section, QStringView key)
{
    return basINI::ReadIniString(section.toString(), key.toString(), kDefault);
}

bool set(QStringView section, QStringView key, QStringView value)
{
    return basINI::WriteIniString(section.toString(), key.toString(), value.toString());
}

// Reading many keys in one pass gives what reading each alone gives, a key asked twice included.
TEST(ProfileRead, ValuesAsTheWindowsReaderSeesThem)
{
    for (const auto &row : test::iniRows("profile-reads.txt", 4)) {
        SCOPED_TRACE(row[0] + " / " + row[2]);
        const QByteArray file = QByteArray::fromStdString(row[0]);
        const QString section = field(row, 1), key = field(row, 2);
        const auto value = [&](const QString &k) {
            return profileValue(file, section, k);
        };
        EXPECT_EQ(value(key).value_or(u"<missing>"_s), field(row, 3));
        EXPECT_EQ(profileValues(file, section, {u"other"_s, key, key.toUpper()}),
                  (QList{value(u"other"_s), value(key), value(key.toUpper())}));
    }
}

TEST(ProfileRead, IntegersAreTheLeadingAsciiDigitsHeldToTheRangeOfInt)
{
    for (const auto &row : test::iniRows("profile-integers.txt", 2))
        EXPECT_EQ(profileInteger(field(row, 0)), std::stoi(row[1])) << row[0];
}

TEST(ProfileWrite, OneValueChangesAndEveryOtherByteStaysOrTheWriteIsRefused)
{
    // Refused: what the reader could not give back, or would find as another key.
    for (const auto &row : test::iniRows("profile-writes.txt", 5))
        EXPECT_EQ(str(withProfileValue(QByteArray::fromStdString(row[0]), field(row, 1),
                                       field(row, 2), field(row, 3))),
                  row[4])
            << row[0] << " / " << row[2] << " = " << row[3];
    // A lone surrogate has no UTF-8 to be written in the file.
    EXPECT_FALSE(withProfileValue("\xEF\xBB\xBF", u"s", u"k", QString(QChar(0xD800))));
}

TEST(ProfileWrite, RandomWritesAlwaysReadBackAndRewritingChangesNothing)
{
    // Names and values pieced together from what has tripped the format: letter case, blanks
    // (^Z among them), "=", brackets, ";", quotes, kanji whose second byte is "\" or "]",
    // half-width katakana, full-width letters and spaces, and the alternative forms beside
    // their Windows twins: a name holding 〜 or — finds the line written for it. Fixed seed.
    const QStringList pieces =
        u"a|B|k|1| |\t|\x1A|\u3000|ソ|=|[|]|;|\"|'|表|ゾ|ｱ|Ａ|ａ|〜|～|—|―|‖|∥|−|－|¢|£|¬"_s.split(
            u'|');
    // What reading gives back for each alternative form: its Windows twin.
    const QString forms = u"〜—‖−¢£¬"_s, twins = u"～―∥－￠￡￢"_s;
    std::mt19937 random(20261207);
    const auto draw = [&](int most) {
        QString text;
        for (int n = 1 + int(random() % most); n > 0; --n)
            text += pieces[int(random() % pieces.size())];
        return text;
    };
    QByteArray file = test::iniFixture(u"Scrivlet.ini"_s);
    ASSERT_FALSE(file.isEmpty());
    int written = 0;
    for (int round = 0; round < 4000; ++round) {
        const QString section = draw(3);
        const QString key = draw(3);
        const QString value = round % 5 == 0 ? QString() : draw(6);
        const std::optional<QByteArray> next = withProfileValue(file, section, key, value);
        if (!next)
            continue;
        ++written;
        QString expected = value;
        for (qsizetype i = 0; i < forms.size(); ++i)
            expected.replace(forms[i], twins[i]);
        const std::string at = test::visible(section) + " / " + test::visible(key);
        ASSERT_EQ(profileValue(*next, section, key), expected) << at;
        ASSERT_EQ(str(withProfileValue(*next, section, key, value)), str(next)) << at;
        file = *next;
    }
    EXPECT_GT(written, 2000);
}

// Every test gets an empty folder of its own and starts with no current settings file.
class Settings : public ::testing::Test
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
        EXPECT_TRUE(writeBytes(target, iniFixture(fixture)));
        return target;
    }

    // Everything in the folder, hidden files included: a temporary file left behind shows.
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

TEST_F(Settings, EveryReadAndWriteSeesTheFileAsItIsNow)
{
    EXPECT_EQ(get(u"Convert", u"KanjiCode"), kDefault);
    EXPECT_FALSE(set(u"Convert", u"KanjiCode", u"JIS")); // no current file
    const QString ini = path(u"Scrivlet.ini"_s);
    SetIniFile(ini);
    EXPECT_EQ(ReadIniInt(u"Convert"_s, u"Use"_s, 9), 9);
    EXPECT_TRUE(entries().isEmpty()) << "reading made the file";
    // Written, changed and removed behind the program's back.
    ASSERT_TRUE(writeBytes(ini, "[Convert]\r\nKanjiCode=EUC\r\nUse=\r\n"));
    EXPECT_EQ(get(u"Convert", u"KanjiCode"), u"EUC");
    EXPECT_EQ(ReadIniInt(u"Convert"_s, u"Use"_s, 9), 0); // present without digits: not missing
    ASSERT_TRUE(writeBytes(ini, "[Convert]\r\nKanjiCode=JIS\r\nUse=12\r\n"));
    EXPECT_EQ(get(u"Convert", u"KanjiCode"), u"JIS");
    EXPECT_EQ(ReadIniInt(u"Convert"_s, u"Use"_s, 9), 12);
    ASSERT_TRUE(set(u"Convert", u"ReturnCode", u"LF"));
    EXPECT_EQ(str(readBytes(ini)), "[Convert]\r\nKanjiCode=JIS\r\nUse=12\r\nReturnCode=LF\r\n");
    ASSERT_TRUE(QFile::remove(ini));
    EXPECT_EQ(get(u"Convert", u"KanjiCode"), kDefault);
    // A new file gets the permissions of any new file.
    const mode_t old = ::umask(027);
    const bool written = set(u"FindHistory", u"3", u"");
    ::umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(statOf(ini.toStdString()).st_mode & 07777, mode_t(0640));
    EXPECT_EQ(str(readBytes(ini)), "[FindHistory]\r\n3=\r\n");
    // A value that would read back cut, 1501 bytes, is refused (reading cuts it at 1023:
    // ProfileRead, and the file of megabytes below); one of 1023 is written whole.
    EXPECT_FALSE(set(u"History", u"1", u"a"_s + QString(750, u'表')));
    ASSERT_TRUE(set(u"History", u"1", u"a"_s + QString(511, u'表')));
    EXPECT_EQ(readBytes(ini).size(),
              QByteArray("[FindHistory]\r\n3=\r\n[History]\r\n1=\r\n").size() + 1023);

    // A list leaves out what Shift-JIS cannot hold, and what would read back cut; no key keeps
    // what was there before.
    ASSERT_TRUE(writeBytes(ini, "[History]\r\n1=/old/1.html\r\n2=/old/2.html\r\n3=/old/3.html\r\n"
                                "4=/old/4.html\r\n"));
    WriteIniList(u"History"_s, {u"/r\u00E9sum\u00E9.html"_s, u"/ページ.html"_s, u"/\U0001F600"_s,
                                u'/' + QString(1023, u'd')});
    EXPECT_EQ(str(readBytes(ini)), "[History]\r\n1=/\x83y\x81[\x83W.html\r\n2=\r\n3=\r\n4=\r\n");
}

// Two copies of the program writing the same file at once, as at the end of a session: no
// change of either is lost, and a list is one copy's whole list.
TEST_F(Settings, TwoCopiesWritingAtOnceLoseNothing)
{
    SetIniFile(path(u"Scrivlet.ini"_s));
    const auto write = [](const QString &copy) {
        for (int round = 0; round < 100; ++round) {
            set(u"Own", copy + QString::number(round), u"x");
            WriteIniList(u"History"_s, QStringList(5, copy + QString::number(round)));
        }
    };
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        write(u"child"_s);
        ::_exit(0);
    }
    write(u"parent"_s);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    QStringList keys;
    for (int round = 0; round < 100; ++round)
        keys << u"parent"_s + QString::number(round) << u"child"_s + QString::number(round);
    EXPECT_EQ(ReadIniStrings(u"Own"_s, keys, kDefault), QStringList(keys.size(), u"x"_s));
    const QStringList history =
        ReadIniStrings(u"History"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}, kDefault);
    EXPECT_EQ(history.count(history[0]), 5) << history.join(u' ').toStdString();
    EXPECT_EQ(entries(), QStringList{u"Scrivlet.ini"_s});
}

TEST_F(Settings, FilesOfEveryFormReadAndAWriteReplacesOnlyItsLine)
{
    const QString ini = path(u"Scrivlet.ini"_s);
    SetIniFile(ini);
    for (const auto &row : test::iniRows("fixture-reads.txt", 4)) {
        ASSERT_TRUE(writeBytes(ini, iniFixture(field(row, 0))));
        EXPECT_EQ(get(field(row, 1), field(row, 2)), field(row, 3)) << row[0] << ": " << row[2];
    }
    // A file of megabytes: a value of 1 MiB is read as its first 511 kanji.
    const QByteArray mb(1 << 20, 'x');
    const QByteArray huge = "[Find]\r\n1=" + QByteArray("\x95\x5C").repeated(1 << 19) + "\r\n; " +
                            mb + "\r\n" + mb + "\r\n2=after\r\n[Convert]\r\nKanjiCode=EUC\r\n";
    ASSERT_TRUE(writeBytes(ini, huge));
    EXPECT_EQ(get(u"Find", u"1"), QString(511, u'表'));
    EXPECT_EQ(get(u"Find", u"2"), u"after");
    ASSERT_TRUE(set(u"Convert", u"KanjiCode", u"JIS"));
    EXPECT_TRUE(readBytes(ini) == QByteArray(huge).replace("=EUC", "=JIS"));
    for (const auto &row : test::iniRows("fixture-writes.txt", 6)) {
        const QByteArray file = iniFixture(field(row, 0));
        ASSERT_EQ(file.count(row[4].c_str()), 1) << row[0];
        ASSERT_TRUE(writeBytes(ini, file));
        ASSERT_TRUE(set(field(row, 1), field(row, 2), field(row, 3)));
        EXPECT_EQ(str(readBytes(ini)),
                  str(QByteArray(file).replace(row[4].c_str(), row[5].c_str())))
            << row[0];
    }
}

TEST_F(Settings, AFailedWriteLeavesEveryFileAsItWas)
{
    const QByteArray fixture = iniFixture(u"Scrivlet.ini"_s);
    const QString readOnly = copyOf(u"Scrivlet.ini"_s, u"read-only.ini"_s);
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    const QString writable = copyOf(u"Scrivlet.ini"_s);
    ASSERT_TRUE(writeBytes(path(u"plain"_s), "x"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"folder.ini"_s));
    const QStringList before = entries();
    // Files that cannot be written, and values that cannot be.
    for (const QString &file : {path(u"missing/Scrivlet.ini"_s), path(u"plain/Scrivlet.ini"_s),
                                path(u"folder.ini"_s), readOnly}) {
        SetIniFile(file);
        EXPECT_FALSE(set(u"Convert", u"KanjiCode", u"JIS")) << file.toStdString();
    }
    SetIniFile(writable);
    EXPECT_FALSE(set(u"Convert", u"KanjiCode", u"two\r\nlines"));
    EXPECT_FALSE(set(u"Convert", u"KanjiCode", u"😀"));
    EXPECT_FALSE(set(u"Template", u"TemplatePass", u"/home/t/〜site")) << "it reads back as ～";
    const ino_t inode = statOf(writable.toStdString()).st_ino;
    ASSERT_TRUE(set(u"FindHistory", u"3", u"～")); // what is there already: not even rewritten
    EXPECT_EQ(statOf(writable.toStdString()).st_ino, inode);

    EXPECT_EQ(entries(), before);
    EXPECT_EQ(str(readBytes(readOnly)), str(fixture));
    EXPECT_EQ(statOf(readOnly.toStdString()).st_mode & 07777, mode_t(0444));
    EXPECT_EQ(str(readBytes(writable)), str(fixture));
    EXPECT_EQ(str(readBytes(path(u"plain"_s))), "x");
}

} // namespace
} // namespace scrivlet
