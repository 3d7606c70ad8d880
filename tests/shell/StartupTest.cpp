// Starting the program: what the command line opens, and what the frame shows.

#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "files/Messages.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace scrivlet::test {
namespace {

QStringList menuTitles(const frmMain &frame)
{
    QStringList out;
    for (QAction *a : frame.menuBar()->actions())
        out.append(a->text());
    return out;
}

TEST(Startup, NoArgumentsOpensOneUntitledDocumentFromTheTemplate)
{
    AppDriver app;
    app.start();
    ASSERT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.captions(), QStringList{QStringLiteral("無題1")});
    EXPECT_EQ(app.tabs(), QStringList{QStringLiteral("無題1")});
    EXPECT_TRUE(app.active()->control().Text().contains(QStringLiteral("<html lang=\"ja\">")));
    EXPECT_EQ(app.active()->Tag(), QStringLiteral("Number1"));
    EXPECT_TRUE(app.messages.shown.isEmpty());
    EXPECT_TRUE(gTagList.contains(QStringLiteral("<a>")));
    EXPECT_FALSE(gTagList.last().isEmpty()) << "the list file has no final empty line";
    // The active document's menus stand in the bar.
    EXPECT_EQ(menuTitles(app.frame()),
              (QStringList{QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("編集(&E)"),
                           QStringLiteral("ﾂｰﾙ(&T)"), QStringLiteral("ｳｨﾝﾄﾞｳ(&W)"),
                           QStringLiteral("ﾍﾙﾌﾟ(&H)")}));
    EXPECT_FALSE(app.active()->mnuEdit[0]->isEnabled());
    EXPECT_FALSE(app.active()->mnuEdit[1]->isEnabled());
}

TEST(Startup, PathsOpenInOrderAndOthersAreSkipped)
{
    AppDriver app;
    const QString a = app.writePage(QStringLiteral("a.html"), QStringLiteral("<P>あ</P>"));
    const QString b = app.writePage(QStringLiteral("b b.htm"), QStringLiteral("<P>い</P>"));
    app.start({a, app.pagePath(QStringLiteral("README")), b, app.pagePath(QString()) + u'/'});
    EXPECT_EQ(app.captions(), (QStringList{a, b}));
    EXPECT_EQ(app.tabs(), (QStringList{QStringLiteral("a.html"), QStringLiteral("b b.htm")}));
    EXPECT_EQ(app.windows()[1]->control().Text(), QStringLiteral("<P>い</P>"));
    EXPECT_EQ(gHistory.mid(0, 2), (QStringList{b, a}));
}

TEST(Startup, TheWaitSwitchOpensNothing)
{
    AppDriver app;
    const QString a = app.writePage(QStringLiteral("a.html"), QStringLiteral("x"));
    app.start({a + QStringLiteral(" /O")});
    EXPECT_TRUE(app.windows().isEmpty());
    app.start({a, QStringLiteral("/O")});
    EXPECT_TRUE(app.windows().isEmpty()) << "the switch stops the paths before it too";
    // With no document the frame shows its own menus.
    EXPECT_EQ(menuTitles(app.frame()),
              (QStringList{QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("ﾂｰﾙ(&T)"),
                           QStringLiteral("ﾍﾙﾌﾟ(&H)")}));
}

TEST(Startup, AFolderStartingWithOIsNoSwitch)
{
    AppDriver app;
    QDir(app.pagePath(QString())).mkpath(QStringLiteral("Output"));
    const QString page =
        app.writePage(QStringLiteral("Output/a.html"), QStringLiteral("<P>Output</P>"));
    ASSERT_TRUE(page.contains(QStringLiteral("/O")));
    app.start({page});
    EXPECT_EQ(app.captions(), (QStringList{page}));
    EXPECT_EQ(app.windows().first()->control().Text(), QStringLiteral("<P>Output</P>"));
}

TEST(Startup, ALowerCaseSwitchIsJustAnotherArgument)
{
    AppDriver app;
    const QString a = app.writePage(QStringLiteral("a.html"), QStringLiteral("x"));
    app.start({a, QStringLiteral("/o")});
    EXPECT_EQ(app.captions(), QStringList{a});
}

TEST(Startup, AMissingFileOpensEmptyAfterItsMessage)
{
    AppDriver app;
    const QString gone = app.pagePath(QStringLiteral("gone.html"));
    app.start({gone});
    EXPECT_EQ(app.captions(), QStringList{gone});
    EXPECT_EQ(app.active()->control().Text(), QString());
    EXPECT_EQ(app.messages.texts(), QStringList{gone + files::msg::kCouldNotOpen});
}

TEST(Startup, UntitledNumbersAreNeverReused)
{
    AppDriver app;
    app.start();
    app.closeActive();
    EXPECT_TRUE(app.windows().isEmpty());
    EXPECT_TRUE(app.tabs().isEmpty());
    app.frame().mnuFile_Click(0);
    app.frame().mnuFile_Click(0);
    EXPECT_EQ(app.captions(), (QStringList{QStringLiteral("無題2"), QStringLiteral("無題3")}));
    EXPECT_EQ(app.windows()[1]->Tag(), QStringLiteral("Number3"));
}

TEST(Startup, ClosingAWindowReleasesItsDocumentAndTab)
{
    AppDriver app;
    app.start();
    app.frame().mnuFile_Click(0);
    QPointer<frmEdit> first = app.windows()[0];
    first->closeWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(app.tabs(), QStringList{QStringLiteral("無題2")});
}

// NewWindow runs no events of its own: a queued request (a page from another instance, a
// drop) handled inside it would re-enter the frame before the window is complete. The window
// must still be whole when it returns: active, maximized, laid out, its menus in the bar.
TEST(Startup, NewWindowIsCompleteWithoutRunningQueuedEvents)
{
    AppDriver app;
    app.start();
    bool queuedRan = false;
    QTimer::singleShot(0, app.active(), [&queuedRan] { queuedRan = true; });
    app.frame().NewWindow(QString());
    EXPECT_FALSE(queuedRan);
    frmEdit *window = app.active();
    ASSERT_EQ(app.windows().size(), 2);
    EXPECT_EQ(window, app.windows()[1]);
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
    const auto *edit = window->findChild<QWidget *>(QStringLiteral("rtfEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_GT(edit->width(), 100);
    EXPECT_GT(edit->height(), 50);
    EXPECT_EQ(app.frame().menuBar()->actions().size(), 5);
    EXPECT_EQ(app.tabs(), (QStringList{QStringLiteral("無題1"), QStringLiteral("無題2")}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(queuedRan);
}

} // namespace
} // namespace scrivlet::test

namespace scrivlet::test {
namespace {

// How a new document starts follows Use of section Template, read at each new window.
class NewDocumentTemplate : public ::testing::Test
{
protected:
    AppDriver app;
    void SetUp() override { app.start({QStringLiteral("/O")}); }
    void use(const QString &value)
    {
        basINI::WriteIniString(QStringLiteral("Template"), QStringLiteral("Use"), value);
    }
};

TEST_F(NewDocumentTemplate, UseOneOffersTheTemplateFolder)
{
    const QString chosen = app.writePage(QStringLiteral("mine.html"), QStringLiteral("<P>型</P>"));
    use(QStringLiteral("1"));
    basINI::WriteIniString(QStringLiteral("Template"), QStringLiteral("TemplatePass"),
                           app.pagePath(QString()));
    app.dialogs.willChoose({chosen});
    app.frame().mnuFile_Click(0);
    ASSERT_EQ(app.dialogs.requests.size(), 1);
    EXPECT_EQ(app.dialogs.requests[0].title, QStringLiteral("ﾃﾝﾌﾟﾚｰﾄの選択"));
    EXPECT_EQ(app.dialogs.requests[0].initialDirectory, app.pagePath(QString()));
    EXPECT_EQ(app.active()->control().Text(), QStringLiteral("<P>型</P>"));
    EXPECT_EQ(app.active()->windowTitle(), QStringLiteral("無題1")) << "it stays untitled";
    EXPECT_FALSE(app.active()->mnuEdit[0]->isEnabled()) << "the template is the baseline";
}

TEST_F(NewDocumentTemplate, ACancelledChoiceStillMakesAWindowWithItsTab)
{
    use(QStringLiteral("1"));
    app.dialogs.willCancel();
    app.frame().mnuFile_Click(0);
    ASSERT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.active()->control().Text(), QString());
    EXPECT_EQ(app.active()->Tag(), QStringLiteral("Number1"));
    EXPECT_EQ(app.tabs(), QStringList{QStringLiteral("無題1")});
}

TEST_F(NewDocumentTemplate, OtherValuesStartEmptyAndLettersReadAsTheDefault)
{
    use(QStringLiteral("2"));
    app.frame().mnuFile_Click(0);
    EXPECT_EQ(app.active()->control().Text(), QString());
    use(QStringLiteral("abc"));
    app.frame().mnuFile_Click(0);
    EXPECT_TRUE(app.active()->control().Text().contains(QStringLiteral("<html lang=\"ja\">")));
    EXPECT_TRUE(app.dialogs.requests.isEmpty());
}

TEST_F(NewDocumentTemplate, AMissingDefaultTemplateIsReportedAndTheWindowOpensEmpty)
{
    QFile::remove(app.programDirectory() + QStringLiteral("Template"));
    app.frame().mnuFile_Click(0);
    EXPECT_EQ(app.active()->control().Text(), QString());
    EXPECT_EQ(app.messages.texts(),
              QStringList{app.programDirectory() + QStringLiteral("Template/Default.html") +
                          files::msg::kCouldNotOpen});
}

} // namespace
} // namespace scrivlet::test
