// The toolbar as a user meets it: its buttons, when they can be pressed, and what they run.

#include "tests/shell/FrameFixture.h"

#include <QIcon>
#include <QSignalSpy>
#include <QToolBar>

namespace scrivlet::test {
namespace {

QStringList keys(const char *spaced)
{
    return QString::fromLatin1(spaced).split(u' ', Qt::SkipEmptyParts);
}
// The buttons that act on the active document window: some always can be pressed while there
// is one, the others follow its state.
const QStringList kAlways = keys("FileUpdate EditFind ToolIE ToolNN ToolBrowser");
const QStringList kFollowing = keys("EditCut EditCopy EditPaste EditUndo EditRedo");

class ToolBar : public Frame
{
protected:
    QToolBar *toolBar() { return child<QToolBar>(u"tlbToolBar"_s); }
    QAction *button(const QString &key) { return toolBar()->findChild<QAction *>(key); }
    // A click with the mouse on the button's widget, as the user makes it.
    void press(const QString &key)
    {
        QWidget *widget = toolBar()->widgetForAction(button(key));
        ASSERT_NE(widget, nullptr) << key.toStdString();
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    // Those of the keys whose buttons can be pressed, in the order given.
    QStringList enabled(const QStringList &among)
    {
        QStringList on;
        for (const QString &key : among) {
            if (button(key)->isEnabled())
                on.append(key);
        }
        return on;
    }
};

TEST_F(ToolBar, SeventeenPositionsWithImagesAndNoCaptions)
{
    start();
    QStringList layout;
    for (QAction *action : toolBar()->actions()) {
        layout.append(action->isSeparator() ? u"-"_s : action->objectName());
        if (action->isSeparator())
            continue;
        SCOPED_TRACE(action->objectName().toStdString());
        EXPECT_TRUE(action->text().isEmpty() && action->toolTip().isEmpty());
        const QIcon icon = action->icon();
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        const QImage image = icon.pixmap(16, 16).toImage();
        EXPECT_EQ(image.size(), QSize(16, 16));
        // Drawn, not blank: some pixels are opaque and some are not.
        int opaque = 0;
        for (int i = 0; i < 256; ++i)
            opaque += qAlpha(image.pixel(i % 16, i / 16)) > 128;
        EXPECT_TRUE(opaque > 20 && opaque < 256) << opaque;
    }
    EXPECT_EQ(layout, keys("FileNew FileOpen FileUpdate - EditCut EditCopy EditPaste EditFind - "
                           "EditUndo EditRedo - ToolIE ToolNN ToolBrowser - HelpIndex"));
    EXPECT_TRUE(button(u"Seperator4"_s)->isSeparator());
}

TEST_F(ToolBar, EnabledStatesFollowTheDocument)
{
    enum Do { Type, Undo, Redo, Select, EditMenu, AwayAndBack, Empty };
    // What was done, with text on the clipboard or not, and the following buttons then enabled.
    const std::tuple<const char *, bool, QList<Do>, const char *> rows[] = {
        {"freshly loaded", false, {}, ""},
        {"loaded, text on the clipboard", true, {}, "EditPaste"},
        {"typed", false, {Type}, "EditUndo"},
        {"typed, undone", false, {Type, Undo}, "EditRedo"},
        {"typed, undone, redone", false, {Type, Undo, Redo}, "EditUndo"},
        {"a selection alone changes nothing", false, {Select}, ""},
        {"a selection, then the Edit menu", false, {Select, EditMenu}, "EditCut EditCopy"},
        {"a selection, another window, back", false, {Select, AwayAndBack}, "EditCut EditCopy"},
        {"emptied, then the Edit menu", true, {Empty, EditMenu}, "EditPaste EditUndo"},
    };
    for (const auto &[name, clipboard, steps, on] : rows) {
        SCOPED_TRACE(name);
        fresh();
        app->clipboard.content = clipboard ? u"x"_s : QString();
        start();
        frmEdit *first = win();
        for (Do step : steps) {
            if (step == Type)
                app->type(u"a"_s);
            else if (step == Undo || step == Redo)
                press(step == Undo ? u"EditUndo"_s : u"EditRedo"_s);
            else if (step == Select)
                select(0, 3);
            else if (step == EditMenu)
                openMenu(first->editMenu());
            else if (step == Empty)
                first->control().setText(QString());
            else if (step == AwayAndBack) {
                app->frame().NewWindow(QString());
                app->frame().showDocument(first->Tag());
            }
        }
        EXPECT_EQ(enabled(kFollowing), keys(on));
        EXPECT_EQ(enabled(kAlways), kAlways);
        if (steps.contains(Empty)) { // nothing to select in an empty document
            for (int i : {3, 4, 6, 7})
                EXPECT_FALSE(first->mnuEdit[i]->isEnabled()) << i;
            EXPECT_TRUE(first->mnuEdit[9]->isEnabled());
        }
    }
}

TEST_F(ToolBar, TestedButtonsRunOnlyWhileTheirEditItemIsEnabled)
{
    const std::pair<const char *, int> buttons[] = {
        {"EditCut", 3}, {"EditCopy", 4}, {"EditPaste", 5}, {"EditUndo", 0}, {"EditRedo", 1}};
    for (const auto &[name, item] : buttons) {
        SCOPED_TRACE(name);
        const QString key = QString::fromLatin1(name);
        fresh();
        app->clipboard.content = u"Z"_s;
        start();
        win()->control().setText(QString());
        app->type(u"abc"_s);
        if (key == u"EditRedo")
            press(u"EditUndo"_s);
        select(1, 1);
        openMenu(win()->editMenu());
        ASSERT_TRUE(button(key)->isEnabled());
        // What a button changes: the text and the clipboard.
        const auto observe = [&] {
            return win()->control().Text() + u'|' + app->clipboard.content;
        };
        const QString before = observe();
        win()->mnuEdit[item]->setEnabled(false);
        press(key);
        EXPECT_EQ(observe(), before) << "the item is disabled";
        win()->mnuEdit[item]->setEnabled(true);
        press(key);
        EXPECT_NE(observe(), before) << "the item is enabled";
    }
}

TEST_F(ToolBar, EachButtonReachesItsCommand)
{
    start();
    const std::pair<QString, QAction *> items[] = {{u"ToolIE"_s, win()->mnuTool[0]},
                                                   {u"ToolNN"_s, win()->mnuTool[1]},
                                                   {u"ToolBrowser"_s, win()->mnuTool[2]},
                                                   {u"HelpIndex"_s, app->frame().mnuHelp[0]}};
    for (const auto &[key, item] : items) {
        QSignalSpy ran(item, &QAction::triggered);
        press(key);
        EXPECT_EQ(ran.count(), 1) << key.toStdString();
    }
    press(u"FileNew"_s);
    EXPECT_EQ(app->captions(), (QStringList{u"無題1"_s, u"無題2"_s}));
    const QString page = app->writePage(u"p.html"_s, u"P"_s);
    app->dialogs.willChoose({page});
    press(u"FileOpen"_s);
    EXPECT_EQ(app->captions().last(), page);
    app->type(u"!"_s);
    press(u"FileUpdate"_s);
    EXPECT_EQ(app->readPage(u"p.html"_s), QByteArray("!P"));
}

TEST_F(ToolBar, WithNoDocumentOnlyNewAndOpenWork)
{
    start({u"/O"_s});
    ASSERT_TRUE(app->windows().isEmpty());
    EXPECT_EQ(enabled(kAlways + kFollowing), QStringList()) << "nothing to act on";
    for (const QString &key : kAlways + kFollowing + keys("Separator1 NoSuchKey")) {
        app->frame().tlbToolBar_ButtonClick(key);
        EXPECT_TRUE(app->windows().isEmpty()) << key.toStdString();
    }
    EXPECT_TRUE(app->dialogs.requests.isEmpty() && app->messages.shown.isEmpty());
    app->dialogs.willCancel();
    press(u"FileOpen"_s);
    EXPECT_EQ(app->dialogs.requests.size(), 1);
    EXPECT_TRUE(app->windows().isEmpty());
    press(u"FileNew"_s);
    EXPECT_EQ(app->windows().size(), 1);
    EXPECT_EQ(enabled(kAlways + kFollowing), kAlways);
    app->closeActive();
    EXPECT_EQ(enabled(kAlways + kFollowing), QStringList()) << "the last window closed";
}

} // namespace
} // namespace scrivlet::test
