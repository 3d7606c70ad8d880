// The Window menu, the tab strip, the frame's empty area and the text's context menu, through
// the real windows: whatever the user does to the document windows, each stays in reach.

#include "document/DocumentView.h"
#include "document/PopupListWidget.h"
#include "tests/shell/AppDriver.h"

#include <QDialog>
#include <QScrollBar>

namespace scrivlet::test {
namespace {

// What the user does to the windows: the five items of the Window menu, in their order, or a
// button on the active window's title bar.
enum Step { Cascade, Stack, SideBySide, MinimizeAll, LineUp, Restore, Minimize, Maximize };

class WindowMenu : public Frame
{
protected:
    void SetUp() override { start({}, 2); }
    void apply(Step step)
    {
        QMdiSubWindow *sub = holder(win());
        if (step == Restore)
            sub->showNormal();
        else if (step == Minimize)
            sub->showMinimized();
        else if (step == Maximize)
            sub->showMaximized();
        else
            app->click(win()->mnuWindow[step]);
    }
    QList<QRect> cells()
    {
        return mapped(app->windows(), [](frmEdit *w) { return holder(w)->geometry(); });
    }
    QRect area() { return documentArea()->rect(); }
    // The Window menu's entries below its five items and their separator, as the menu shows them
    // when it opens; checked receives the entry with the check.
    QStringList windowListOf(frmEdit *window, QString *checked)
    {
        QMenu *menu = window->findChild<QMenu *>(u"mnuWindowMenu"_s);
        openMenu(menu);
        QStringList out;
        for (QAction *entry : menu->actions().mid(6)) {
            out.append(entry->text());
            if (entry->isChecked())
                *checked = entry->text();
        }
        return out;
    }
};

TEST_F(WindowMenu, EveryWindowStaysReachableByItsTab)
{
    const std::pair<const char *, QList<Step>> cases[] = {
        {"restore button of the maximized window", {Restore}},
        {"cascade", {Cascade}},
        {"above one another", {Stack}},
        {"side by side", {SideBySide}},
        {"minimize all", {MinimizeAll}},
        {"minimize all, line up the icons", {MinimizeAll, LineUp}},
        {"minimize the active window", {Minimize}},
        {"restore, then maximize again", {Restore, Maximize}},
    };
    for (const auto &[name, steps] : cases) {
        SCOPED_TRACE(name);
        fresh();
        const QString page = app->writePage(u"same.html"_s, u"S"_s);
        start({page, page}, 1); // two windows on one file have a tab each
        for (Step step : steps)
            apply(step);
        for (int i : {0, 2, 1}) {
            SCOPED_TRACE(i);
            frmEdit *window = app->windows()[i];
            clickTab(i);
            ASSERT_EQ(app->active(), window);
            QMdiSubWindow *sub = holder(window);
            EXPECT_TRUE(sub->isVisible() && !sub->isMinimized());
            EXPECT_TRUE(area().contains(sub->geometry()));
            EXPECT_GE(window->height(), area().height() / 4) << "room for the text";
            EXPECT_EQ(tabBar()->currentIndex(), i);
            EXPECT_EQ(app->frame().windowTitle(), u"Scrivlet - [%1]"_s.arg(window->windowTitle()));
        }
    }
}

TEST_F(WindowMenu, TheArrangementsLayTheWindowsOutInOpeningOrder)
{
    for (const auto &[item, across] : {std::pair{Stack, false}, {SideBySide, true}}) {
        SCOPED_TRACE(item);
        apply(item);
        // Tiled, the cells cover the area exactly in order, top to bottom or left to right.
        const auto turn = [across](QRect r) {
            return across ? QRect(r.y(), r.x(), r.height(), r.width()) : r;
        };
        const QRect room = turn(area());
        int next = room.top();
        for (const QRect &cell : cells()) {
            EXPECT_EQ(turn(cell), QRect(room.left(), next, room.width(), turn(cell).height()));
            next = turn(cell).bottom() + 1;
        }
        EXPECT_EQ(next, room.bottom() + 1);
        EXPECT_EQ(app->active(), app->windows()[2]) << "the active window stays active";
        const QList<QRect> before = cells();
        apply(LineUp);
        EXPECT_EQ(cells(), before) << "lining up icons with none minimized changes nothing";
        apply(Maximize);
    }
    // Cascade steps down with the active window in front.
    clickTab(0);
    apply(Cascade);
    // Front to back as the area stacks them: the active window last.
    const QList<QMdiSubWindow *> stacked =
        child<QMdiArea>(u"mdiArea"_s)->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(stacked.size(), 3);
    EXPECT_EQ(stacked.last(), holder(app->windows()[0]));
    QPoint previous(-1, -1);
    for (QMdiSubWindow *sub : stacked) {
        EXPECT_FALSE(sub->isMaximized());
        EXPECT_TRUE(sub->x() > previous.x() && sub->y() > previous.y());
        EXPECT_TRUE(area().contains(sub->geometry()));
        EXPECT_GE(sub->width(), area().width() / 2);
        previous = sub->pos();
    }
    // Minimize all leaves the frame and the dialogs alone.
    QDialog dialog(&app->frame());
    dialog.setObjectName(u"frmFind"_s);
    dialog.show();
    apply(MinimizeAll);
    for (frmEdit *w : app->windows())
        EXPECT_TRUE(holder(w)->isMinimized());
    EXPECT_EQ(app->active(), app->windows()[0]) << "the active window stays active";
    EXPECT_FALSE(app->frame().isMinimized());
    EXPECT_TRUE(dialog.isVisible() && !dialog.isMinimized());
    // Lined up from the bottom left in opening order, none over another, wherever they were.
    for (frmEdit *w : app->windows())
        holder(w)->move(40 * int(app->windows().indexOf(w)), 30);
    apply(LineUp);
    int left = area().left();
    for (const QRect &icon : cells()) {
        EXPECT_EQ(icon.bottomLeft(), QPoint(left, area().bottom()));
        left = icon.right() + 1;
    }
    // Tiled windows leave the icons' row free.
    holder(app->windows()[0])->showNormal();
    apply(Stack);
    EXPECT_FALSE(cells()[0].intersects(cells()[1]) || cells()[0].intersects(cells()[2]));
}

// A long name or path is cut in the middle, in the tabs, the Window menu and the recent files,
// so that none stretches past half a screen and the file's name stays in view; in a large
// desktop font the tabs show whole.
TEST_F(WindowMenu, LongNamesAndLargeFontsStayInView)
{
    const QFont font = QApplication::font();
    QFont large = font;
    large.setPointSize(16);
    QApplication::setFont(large);
    fresh();
    const QString name = QString(70, u'長') + u"い名前.html"_s;
    start({app->writePage(name, u"x"_s)});
    QApplication::setFont(font);
    EXPECT_GE(child(u"picSelectBar"_s)->height(), tabBar()->sizeHint().height());
    EXPECT_EQ(tabBar()->tabToolTip(0), name);
    QString checked;
    const QFontMetrics menuFont(QApplication::font("QMenu"));
    for (const QString &shown : {tabBar()->tabText(0), windowListOf(win(), &checked).value(0),
                                 win()->mnuFileHistory[1]->text()}) {
        EXPECT_TRUE(shown.contains(u'…') && shown.endsWith(u"い名前.html"_s)) << visible(shown);
        EXPECT_LT(menuFont.horizontalAdvance(shown), 640);
    }
}

// Many windows tile in a grid: together they cover the area once, and none is a mere strip.
TEST_F(WindowMenu, ManyWindowsTileWithRoomForEach)
{
    for (int i = 0; i < 24; ++i)
        app->frame().NewWindow(QString());
    for (Step item : {Stack, SideBySide}) {
        SCOPED_TRACE(item);
        apply(item);
        const QList<QRect> tiles = cells();
        ASSERT_EQ(tiles.size(), 27);
        qint64 covered = 0;
        for (qsizetype i = 0; i < tiles.size(); ++i) {
            EXPECT_TRUE(area().contains(tiles[i]));
            EXPECT_GE(tiles[i].width(), area().width() / 8);
            EXPECT_GE(tiles[i].height(), area().height() / 8);
            covered += qint64(tiles[i].width()) * tiles[i].height();
            for (qsizetype j = 0; j < i; ++j)
                EXPECT_FALSE(tiles[i].intersects(tiles[j])) << i << " " << j;
        }
        EXPECT_EQ(covered, qint64(area().width()) * area().height());
    }
}

TEST_F(WindowMenu, ListsEveryWindowAndTheFrameNamesTheActiveOne)
{
    QString checked;
    EXPECT_EQ(windowListOf(win(), &checked),
              (QStringList{u"&1 無題1"_s, u"&2 無題2"_s, u"&3 無題3"_s}));
    EXPECT_EQ(checked, u"&3 無題3"_s);
    // A renamed window is named by its new name; choosing an entry activates its window.
    const QString target = app->pagePath(u"R&D.html"_s);
    app->dialogs.willChoose({target});
    app->click(win()->mnuFile[6]);
    EXPECT_EQ(app->frame().windowTitle(), u"Scrivlet - [%1]"_s.arg(target));
    windowListOf(win(), &checked);
    win()->findChild<QMenu *>(u"mnuWindowMenu"_s)->actions()[6]->trigger();
    EXPECT_EQ(win(), app->windows()[0]);
    const QStringList list = windowListOf(win(), &checked);
    EXPECT_EQ(list.last(), u"&3 "_s + QString(target).replace(u'&', u"&&"_s));
    EXPECT_EQ(checked, u"&1 無題1"_s);
    // The tab of a window that just closed leads nowhere.
    const QString gone = win()->Tag();
    app->closeActive();
    clickTab(1);
    app->frame().showDocument(gone);
    EXPECT_EQ(win(), app->windows()[1]);
    app->click(win()->mnuFile[3]);
    ASSERT_TRUE(app->windows().isEmpty());
    EXPECT_EQ(app->frame().windowTitle(), u"Scrivlet"_s);
}

TEST_F(WindowMenu, TheEmptyAreaShowsTheFileMenuOnARightClickAndOpensOnADoubleClick)
{
    for (bool documents : {false, true}) {
        SCOPED_TRACE(documents);
        fresh();
        start(documents ? QStringList() : QStringList{u"/O"_s});
        if (documents)
            apply(MinimizeAll); // bare the area above the icons
        QWidget *area = documentArea();
        auto *fileMenu =
            app->frame().findChild<QMenu *>(u"mnuFileMenu"_s, Qt::FindDirectChildrenOnly);
        ASSERT_NE(fileMenu, nullptr);
        QTest::mousePress(area, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
        EXPECT_TRUE(fileMenu->isVisible());
        EXPECT_TRUE(fileMenu->actions().contains(app->frame().mnuFileExit));
        fileMenu->hide();
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        EXPECT_FALSE(fileMenu->isVisible()) << "only the right button";
        QTest::mouseDClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        ASSERT_EQ(app->dialogs.requests.size(), 1);
        EXPECT_EQ(app->dialogs.requests[0].title, u"開く"_s);
    }
}

// A right click on the text hides the completion list and shows the Edit menu, recomputed; the
// Edit states with nothing selected are the toolbar suite's.
TEST_F(WindowMenu, TheContextMenuIsTheEditMenuAndANewCompletionListStartsAtItsTop)
{
    setText(u"\r\n</BODY>"_s);
    PopupListWidget *list = win()->view()->popupList();
    app->type(u"<ta"_s);
    ASSERT_TRUE(list->isVisible());
    ASSERT_GT(list->verticalScrollBar()->value(), 0) << "the tag list scrolled to <table>";
    app->type(u" "_s);
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->item(0)->text(), u"border=\"\""_s);
    EXPECT_EQ(list->verticalScrollBar()->value(), 0);
    EXPECT_EQ(list->selectedItems().size(), 0);
    select(0, 2);
    QTest::mousePress(win()->textEdit()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QMenu *menu = win()->editMenu();
    EXPECT_TRUE(menu->isVisible());
    // The press stays with the text: the frame's own File menu, the empty area's, must not open
    // over the Edit menu.
    EXPECT_EQ(QApplication::activePopupWidget(), menu);
    EXPECT_FALSE(list->isVisible());
    for (int i : {0, 3, 4, 6, 7}) // Undo the typing, Cut, Copy, Delete, Select all
        EXPECT_TRUE(win()->mnuEdit[i]->isEnabled()) << i;
    EXPECT_FALSE(win()->mnuEdit[1]->isEnabled());
    EXPECT_EQ(menu->actions().size(), 17) << "the whole Edit menu with its submenus";
    menu->hide();
}

} // namespace
} // namespace scrivlet::test
