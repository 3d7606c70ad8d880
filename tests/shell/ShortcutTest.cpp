// Shortcuts and menu keys pressed on the real frame, as a user presses them: a shortcut bound to
// the wrong command, or reaching the wrong window, shows only here.

#include "document/DocumentView.h"
#include "document/PopupListWidget.h"
#include "tests/shell/AppDriver.h"

#include <QInputMethodEvent>
#include <QListWidget>
#include <QSignalSpy>
#include <QToolBar>

namespace scrivlet::test {
namespace {

class Shortcuts : public Frame
{
protected:
    void SetUp() override
    {
        start({app->writePage(u"first.html"_s, u"<P>1</P>"_s),
               app->writePage(u"second.html"_s, u"<P>2</P>"_s)});
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

// Every key acts on the active window, the second; the first holds changes of its own.
TEST_F(Shortcuts, CtrlZCtrlYCtrlSAndCtrlF4ActOnTheActiveDocumentOnly)
{
    app->windows().at(0)->control().setText(u"<P>one</P>"_s);
    select(0);
    app->type(u"ab"_s);
    for (const auto &[key, after] : {std::pair{Qt::Key_Z, u"a<P>2</P>"_s},
                                     {Qt::Key_Z, u"<P>2</P>"_s},
                                     {Qt::Key_Y, u"a<P>2</P>"_s}}) {
        press(key);
        EXPECT_EQ(text(1), after);
    }
    EXPECT_EQ(text(0), u"<P>one</P>"_s);
    press(Qt::Key_S);
    EXPECT_EQ(app->readPage(u"second.html"_s), QByteArray("a<P>2</P>"));
    EXPECT_EQ(app->readPage(u"first.html"_s), QByteArray("<P>1</P>"));
    // The close shortcut goes through the save prompt.
    app->type(u"x"_s);
    app->messages.answers = {MessageAnswer::No};
    press(Qt::Key_F4);
    EXPECT_EQ(app->messages.shown.size(), 1);
    EXPECT_EQ(app->captions(), QStringList{app->pagePath(u"first.html"_s)});
    EXPECT_EQ(win(), app->windows().at(0));
}

// A completion row accepted with the space key, and the space, are one key: one Undo.
TEST_F(Shortcuts, ARowAcceptedWithTheSpaceKeyTakesOneUndo)
{
    select(0);
    app->type(u"<ta "_s);
    EXPECT_EQ(text(1), u"<table ><P>2</P>"_s);
    press(Qt::Key_Z);
    EXPECT_EQ(text(1), u"<ta<P>2</P>"_s);
}

// An input method commits a word at once, though it goes in a character at a time; what it is
// still composing shows on screen, and a save or a close takes it as text (while composing, the
// input method keeps Ctrl+S and Ctrl+F4 to itself: the toolbar and the window's close button
// are what the user has).
TEST_F(Shortcuts, AnInputMethodCommitIsOneUndoAndWhatItComposesIsSavedOrAskedAbout)
{
    const auto input = [this](const QString &commit, const QString &composing = {}) {
        QInputMethodEvent event(composing, {});
        event.setCommitString(commit);
        QApplication::sendEvent(win()->textEdit(), &event);
    };
    input(u"日本語"_s);
    select(0, 2);
    input({}, u"かんじ"_s);
    input(u"漢字"_s);
    EXPECT_EQ(text(1), u"漢字語<P>2</P>"_s);
    for (const auto &[key, after] : {std::pair{Qt::Key_Z, u"日本語<P>2</P>"_s},
                                     {Qt::Key_Z, u"<P>2</P>"_s},
                                     {Qt::Key_Y, u"日本語<P>2</P>"_s}}) {
        press(key);
        EXPECT_EQ(text(1), after);
    }
    select(3);
    input({}, u"つづき"_s);
    auto *bar = child<QToolBar>(u"tlbToolBar"_s);
    QTest::mouseClick(bar->widgetForAction(bar->findChild<QAction *>(u"FileUpdate"_s)),
                      Qt::LeftButton);
    EXPECT_EQ(app->readPage(u"second.html"_s), encodeCp932(u"日本語つづき<P>2</P>"_s));
    // A commit that already begins the next composition; a commit holding a line break.
    input(u"蚊"_s, u"き"_s);
    input(u"木\r\n"_s);
    EXPECT_EQ(text(1), u"日本語つづき蚊木\r\n<P>2</P>"_s);
    press(Qt::Key_Z);
    EXPECT_EQ(text(1), u"日本語つづき蚊<P>2</P>"_s);
    input({}, u"まだ"_s);
    app->messages.answers = {MessageAnswer::Cancel};
    app->closeActive();
    EXPECT_EQ(app->messages.shown.size(), 1) << "asked, as for any change";
    EXPECT_EQ(text(1), u"日本語つづき蚊まだ<P>2</P>"_s);
    // A click on the tag list leaves the focus in the text: moving it would make the input
    // method commit what it composes, and the list take that for typed.
    app->type(u"<d"_s);
    const QListWidget *list = win()->view()->popupList();
    ASSERT_TRUE(list->isVisible());
    QSignalSpy moved(qApp, &QApplication::focusChanged);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(moved.count(), 0);
}

// Ctrl+F6 and Ctrl+Shift+F6 step through the documents in opening order, from the text of the
// active one, and bring a minimized one back. Closing goes back to the document used before.
TEST_F(Shortcuts, CtrlF6StepsInOpeningOrderAndClosingGoesBackToTheDocumentUsedBefore)
{
    app->frame().NewWindow(QString());
    const QList<frmEdit *> windows = app->windows();
    app->click(win()->mnuWindow[3]); // すべて最小化
    app->frame().showDocument(windows[2]->Tag());
    focusActive();
    for (const auto &[modifiers, active] :
         {std::pair{Qt::KeyboardModifiers(Qt::ControlModifier), 0},
          {Qt::ControlModifier, 1},
          {Qt::ControlModifier | Qt::ShiftModifier, 0},
          {Qt::ControlModifier | Qt::ShiftModifier, 2},
          {Qt::ControlModifier | Qt::ShiftModifier, 1},
          {Qt::ControlModifier, 2},
          {Qt::ControlModifier, 0}}) {
        press(Qt::Key_F6, modifiers);
        EXPECT_EQ(windows.indexOf(win()), active);
        EXPECT_FALSE(win()->parentWidget()->isMinimized());
        focusActive();
    }
    press(Qt::Key_F4);
    EXPECT_EQ(win(), windows[2]) << "not the first one opened";
    // Arranged, a minimized document used last comes back to be typed in.
    app->click(win()->mnuWindow[1]); // 上下に並べて表示
    windows[1]->parentWidget()->showMinimized();
    app->frame().showDocument(windows[2]->Tag());
    focusActive();
    press(Qt::Key_F4);
    settle();
    EXPECT_EQ(win(), windows[1]);
    EXPECT_FALSE(win()->parentWidget()->isMinimized());
}

// Ctrl+Tab goes back to the document used before; each further Tab while Ctrl is held goes one
// further back, however long Ctrl was held first, and Ctrl+Shift+Tab the other way.
TEST_F(Shortcuts, CtrlTabGoesBackThroughTheDocumentsByTheirUse)
{
    app->frame().NewWindow(QString());
    const QList<frmEdit *> windows = app->windows();
    focusActive();
    const auto send = [](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, key, modifiers);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
        QApplication::processEvents();
    };
    send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QTest::qWait(300); // as long as a hand takes to reach Tab
    for (const int active : {1, 0, 2, 1}) {
        send(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
        send(QEvent::KeyRelease, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(windows.indexOf(win()), active);
    }
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(windows.indexOf(win()), 1);
    // Used last now: 1, then 2, 0. A walk passes documents by without using them: two steps
    // from 1 end on 0, and 1 is then the one used before it.
    press(Qt::Key_Tab);
    EXPECT_EQ(windows.indexOf(win()), 2);
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(windows.indexOf(win()), 0) << "the one used longest ago";
    send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    for (int step = 0; step < 2; ++step) {
        send(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
        send(QEvent::KeyRelease, Qt::Key_Tab, Qt::ControlModifier);
    }
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(windows.indexOf(win()), 1);
    press(Qt::Key_Tab);
    EXPECT_EQ(windows.indexOf(win()), 0);
}

// An Alt combination is a command or nothing: one that no menu takes types no letter. F10 opens
// the first menu as Alt+F does.
TEST_F(Shortcuts, AltFAndF10OpenTheFileMenuEscapeGoesBackToTheTextAndCtrlFOpensFind)
{
    for (const int key : {Qt::Key_Q, Qt::Key_1, Qt::Key_Space})
        press(key, Qt::AltModifier);
    EXPECT_EQ(text(1), u"<P>2</P>"_s);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    for (const auto &[key, modifiers] :
         {std::pair{Qt::Key_F, Qt::AltModifier}, {Qt::Key_F10, Qt::NoModifier}}) {
        press(key, modifiers);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "no menu opened";
        EXPECT_EQ(menu->objectName(), u"mnuFileMenu"_s);
        EXPECT_TRUE(menu->actions().contains(win()->mnuFile[5])) << "the active window's menu";
        QTest::keyClick(menu, Qt::Key_Escape);
        focusActive();
    }
    // Alt+F, Esc, Alt+E, Esc, then Esc or Alt: the menu bar, entered again before it was left,
    // must give the focus back to the text.
    for (const Qt::Key last : {Qt::Key_Escape, Qt::Key_Alt}) {
        for (const auto &[key, modifiers] : {std::pair{Qt::Key_F, Qt::AltModifier},
                                             {Qt::Key_Escape, Qt::NoModifier},
                                             {Qt::Key_E, Qt::AltModifier},
                                             {Qt::Key_Escape, Qt::NoModifier},
                                             {last, Qt::NoModifier}}) {
            // Pressed and released apart, as a hand does: Qt leaves the bar on Alt's release.
            for (const auto event : {QTest::Press, QTest::Release}) {
                QWidget *popup = QApplication::activePopupWidget();
                QTest::sendKeyEvent(event, popup ? popup : QApplication::focusWidget(), key,
                                    QString(), modifiers);
                QApplication::processEvents();
            }
        }
        press(Qt::Key_X, Qt::NoModifier);
    }
    EXPECT_EQ(text(1), u"xx<P>2</P>"_s);
    // Ctrl+H is pressed end to end (replace_all_save_undo_save).
    EXPECT_EQ(child(u"frmFind"_s), nullptr);
    focusActive();
    press(Qt::Key_F);
    ASSERT_NE(child(u"frmFind"_s), nullptr);
    EXPECT_TRUE(child(u"frmFind"_s)->isVisible());
}

// 切り取り and ﾀｸﾞ変換 share the access key T. With nothing to cut, T still reaches the other.
TEST_F(Shortcuts, AnAccessKeySharedWithADisabledItemReachesTheOther)
{
    setText(u"<p>abc</p>"_s);
    QMenu *edit = win()->editMenu();
    edit->popup(QPoint(0, 0));
    ASSERT_FALSE(win()->mnuEdit[3]->isEnabled());
    QTest::keyClick(edit, Qt::Key_T);
    auto *sub = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->objectName(), u"mnuEditTagConvMenu"_s);
    QTest::keyClick(sub, Qt::Key_U);
    EXPECT_EQ(control().Text(), u"<P>abc</P>"_s);
}

} // namespace
} // namespace scrivlet::test
