// The recent files: their order, their captions in every File menu, and a file that is gone.

#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "platform/Globals.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

QStringList shownCaptions(const QList<QAction *> &items)
{
    QStringList out;
    for (int k = 1; k <= 5; ++k)
        out.append(items[k]->isVisible() ? items[k]->text() : u"-"_s);
    return out;
}

TEST(RecentFiles, OpeningSixFilesKeepsTheLastFiveNewestFirst)
{
    AppDriver app;
    app.start({u"/O"_s});
    QStringList paths;
    for (int i = 1; i <= 6; ++i) {
        paths.append(app.writePage(u"p%1.html"_s.arg(i), u"x"_s));
        app.frame().NewWindow(paths.last());
    }
    EXPECT_EQ(gHistory, (QStringList{paths[5], paths[4], paths[3], paths[2], paths[1]}));
    const QStringList expected = {u"&1 "_s + paths[5], u"&2 "_s + paths[4], u"&3 "_s + paths[3],
                                  u"&4 "_s + paths[2], u"&5 "_s + paths[1]};
    EXPECT_EQ(shownCaptions(app.frame().mnuFileHistory), expected);
    for (frmEdit *w : app.windows())
        EXPECT_EQ(shownCaptions(w->mnuFileHistory), expected) << "the same in every window";
}

TEST(RecentFiles, AnEntryMovesToTheTopAndEmptySlotsMoveDown)
{
    AppDriver app;
    app.start({u"/O"_s});
    // An empty list hides every item and disables the separator.
    EXPECT_EQ(shownCaptions(app.frame().mnuFileHistory), QStringList(5, u"-"_s));
    EXPECT_FALSE(app.frame().mnuFileHistory[6]->isEnabled());
    EXPECT_TRUE(app.frame().mnuFileHistory[6]->isVisible());

    gHistory = {u"a"_s, QString(), u"b"_s, QString(), QString()};
    app.frame().AddHistory(u"x"_s);
    EXPECT_EQ(gHistory, (QStringList{u"x"_s, u"a"_s, QString(), u"b"_s, QString()}));
    EXPECT_EQ(shownCaptions(app.frame().mnuFileHistory),
              (QStringList{u"&1 x"_s, u"&2 a"_s, u"-"_s, u"&4 b"_s, u"-"_s}));
    gHistory = {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
    app.frame().AddHistory(u"c"_s);
    EXPECT_EQ(gHistory, (QStringList{u"c"_s, u"a"_s, u"b"_s, u"d"_s, u"e"_s}));
    app.frame().AddHistory(u"c"_s);
    EXPECT_EQ(gHistory.first(), u"c"_s);
    app.frame().AddHistory(u"C"_s);
    EXPECT_EQ(gHistory.mid(0, 2), (QStringList{u"C"_s, u"c"_s}))
        << "letter case makes another entry";

    app.frame().AddHistory(u"/web/Q&A.html"_s);
    EXPECT_EQ(app.frame().mnuFileHistory[1]->text(), u"&1 /web/Q&&A.html"_s)
        << "an ampersand in a path shows as itself";
}

TEST(RecentFiles, AFileThatIsGoneIsReportedAndStays)
{
    AppDriver app;
    const QString path = app.writePage(u"gone.html"_s, u"x"_s);
    app.start({path});
    app.closeActive();
    QFile::remove(path);
    app.click(app.frame().mnuFileHistory[1]);
    EXPECT_TRUE(app.windows().isEmpty());
    EXPECT_EQ(app.messages.texts(), QStringList{path + u"は存在しません。"_s});
    EXPECT_EQ(app.messages.shown.last().icon, MessageIcon::Critical);
    EXPECT_EQ(gHistory.first(), path);
}

TEST(RecentFiles, AnEntryReopensItsFileAndTheListIsWrittenAtShutdown)
{
    QString path;
    QStringList stored;
    {
        AppDriver app;
        path = app.writePage(u"keep.html"_s, u"<P>kept</P>"_s);
        app.start({path});
        app.closeActive();
        app.click(app.frame().mnuFileHistory[1]);
        ASSERT_EQ(app.windows().size(), 1);
        EXPECT_EQ(app.active()->control().Text(), u"<P>kept</P>"_s);
        EXPECT_TRUE(app.closeFrame());
        for (int k = 1; k <= 5; ++k)
            stored.append(app.setting(u"History"_s, QString::number(k)));
    }
    EXPECT_EQ(stored, (QStringList{path, QString(), QString(), QString(), QString()}));
}

} // namespace
} // namespace scrivlet::test
