// The toolbar as a user meets it: its buttons, when they can be pressed, and what they run.

#include "tests/shell/AppDriver.h"

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
    QToolBar *bar() { return child<QToolBar>(u"tlbToolBar"_s); }
    QAction *button(const QString &key) { return bar()->findChild<QAction *>(key); }
    // A click with the mouse on the button's widget, as the user makes it.
    void press(const QString &key)
    {
        QTest::mouseClick(bar()->widgetForAction(button(key)), Qt::LeftButton);
    }
    // Those of the keys whose buttons can be pressed, in the order given.
    QStringList enabled(const QStringList &among = kAlways + kFollowing)
    {
        QStringList on = among;
        on.removeIf([this](const QString &key) { return !button(key)->isEnabled(); });
        return on;
    }
};

TEST_F(ToolBar, SeventeenPositionsWithImagesAndNoCaptions)
{
    start();
    QStringList layout;
    for (QAction *action : bar()->actions()) {
        layout.append(action->isSeparator() ? u"-"_s : action->objectName());
        if (action->isSeparator())
            continue;
        SCOPED_TRACE(action->objectName().toStdString());
        EXPECT_TRUE(action->text().isEmpty() && action->toolTip().isEmpty());
        EXPECT_EQ(action->icon().availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        const QImage image = action->icon().pixmap(16, 16).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16));
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
        if (steps.contains(EditMenu)) {
            EXPECT_EQ(first->mnuEdit[5]->isEnabled(), clipboard) << "Paste";
        }
        if (steps.contains(Empty)) { // nothing to select in an empty document
            for (int i : {3, 4, 6, 7})
                EXPECT_FALSE(first->mnuEdit[i]->isEnabled()) << i;
            EXPECT_TRUE(first->mnuEdit[9]->isEnabled());
        }
    }
    // A page that could not be read leaves an empty window with nothing to undo either, though
    // its message box ran the event loop while the window was half made.
    fresh();
    app->messages.whileShown = [] {
        QTest::qWait(20);
    };
    ASSERT_TRUE(QDir().mkpath(app->pagePath(u"dir.html"_s)));
    start({app->pagePath(u"dir.html"_s)});
    EXPECT_EQ(app->messages.shown.size(), 1);
    EXPECT_EQ(enabled(kFollowing), keys(""));
}

// Each of the five runs only while its Edit item is enabled: pressed with the item disabled it
// changes neither the text nor the clipboard, with the item enabled it does.
TEST_F(ToolBar, TestedButtonsRunOnlyWhileTheirEditItemIsEnabled)
{
    app->clipboard.content = u"Z"_s;
    start();
    control().setText(QString());
    app->type(u"abc"_s);
    select(1, 1);
    const auto observe = [&] {
        return control().Text() + u'|' + app->clipboard.content;
    };
    const std::pair<const char *, int> buttons[] = {
        {"EditCopy", 4}, {"EditCut", 3}, {"EditPaste", 5}, {"EditUndo", 0}, {"EditRedo", 1}};
    for (const auto &[name, item] : buttons) {
        SCOPED_TRACE(name);
        openMenu(win()->editMenu());
        ASSERT_TRUE(button(QString::fromLatin1(name))->isEnabled());
        const QString before = observe();
        win()->mnuEdit[item]->setEnabled(false);
        press(QString::fromLatin1(name));
        EXPECT_EQ(observe(), before) << "the item is disabled";
        win()->mnuEdit[item]->setEnabled(true);
        press(QString::fromLatin1(name));
        EXPECT_NE(observe(), before) << "the item is enabled";
    }
}

// Save is pressed end to end (toolbar_save_button).
TEST_F(ToolBar, ButtonsReachTheirCommandsAndWithNoDocumentOnlyNewAndOpenWork)
{
    start({u"/O"_s});
    EXPECT_EQ(enabled(), QStringList()) << "nothing to act on";
    for (const QString &key : kAlways + kFollowing + keys("Separator1 NoSuchKey")) {
        app->frame().tlbToolBar_ButtonClick(key);
        EXPECT_TRUE(app->windows().isEmpty()) << key.toStdString();
    }
    EXPECT_TRUE(app->dialogs.requests.isEmpty() && app->messages.shown.isEmpty());
    press(u"FileOpen"_s);
    EXPECT_EQ(app->dialogs.requests.size(), 1);
    EXPECT_TRUE(app->windows().isEmpty());
    press(u"FileNew"_s);
    EXPECT_EQ(app->windows().size(), 1);
    EXPECT_EQ(enabled(), kAlways);
    const QList<QAction *> items = {win()->mnuTool[0], win()->mnuTool[1], win()->mnuTool[2],
                                    app->frame().mnuHelp[0]};
    for (int i = 0; i < items.size(); ++i) {
        QSignalSpy ran(items[i], &QAction::triggered);
        press(keys("ToolIE ToolNN ToolBrowser HelpIndex")[i]);
        EXPECT_EQ(ran.count(), 1) << i;
    }
    app->closeActive();
    EXPECT_EQ(enabled(), QStringList()) << "the last window closed";
}

} // namespace
} // namespace scrivlet::test
