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

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

class Shortcuts : public ::testing::Test
{
protected:
    AppDriver app;
    QString first, second;

    void SetUp() override
    {
        first = app.writePage(u"first.html"_s, u"<P>1</P>"_s);
        second = app.writePage(u"second.html"_s, u"<P>2</P>"_s);
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
    window(0)->control().setText(u"<P>one</P>"_s);
    window(1)->control().setText(u"<P>two</P>"_s);
    ASSERT_EQ(app.active(), window(1));
    press(Qt::Key_S);
    EXPECT_EQ(app.readPage(u"second.html"_s), QByteArray("<P>two</P>"));
    EXPECT_EQ(app.readPage(u"first.html"_s), QByteArray("<P>1</P>"));
    EXPECT_TRUE(app.messages.shown.isEmpty());
}

TEST_F(Shortcuts, CtrlFAndCtrlHOpenTheirDialogs)
{
    press(Qt::Key_F);
    auto *find = app.frame().findChild<QWidget *>(u"frmFind"_s);
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(app.frame().findChild<QWidget *>(u"frmReplace"_s), nullptr);
    focusActive();
    press(Qt::Key_H);
    auto *replace = app.frame().findChild<QWidget *>(u"frmReplace"_s);
    ASSERT_NE(replace, nullptr);
    EXPECT_TRUE(replace->isVisible());
}

TEST_F(Shortcuts, CtrlZUndoesAndCtrlYRedoesInTheActiveDocument)
{
    window(1)->control().setSelStart(0);
    app.type(u"ab"_s);
    ASSERT_EQ(window(1)->control().Text(), u"ab<P>2</P>"_s);
    press(Qt::Key_Z);
    EXPECT_EQ(window(1)->control().Text(), u"a<P>2</P>"_s);
    press(Qt::Key_Z);
    EXPECT_EQ(window(1)->control().Text(), u"<P>2</P>"_s);
    press(Qt::Key_Y);
    EXPECT_EQ(window(1)->control().Text(), u"a<P>2</P>"_s);
    EXPECT_EQ(window(0)->control().Text(), u"<P>1</P>"_s);
}

TEST_F(Shortcuts, AltFOpensTheDocumentsFileMenu)
{
    press(Qt::Key_F, Qt::AltModifier);
    QApplication::processEvents();
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu opened";
    EXPECT_EQ(menu->objectName(), u"mnuFileMenu"_s);
    EXPECT_TRUE(menu->actions().contains(app.active()->mnuFile[5])) << "the active window's menu";
    press(Qt::Key_Escape, Qt::NoModifier);
}

// The close shortcut closes the active document window through its save prompt.
TEST_F(Shortcuts, CtrlF4ClosesTheActiveDocumentWindowAfterItsPrompt)
{
    app.type(u"x"_s);
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
    EXPECT_EQ(app.readPage(u"second.html"_s), QByteArray("<P>2</P>"));
}

} // namespace
} // namespace scrivlet::test
