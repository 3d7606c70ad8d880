// The preview copy beside a document and the choice of the browser from the settings, against
// the fake shell. The menus around them are tested through the windows.

#include "preview/Preview.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/Globals.h"
#include "preview/Messages.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

using namespace Qt::StringLiterals;
using preview::Browser;
using test::FakeMessageService;
using test::FakeShell;

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

class PreviewFixture : public ::testing::Test
{
protected:
    QTemporaryDir program;
    QTemporaryDir pages;
    FakeMessageService messages;
    FakeShell shell;
    int optionsShown = 0;
    preview::PreviewServices services{messages, shell, [this] {
                                          ++optionsShown;
                                      }};
    QString previewFile;

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
    // A file that stands for a browser program; the fake shell never runs it.
    QString browserProgram()
    {
        const QString path = program.filePath(u"browser"_s);
        touch(path);
        return path;
    }
    void setBrowser(Browser browser, const QString &path)
    {
        basINI::WriteIniString(u"Browser"_s, preview::BrowserSettingKey(browser), path);
    }
    QStringList previewFiles() const
    {
        return QDir(pages.path()).entryList({u"tmp*"_s}, QDir::Files | QDir::System);
    }
};

using PreviewCopy = PreviewFixture;

TEST_F(PreviewCopy, NamesTakeTheFirstFreeNumberBesideTheDocument)
{
    touch(page(u"tmppage0.html"_s));
    QFile::link(page(u"nowhere"_s), page(u"tmplinked0.html"_s));
    QDir(pages.path()).mkdir(u"dir.d"_s);
    const std::pair<const char *, const char *> cases[] = {
        {"index.html", "tmpindex0.html"},        {"page.htm", "tmppage1.html"},
        {"a.b.shtml", "tmpa.b0.html"},           {"README", "tmpREADME0.html"},
        {"dir.d/notes", "dir.d/tmpnotes0.html"}, {"my page.html", "tmpmy page0.html"},
        {"linked.html", "tmplinked1.html"},
    };
    for (const auto &[document, expected] : cases)
        EXPECT_EQ(preview::NextPreviewPath(page(QString::fromUtf8(document))),
                  page(QString::fromUtf8(expected)))
            << document;
}

TEST_F(PreviewCopy, EachPreviewReplacesTheWindowsLastCopyAndLeavesOthersAlone)
{
    const QString document = page(u"page.htm"_s);
    touch(page(u"tmppage0.html"_s));
    const QString first = preview::MakePreviewFile(messages, previewFile, document, u"A"_s);
    EXPECT_EQ(first, page(u"tmppage1.html"_s));
    EXPECT_EQ(previewFile, first);
    const QString second = preview::MakePreviewFile(messages, previewFile, document, u"B"_s);
    EXPECT_EQ(second, first) << "the number of the deleted copy is free again";
    EXPECT_EQ(readBytes(second), "B");
    EXPECT_EQ(previewFiles(), (QStringList{u"tmppage0.html"_s, u"tmppage1.html"_s}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(PreviewCopy, IsWrittenInTheKanjiCodeAndLineEndsOfTheSettings)
{
    basINI::WriteIniString(u"Convert"_s, u"KanjiCode"_s, u"EUC"_s);
    basINI::WriteIniString(u"Convert"_s, u"ReturnCode"_s, u"LF"_s);
    const QString text = u"<P>日本語ｶﾀｶﾅ</P>\r\n二行目\r\n"_s;
    const QString path = preview::MakePreviewFile(messages, previewFile, page(u"a.html"_s), text);
    EXPECT_EQ(readBytes(path), test::iconvEncode(u"<P>日本語ｶﾀｶﾅ</P>\n二行目\n"_s, "EUC-JP-MS"));
}

TEST_F(PreviewCopy, AFolderThatCannotBeWrittenGivesNoPathAndSaysWhy)
{
    const QString path =
        preview::MakePreviewFile(messages, previewFile, u"/nonexistent-folder/a.html"_s, u"A"_s);
    EXPECT_TRUE(path.isEmpty());
    EXPECT_TRUE(previewFile.isEmpty());
    EXPECT_EQ(messages.shown.size(), 1);
}

// How each browser's setting decides what is started, opened or asked.
enum class Setting { Empty, Missing, Program };

struct BrowserCase
{
    const char *what;
    Browser browser;
    Setting setting;
    bool shellSucceeds;
    QList<MessageAnswer> answers;
    bool expectStart;   // the configured program was asked to start with the preview
    bool expectOpen;    // the default handler was asked to open the preview
    QString expectText; // the one message shown, if any
    int expectOptions;
};

using BrowserChoice = PreviewFixture;

TEST_F(BrowserChoice, FollowsTheSettingsAndFallsBackAsEachBrowserDoes)
{
    const QString notSet = preview::msg::kNetscapeNotSet;
    const QString ieFailed = u"Internet Explorerの起動に失敗しました"_s;
    const QString associatedFailed = u"関連付けされているﾌﾞﾗｳｻﾞの起動に失敗しました"_s;
    constexpr auto IE = Browser::InternetExplorer, NN = Browser::Netscape,
                   Any = Browser::Associated;
    using enum Setting;
    constexpr auto Yes = MessageAnswer::Yes, No = MessageAnswer::No;
    // what, browser, setting, shell succeeds, answers, started, opened, message, options shown
    const BrowserCase cases[] = {
        {"IE empty", IE, Empty, true, {}, false, true, {}, 0},
        {"IE missing", IE, Missing, true, {}, false, true, {}, 0},
        {"IE started", IE, Program, true, {}, true, false, {}, 0},
        {"IE start fails, default opens", IE, Program, false, {}, true, true, ieFailed, 0},
        {"IE empty, no handler", IE, Empty, false, {}, false, true, ieFailed, 0},
        {"NN empty, Yes", NN, Empty, true, {Yes}, false, false, notSet, 1},
        {"NN missing, No", NN, Missing, true, {No}, false, false, notSet, 0},
        {"NN started", NN, Program, true, {}, true, false, {}, 0},
        {"NN start fails", NN, Program, false, {Yes}, true, false, notSet, 1},
        {"associated", Any, Program, true, {}, false, true, {}, 0},
        {"associated fails", Any, Empty, false, {}, false, true, associatedFailed, 0},
    };
    const QString document = page(u"my page.html"_s);
    const QString expectedPreview = page(u"tmpmy page0.html"_s);
    for (const BrowserCase &c : cases) {
        const QString browser = c.setting == Setting::Program ? browserProgram()
                                : c.setting == Setting::Missing
                                    ? program.filePath(u"gone/firefox"_s)
                                    : QString();
        // The other browser's key always names a program: only the chosen one's counts.
        for (Browser b : {Browser::InternetExplorer, Browser::Netscape})
            setBrowser(b, b == c.browser ? browser : browserProgram());
        if (!previewFile.isEmpty())
            QFile::remove(previewFile);
        previewFile.clear();
        messages.shown.clear();
        messages.answers = c.answers;
        shell = FakeShell();
        shell.succeeds = c.shellSucceeds;
        optionsShown = 0;

        preview::PreviewDocument(c.browser, services, previewFile, document, u"<P>頁</P>"_s);

        if (c.expectStart) {
            ASSERT_EQ(shell.started.size(), 1) << c.what;
            EXPECT_EQ(shell.started[0].program, browser) << c.what;
            EXPECT_EQ(shell.started[0].arguments, QStringList{expectedPreview}) << c.what;
        } else {
            EXPECT_TRUE(shell.started.isEmpty()) << c.what;
        }
        EXPECT_EQ(shell.opened, c.expectOpen ? QStringList{expectedPreview} : QStringList())
            << c.what;
        EXPECT_EQ(messages.texts(),
                  c.expectText.isEmpty() ? QStringList() : QStringList{c.expectText})
            << c.what;
        EXPECT_EQ(optionsShown, c.expectOptions) << c.what;
        const bool written = c.expectStart || c.expectOpen;
        EXPECT_EQ(previewFiles(), written ? QStringList{u"tmpmy page0.html"_s} : QStringList())
            << c.what << ": at most one copy, and none when no browser was tried";
        if (written) {
            EXPECT_EQ(readBytes(expectedPreview), test::iconvEncode(u"<P>頁</P>"_s, "CP932"))
                << c.what;
        }
    }
}

} // namespace
} // namespace scrivlet
