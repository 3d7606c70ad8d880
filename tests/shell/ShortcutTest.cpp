// Shortcuts and menu keys pressed on the real frame, as a user presses them: a shortcut bound to
// the wrong command, or reaching the wrong window, shows only here.

#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "platform/Globals.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace scrivlet::test {
namespace {

class Shortcuts : public ::testing::Test
{
protected:
    AppDriver app;
    QString first, second;

    void SetUp() override
    {
        first = app.writePage(QStringLiteral("first.html"), QStringLiteral("<P>1</P>"));
        second = app.writePage(QStringLiteral("second.html"), QStringLiteral("<P>2</P>"));
        app.start({first, second});
        focusActive();
    }
    // Key presses go to the focused widget of the active window, as they do for a user.
    void focusActive()
    {
        app.frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app.frame()));
        app.active()->textEdit()->setFocus();
        QApplication::processEvents();
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    frmEdit *window(int i) { return app.windows().at(i); }
};

TEST_F(Shortcuts, CtrlSSavesTheActiveDocumentOnly)
{
    window(0)->control().setText(QStringLiteral("<P>one</P>"));
    window(1)->control().setText(QStringLiteral("<P>two</P>"));
    ASSERT_EQ(app.active(), window(1));
    press(Qt::Key_S);
    EXPECT_EQ(app.readPage(QStringLiteral("second.html")), QByteArray("<P>two</P>"));
    EXPECT_EQ(app.readPage(QStringLiteral("first.html")), QByteArray("<P>1</P>"));
    EXPECT_TRUE(app.messages.shown.isEmpty());
}

TEST_F(Shortcuts, CtrlFAndCtrlHOpenTheirDialogs)
{
    press(Qt::Key_F);
    auto *find = app.frame().findChild<QWidget *>(QStringLiteral("frmFind"));
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(app.frame().findChild<QWidget *>(QStringLiteral("frmReplace")), nullptr);
    focusActive();
    press(Qt::Key_H);
    auto *replace = app.frame().findChild<QWidget *>(QStringLiteral("frmReplace"));
    ASSERT_NE(replace, nullptr);
    EXPECT_TRUE(replace->isVisible());
}

TEST_F(Shortcuts, CtrlZUndoesAndCtrlYRedoesInTheActiveDocument)
{
    window(1)->control().setSelStart(0);
    app.type(QStringLiteral("ab"));
    ASSERT_EQ(window(1)->control().Text(), QStringLiteral("ab<P>2</P>"));
    press(Qt::Key_Z);
    EXPECT_EQ(window(1)->control().Text(), QStringLiteral("a<P>2</P>"));
    press(Qt::Key_Z);
    EXPECT_EQ(window(1)->control().Text(), QStringLiteral("<P>2</P>"));
    press(Qt::Key_Y);
    EXPECT_EQ(window(1)->control().Text(), QStringLiteral("a<P>2</P>"));
    EXPECT_EQ(window(0)->control().Text(), QStringLiteral("<P>1</P>"));
}

TEST_F(Shortcuts, AltFOpensTheDocumentsFileMenu)
{
    press(Qt::Key_F, Qt::AltModifier);
    QApplication::processEvents();
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu opened";
    EXPECT_EQ(menu->objectName(), QStringLiteral("mnuFileMenu"));
    EXPECT_TRUE(menu->actions().contains(app.active()->mnuFile[5])) << "the active window's menu";
    press(Qt::Key_Escape, Qt::NoModifier);
}

// The close shortcut closes the active document window through its save prompt.
TEST_F(Shortcuts, CtrlF4ClosesTheActiveDocumentWindowAfterItsPrompt)
{
    app.type(QStringLiteral("x"));
    app.messages.answers = {MessageAnswer::Cancel};
    press(Qt::Key_F4);
    QApplication::processEvents();
    EXPECT_EQ(app.messages.shown.size(), 1);
    EXPECT_EQ(app.captions(), (QStringList{first, second})) << "cancelled: the window stays";

    app.messages.answers = {MessageAnswer::No};
    press(Qt::Key_F4);
    QApplication::processEvents();
    EXPECT_EQ(app.captions(), QStringList{first});
    EXPECT_EQ(app.active(), window(0));
    EXPECT_EQ(app.readPage(QStringLiteral("second.html")), QByteArray("<P>2</P>"));
}

} // namespace
} // namespace scrivlet::test
