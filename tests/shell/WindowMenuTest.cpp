// The Window menu, the tab strip, the frame's empty area and the text's context menu, through
// the real windows: whatever the user does to the document windows, each stays in reach.

#include "document/DocumentView.h"
#include "document/PopupListWidget.h"
#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

QMdiSubWindow *holder(frmEdit *window)
{
    return qobject_cast<QMdiSubWindow *>(window->parentWidget());
}

QTabBar *tabBar(AppDriver &app)
{
    return app.frame().findChild<QTabBar *>(u"tabSelectBar"_s);
}

QWidget *documentArea(AppDriver &app)
{
    return app.frame().findChild<QMdiArea *>(u"mdiArea"_s)->viewport();
}

void clickTab(AppDriver &app, int index)
{
    QTest::mouseClick(tabBar(app), Qt::LeftButton, Qt::NoModifier,
                      tabBar(app)->tabRect(index).center());
}

QMenu *windowMenu(frmEdit *window)
{
    for (QMenu *menu : window->menus()) {
        if (menu->objectName() == u"mnuWindowMenu")
            return menu;
    }
    return nullptr;
}

// The Window menu's entries below its five items and their separator, as the menu shows them
// when it opens; checked receives the entry with the check.
QStringList windowListOf(frmEdit *window, QString *checked)
{
    QMenu *menu = windowMenu(window);
    menu->popup(QPoint(0, 0));
    menu->hide();
    QStringList out;
    const QList<QAction *> actions = menu->actions();
    for (qsizetype i = 6; i < actions.size(); ++i) {
        out.append(actions[i]->text());
        if (actions[i]->isChecked())
            *checked = actions[i]->text();
    }
    return out;
}

class WindowMenu : public ::testing::Test
{
protected:
    AppDriver app;
    void SetUp() override
    {
        app.start();
        app.frame().NewWindow(QString());
        app.frame().NewWindow(QString());
    }
    QList<frmEdit *> wins() { return app.windows(); }
    QRect area() { return documentArea(app)->rect(); }
};

// What the user does to the windows: the five items of the Window menu, in their order, or a
// button on the active window's title bar.
enum Step { Cascade, Stack, SideBySide, MinimizeAll, LineUp, Restore, Minimize, Maximize };

void apply(AppDriver &app, Step step)
{
    QMdiSubWindow *sub = holder(app.active());
    if (step == Restore)
        sub->showNormal();
    else if (step == Minimize)
        sub->showMinimized();
    else if (step == Maximize)
        sub->showMaximized();
    else
        app.click(app.active()->mnuWindow[step]);
}

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
        AppDriver fresh;
        fresh.start();
        fresh.frame().NewWindow(QString());
        fresh.frame().NewWindow(QString());
        for (Step step : steps)
            apply(fresh, step);
        const QRect room = documentArea(fresh)->rect();
        for (int i : {0, 2, 1}) {
            SCOPED_TRACE(i);
            frmEdit *window = fresh.windows()[i];
            clickTab(fresh, i);
            ASSERT_EQ(fresh.active(), window);
            QMdiSubWindow *sub = holder(window);
            EXPECT_TRUE(sub->isVisible());
            EXPECT_FALSE(sub->isMinimized());
            EXPECT_TRUE(room.contains(sub->geometry()));
            EXPECT_GE(window->height(), room.height() / 4) << "room for the text";
            EXPECT_EQ(tabBar(fresh)->currentIndex(), i);
            EXPECT_EQ(holder(window)->windowTitle(), window->windowTitle());
            EXPECT_EQ(fresh.frame().windowTitle(), u"Scrivlet - [%1]"_s.arg(window->windowTitle()));
        }
    }
}

// Whether the rectangles, taken in order, cover the area exactly along one axis.
bool coverInOrder(const QList<QRect> &cells, const QRect &area, Qt::Orientation along)
{
    int next = along == Qt::Vertical ? area.top() : area.left();
    for (const QRect &cell : cells) {
        if (along == Qt::Vertical) {
            if (cell.top() != next || cell.left() != area.left() || cell.width() != area.width())
                return false;
            next = cell.bottom() + 1;
        } else {
            if (cell.left() != next || cell.top() != area.top() || cell.height() != area.height())
                return false;
            next = cell.right() + 1;
        }
    }
    return next == (along == Qt::Vertical ? area.bottom() + 1 : area.right() + 1);
}

TEST_F(WindowMenu, TilingSharesTheAreaInOpeningOrder)
{
    const QList<std::pair<int, Qt::Orientation>> cases = {{1, Qt::Vertical}, {2, Qt::Horizontal}};
    for (const auto &[index, along] : cases) {
        SCOPED_TRACE(index);
        app.click(app.active()->mnuWindow[index]);
        QList<QRect> cells;
        for (frmEdit *w : wins()) {
            EXPECT_FALSE(holder(w)->isMaximized());
            cells.append(holder(w)->geometry());
        }
        EXPECT_TRUE(coverInOrder(cells, area(), along)) << index;
        EXPECT_EQ(app.active(), wins()[2]) << "the active window stays active";
        app.click(app.active()->mnuWindow[4]);
        QList<QRect> after;
        for (frmEdit *w : wins())
            after.append(holder(w)->geometry());
        EXPECT_EQ(after, cells) << "lining up icons with none minimized changes nothing";
        holder(app.active())->showMaximized();
    }
}

TEST_F(WindowMenu, CascadeStepsDownWithTheActiveWindowInFront)
{
    clickTab(app, 0);
    app.click(app.active()->mnuWindow[0]);
    // Front to back as the area stacks them: the active window last.
    const QList<QMdiSubWindow *> stacked =
        app.frame().findChild<QMdiArea *>(u"mdiArea"_s)->subWindowList(QMdiArea::StackingOrder);
    ASSERT_EQ(stacked.size(), 3);
    EXPECT_EQ(stacked.last(), holder(wins()[0]));
    QPoint previous(-1, -1);
    for (QMdiSubWindow *sub : stacked) {
        EXPECT_FALSE(sub->isMaximized());
        EXPECT_GT(sub->x(), previous.x());
        EXPECT_GT(sub->y(), previous.y());
        EXPECT_TRUE(area().contains(sub->geometry()));
        EXPECT_GE(sub->width(), area().width() / 2);
        previous = sub->pos();
    }
}

TEST_F(WindowMenu, MinimizeAllLeavesTheFrameAndDialogsAlone)
{
    QDialog dialog(&app.frame());
    dialog.setObjectName(u"frmFind"_s);
    dialog.show();
    app.click(app.active()->mnuWindow[3]);
    for (frmEdit *w : wins())
        EXPECT_TRUE(holder(w)->isMinimized());
    EXPECT_FALSE(app.frame().isMinimized());
    EXPECT_FALSE(dialog.isMinimized());
    EXPECT_TRUE(dialog.isVisible());

    // Lined up from the bottom left in opening order, none over another.
    app.click(app.active()->mnuWindow[4]);
    int left = area().left();
    for (frmEdit *w : wins()) {
        const QRect icon = holder(w)->geometry();
        EXPECT_EQ(icon.bottom(), area().bottom());
        EXPECT_EQ(icon.left(), left);
        left = icon.right() + 1;
    }
}

TEST_F(WindowMenu, ListsEveryWindowWithACheckAtTheActiveOne)
{
    QString checked;
    EXPECT_EQ(windowListOf(app.active(), &checked),
              (QStringList{u"&1 無題1"_s, u"&2 無題2"_s, u"&3 無題3"_s}));
    EXPECT_EQ(checked, u"&3 無題3"_s);

    // Choosing an entry activates its window; a renamed window is listed by its new name.
    const QString target = app.pagePath(u"R&D.html"_s);
    app.dialogs.willChoose({target});
    app.click(app.active()->mnuFile[6]);
    windowListOf(app.active(), &checked);
    windowMenu(app.active())->actions()[6]->trigger();
    EXPECT_EQ(app.active(), wins()[0]);
    const QStringList list = windowListOf(app.active(), &checked);
    EXPECT_EQ(list.last(), u"&3 "_s + QString(target).replace(u'&', u"&&"_s));
    EXPECT_EQ(checked, u"&1 無題1"_s);
}

TEST_F(WindowMenu, TheFrameNamesTheActiveDocumentInEveryState)
{
    app.click(app.active()->mnuWindow[2]);
    EXPECT_EQ(app.frame().windowTitle(), u"Scrivlet - [無題3]"_s);
    const QString target = app.pagePath(u"t.html"_s);
    app.dialogs.willChoose({target});
    app.click(app.active()->mnuFile[6]);
    EXPECT_EQ(app.frame().windowTitle(), u"Scrivlet - [%1]"_s.arg(target));
    holder(app.active())->showMaximized();
    holder(app.active())->showNormal();
    EXPECT_EQ(app.frame().windowTitle(), u"Scrivlet - [%1]"_s.arg(target));
    app.click(app.active()->mnuFile[3]);
    ASSERT_TRUE(app.windows().isEmpty());
    EXPECT_EQ(app.frame().windowTitle(), u"Scrivlet"_s);
}

TEST(Tabs, TwoWindowsOnOneFileHaveTwoTabsEachActivatingItsOwn)
{
    AppDriver app;
    const QString page = app.writePage(u"same.html"_s, u"S"_s);
    app.start({page, page});
    const QList<frmEdit *> wins = app.windows();
    ASSERT_EQ(wins.size(), 2);
    EXPECT_EQ(app.tabs(), (QStringList{u"same.html"_s, u"same.html"_s}));
    EXPECT_NE(wins[0]->Tag(), wins[1]->Tag());
    for (int i : {0, 1, 0}) {
        clickTab(app, i);
        EXPECT_EQ(app.active(), wins[i]) << i;
    }

    // The tab of a window that just closed leads nowhere.
    const QString gone = wins[1]->Tag();
    clickTab(app, 1);
    app.closeActive();
    clickTab(app, 0);
    app.frame().showDocument(gone);
    EXPECT_EQ(app.active(), wins[0]);
    EXPECT_EQ(app.tabs(), QStringList{u"same.html"_s});
}

TEST(FrameArea, RightClickShowsTheFileMenuAndDoubleClickOpens)
{
    for (bool documents : {false, true}) {
        SCOPED_TRACE(documents);
        AppDriver app;
        app.start(documents ? QStringList() : QStringList{u"/O"_s});
        if (documents)
            app.click(app.active()->mnuWindow[3]); // bare the area above the icons
        QWidget *area = documentArea(app);
        QMenu *fileMenu =
            app.frame().findChild<QMenu *>(u"mnuFileMenu"_s, Qt::FindDirectChildrenOnly);
        ASSERT_NE(fileMenu, nullptr);
        QTest::mousePress(area, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
        EXPECT_TRUE(fileMenu->isVisible());
        EXPECT_TRUE(fileMenu->actions().contains(app.frame().mnuFileExit));
        fileMenu->hide();
        QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        EXPECT_FALSE(fileMenu->isVisible()) << "only the right button";

        app.dialogs.willCancel();
        QTest::mouseDClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        ASSERT_EQ(app.dialogs.requests.size(), 1);
        EXPECT_EQ(app.dialogs.requests[0].title, u"開く"_s);
    }
}

TEST(ContextMenu, TheEditMenuOpensRecomputedWithTheListHidden)
{
    struct Case
    {
        const char *name;
        int selLength;
        bool selection; // Cut, Copy and Delete
    };
    for (const Case &c : {Case{"no selection", 0, false}, Case{"a selection", 2, true}}) {
        SCOPED_TRACE(c.name);
        AppDriver app;
        app.start();
        frmEdit *win = app.active();
        app.type(u"<"_s);
        PopupListWidget *list = win->view()->popupList();
        ASSERT_TRUE(list->isVisible());
        win->control().setSelStart(0);
        win->control().setSelLength(c.selLength);

        QTest::mousePress(win->textEdit()->viewport(), Qt::RightButton, Qt::NoModifier,
                          QPoint(5, 5));
        QMenu *menu = win->editMenu();
        EXPECT_TRUE(menu->isVisible());
        EXPECT_FALSE(list->isVisible());
        EXPECT_TRUE(win->mnuEdit[0]->isEnabled()) << "the typed \"<\" can be undone";
        EXPECT_FALSE(win->mnuEdit[1]->isEnabled());
        for (int i : {3, 4, 6})
            EXPECT_EQ(win->mnuEdit[i]->isEnabled(), c.selection) << i;
        EXPECT_TRUE(win->mnuEdit[7]->isEnabled());
        EXPECT_EQ(menu->actions().size(), 17) << "the whole Edit menu with its submenus";
        menu->hide();
    }
}

TEST(CompletionList, ANewListShowsItsFirstRowAtTheTopWithNoneSelected)
{
    AppDriver app;
    app.start();
    frmEdit *win = app.active();
    win->control().setText(u"\r\n</BODY>"_s);
    win->control().setSelStart(0);
    PopupListWidget *list = win->view()->popupList();
    app.type(u"<ta"_s);
    ASSERT_TRUE(list->isVisible());
    ASSERT_GT(list->verticalScrollBar()->value(), 0) << "the tag list scrolled to <table>";
    app.type(u" "_s);
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->item(0)->text(), u"border=\"\""_s);
    EXPECT_EQ(list->verticalScrollBar()->value(), 0);
    EXPECT_EQ(list->indexAt(QPoint(2, 2)).row(), 0);
    EXPECT_EQ(list->selectedItems().size(), 0);
}

} // namespace
} // namespace scrivlet::test
