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
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;
using namespace test;
namespace msg = files::msg;

// Owner, group and others; Qt's "user" bits only mirror the owner's for the current user.
constexpr QFile::Permissions kModeBits{0x7077};

const QString kText = u"<P>日本語の文章、ｶﾀｶﾅ、①Ⅱ髙﨑～</P>\r\n二行目\r\n"_s;

class FileLayer : public ::testing::Test
{
protected:
    QTemporaryDir program;
    QTemporaryDir pages;
    test::FakeMessageService messages;

    void SetUp() override
    {
        ResetGlobals();
        useLibraryFrom(QString::fromUtf8(SCRIVLET_PROGRAM_DIR));
        basINI::SetIniFile(program.filePath(u"Scrivlet.ini"_s));
        // A box stays up as long as the user leaves it; another copy of the program must not
        // wait for the work file all that time.
        messages.whileShown = [] {
            const QByteArray folder = QFile::encodeName(QFileInfo(files::workFilePath()).path());
            const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << "a box is up with the work file held";
            ::close(fd);
        };
    }
    void TearDown() override
    {
        EXPECT_TRUE(messages.shown.isEmpty()) << "a box no test looked at";
        EXPECT_FALSE(QFileInfo::exists(files::workFilePath())) << "a work file was left";
        basKanji::UnloadLibraryForTests();
        ResetGlobals();
    }
    // The program directory holds a copy of the library from folder, or none when empty.
    void useLibraryFrom(const QString &folder)
    {
        basKanji::UnloadLibraryForTests();
        gProgramDirectory = program.path() + u'/';
        QFile::remove(gProgramDirectory + u"UNKANJ.DLL"_s);
        if (!folder.isEmpty())
            QFile::copy(folder + u"/UNKANJ.DLL"_s, gProgramDirectory + u"UNKANJ.DLL"_s);
    }
    QString page(const QString &name) const { return pages.filePath(name); }
    QByteArray contents(const QString &name) const { return readBytes(page(name)); }
    void put(const QString &name, const QByteArray &data) { writeBytes(page(name), data); }
    void setSaveCodes(const QString &kanji, const QString &lineEnds)
    {
        basINI::WriteIniString(u"Convert"_s, u"KanjiCode"_s, kanji);
        basINI::WriteIniString(u"Convert"_s, u"ReturnCode"_s, lineEnds);
    }
    // The texts of the boxes shown since the last call.
    void expectShown(const QStringList &texts)
    {
        EXPECT_EQ(messages.texts(), texts);
        messages.shown.clear();
    }
    QString load(const QString &name) { return basFile::LoadTextFile(messages, page(name)); }
    bool save(const QString &name, const QString &text)
    {
        return basFile::SaveTextFile(messages, page(name), text);
    }
};

TEST_F(FileLayer, EveryKanjiCodeLoadsAsTheSameText)
{
    QString lf = kText;
    lf.replace(u"\r\n"_s, u"\n"_s);
    put(u"sjis.html"_s, iconvEncode(kText, "CP932"));
    put(u"euc.html"_s, iconvEncode(lf, "EUC-JP-MS"));
    put(u"utf8.html"_s, lf.toUtf8());
    // ISO-2022-JP has neither half-width kana nor the vendor rows: a text without them.
    const QString plain = u"<P>日本語の文章、カタカナ</P>\r\n二行目\r\n"_s;
    put(u"jis.html"_s, iconvEncode(QString(plain).replace(u"\r\n"_s, u"\r"_s), "ISO-2022-JP"));
    EXPECT_EQ(load(u"jis.html"_s), plain);
    for (const QString &name : {u"sjis.html"_s, u"euc.html"_s, u"utf8.html"_s}) {
        const QByteArray before = contents(name);
        EXPECT_EQ(load(name), kText) << name.toStdString();
        EXPECT_EQ(contents(name), before) << "the source stays";
    }
    // Characters Shift-JIS lacks arrive as themselves from any code, never as references typed
    // into the text: é of JIS X 0212 in EUC, an emoji of a UTF-8 page with Latin-1 bytes in it.
    put(u"x0212.html"_s, "<script>s=\"caf\x8F\xAB\xB1\"</script>\n<p>\xA4\xA2</p>\n");
    EXPECT_EQ(load(u"x0212.html"_s), u"<script>s=\"café\"</script>\r\n<p>あ</p>\r\n"_s);
    put(u"latin1.html"_s, u"<p>日本語の文章です😀</p>\n"_s.toUtf8() +
                              "<p>Caf\xE9 cr\xE8me d\xE9j\xE0 vu \xE0 la fran\xE7"
                              "aise</p>\n");
    EXPECT_EQ(load(u"latin1.html"_s),
              u"<p>日本語の文章です😀</p>\r\n<p>Caf〓 cr〓me d〓j〓 vu 〓 la fran〓aise</p>\r\n"_s);
}

TEST_F(FileLayer, SaveWritesTheChosenCodeAndLineEnds)
{
    // The code's bytes of 日本; the setting's spelling is exact, anything else is Shift-JIS CR LF.
    const std::tuple<QString, QString, QByteArray, QByteArray> cases[] = {
        {u"EUC"_s, u"LF"_s, "\xc6\xfc\xcb\xdc", "\n"},
        {u"Shift-JIS"_s, u"CR"_s, "\x93\xfa\x96\x7b", "\r"},
        {u"JIS"_s, u"CRLF"_s, "\x1b$BF|K\\", "\r\n"},
        {u"sjis"_s, u"lf"_s, "\x93\xfa\x96\x7b", "\r\n"}};
    for (const auto &[kanji, lineEnds, marker, lineBreak] : cases) {
        setSaveCodes(kanji, lineEnds);
        EXPECT_TRUE(save(u"out.html"_s, kText));
        const QByteArray bytes = contents(u"out.html"_s);
        EXPECT_TRUE(bytes.contains(marker)) << kanji.toStdString();
        QByteArray breaks = bytes;
        breaks.removeIf([](char b) { return b != '\r' && b != '\n'; });
        EXPECT_EQ(breaks, lineBreak.repeated(2)) << lineEnds.toStdString();
        EXPECT_EQ(load(u"out.html"_s), kText) << kanji.toStdString();
    }
    // The exact bytes of a text the code cannot wholly hold, by the file's language.
    for (const DataRow &row : readDataRows(SCRIVLET_TEST_DATA "/saves.txt", 5)) {
        setSaveCodes(field(row, 1), field(row, 2));
        EXPECT_TRUE(save(field(row, 0), field(row, 3)));
        EXPECT_EQ(contents(field(row, 0)).toStdString(), row[4]) << row[3];
    }
}

TEST_F(FileLayer, Utf8AndUtf16PagesLoadWhole)
{
    // Every plane: ASCII, kanji, half-width katakana, an emoji, a combining mark, U+2028, and the
    // wave dash, yen sign and copyright sign that Shift-JIS lacks or holds otherwise.
    const QByteArray bytes =
        "<meta charset=\"UTF-8\">\r\n<p>\xE6\xBC\xA2\xEF\xBD\xB1 "
        "\xF0\x9F\x98\x80 e\xCC\x81 \xE2\x80\xA8 \xE3\x80\x9C\xC2\xA5\xC2\xA9</p>\r\n";
    const QString text = QString::fromUtf8(bytes);
    put(u"utf8.html"_s, "\xEF\xBB\xBF" + bytes);
    EXPECT_EQ(load(u"utf8.html"_s), text) << "the mark is not part of the text";
    put(u"utf8.html"_s, "\xEF\xBB\xBF\xEF\xBB\xBF" + bytes);
    EXPECT_EQ(load(u"utf8.html"_s), u"\uFEFF"_s + text) << "a second one is";
    put(u"utf8.html"_s, bytes);
    EXPECT_EQ(load(u"utf8.html"_s), text);
    QByteArray utf16("\xFE\xFF"); // UTF-16 with its mark, here big-endian, loads the same
    for (const QChar c : text)
        utf16.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    put(u"utf16.html"_s, utf16);
    EXPECT_EQ(load(u"utf16.html"_s), text);
}

TEST_F(FileLayer, AMissingFileIsReportedAndAStaleWorkFileNeverTakenForIt)
{
    writeBytes(files::workFilePath(), "stale text of an earlier run");
    EXPECT_EQ(load(u"nothing.html"_s), QString());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(std::pair(messages.shown[0].icon, messages.shown[0].title),
              std::pair(MessageIcon::Critical, u"Scrivlet"_s));
    expectShown({page(u"nothing.html"_s) + msg::kCouldNotOpen});
}

// A page under the work file's name, or a link to it (a crash's leftover, opened to recover
// it), is neither opened nor saved: either would go with the work file.
TEST_F(FileLayer, APageThatIsTheWorkFileIsNeitherOpenedNorSavedAway)
{
    const QString work = files::workFilePath();
    writeBytes(work, "recovered text\r\n");
    ASSERT_TRUE(QFile::link(work, page(u"link.html"_s)));
    for (const QString &path : {work, page(u"link.html"_s)}) {
        EXPECT_EQ(basFile::LoadTextFile(messages, path), QString());
        expectShown({path + msg::kCouldNotOpen});
        EXPECT_FALSE(basFile::SaveTextFile(messages, path, u"new text"_s));
        expectShown({msg::kSaveFailed});
    }
    EXPECT_EQ(readBytes(work), "recovered text\r\n");
    QFile::remove(work);
}

TEST_F(FileLayer, WithoutAWorkingLibraryASaveIsReportedAndStillWrittenInShiftJis)
{
    // No library (none on PATH, and the one in the current folder, among the pages, is never
    // taken), a busy one, a failing one.
    const QString oldPath = qEnvironmentVariable("PATH"), oldCurrent = QDir::currentPath();
    qputenv("PATH", "");
    QDir::setCurrent(pages.path());
    QFile::copy(QString::fromUtf8(SCRIVLET_PROGRAM_DIR "/UNKANJ.DLL"), page(u"UNKANJ.DLL"_s));
    const std::pair<const char *, QStringList> cases[] = {
        {"", {msg::kLibraryMissing, msg::kConversionFailed}},
        {SCRIVLET_FAKE_UNKANJ_DIR "/busy", {msg::kLibraryBusy, msg::kConversionFailed}},
        {SCRIVLET_FAKE_UNKANJ_DIR "/failing", {msg::kConversionFailed}}};
    setSaveCodes(u"EUC"_s, u"LF"_s);
    for (const auto &[library, shown] : cases) {
        SCOPED_TRACE(library);
        useLibraryFrom(QString::fromUtf8(library));
        put(u"out.html"_s, "old");
        EXPECT_TRUE(save(u"out.html"_s, kText));
        EXPECT_EQ(contents(u"out.html"_s), iconvEncode(kText, "CP932"));
        const ShownMessage first = messages.shown.value(0);
        EXPECT_EQ(std::pair(first.title, first.icon),
                  shown.size() == 2 ? std::pair(u"エラー"_s, MessageIcon::None)
                                    : std::pair(u"Scrivlet"_s, MessageIcon::Critical));
        expectShown(shown);
    }
    useLibraryFrom(QString());
    EXPECT_EQ(load(u"out.html"_s), QString());
    qputenv("PATH", oldPath.toLocal8Bit());
    QDir::setCurrent(oldCurrent);
    expectShown({msg::kLibraryMissing, page(u"out.html"_s) + msg::kCouldNotOpen});
}

// The work file that carries a page's text to the converter and back is its user's alone, as
// the page may be: the program's folder where it lies may be open to everyone.
TEST_F(FileLayer, TheWorkFileIsReadableByItsOwnerOnly)
{
    useLibraryFrom(QString::fromUtf8(SCRIVLET_FAKE_UNKANJ_DIR "/recording"));
    const QString modes = page(u"modes"_s);
    qputenv("SCRIVLET_FAKE_MODES", QFile::encodeName(modes));
    put(u"page.html"_s, "text");
    load(u"page.html"_s);
    save(u"page.html"_s, kText);
    qunsetenv("SCRIVLET_FAKE_MODES");
    messages.shown.clear(); // the failed conversions'
    const QList<QByteArray> commands = readBytes(modes).split('\n');
    ASSERT_GE(commands.size(), 2);
    EXPECT_EQ(commands[0].split(' ').value(1), "600") << "the load's destination";
    EXPECT_EQ(commands[1].split(' ').value(0), "600") << "the save's source";
}

TEST_F(FileLayer, AReadOnlyTargetOrANameHoldingANulIsRefusedByTheConverterAndTheFallbackAlike)
{
    // The mode decides, for root as well: its writes ignore the bits.
    const QString target = page(u"readonly.html"_s);
    for (const char *library : {SCRIVLET_PROGRAM_DIR, SCRIVLET_FAKE_UNKANJ_DIR "/failing"}) {
        useLibraryFrom(QString::fromUtf8(library));
        QFile::remove(target);
        writeBytes(target, "kept");
        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        EXPECT_FALSE(save(u"readonly.html"_s, kText));
        EXPECT_EQ(readBytes(target), QByteArray("kept")) << library;
        expectShown({msg::kSaveFailed});
        EXPECT_EQ(QDir(pages.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{u"readonly.html"_s});
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        // No file has such a name; cut at the NUL, it is the name of this one.
        EXPECT_FALSE(basFile::SaveTextFile(messages, target + QChar(0) + u".html"_s, kText));
        EXPECT_EQ(readBytes(target), QByteArray("kept")) << library;
        expectShown({msg::kSaveFailed});
    }
}

TEST_F(FileLayer, ABinaryFileLoadsWithoutHarm)
{
    // Every byte below 0x80, NUL included, in a pseudo-random order, with stray CR and LF: it
    // reads as ASCII, each byte a character, each line end as CR LF; the file stays as it was.
    // With bytes above 0x7F too, it still loads and stays.
    for (int range : {128, 256}) {
        QByteArray binary;
        for (int i = 0; i < 70000; ++i)
            binary.append(char((i * 7919) % range));
        put(u"image.png"_s, binary);
        const QString loaded = load(u"image.png"_s);
        QByteArray lines = binary;
        lines.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
        EXPECT_TRUE(range == 128 ? loaded == QString::fromLatin1(lines) : !loaded.isEmpty());
        EXPECT_EQ(contents(u"image.png"_s), binary);
    }
}

// Bytes that begin no Shift-JIS character (0x80, 0xA0, 0xFD, a lead byte without its trail)
// come back as they were when the page is saved unchanged; the characters around them load as
// themselves.
TEST_F(FileLayer, StrayBytesOfAShiftJisPageSurviveASave)
{
    const QByteArray page = "<p>\x93\xfa\x96\x7b \x80 \xa0 \xfd \x82\xa9\x82\xc8\x82</p>\r\n";
    put(u"stray.html"_s, page);
    const QString loaded = load(u"stray.html"_s);
    EXPECT_TRUE(loaded.startsWith(u"<p>日本 "_s) &&
                loaded.endsWith(u"かな"_s + QChar(0xDC82) + u"</p>\r\n"_s))
        << loaded.toStdString();
    setSaveCodes(u"Shift-JIS"_s, u"CRLF"_s);
    EXPECT_TRUE(save(u"stray.html"_s, loaded));
    EXPECT_EQ(contents(u"stray.html"_s), page);
    // UTF-8 cannot hold them: each is the converter's mark for what it could not convert.
    setSaveCodes(u"UTF-8"_s, u"CRLF"_s);
    EXPECT_TRUE(save(u"stray.html"_s, loaded));
    EXPECT_EQ(contents(u"stray.html"_s), u"<p>日本 〓 〓 〓 かな〓</p>\r\n"_s.toUtf8());
}

// A UTF-8 page with a fault, a stray byte or a character cut off at the end, is still UTF-8:
// the characters Shift-JIS lacks stay themselves and only the fault is marked.
TEST_F(FileLayer, AUtf8PageWithAFaultStillLoadsAsUtf8)
{
    const QString text = u"<p>日本語 😀 café</p>\r\n<p>"_s;
    for (const QByteArray &fault : {QByteArray("\xFF"), QByteArray("\xE5\xAD")}) {
        put(u"faulty.html"_s, text.toUtf8() + fault + u"壊れ</p>\r\n"_s.toUtf8());
        const QString loaded = load(u"faulty.html"_s);
        EXPECT_EQ(loaded.left(text.size()), text);
        EXPECT_TRUE(loaded.endsWith(u"〓壊れ</p>\r\n"_s)) << loaded.toStdString();
    }
    // So many faults that the converter reads the page: each is still 〓, never a made-up kanji.
    put(u"faulty.html"_s, "<p>\xE3\x81\x82 A[\xE3\x81] B[\xE6\xBC] C[\xE3\x81 ] D[\xE6\x97]</p>\n" +
                              u"<p>日本語の文章</p>\n"_s.toUtf8());
    EXPECT_EQ(load(u"faulty.html"_s),
              u"<p>あ A[〓] B[〓] C[〓 ] D[〓]</p>\r\n<p>日本語の文章</p>\r\n"_s);
}

// Opening a pipe would wait for a writer with every window frozen; it is refused at once.
TEST_F(FileLayer, APipeIsRefusedWithoutBeingOpened)
{
    const QByteArray fifo = QFile::encodeName(page(u"pipe.html"_s));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::atomic<bool> loading = true;
    std::atomic<bool> openedWhileLoading = false;
    std::thread writer([&] {
        const int fd = ::open(fifo.constData(), O_WRONLY); // back once a reader opens
        openedWhileLoading = loading.load();
        ::close(fd);
    });
    EXPECT_EQ(load(u"pipe.html"_s), QString());
    loading = false;
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK); // lets the writer go
    writer.join();
    ::close(reader);
    EXPECT_FALSE(openedWhileLoading);
    expectShown({page(u"pipe.html"_s) + msg::kCouldNotOpen});
}

// Another copy of the program converting through the same work file holds it for its whole
// load or save: this one waits, and neither rewrites the other's work file under it.
TEST_F(FileLayer, AnotherCopysUseOfTheWorkFileIsWaitedFor)
{
    const QString work = files::workFilePath();
    setSaveCodes(u"EUC"_s, u"LF"_s);
    for (const bool saving : {true, false}) {
        put(u"page.html"_s, iconvEncode(kText, "CP932"));
        const int folder = ::open(QFile::encodeName(QFileInfo(work).absolutePath()).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_EQ(::flock(folder, LOCK_EX), 0);
        writeBytes(work, "the other copy's page");
        std::atomic<bool> untouched = false;
        std::thread other([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            untouched = readBytes(work) == "the other copy's page";
            QFile::remove(work);
            ::close(folder); // and with it the lock
        });
        if (saving) {
            EXPECT_TRUE(save(u"page.html"_s, u"<P>日本</P>\r\n"_s));
            EXPECT_EQ(contents(u"page.html"_s), QByteArray("<P>\xC6\xFC\xCB\xDC</P>\n"));
        } else {
            EXPECT_EQ(load(u"page.html"_s), kText);
        }
        other.join();
        EXPECT_TRUE(untouched) << "saving " << saving;
    }
}

TEST(FilePaths, NameAndExtensionUseTheSlash)
{
    for (const auto &row : test::readDataRows(SCRIVLET_TEST_DATA "/file-paths.txt", 3)) {
        EXPECT_EQ(basFile::GetFileName(field(row, 0)), field(row, 1)) << row[0];
        EXPECT_EQ(basFile::GetExtension(field(row, 0)), field(row, 2)) << row[0];
    }
}

// A name in another code than the system's (Shift-JIS bytes from an old archive) read as a path
// would name another file, or none; a dropped one is no file, a given one is said not to open.
TEST(FilePaths, NamesInAnotherCodeAreNoPaths)
{
    const QByteArray sjis("/w/\x93\xfa\x96\x7b.html");
    QStringList unreadable;
    EXPECT_EQ(
        basFile::PathsFromArguments({u"/w/日本.html"_s.toUtf8(), sjis, "a b.htm"}, &unreadable),
        (QStringList{u"/w/日本.html"_s, u"a b.htm"_s}));
    EXPECT_EQ(unreadable, QStringList{QFile::decodeName(sjis)});
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file:///w/%93%FA%96%7B.html"),
                  QUrl::fromLocalFile(u"/w/日本 a.html"_s)});
    EXPECT_EQ(basFile::LocalFiles(&data), QStringList{u"/w/日本 a.html"_s});
}

TEST(FilePaths, AnUnwritableProgramDirectorySendsSettingsToTheUsersFolder)
{
    QTemporaryDir program;
    QTemporaryDir config;
    const QString programDir = program.path() + u'/';
    writeBytes(programDir + u"Scrivlet.ini"_s,
               "[Convert]\r\nKanjiCode=EUC\r\n[History]\r\n1=/root/secret.html\r\n"
               "[FindHistory]\r\n10=password\r\n");
    QFile::setPermissions(programDir + u"Scrivlet.ini"_s, QFile::ReadOwner | QFile::ReadOther);
    EXPECT_EQ(files::userDataDirectoryFor(programDir, true, config.path()), programDir);
    const QString user = files::userDataDirectoryFor(programDir, false, config.path());
    EXPECT_EQ(user, config.path() + u"/Scrivlet/"_s);
    EXPECT_EQ(QFileInfo(user).permissions() & kModeBits,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray seeded("[Convert]\r\nKanjiCode=EUC\r\n[History]\r\n1=\r\n"
                            "[FindHistory]\r\n10=\r\n");
    EXPECT_EQ(readBytes(user + u"Scrivlet.ini"_s), seeded)
        << "another user's recent files and search strings stay theirs";
    EXPECT_EQ(QFileInfo(user + u"Scrivlet.ini"_s).permissions() & kModeBits,
              QFile::ReadOwner | QFile::WriteOwner)
        << "a read-only shipped file still gives the user a copy to change";
    // Seeded once: later the user's own settings stay.
    writeBytes(user + u"Scrivlet.ini"_s, "[Convert]\r\nKanjiCode=JIS\r\n");
    files::userDataDirectoryFor(programDir, false, config.path());
    EXPECT_EQ(readBytes(user + u"Scrivlet.ini"_s), QByteArray("[Convert]\r\nKanjiCode=JIS\r\n"));
    // A folder that holds only the shell verb's key store still takes the shipped settings.
    QFile::remove(user + u"Scrivlet.ini"_s);
    files::userDataDirectoryFor(programDir, false, config.path());
    EXPECT_EQ(readBytes(user + u"Scrivlet.ini"_s), seeded);
    // When that folder cannot be written either (here a file stands where it would be made),
    // the work file goes to the user's runtime folder, so that pages still open and save.
    EXPECT_EQ(files::workFilePathIn(user), user + u"Convert.html_"_s);
    writeBytes(config.filePath(u"blocked"_s), "");
    const QString elsewhere = files::workFilePathIn(config.filePath(u"blocked/Scrivlet/"_s));
    EXPECT_FALSE(elsewhere.startsWith(config.path()));
    EXPECT_TRUE(QFileInfo(QFileInfo(elsewhere).absolutePath()).isWritable())
        << elsewhere.toStdString();
}

TEST(KanjiCommand, PathsWithBlanksOrCommasAreQuoted)
{
    for (const auto &row : test::readDataRows(SCRIVLET_FILES_DATA "/kanji-commands.txt", 5)) {
        const QByteArray command =
            basKanji::BuildCommand(field(row, 0), field(row, 1), field(row, 2), field(row, 3));
        EXPECT_EQ(command.toStdString(), row[4]) << row[2] << " " << row[3];
    }
}

// Each saves byte for byte as a page with a plain name does.
TEST_F(FileLayer, PagesWithQuotesInTheirNamesLoadAndSave)
{
    setSaveCodes(u"EUC"_s, u"LF"_s);
    ASSERT_TRUE(save(u"plain.html"_s, kText));
    // A quote before a blank is past what the converter's command can carry; such a page goes
    // through a link, and so does a new one saved under such a name.
    for (const QString &name :
         {u"a\"b.html"_s, u"say \"hi\".html"_s, u"say \"hi\" now.html"_s, u"new \"x\".css"_s}) {
        SCOPED_TRACE(name.toStdString());
        if (!name.endsWith(u".css"_s)) {
            put(name, iconvEncode(kText, "CP932"));
            EXPECT_EQ(load(name), kText);
        }
        ASSERT_TRUE(save(name, kText));
        EXPECT_EQ(contents(name), contents(u"plain.html"_s));
        EXPECT_FALSE(QFileInfo(page(name)).isSymLink());
    }
    const QDir programDir(program.path(), u".Convert.*"_s, QDir::Name,
                          QDir::AllEntries | QDir::Hidden | QDir::System);
    EXPECT_EQ(programDir.entryList(), QStringList{u".Convert.html_.lock"_s})
        << "no link is left beside the work file";

    // A program folder the command cannot carry either: the links go to the runtime folder.
    const QString quotedFolder = program.filePath(u"my \"apps\" dir"_s);
    ASSERT_TRUE(QDir().mkpath(quotedFolder));
    basKanji::UnloadLibraryForTests();
    QFile::copy(program.filePath(u"UNKANJ.DLL"_s), quotedFolder + u"/UNKANJ.DLL"_s);
    gProgramDirectory = quotedFolder + u'/';
    for (const QString &name : {u"plain.html"_s, u"say \"hi\" now.h\" tml"_s}) {
        put(name, iconvEncode(kText, "CP932"));
        EXPECT_EQ(load(name), kText) << name.toStdString();
        ASSERT_TRUE(save(name, kText)) << name.toStdString();
        EXPECT_EQ(contents(name), contents(u"plain.html"_s));
    }
    const QDir runtime(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                       u".Scrivlet-*"_s, QDir::Name,
                       QDir::AllEntries | QDir::Hidden | QDir::System);
    EXPECT_EQ(runtime.entryList(), QStringList()) << "no link is left in the runtime folder";
}

} // namespace
} // namespace scrivlet
