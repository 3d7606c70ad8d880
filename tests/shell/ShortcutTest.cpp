// Shortcuts and menu keys pressed on the real frame, as a user presses them: a shortcut bound to
// the wrong command, or reaching the wrong window, shows only here.

#include "tests/shell/FrameFixture.h"

namespace scrivlet::test {
namespace {

class Shortcuts : public Frame
{
protected:
    QString first, second;
    void SetUp() override
    {
        first = app->writePage(u"first.html"_s, u"<P>1</P>"_s);
        second = app->writePage(u"second.html"_s, u"<P>2</P>"_s);
        start({first, second});
        focusActive();
    }
    // Key presses go to the focused widget of the active window, as they do for a user.
    void focusActive()
    {
        app->frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app->frame()));
        win()->textEdit()->setFocus();
        QApplication::processEvents();
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    QString text(int i) { return app->windows().at(i)->control().Text(); }
};

TEST_F(Shortcuts, CtrlSSavesTheActiveDocumentOnly)
{
    app->windows().at(0)->control().setText(u"<P>one</P>"_s);
    setText(u"<P>two</P>"_s);
    press(Qt::Key_S);
    EXPECT_EQ(app->readPage(u"second.html"_s), QByteArray("<P>two</P>"));
    EXPECT_EQ(app->readPage(u"first.html"_s), QByteArray("<P>1</P>"));
    EXPECT_TRUE(app->messages.shown.isEmpty());
}

TEST_F(Shortcuts, CtrlFAndCtrlHOpenTheirDialogs)
{
    for (const auto &[key, name] :
         {std::pair{Qt::Key_F, u"frmFind"_s}, {Qt::Key_H, u"frmReplace"_s}}) {
        EXPECT_EQ(child(name), nullptr);
        focusActive();
        press(key);
        ASSERT_NE(child(name), nullptr);
        EXPECT_TRUE(child(name)->isVisible());
    }
}

TEST_F(Shortcuts, CtrlZUndoesAndCtrlYRedoesInTheActiveDocument)
{
    control().setSelStart(0);
    app->type(u"ab"_s);
    ASSERT_EQ(text(1), u"ab<P>2</P>"_s);
    press(Qt::Key_Z);
    EXPECT_EQ(text(1), u"a<P>2</P>"_s);
    press(Qt::Key_Z);
    EXPECT_EQ(text(1), u"<P>2</P>"_s);
    press(Qt::Key_Y);
    EXPECT_EQ(text(1), u"a<P>2</P>"_s);
    EXPECT_EQ(text(0), u"<P>1</P>"_s);
}

TEST_F(Shortcuts, AltFOpensTheDocumentsFileMenu)
{
    press(Qt::Key_F, Qt::AltModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr) << "no menu opened";
    EXPECT_EQ(menu->objectName(), u"mnuFileMenu"_s);
    EXPECT_TRUE(menu->actions().contains(win()->mnuFile[5])) << "the active window's menu";
    press(Qt::Key_Escape, Qt::NoModifier);
}

// The close shortcut closes the active document window through its save prompt.
TEST_F(Shortcuts, CtrlF4ClosesTheActiveDocumentWindowAfterItsPrompt)
{
    app->type(u"x"_s);
    app->messages.answers = {MessageAnswer::Cancel};
    press(Qt::Key_F4);
    EXPECT_EQ(app->messages.shown.size(), 1);
    EXPECT_EQ(app->captions(), (QStringList{first, second})) << "cancelled: the window stays";
    app->messages.answers = {MessageAnswer::No};
    press(Qt::Key_F4);
    EXPECT_EQ(app->captions(), QStringList{first});
    EXPECT_EQ(win(), app->windows().at(0));
    EXPECT_EQ(app->readPage(u"second.html"_s), QByteArray("<P>2</P>"));
}

} // namespace
} // namespace scrivlet::test
