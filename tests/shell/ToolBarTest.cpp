// The toolbar as a user meets it: its buttons, when they can be pressed, and what they run.

#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include <functional>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

// Every key in its position; "-" for the separators.
const QStringList kLayout = {
    u"FileNew"_s,   u"FileOpen"_s, u"FileUpdate"_s,  u"-"_s,        u"EditCut"_s,  u"EditCopy"_s,
    u"EditPaste"_s, u"EditFind"_s, u"-"_s,           u"EditUndo"_s, u"EditRedo"_s, u"-"_s,
    u"ToolIE"_s,    u"ToolNN"_s,   u"ToolBrowser"_s, u"-"_s,        u"HelpIndex"_s};

// The buttons that act on the active document window.
const QStringList kDocumentButtons = {
    u"FileUpdate"_s, u"EditCut"_s,  u"EditCopy"_s, u"EditPaste"_s, u"EditFind"_s,
    u"EditUndo"_s,   u"EditRedo"_s, u"ToolIE"_s,   u"ToolNN"_s,    u"ToolBrowser"_s};

QToolBar *toolBar(AppDriver &app)
{
    return app.frame().findChild<QToolBar *>(u"tlbToolBar"_s);
}

QAction *button(AppDriver &app, const QString &key)
{
    for (QAction *action : toolBar(app)->actions()) {
        if (action->objectName() == key)
            return action;
    }
    return nullptr;
}

// A click with the mouse on the button's widget, as the user makes it.
void press(AppDriver &app, const QString &key)
{
    QWidget *widget = toolBar(app)->widgetForAction(button(app, key));
    ASSERT_NE(widget, nullptr) << key.toStdString();
    QTest::mouseClick(widget, Qt::LeftButton);
}

// The document buttons that can be pressed, in toolbar order.
QString enabledButtons(AppDriver &app)
{
    QStringList on;
    for (const QString &key : kDocumentButtons) {
        if (button(app, key)->isEnabled())
            on.append(key);
    }
    return on.join(u' ');
}

void select(AppDriver &app, int start, int length)
{
    app.active()->control().setSelStart(start);
    app.active()->control().setSelLength(length);
}

void openEditMenu(AppDriver &app)
{
    QMenu *menu = app.active()->editMenu();
    menu->popup(QPoint(0, 0));
    menu->hide();
}

TEST(ToolBar, SeventeenPositionsWithImagesAndNoCaptions)
{
    AppDriver app;
    app.start();
    QStringList layout;
    for (QAction *action : toolBar(app)->actions()) {
        layout.append(action->isSeparator() ? u"-"_s : action->objectName());
        if (action->isSeparator())
            continue;
        SCOPED_TRACE(action->objectName().toStdString());
        EXPECT_TRUE(action->text().isEmpty());
        EXPECT_TRUE(action->toolTip().isEmpty());
        const QIcon icon = action->icon();
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.pixmap(16, 16).size(), QSize(16, 16));
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        // Drawn, not blank: some pixels are opaque and some are not.
        const QImage image = icon.pixmap(16, 16).toImage();
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128;
        EXPECT_GT(opaque, 20);
        EXPECT_LT(opaque, 256);
    }
    EXPECT_EQ(layout, kLayout);
    EXPECT_EQ(button(app, u"Seperator4"_s)->isSeparator(), true);
}

struct StateCase
{
    const char *name;
    QString clipboard;
    std::function<void(AppDriver &)> steps;
    QString expected;
};

TEST(ToolBar, EnabledStatesFollowTheDocument)
{
    const QString always = u"FileUpdate EditFind ToolIE ToolNN ToolBrowser"_s;
    auto with = [](const QString &buttons, const QString &base) {
        QStringList keys = base.split(u' ') + buttons.split(u' ', Qt::SkipEmptyParts);
        QStringList ordered;
        for (const QString &key : kDocumentButtons) {
            if (keys.contains(key))
                ordered.append(key);
        }
        return ordered.join(u' ');
    };
    const QList<StateCase> cases = {
        {"freshly loaded", QString(), [](AppDriver &) {}, with({}, always)},
        {"loaded, text on the clipboard", u"x"_s, [](AppDriver &) {}, with(u"EditPaste"_s, always)},
        {"typed", QString(), [](AppDriver &a) { a.type(u"ab"_s); }, with(u"EditUndo"_s, always)},
        {"typed, undone", QString(),
         [](AppDriver &a) {
             a.type(u"a"_s);
             press(a, u"EditUndo"_s);
         },
         with(u"EditRedo"_s, always)},
        {"typed, undone, redone", QString(),
         [](AppDriver &a) {
             a.type(u"a"_s);
             press(a, u"EditUndo"_s);
             press(a, u"EditRedo"_s);
         },
         with(u"EditUndo"_s, always)},
        {"a selection alone changes nothing", QString(), [](AppDriver &a) { select(a, 0, 3); },
         with({}, always)},
        {"a selection, then the Edit menu", QString(),
         [](AppDriver &a) {
             select(a, 0, 3);
             openEditMenu(a);
         },
         with(u"EditCut EditCopy"_s, always)},
        {"a selection, then another window and back", QString(),
         [](AppDriver &a) {
             select(a, 0, 3);
             frmEdit *first = a.active();
             a.frame().NewWindow(QString());
             a.frame().showDocument(first->Tag());
         },
         with(u"EditCut EditCopy"_s, always)},
        {"emptied, then the Edit menu", u"x"_s,
         [](AppDriver &a) {
             a.active()->control().setText(QString());
             openEditMenu(a);
         },
         with(u"EditPaste EditUndo"_s, always)},
    };
    for (const StateCase &c : cases) {
        SCOPED_TRACE(c.name);
        AppDriver app;
        app.clipboard.content = c.clipboard;
        app.start();
        c.steps(app);
        EXPECT_EQ(enabledButtons(app), c.expected);
    }
}

TEST(ToolBar, EmptyDocumentDisablesTheSelectionItems)
{
    AppDriver app;
    app.start();
    frmEdit *win = app.active();
    win->control().setText(QString());
    openEditMenu(app);
    for (int i : {3, 4, 6, 7})
        EXPECT_FALSE(win->mnuEdit[i]->isEnabled()) << i;
    EXPECT_TRUE(win->mnuEdit[9]->isEnabled());
}

// What a button changes: the text and the clipboard.
QString observe(AppDriver &app)
{
    return app.active()->control().Text() + u'|' + app.clipboard.content;
}

TEST(ToolBar, TestedButtonsRunOnlyWhileTheirEditItemIsEnabled)
{
    const QList<std::pair<QString, int>> buttons = {{u"EditCut"_s, 3},
                                                    {u"EditCopy"_s, 4},
                                                    {u"EditPaste"_s, 5},
                                                    {u"EditUndo"_s, 0},
                                                    {u"EditRedo"_s, 1}};
    for (const auto &[key, item] : buttons) {
        SCOPED_TRACE(key.toStdString());
        AppDriver app;
        app.clipboard.content = u"Z"_s;
        app.start();
        app.active()->control().setText(QString());
        app.type(u"abc"_s);
        if (key == u"EditRedo")
            press(app, u"EditUndo"_s);
        select(app, 1, 1);
        openEditMenu(app);
        ASSERT_TRUE(button(app, key)->isEnabled());

        const QString before = observe(app);
        app.active()->mnuEdit[item]->setEnabled(false);
        press(app, key);
        EXPECT_EQ(observe(app), before) << "the item is disabled";

        app.active()->mnuEdit[item]->setEnabled(true);
        press(app, key);
        EXPECT_NE(observe(app), before) << "the item is enabled";
    }
}

TEST(ToolBar, FileButtonsReachTheirCommands)
{
    AppDriver app;
    app.start();
    press(app, u"FileNew"_s);
    EXPECT_EQ(app.captions(), (QStringList{u"無題1"_s, u"無題2"_s}));

    const QString page = app.writePage(u"p.html"_s, u"P"_s);
    app.dialogs.willChoose({page});
    press(app, u"FileOpen"_s);
    EXPECT_EQ(app.captions().last(), page);

    app.type(u"!"_s);
    press(app, u"FileUpdate"_s);
    EXPECT_EQ(app.readPage(u"p.html"_s), QByteArray("!P"));
}

TEST(ToolBar, ToolAndHelpButtonsRunTheMenuItems)
{
    AppDriver app;
    app.start();
    const QList<std::pair<QString, QAction *>> buttons = {
        {u"ToolIE"_s, app.active()->mnuTool[0]},
        {u"ToolNN"_s, app.active()->mnuTool[1]},
        {u"ToolBrowser"_s, app.active()->mnuTool[2]},
        {u"HelpIndex"_s, app.frame().mnuHelp[0]}};
    for (const auto &[key, item] : buttons) {
        SCOPED_TRACE(key.toStdString());
        QSignalSpy ran(item, &QAction::triggered);
        press(app, key);
        EXPECT_EQ(ran.count(), 1);
    }
}

TEST(ToolBar, WithNoDocumentOnlyNewAndOpenWork)
{
    AppDriver app;
    app.start({u"/O"_s});
    ASSERT_TRUE(app.windows().isEmpty());
    EXPECT_EQ(enabledButtons(app), QString()) << "nothing to act on";
    for (const QString &key : kDocumentButtons + QStringList{u"Separator1"_s, u"NoSuchKey"_s}) {
        SCOPED_TRACE(key.toStdString());
        app.frame().tlbToolBar_ButtonClick(key);
        EXPECT_TRUE(app.windows().isEmpty());
        EXPECT_TRUE(app.dialogs.requests.isEmpty());
        EXPECT_TRUE(app.messages.shown.isEmpty());
    }

    app.dialogs.willCancel();
    press(app, u"FileOpen"_s);
    EXPECT_EQ(app.dialogs.requests.size(), 1);
    EXPECT_TRUE(app.windows().isEmpty());
    press(app, u"FileNew"_s);
    EXPECT_EQ(app.windows().size(), 1);
    EXPECT_EQ(enabledButtons(app), u"FileUpdate EditFind ToolIE ToolNN ToolBrowser"_s);

    app.closeActive();
    EXPECT_EQ(enabledButtons(app), QString()) << "the last window closed";
}

} // namespace
} // namespace scrivlet::test
