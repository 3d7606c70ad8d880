// The preview copy beside a document and the choice of the browser from the settings, against
// the fake shell; the menus around them are tested through the windows. Then the help pages
// shipped in the program directory: every page reachable from the contents, and every link
// between them pointing at a file and an anchor that exist.

#include "preview/Preview.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/Globals.h"
#include "tests/common/DataRows.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

using preview::Browser;

class PreviewTest : public ::testing::Test
{
protected:
    QTemporaryDir program, pages;
    FakeMessageService messages;
    FakeShell shell;
    int optionsShown = 0;
    preview::PreviewServices services{messages, shell, [this] {
                                          ++optionsShown;
                                      }};
    preview::PreviewCopy previewFile;

    void SetUp() override
    {
        ResetGlobals();
        basKanji::UnloadLibraryForTests();
        gProgramDirectory = program.path() + u'/';
        QFile::copy(QStringLiteral(SCRIVLET_PROGRAM_DIR "/UNKANJ.DLL"),
                    gProgramDirectory + u"UNKANJ.DLL"_s);
        basINI::SetIniFile(gProgramDirectory + u"Scrivlet.ini"_s);
    }
    void TearDown() override
    {
        basKanji::UnloadLibraryForTests();
        basINI::ResetForTests();
        ResetGlobals();
    }
    QString page(const QString &name) const { return pages.filePath(name); }
    static void touch(const QString &path) { writeFile(path.toStdString(), ""); }
    static std::string bytes(const QString &path) { return readFile(path.toStdString()); }
    QStringList previewFiles() const
    {
        return QDir(pages.path()).entryList({u"tmp*"_s}, QDir::Files | QDir::System);
    }
};

// A copy's name takes the first free number beside the document. Each copy replaces the window's
// last one and leaves others alone; it is written in the kanji
// code and line ends of the settings; a folder that cannot be written gives no path and says so.
TEST_F(PreviewTest, EachCopyTakesTheFirstFreeNameAndReplacesTheWindowsLastInTheSettingsCodes)
{
    touch(page(u"tmppage0.html"_s));
    QFile::link(page(u"nowhere"_s), page(u"tmplinked0.html"_s));
    QDir(pages.path()).mkdir(u"dir.d"_s);
    for (const DataRow &row : readDataRows(SCRIVLET_PREVIEW_DATA "/preview-names.txt", 2))
        EXPECT_EQ(preview::NextPreviewPath(page(field(row, 0))), page(field(row, 1)));
    const QString document = page(u"page.htm"_s);
    const QString first = previewFile.write(messages, document, u"A"_s);
    basINI::WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"EUC"_s);
    basINI::WriteIniString(u"Convert"_s, u"ReturnCode"_s, u"LF"_s);
    EXPECT_EQ(previewFile.write(messages, document, u"<P>日本語ｶﾀｶﾅ</P>\r\n二行目\r\n"_s), first)
        << "the number of the deleted copy is free again";
    EXPECT_EQ(bytes(first),
              iconvEncode(u"<P>日本語ｶﾀｶﾅ</P>\n二行目\n"_s, "EUC-JP-MS").toStdString());
    EXPECT_EQ(previewFiles(),
              (QStringList{u"tmplinked0.html"_s, u"tmppage0.html"_s, u"tmppage1.html"_s}));

    // The failed copy still takes the old one away, and its name is forgotten: another window
    // may take the free name, and this window's next preview must not delete that window's copy.
    EXPECT_TRUE(previewFile.write(messages, u"/nonexistent-folder/a.html"_s, u"A"_s).isEmpty());
    EXPECT_TRUE(previewFile.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_EQ(messages.shown.size(), 1);
}

// Only the file the window wrote is ever deleted. A page saved under the copy's name since,
// by a rename as every save here writes or in place as other programs write, is the user's.
TEST_F(PreviewTest, OnlyTheCopyAsWrittenIsDeletedAndItIsAsPrivateAsItsPage)
{
    const QString document = page(u"index.html"_s);
    touch(document);
    const QString first = previewFile.write(messages, document, u"A"_s);
    writeFile(page(u"saved"_s).toStdString(), "a page saved over the copy");
    ASSERT_EQ(::rename(QFile::encodeName(page(u"saved"_s)), QFile::encodeName(first)), 0);
    const QString second = previewFile.write(messages, document, u"B"_s);
    EXPECT_EQ(second, page(u"tmpindex1.html"_s));
    EXPECT_EQ(bytes(first), "a page saved over the copy");
    writeFile(second.toStdString(), "rewritten");
    previewFile.remove();
    EXPECT_EQ(bytes(second), "rewritten");
    EXPECT_TRUE(previewFile.isEmpty());
    const QString third = previewFile.write(messages, document, u"C"_s);
    previewFile.remove();
    EXPECT_FALSE(QFileInfo::exists(third)) << "an untouched copy goes";

    // The unsaved text of a page only its owner may read is no more readable in its copy.
    ::chmod(QFile::encodeName(document), 0600);
    const QString copy = previewFile.write(messages, document, u"秘密"_s);
    EXPECT_EQ(statOf(copy.toStdString()).st_mode & 0777, 0600u);
    EXPECT_EQ(bytes(copy), iconvEncode(u"秘密"_s, "CP932").toStdString());
    QFile::remove(document); // moved away while open: nothing tells who may read it
    EXPECT_EQ(statOf(previewFile.write(messages, document, u"A"_s).toStdString()).st_mode & 0777,
              0600u);

    // A name too long for the number and ".html" is shortened to fit a file name.
    const QString longName = page(QString(83, u'長') + u".html"_s);
    touch(longName);
    EXPECT_EQ(previewFile.write(messages, longName, u"A"_s),
              page(u"tmp"_s + QString(82, u'長') + u"0.html"_s));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(PreviewTest, TheBrowserFollowsTheSettingsAndFallsBackAsEachBrowserDoes)
{
    const QString preview = page(u"tmpmy page0.html"_s);
    const QString browserProgram = program.filePath(u"browser"_s); // the fake shell never runs it
    touch(browserProgram);
    for (const DataRow &row : readDataRows(SCRIVLET_PREVIEW_DATA "/browser-choice.txt", 9)) {
        SCOPED_TRACE(row[0]);
        const Browser browser = row[1] == "IE"   ? Browser::InternetExplorer
                                : row[1] == "NN" ? Browser::Netscape
                                                 : Browser::Associated;
        const QString path = row[2] == "program"   ? browserProgram
                             : row[2] == "missing" ? program.filePath(u"gone/firefox"_s)
                                                   : QString();
        // The other browser's key always names a program: only the chosen one's counts.
        for (Browser b : {Browser::InternetExplorer, Browser::Netscape})
            basINI::WriteIniString(u"Browser"_s, preview::BrowserSettingKey(b),
                                   b == browser ? path : browserProgram);
        QFile::remove(preview);
        previewFile = {};
        messages.shown.clear();
        for (const QString &answer : field(row, 4).split(u' ', Qt::SkipEmptyParts))
            messages.answers.append(answer == u"Yes" ? MessageAnswer::Yes : MessageAnswer::No);
        shell = FakeShell();
        shell.succeeds = row[3] == "yes";
        optionsShown = 0;

        preview::PreviewDocument(browser, services, previewFile, page(u"my page.html"_s),
                                 u"<P>頁</P>"_s);

        const bool started = row[5] == "yes", opened = row[6] == "yes";
        ASSERT_EQ(shell.started.size(), started ? 1 : 0);
        for (const StartedProgram &p : shell.started)
            EXPECT_EQ(std::pair(p.program, p.arguments), std::pair(path, QStringList{preview}));
        EXPECT_EQ(shell.opened, opened ? QStringList{preview} : QStringList());
        EXPECT_EQ(std::pair(messages.texts(), optionsShown),
                  std::pair(row[7].empty() ? QStringList() : QStringList{field(row, 7)},
                            std::stoi(row[8])));
        // At most one copy, and none when no browser was tried.
        EXPECT_EQ(previewFiles(),
                  started || opened ? QStringList{u"tmpmy page0.html"_s} : QStringList());
        EXPECT_EQ(bytes(preview), started || opened
                                      ? iconvEncode(u"<P>頁</P>"_s, "CP932").toStdString()
                                      : std::string());
    }
}

TEST(HelpPages, EveryInternalLinkResolvesAndEveryPageIsReachable)
{
    // The targets of href and src attributes that stay within the pages: no scheme.
    static const QRegularExpression link(u"(?:href|src)\\s*=\\s*\"(?![a-zA-Z][a-zA-Z0-9+.-]*:)"
                                         u"([^\"#]*)(?:#([^\"]*))?\""_s,
                                         QRegularExpression::CaseInsensitiveOption);
    const QDir dir(QStringLiteral(SCRIVLET_DOC_DIR));
    const auto read = [&dir](const QString &name) {
        return QString::fromStdString(readFile(dir.filePath(name).toStdString()));
    };
    const QStringList pages = dir.entryList({u"*.html"_s}, QDir::Files);
    ASSERT_TRUE(pages.contains(u"index.html"_s));
    ASSERT_GE(pages.size(), 3) << "a manual, not a placeholder";
    QSet<QString> reached{u"index.html"_s};
    for (const QString &name : pages) {
        SCOPED_TRACE(name.toStdString());
        const QString html = read(name);
        ASSERT_FALSE(html.isEmpty() || html.contains(QChar::ReplacementCharacter))
            << "empty or not UTF-8";
        EXPECT_TRUE(html.contains(u"<meta charset=\"UTF-8\">"_s));
        EXPECT_TRUE(html.contains(u"<html lang=\"ja\">"_s));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            const QString target =
                match.captured(1).isEmpty() ? name : QDir::cleanPath(match.captured(1));
            ASSERT_TRUE(QFileInfo(dir.filePath(target)).isFile())
                << match.captured(0).toStdString();
            if (!match.captured(2).isEmpty()) {
                EXPECT_TRUE(read(target).contains(u"id=\""_s + match.captured(2) + u'"'))
                    << match.captured(0).toStdString();
            }
            reached.insert(target);
        }
    }
    for (const QString &name : pages)
        EXPECT_TRUE(reached.contains(name)) << name.toStdString() << " is linked from no page";
}

} // namespace
} // namespace scrivlet::test
