// The Tool and Help menus of a document window and of the frame, as a user meets them: preview
// of the page in a browser, the options, the help pages, the author's pages and the About box.

#include "dialogs/frmAbout.h"
#include "document/frmEdit.h"
#include "files/Cp932.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

const QString kNotSaved = QStringLiteral(
    "無題1は保存されていません\r\n保存されていないﾍﾟｰｼﾞをﾌﾟﾚﾋﾞｭｰすることはできません\r\n"
    "保存しますか？");

class ToolHelpMenus : public ::testing::Test
{
protected:
    AppDriver app;
    int optionsShown = 0;

    void SetUp() override
    {
        app.start();
        app.frame().setOptionsDialogHook([this] { ++optionsShown; });
    }
    frmEdit *win() { return app.active(); }
    QStringList previewCopies() const
    {
        return QFileInfo(app.pagePath(u"x"_s)).dir().entryList({u"tmp*"_s});
    }
    // A file standing for a browser program; the fake shell never runs it.
    QString browserProgram()
    {
        const QString path = app.programDirectory() + u"browser"_s;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
};

TEST_F(ToolHelpMenus, AnUntitledPageIsPreviewedOnlyOnceSavedAndThenAtOnce)
{
    app.messages.answers = {MessageAnswer::No};
    app.click(win()->mnuTool[0]);
    EXPECT_EQ(app.dialogs.requests.size(), 1) << "the Save dialog, cancelled";
    EXPECT_EQ(app.messages.texts(), QStringList{kNotSaved});
    EXPECT_TRUE(app.shell.opened.isEmpty());
    EXPECT_TRUE(app.shell.started.isEmpty());

    app.messages.shown.clear();
    app.messages.answers = {MessageAnswer::Yes, MessageAnswer::No};
    app.click(win()->mnuTool[2]);
    EXPECT_EQ(app.dialogs.requests.size(), 3) << "Yes shows the Save dialog again";
    EXPECT_EQ(app.messages.texts(), (QStringList{kNotSaved, kNotSaved}));
    EXPECT_TRUE(app.shell.opened.isEmpty());
    EXPECT_TRUE(previewCopies().isEmpty());

    // Saved in the dialog, it is previewed at once.
    app.messages.shown.clear();
    app.type(u"こんにちは"_s);
    app.dialogs.willChoose({app.pagePath(u"a.html"_s)});
    app.click(win()->mnuTool[2]);
    EXPECT_TRUE(app.messages.shown.isEmpty());
    EXPECT_EQ(app.shell.opened, QStringList{app.pagePath(u"tmpa0.html"_s)});
    EXPECT_TRUE(decodeCp932(app.readPage(u"tmpa0.html"_s)).contains(u"こんにちは"));
}

TEST_F(ToolHelpMenus, ANamedPageIsPreviewedAsEditedWithoutSavingAndItsCopyGoesWithTheWindow)
{
    const QString page = app.writePage(u"my page.html"_s, u"<P>old</P>"_s);
    app.frame().NewWindow(page);
    app.type(u"new"_s);
    const QString program = browserProgram();
    basINI::WriteIniString(u"Browser"_s, u"Netscape"_s, program);
    const QString copy = app.pagePath(u"tmpmy page0.html"_s);

    app.click(win()->mnuTool[1]);
    app.click(win()->mnuTool[1]);
    ASSERT_EQ(app.shell.started.size(), 2);
    EXPECT_EQ(app.shell.started[1].program, program);
    EXPECT_EQ(app.shell.started[1].arguments, QStringList{copy}) << "one argument, blanks and all";
    EXPECT_EQ(previewCopies(), QStringList{u"tmpmy page0.html"_s});
    EXPECT_TRUE(app.readPage(u"tmpmy page0.html"_s).startsWith("new<P>old</P>"));
    EXPECT_EQ(app.readPage(u"my page.html"_s), "<P>old</P>") << "the page stays";
    EXPECT_TRUE(app.messages.shown.isEmpty());

    app.messages.answers = {MessageAnswer::No};
    app.closeActive();
    EXPECT_TRUE(previewCopies().isEmpty());
}

TEST_F(ToolHelpMenus, AnUnusableNetscapeSettingOffersTheOptions)
{
    const QString page = app.writePage(u"b.html"_s, u"B"_s);
    app.frame().NewWindow(page);
    basINI::WriteIniString(u"Browser"_s, u"Netscape"_s,
                           app.programDirectory() + u"deleted/netscape"_s);
    app.messages.answers = {MessageAnswer::Yes};
    app.click(win()->mnuTool[1]);
    EXPECT_EQ(app.messages.texts(),
              QStringList{u"Netscapeの設定が無効です\r\n今すぐ設定しますか？"_s});
    EXPECT_EQ(optionsShown, 1);
    EXPECT_TRUE(app.shell.started.isEmpty());

    app.click(win()->mnuTool[4]);
    EXPECT_EQ(optionsShown, 2);
}

TEST_F(ToolHelpMenus, WithNoDocumentTheFrameStartsBrowsersWithoutAPage)
{
    app.closeActive();
    ASSERT_TRUE(app.windows().isEmpty());
    ASSERT_EQ(app.frame().menuBar()->actions().size(), 3) << "the frame's own menus";

    app.click(app.frame().mnuTool[0]);
    EXPECT_EQ(app.shell.opened, QStringList{u"about:blank"_s});

    app.messages.answers = {MessageAnswer::No, MessageAnswer::Yes};
    app.click(app.frame().mnuTool[1]);
    EXPECT_EQ(optionsShown, 0);
    app.click(app.frame().mnuTool[1]);
    EXPECT_EQ(optionsShown, 1);
    app.click(app.frame().mnuTool[3]);
    EXPECT_EQ(optionsShown, 2);

    const QString program = browserProgram();
    for (const char *key : {"Internet Explorer", "Netscape"})
        basINI::WriteIniString(u"Browser"_s, QString::fromLatin1(key), program);
    app.click(app.frame().mnuTool[0]);
    app.click(app.frame().mnuTool[1]);
    ASSERT_EQ(app.shell.started.size(), 2);
    for (const StartedProgram &started : app.shell.started) {
        EXPECT_EQ(started.program, program);
        EXPECT_TRUE(started.arguments.isEmpty());
    }

    app.messages.shown.clear();
    app.shell.succeeds = false;
    basINI::WriteIniString(u"Browser"_s, u"Internet Explorer"_s, {});
    app.click(app.frame().mnuTool[0]);
    EXPECT_EQ(app.messages.texts(), QStringList{u"Internet Explorerの起動に失敗しました"_s});
    EXPECT_EQ(app.messages.shown[0].icon, MessageIcon::Critical);
}

TEST_F(ToolHelpMenus, HelpOpensTheContentsAndThePagesOrSaysWhyNot)
{
    app.shell.refusesMissingFiles = true;
    const QString contents = app.programDirectory() + u"doc/index.html"_s;
    app.click(win()->mnuHelp[0]);
    app.click(app.frame().mnuHelp[0]);
    EXPECT_EQ(app.shell.opened, (QStringList{contents, contents}));
    EXPECT_TRUE(app.messages.shown.isEmpty()) << "the build's program directory has the pages";

    QFile::remove(app.programDirectory() + u"doc"_s);
    app.click(win()->mnuHelp[0]);
    EXPECT_EQ(app.messages.texts(), QStringList{u"ヘルプを表示できませんでした"_s});

    app.shell.opened.clear();
    app.messages.shown.clear();
    app.click(win()->mnuHelp[2]);
    app.click(win()->mnuHelp[3]);
    app.shell.succeeds = false;
    app.click(app.frame().mnuHelp[2]);
    EXPECT_EQ(app.shell.opened, (QStringList{u"https://www.example.org/scrivlet/"_s,
                                             u"https://www.example.org/scrivlet/download.html"_s,
                                             u"https://www.example.org/scrivlet/"_s}));
    EXPECT_EQ(app.messages.texts(), QStringList{u"Webサイトを表示できませんでした"_s});
}

TEST_F(ToolHelpMenus, AboutOpensModallyFromEitherMenuAndEnterClosesIt)
{
    for (QAction *item : {win()->mnuHelp[5], app.frame().mnuHelp[5]}) {
        app.click(item);
        QPointer<frmAbout> box = app.frame().findChild<frmAbout *>();
        ASSERT_FALSE(box.isNull());
        EXPECT_TRUE(box->isVisible());
        EXPECT_TRUE(box->isModal());
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_FALSE(box->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull()) << "a closed box is let go, so the next one is found";
    }
}

} // namespace
} // namespace scrivlet::test
