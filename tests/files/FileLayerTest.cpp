// Loading and saving through the converter library: every code reads as the same text, a save
// writes the chosen code and line ends, and no failure loses the old file.

#include "files/Messages.h"
#include "files/ProgramPaths.h"
#include "files/basFile.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/Globals.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"
#include "tests/files/IniTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace scrivlet {
namespace {

using test::FakeMessageService;
using test::readBytes;
using test::writeBytes;

// Owner, group and others; Qt's "user" bits only mirror the owner's for the current user.
constexpr QFile::Permissions kModeBits{0x7077};

const QString kText = QStringLiteral("<P>日本語の文章、ｶﾀｶﾅ、①Ⅱ髙﨑～</P>\r\n二行目\r\n");

class FileLayer : public ::testing::Test
{
protected:
    QTemporaryDir program;
    QTemporaryDir pages;
    FakeMessageService messages;

    void SetUp() override
    {
        ResetGlobals();
        useLibraryFrom(QStringLiteral(SCRIVLET_PROGRAM_DIR));
        basINI::SetIniFile(program.filePath(QStringLiteral("Scrivlet.ini")));
    }
    void TearDown() override
    {
        basKanji::UnloadLibraryForTests();
        ResetGlobals();
    }
    // The program directory holds a copy of the library from folder, or none when empty.
    void useLibraryFrom(const QString &folder)
    {
        basKanji::UnloadLibraryForTests();
        gProgramDirectory = program.path() + u'/';
        QFile::remove(gProgramDirectory + QStringLiteral("UNKANJ.DLL"));
        if (!folder.isEmpty())
            QFile::copy(folder + QStringLiteral("/UNKANJ.DLL"),
                        gProgramDirectory + QStringLiteral("UNKANJ.DLL"));
    }
    QString page(const QString &name) const { return pages.filePath(name); }
    void setSaveCodes(const QString &kanji, const QString &lineEnds)
    {
        basINI::WriteIniString(QStringLiteral("Convert"), QStringLiteral("KanjiCode"), kanji);
        basINI::WriteIniString(QStringLiteral("Convert"), QStringLiteral("ReturnCode"), lineEnds);
    }
    bool workFileLeft() const { return QFileInfo::exists(files::workFilePath()); }
};

TEST_F(FileLayer, EveryKanjiCodeLoadsAsTheSameText)
{
    QString lf = kText;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    writeBytes(page(QStringLiteral("sjis.html")), test::iconvEncode(kText, "CP932"));
    writeBytes(page(QStringLiteral("euc.html")), test::iconvEncode(lf, "EUC-JP-MS"));
    // ISO-2022-JP has neither half-width kana nor the vendor rows: a text without them.
    const QString plain = QStringLiteral("<P>日本語の文章、カタカナ</P>\r\n二行目\r\n");
    QString plainCr = plain;
    plainCr.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    writeBytes(page(QStringLiteral("jis.html")), test::iconvEncode(plainCr, "ISO-2022-JP"));
    EXPECT_EQ(basFile::LoadTextFile(messages, page(QStringLiteral("jis.html"))), plain);
    writeBytes(page(QStringLiteral("utf8.html")), lf.toUtf8());
    for (const char *name : {"sjis.html", "euc.html", "utf8.html"}) {
        const QByteArray before = readBytes(page(QString::fromLatin1(name)));
        EXPECT_EQ(basFile::LoadTextFile(messages, page(QString::fromLatin1(name))), kText) << name;
        EXPECT_EQ(readBytes(page(QString::fromLatin1(name))), before) << "the source stays";
    }
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(workFileLeft());
}

TEST_F(FileLayer, SaveWritesTheChosenCodeAndLineEnds)
{
    const QString target = page(QStringLiteral("out.html"));
    struct Case
    {
        const char *kanji;
        const char *lineEnds;
        const char *marker; // bytes only that code writes
        const char *lineBreak;
    };
    for (const Case c :
         {Case{"EUC", "LF", "\xc6\xfc\xcb\xdc", "\n"}, // 日本 in EUC
          Case{"Shift-JIS", "CR", "\x93\xfa\x96\x7b", "\r"}, Case{"JIS", "CRLF", "\x1b$B", "\r\n"},
          Case{"sjis", "lf", "\x93\xfa\x96\x7b", "\r\n"}}) {
        setSaveCodes(QString::fromLatin1(c.kanji), QString::fromLatin1(c.lineEnds));
        EXPECT_TRUE(basFile::SaveTextFile(messages, target, kText));
        const QByteArray bytes = readBytes(target);
        EXPECT_TRUE(bytes.contains(c.marker)) << c.kanji;
        QByteArray breaks;
        for (char b : bytes)
            if (b == '\r' || b == '\n')
                breaks.append(b);
        EXPECT_EQ(breaks, QByteArray(c.lineBreak).repeated(2)) << c.lineEnds;
        EXPECT_EQ(basFile::LoadTextFile(messages, target), kText) << c.kanji << c.lineEnds;
    }
    setSaveCodes(QStringLiteral("Shift-JIS"), QStringLiteral("CRLF"));
    basFile::SaveTextFile(messages, target, kText);
    EXPECT_EQ(readBytes(target), test::iconvEncode(kText, "CP932"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(workFileLeft());
}

TEST_F(FileLayer, Utf8PagesLoadWholeAndSaveBackByteForByte)
{
    // Every plane: ASCII, kanji, half-width katakana, an emoji, a combining mark, U+2028, and the
    // wave dash, yen sign and copyright sign that Shift-JIS lacks or holds otherwise.
    const QByteArray bytes =
        "<meta charset=\"UTF-8\">\r\n<p>\xE6\xBC\xA2\xEF\xBD\xB1 "
        "\xF0\x9F\x98\x80 e\xCC\x81 \xE2\x80\xA8 \xE3\x80\x9C\xC2\xA5\xC2\xA9</p>\r\n";
    const QString text = QString::fromUtf8(bytes);
    const QString path = page(QStringLiteral("utf8.html"));
    writeBytes(path, "\xEF\xBB\xBF" + bytes);
    EXPECT_EQ(basFile::LoadTextFile(messages, path), text) << "the mark is not part of the text";
    writeBytes(path, bytes);
    const QString loaded = basFile::LoadTextFile(messages, path);
    EXPECT_EQ(loaded, text);
    setSaveCodes(QStringLiteral("UTF-8"), QStringLiteral("CRLF"));
    const QString saved = page(QStringLiteral("saved.html"));
    EXPECT_TRUE(basFile::SaveTextFile(messages, saved, loaded));
    EXPECT_EQ(readBytes(saved), bytes);
    setSaveCodes(QStringLiteral("UTF-8"), QStringLiteral("LF"));
    EXPECT_TRUE(basFile::SaveTextFile(messages, saved, loaded));
    EXPECT_EQ(readBytes(saved), QByteArray(bytes).replace("\r\n", "\n"));
    // Saved in Shift-JIS, what it cannot hold still becomes references.
    setSaveCodes(QStringLiteral("Shift-JIS"), QStringLiteral("CRLF"));
    EXPECT_TRUE(basFile::SaveTextFile(messages, saved, loaded));
    EXPECT_TRUE(readBytes(saved).contains("&#x1F600;"));
    EXPECT_TRUE(readBytes(saved).contains("\x81\x60&#xA5;&#xA9;"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(workFileLeft());
}

TEST_F(FileLayer, AMissingFileIsReportedAndLeavesNoWorkFile)
{
    const QString missing = page(QStringLiteral("nothing.html"));
    EXPECT_EQ(basFile::LoadTextFile(messages, missing), QString());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, missing + files::msg::kCouldNotOpen);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Scrivlet"));
    EXPECT_FALSE(workFileLeft());
}

TEST_F(FileLayer, AStaleWorkFileIsNeverTakenForAFile)
{
    writeBytes(files::workFilePath(), "stale text of an earlier run");
    EXPECT_EQ(basFile::LoadTextFile(messages, page(QStringLiteral("nothing.html"))), QString());
    EXPECT_FALSE(workFileLeft());
}

TEST_F(FileLayer, WithoutTheLibrarySavingStillWritesShiftJis)
{
    useLibraryFrom(QString());
    const QString oldPath = qEnvironmentVariable("PATH");
    const QString oldCurrent = QDir::currentPath();
    qputenv("PATH", "");
    QDir::setCurrent(pages.path());
    setSaveCodes(QStringLiteral("EUC"), QStringLiteral("LF"));
    const QString target = page(QStringLiteral("plain.html"));
    EXPECT_TRUE(basFile::SaveTextFile(messages, target, kText));
    const QString loaded = basFile::LoadTextFile(messages, target);
    qputenv("PATH", oldPath.toLocal8Bit());
    QDir::setCurrent(oldCurrent);

    EXPECT_EQ(readBytes(target), test::iconvEncode(kText, "CP932"));
    EXPECT_EQ(loaded, QString());
    ASSERT_EQ(messages.shown.size(), 4);
    EXPECT_EQ(messages.shown[0].text, files::msg::kLibraryMissing);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(messages.shown[1].text, files::msg::kConversionFailed);
    EXPECT_EQ(messages.shown[2].text, files::msg::kLibraryMissing);
    EXPECT_EQ(messages.shown[3].text, target + files::msg::kCouldNotOpen);
}

TEST_F(FileLayer, ABusyLibraryIsReportedAndTheFileStillWritten)
{
    useLibraryFrom(QStringLiteral(SCRIVLET_FAKE_UNKANJ_DIR "/busy"));
    const QString target = page(QStringLiteral("busy.html"));
    EXPECT_TRUE(basFile::SaveTextFile(messages, target, kText));
    EXPECT_EQ(readBytes(target), test::iconvEncode(kText, "CP932"));
    EXPECT_EQ(messages.texts(),
              (QStringList{files::msg::kLibraryBusy, files::msg::kConversionFailed}));
    EXPECT_FALSE(workFileLeft());
}

TEST_F(FileLayer, AFailingConversionFallsBackToShiftJis)
{
    useLibraryFrom(QStringLiteral(SCRIVLET_FAKE_UNKANJ_DIR "/failing"));
    const QString target = page(QStringLiteral("fail.html"));
    writeBytes(target, "old");
    EXPECT_TRUE(basFile::SaveTextFile(messages, target, kText));
    EXPECT_EQ(readBytes(target), test::iconvEncode(kText, "CP932"));
    EXPECT_EQ(messages.texts(), QStringList{files::msg::kConversionFailed});
    EXPECT_FALSE(workFileLeft());
}

TEST_F(FileLayer, AReadOnlyTargetIsRefusedByTheConverterAndTheFallbackAlike)
{
    // The mode decides, for root as well: its writes ignore the bits.
    const QString target = page(QStringLiteral("readonly.html"));
    for (const QString &library : {QStringLiteral(SCRIVLET_PROGRAM_DIR),
                                   QStringLiteral(SCRIVLET_FAKE_UNKANJ_DIR "/failing")}) {
        useLibraryFrom(library);
        messages.shown.clear();
        QFile::remove(target);
        writeBytes(target, "kept");
        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        EXPECT_FALSE(basFile::SaveTextFile(messages, target, kText));
        EXPECT_EQ(readBytes(target), QByteArray("kept")) << library.toStdString();
        EXPECT_EQ(messages.texts(), QStringList{files::msg::kSaveFailed});
        EXPECT_EQ(QDir(pages.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("readonly.html")});
        EXPECT_FALSE(workFileLeft());
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
}

TEST_F(FileLayer, CharactersShiftJisCannotHoldBecomeReferences)
{
    const QString text = QStringLiteral("顔😀と\u00e9");
    EXPECT_EQ(basFile::EncodeForSaving(text, false),
              test::iconvEncode(QStringLiteral("顔"), "CP932") + "&#x1F600;" +
                  test::iconvEncode(QStringLiteral("と"), "CP932") + "&#xE9;");
    EXPECT_EQ(basFile::EncodeForSaving(text, true),
              test::iconvEncode(QStringLiteral("顔"), "CP932") + "\\1F600 " +
                  test::iconvEncode(QStringLiteral("と"), "CP932") + "\\E9 ");
    setSaveCodes(QStringLiteral("Shift-JIS"), QStringLiteral("CRLF"));
    const QString css = page(QStringLiteral("style.css"));
    basFile::SaveTextFile(messages, css, QStringLiteral("a:before{content:\"😀\"}"));
    EXPECT_EQ(readBytes(css), QByteArray("a:before{content:\"\\1F600 \"}"));
}

TEST_F(FileLayer, ABinaryFileLoadsWithoutHarm)
{
    // Every byte below 0x80, NUL included, in a pseudo-random order, with stray CR and LF: it
    // reads as ASCII, each byte a character, each line end as CR LF; the file stays as it was.
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char((i * 7919) % 128));
    const QString path = page(QStringLiteral("image.png"));
    writeBytes(path, binary);
    QByteArray lines = binary;
    lines.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
    EXPECT_EQ(basFile::LoadTextFile(messages, path), QString::fromLatin1(lines));
    EXPECT_EQ(readBytes(path), binary);
    EXPECT_FALSE(workFileLeft());

    // With bytes above 0x7F too.
    for (int i = 0; i < 70000; ++i)
        binary[i] = char((i * 7919) % 256);
    writeBytes(path, binary);
    EXPECT_FALSE(basFile::LoadTextFile(messages, path).isEmpty());
    EXPECT_EQ(readBytes(path), binary);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(FilePaths, NameAndExtensionUseTheSlash)
{
    EXPECT_EQ(basFile::GetFileName(QStringLiteral("/web/index.html")),
              QStringLiteral("index.html"));
    EXPECT_EQ(basFile::GetFileName(QStringLiteral("/web/")), QString());
    EXPECT_EQ(basFile::GetFileName(QStringLiteral("index.html")), QStringLiteral("index.html"));
    EXPECT_EQ(basFile::GetFileName(QString()), QString());
    EXPECT_EQ(basFile::GetExtension(QStringLiteral("/web/index.html")), QStringLiteral("html"));
    EXPECT_EQ(basFile::GetExtension(QStringLiteral("/web/README")), QString());
    EXPECT_EQ(basFile::GetExtension(QStringLiteral("/web.site/README")),
              QStringLiteral("site/README"));
}

TEST(FilePaths, ProgramDirectoryEndsWithASlash)
{
    EXPECT_EQ(files::programDirectoryFor(QStringLiteral("/opt/scrivlet")),
              QStringLiteral("/opt/scrivlet/"));
    EXPECT_EQ(files::programDirectoryFor(QStringLiteral("/")), QStringLiteral("/"));
}

TEST(FilePaths, AnUnwritableProgramDirectorySendsSettingsToTheUsersFolder)
{
    QTemporaryDir program;
    QTemporaryDir config;
    const QString programDir = program.path() + u'/';
    writeBytes(programDir + QStringLiteral("Scrivlet.ini"), "[Convert]\r\nKanjiCode=EUC\r\n");
    EXPECT_EQ(files::userDataDirectoryFor(programDir, true, config.path()), programDir);

    const QString user = files::userDataDirectoryFor(programDir, false, config.path());
    EXPECT_EQ(user, config.path() + QStringLiteral("/Scrivlet/"));
    EXPECT_EQ(QFileInfo(user).permissions() & kModeBits,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readBytes(user + QStringLiteral("Scrivlet.ini")),
              QByteArray("[Convert]\r\nKanjiCode=EUC\r\n"));
    // Seeded once: later the user's own settings stay.
    writeBytes(user + QStringLiteral("Scrivlet.ini"), "[Convert]\r\nKanjiCode=JIS\r\n");
    files::userDataDirectoryFor(programDir, false, config.path());
    EXPECT_EQ(readBytes(user + QStringLiteral("Scrivlet.ini")),
              QByteArray("[Convert]\r\nKanjiCode=JIS\r\n"));
}

TEST(KanjiCommand, PathsWithBlanksOrCommasAreQuoted)
{
    EXPECT_EQ(basKanji::BuildCommand(QStringLiteral("-s"), QStringLiteral("-crlf"),
                                     QStringLiteral("/a b/x.html"), QStringLiteral("/w,1")),
              QByteArray("t -s -crlf \"/a b/x.html\" \"/w,1\""));
    EXPECT_EQ(basKanji::BuildCommand(QStringLiteral("-e"), QStringLiteral("-LF"),
                                     QStringLiteral("/in"), QStringLiteral("/日本.html")),
              QByteArray("t -e -LF /in /") + QStringLiteral("日本.html").toUtf8());
    EXPECT_TRUE(basKanji::BuildCommand(QStringLiteral("-s"), QStringLiteral("-crlf"),
                                       QStringLiteral("/a\"b"), QStringLiteral("/c"))
                    .isEmpty());
}

} // namespace
} // namespace scrivlet
