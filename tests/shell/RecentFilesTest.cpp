// The recent files: their order, their captions in every File menu, and a file that is gone.

#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "platform/Globals.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QFile>

#include <gtest/gtest.h>

namespace scrivlet::test {
namespace {

QStringList shownCaptions(const QList<QAction *> &items)
{
    QStringList out;
    for (int k = 1; k <= 5; ++k)
        out.append(items[k]->isVisible() ? items[k]->text() : QStringLiteral("-"));
    return out;
}

TEST(RecentFiles, OpeningSixFilesKeepsTheLastFiveNewestFirst)
{
    AppDriver app;
    app.start({QStringLiteral("/O")});
    QStringList paths;
    for (int i = 1; i <= 6; ++i) {
        paths.append(app.writePage(QStringLiteral("p%1.html").arg(i), QStringLiteral("x")));
        app.frame().NewWindow(paths.last());
    }
    EXPECT_EQ(gHistory, (QStringList{paths[5], paths[4], paths[3], paths[2], paths[1]}));
    const QStringList expected = {
        QStringLiteral("&1 ") + paths[5], QStringLiteral("&2 ") + paths[4],
        QStringLiteral("&3 ") + paths[3], QStringLiteral("&4 ") + paths[2],
        QStringLiteral("&5 ") + paths[1]};
    EXPECT_EQ(shownCaptions(app.frame().mnuFileHistory), expected);
    for (frmEdit *w : app.windows())
        EXPECT_EQ(shownCaptions(w->mnuFileHistory), expected) << "the same in every window";
}

TEST(RecentFiles, AnEntryMovesToTheTopAndEmptySlotsMoveDown)
{
    AppDriver app;
    app.start({QStringLiteral("/O")});
    // An empty list hides every item and disables the separator.
    EXPECT_EQ(shownCaptions(app.frame().mnuFileHistory), QStringList(5, QStringLiteral("-")));
    EXPECT_FALSE(app.frame().mnuFileHistory[6]->isEnabled());
    EXPECT_TRUE(app.frame().mnuFileHistory[6]->isVisible());

    gHistory = {QStringLiteral("a"), QString(), QStringLiteral("b"), QString(), QString()};
    app.frame().AddHistory(QStringLiteral("x"));
    EXPECT_EQ(gHistory, (QStringList{QStringLiteral("x"), QStringLiteral("a"), QString(),
                                     QStringLiteral("b"), QString()}));
    EXPECT_EQ(shownCaptions(app.frame().mnuFileHistory),
              (QStringList{QStringLiteral("&1 x"), QStringLiteral("&2 a"), QStringLiteral("-"),
                           QStringLiteral("&4 b"), QStringLiteral("-")}));
    gHistory = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                QStringLiteral("e")};
    app.frame().AddHistory(QStringLiteral("c"));
    EXPECT_EQ(gHistory, (QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b"),
                                     QStringLiteral("d"), QStringLiteral("e")}));
    app.frame().AddHistory(QStringLiteral("c"));
    EXPECT_EQ(gHistory.first(), QStringLiteral("c"));
    app.frame().AddHistory(QStringLiteral("C"));
    EXPECT_EQ(gHistory.mid(0, 2), (QStringList{QStringLiteral("C"), QStringLiteral("c")}))
        << "letter case makes another entry";

    app.frame().AddHistory(QStringLiteral("/web/Q&A.html"));
    EXPECT_EQ(app.frame().mnuFileHistory[1]->text(), QStringLiteral("&1 /web/Q&&A.html"))
        << "an ampersand in a path shows as itself";
}

TEST(RecentFiles, AFileThatIsGoneIsReportedAndStays)
{
    AppDriver app;
    const QString path = app.writePage(QStringLiteral("gone.html"), QStringLiteral("x"));
    app.start({path});
    app.closeActive();
    QFile::remove(path);
    app.click(app.frame().mnuFileHistory[1]);
    EXPECT_TRUE(app.windows().isEmpty());
    EXPECT_EQ(app.messages.texts(), QStringList{path + QStringLiteral("は存在しません。")});
    EXPECT_EQ(app.messages.shown.last().icon, MessageIcon::Critical);
    EXPECT_EQ(gHistory.first(), path);
}

TEST(RecentFiles, AnEntryReopensItsFileAndTheListIsWrittenAtShutdown)
{
    QString path;
    QStringList stored;
    {
        AppDriver app;
        path = app.writePage(QStringLiteral("keep.html"), QStringLiteral("<P>kept</P>"));
        app.start({path});
        app.closeActive();
        app.click(app.frame().mnuFileHistory[1]);
        ASSERT_EQ(app.windows().size(), 1);
        EXPECT_EQ(app.active()->control().Text(), QStringLiteral("<P>kept</P>"));
        EXPECT_TRUE(app.closeFrame());
        for (int k = 1; k <= 5; ++k)
            stored.append(app.setting(QStringLiteral("History"), QString::number(k)));
    }
    EXPECT_EQ(stored, (QStringList{path, QString(), QString(), QString(), QString()}));
}

} // namespace
} // namespace scrivlet::test
