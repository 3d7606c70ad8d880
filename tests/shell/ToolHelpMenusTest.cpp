// The Tool and Help menus of a document window and of the frame, as a user meets them: preview
// of the page in a browser, the options, the help pages, the author's pages and the About box.

#include "dialogs/frmAbout.h"
#include "tests/shell/AppDriver.h"

namespace scrivlet::test {
namespace {

const QString kNotSaved = u"無題1は保存されていません\r\n保存されていないﾍﾟｰｼﾞをﾌﾟﾚﾋﾞｭｰすることは"
                          u"できません\r\n保存しますか？"_s;

class ToolHelpMenus : public Frame
{
protected:
    int optionsShown = 0;
    void SetUp() override
    {
        start();
        app->frame().setOptionsDialogHook([this] { ++optionsShown; });
    }
    // Names a file standing for a browser program (the fake shell never runs it) as both
    // browsers, or `path` as the one named by `key`.
    QString setBrowsers(const QString &key = {}, const QString &path = {})
    {
        QFile file(app->programDirectory() + u"browser"_s);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (const QString &k : {u"Internet Explorer"_s, u"Netscape"_s})
            basINI::WriteIniString(u"Browser"_s, k, k == key ? path : file.fileName());
        return file.fileName();
    }
};

TEST_F(ToolHelpMenus, AnUntitledPageIsPreviewedOnlyOnceSavedAndThenAtOnce)
{
    app->messages.answers = {MessageAnswer::No};
    app->click(win()->mnuTool[0]);
    app->messages.answers = {MessageAnswer::Yes, MessageAnswer::No};
    app->click(win()->mnuTool[2]);
    EXPECT_EQ(app->dialogs.requests.size(), 3) << "Yes shows the Save dialog again";
    EXPECT_EQ(app->messages.texts(), QStringList(3, kNotSaved));
    EXPECT_TRUE(app->shell.opened.isEmpty() && app->shell.started.isEmpty());
    // Saved in the dialog, it is previewed at once.
    app->messages.shown.clear();
    app->type(u"こんにちは"_s);
    app->dialogs.willChoose({app->pagePath(u"a.html"_s)});
    app->click(win()->mnuTool[2]);
    EXPECT_TRUE(app->messages.shown.isEmpty());
    EXPECT_EQ(app->shell.opened, QStringList{app->pagePath(u"tmpa0.html"_s)});
}

// That the copy goes with its window is checked end to end (preview_through_configured_browser).
TEST_F(ToolHelpMenus, ANamedPageIsPreviewedAsEditedWithoutSaving)
{
    app->frame().NewWindow(app->writePage(u"my page.html"_s, u"<P>old</P>"_s));
    app->type(u"new"_s);
    // An unusable Netscape setting offers the options instead.
    setBrowsers(u"Netscape"_s, app->programDirectory() + u"deleted/netscape"_s);
    app->messages.answers = {MessageAnswer::Yes};
    app->click(win()->mnuTool[1]);
    EXPECT_EQ(optionsShown, 1);
    setBrowsers();
    app->click(win()->mnuTool[1]);
    ASSERT_EQ(app->shell.started.size(), 1);
    EXPECT_TRUE(app->readPage(u"tmpmy page0.html"_s).startsWith("new<P>old</P>"));
    EXPECT_EQ(app->readPage(u"my page.html"_s), "<P>old</P>") << "the page stays";
}

// A page saved under the name of its own copy is the page, not the copy, when the window closes.
TEST_F(ToolHelpMenus, APageSavedUnderItsCopysNameStaysWhenItsWindowCloses)
{
    app->frame().NewWindow(app->writePage(u"a.html"_s, u"<P>old</P>"_s));
    app->click(win()->mnuTool[2]);
    const QString copy = app->pagePath(u"tmpa0.html"_s);
    ASSERT_EQ(app->shell.opened, QStringList{copy});
    app->type(u"new"_s);
    app->dialogs.willChoose({copy});
    app->messages.answers = {MessageAnswer::Yes};
    app->click(win()->mnuFile[6]);
    app->closeActive();
    EXPECT_TRUE(app->readPage(u"tmpa0.html"_s).startsWith("new<P>old</P>"));
}

TEST_F(ToolHelpMenus, WithNoDocumentTheFrameStartsBrowsersWithoutAPage)
{
    app->closeActive();
    const QList<QAction *> &tool = app->frame().mnuTool;
    app->click(tool[0]);
    EXPECT_EQ(app->shell.opened, QStringList{u"about:blank"_s});
    app->messages.answers = {MessageAnswer::Yes}; // to the Netscape prompt
    app->click(tool[1]);
    EXPECT_EQ(optionsShown, 1);
    const QString program = setBrowsers();
    app->click(tool[0]);
    app->click(tool[1]);
    ASSERT_EQ(app->shell.started.size(), 2);
    for (const StartedProgram &started : app->shell.started) {
        EXPECT_EQ(started.program, program);
        EXPECT_TRUE(started.arguments.isEmpty());
    }
    app->messages.shown.clear();
    app->shell.succeeds = false;
    setBrowsers(u"Internet Explorer"_s, {});
    app->click(tool[0]);
    EXPECT_EQ(app->messages.texts(), QStringList{u"Internet Explorerの起動に失敗しました"_s});
    EXPECT_EQ(app->messages.shown[0].icon, MessageIcon::Critical);
}

// The About box itself is the dialogs suite's; here it opens from both menus and Enter closes it.
TEST_F(ToolHelpMenus, HelpOpensThePagesOrSaysWhyNotAndTheAboutBox)
{
    app->shell.refusesMissingFiles = true;
    const QString contents = app->programDirectory() + u"doc/index.html"_s;
    const QString site = u"https://www.example.org/scrivlet/"_s;
    for (QAction *item :
         {win()->mnuHelp[0], app->frame().mnuHelp[0], win()->mnuHelp[2], win()->mnuHelp[3]})
        app->click(item);
    EXPECT_EQ(app->shell.opened,
              (QStringList{contents, contents, site, site + u"download.html"_s}));
    QFile::remove(app->programDirectory() + u"doc"_s);
    app->click(win()->mnuHelp[0]);
    app->shell.succeeds = false;
    app->click(app->frame().mnuHelp[2]);
    EXPECT_EQ(app->shell.opened.mid(4), (QStringList{contents, site}));
    EXPECT_EQ(app->messages.texts(), (QStringList{u"ヘルプを表示できませんでした"_s,
                                                  u"Webサイトを表示できませんでした"_s}));
    for (QAction *item : {win()->mnuHelp[5], app->frame().mnuHelp[5]}) {
        app->click(item);
        QPointer<frmAbout> box = app->frame().findChild<frmAbout *>();
        ASSERT_FALSE(box.isNull());
        EXPECT_TRUE(box->isVisible() && box->isModal());
        QTest::keyClick(box, Qt::Key_Return);
        settle();
        EXPECT_TRUE(box.isNull()) << "a closed box is let go, so the next one is found";
    }
}

} // namespace
} // namespace scrivlet::test
