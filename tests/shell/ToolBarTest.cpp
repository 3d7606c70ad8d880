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

namespace scrivlet::test {
namespace {

// Every key in its position; "-" for the separators.
const QStringList kLayout = {
    QStringLiteral("FileNew"),   QStringLiteral("FileOpen"), QStringLiteral("FileUpdate"),
    QStringLiteral("-"),         QStringLiteral("EditCut"),  QStringLiteral("EditCopy"),
    QStringLiteral("EditPaste"), QStringLiteral("EditFind"), QStringLiteral("-"),
    QStringLiteral("EditUndo"),  QStringLiteral("EditRedo"), QStringLiteral("-"),
    QStringLiteral("ToolIE"),    QStringLiteral("ToolNN"),   QStringLiteral("ToolBrowser"),
    QStringLiteral("-"),         QStringLiteral("HelpIndex")};

// The buttons that act on the active document window.
const QStringList kDocumentButtons = {QStringLiteral("FileUpdate"), QStringLiteral("EditCut"),
                                      QStringLiteral("EditCopy"),   QStringLiteral("EditPaste"),
                                      QStringLiteral("EditFind"),   QStringLiteral("EditUndo"),
                                      QStringLiteral("EditRedo"),   QStringLiteral("ToolIE"),
                                      QStringLiteral("ToolNN"),     QStringLiteral("ToolBrowser")};

QToolBar *toolBar(AppDriver &app)
{
    return app.frame().findChild<QToolBar *>(QStringLiteral("tlbToolBar"));
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
        layout.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
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
    EXPECT_EQ(button(app, QStringLiteral("Seperator4"))->isSeparator(), true);
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
    const QString always = QStringLiteral("FileUpdate EditFind ToolIE ToolNN ToolBrowser");
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
        {"loaded, text on the clipboard", QStringLiteral("x"), [](AppDriver &) {},
         with(QStringLiteral("EditPaste"), always)},
        {"typed", QString(), [](AppDriver &a) { a.type(QStringLiteral("ab")); },
         with(QStringLiteral("EditUndo"), always)},
        {"typed, undone", QString(),
         [](AppDriver &a) {
             a.type(QStringLiteral("a"));
             press(a, QStringLiteral("EditUndo"));
         },
         with(QStringLiteral("EditRedo"), always)},
        {"typed, undone, redone", QString(),
         [](AppDriver &a) {
             a.type(QStringLiteral("a"));
             press(a, QStringLiteral("EditUndo"));
             press(a, QStringLiteral("EditRedo"));
         },
         with(QStringLiteral("EditUndo"), always)},
        {"a selection alone changes nothing", QString(), [](AppDriver &a) { select(a, 0, 3); },
         with({}, always)},
        {"a selection, then the Edit menu", QString(),
         [](AppDriver &a) {
             select(a, 0, 3);
             openEditMenu(a);
         },
         with(QStringLiteral("EditCut EditCopy"), always)},
        {"a selection, then another window and back", QString(),
         [](AppDriver &a) {
             select(a, 0, 3);
             frmEdit *first = a.active();
             a.frame().NewWindow(QString());
             a.frame().showDocument(first->Tag());
         },
         with(QStringLiteral("EditCut EditCopy"), always)},
        {"emptied, then the Edit menu", QStringLiteral("x"),
         [](AppDriver &a) {
             a.active()->control().setText(QString());
             openEditMenu(a);
         },
         with(QStringLiteral("EditPaste EditUndo"), always)},
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
    const QList<std::pair<QString, int>> buttons = {{QStringLiteral("EditCut"), 3},
                                                    {QStringLiteral("EditCopy"), 4},
                                                    {QStringLiteral("EditPaste"), 5},
                                                    {QStringLiteral("EditUndo"), 0},
                                                    {QStringLiteral("EditRedo"), 1}};
    for (const auto &[key, item] : buttons) {
        SCOPED_TRACE(key.toStdString());
        AppDriver app;
        app.clipboard.content = QStringLiteral("Z");
        app.start();
        app.active()->control().setText(QString());
        app.type(QStringLiteral("abc"));
        if (key == u"EditRedo")
            press(app, QStringLiteral("EditUndo"));
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
    press(app, QStringLiteral("FileNew"));
    EXPECT_EQ(app.captions(), (QStringList{QStringLiteral("無題1"), QStringLiteral("無題2")}));

    const QString page = app.writePage(QStringLiteral("p.html"), QStringLiteral("P"));
    app.dialogs.willChoose({page});
    press(app, QStringLiteral("FileOpen"));
    EXPECT_EQ(app.captions().last(), page);

    app.type(QStringLiteral("!"));
    press(app, QStringLiteral("FileUpdate"));
    EXPECT_EQ(app.readPage(QStringLiteral("p.html")), QByteArray("!P"));
}

TEST(ToolBar, ToolAndHelpButtonsRunTheMenuItems)
{
    AppDriver app;
    app.start();
    const QList<std::pair<QString, QAction *>> buttons = {
        {QStringLiteral("ToolIE"), app.active()->mnuTool[0]},
        {QStringLiteral("ToolNN"), app.active()->mnuTool[1]},
        {QStringLiteral("ToolBrowser"), app.active()->mnuTool[2]},
        {QStringLiteral("HelpIndex"), app.frame().mnuHelp[0]}};
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
    app.start({QStringLiteral("/O")});
    ASSERT_TRUE(app.windows().isEmpty());
    EXPECT_EQ(enabledButtons(app), QString()) << "nothing to act on";
    for (const QString &key : kDocumentButtons + QStringList{QStringLiteral("Separator1"),
                                                             QStringLiteral("NoSuchKey")}) {
        SCOPED_TRACE(key.toStdString());
        app.frame().tlbToolBar_ButtonClick(key);
        EXPECT_TRUE(app.windows().isEmpty());
        EXPECT_TRUE(app.dialogs.requests.isEmpty());
        EXPECT_TRUE(app.messages.shown.isEmpty());
    }

    app.dialogs.willCancel();
    press(app, QStringLiteral("FileOpen"));
    EXPECT_EQ(app.dialogs.requests.size(), 1);
    EXPECT_TRUE(app.windows().isEmpty());
    press(app, QStringLiteral("FileNew"));
    EXPECT_EQ(app.windows().size(), 1);
    EXPECT_EQ(enabledButtons(app), QStringLiteral("FileUpdate EditFind ToolIE ToolNN ToolBrowser"));

    app.closeActive();
    EXPECT_EQ(enabledButtons(app), QString()) << "the last window closed";
}

} // namespace
} // namespace scrivlet::test
