#pragma once
// What the suites that drive the real frame and its document windows share: a started frame
// with some untitled windows, and the controls a user reaches, found by name.

#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {

class Frame : public ::testing::Test
{
protected:
    std::unique_ptr<AppDriver> app = std::make_unique<AppDriver>();

    // A new program, for tables whose rows each start from the beginning.
    void fresh()
    {
        app.reset();
        app = std::make_unique<AppDriver>();
    }
    // The frame started with the given arguments, then `extra` more untitled windows.
    void start(const QStringList &arguments = {}, int extra = 0)
    {
        app->start(arguments);
        for (int i = 0; i < extra; ++i)
            app->frame().NewWindow(QString());
    }
    frmEdit *win() { return app->active(); }
    IEditControl &control() { return win()->control(); }
    void select(int start, int length = 0)
    {
        control().setSelStart(start);
        control().setSelLength(length);
    }
    void setText(const QString &text, int caret = 0)
    {
        control().setText(text);
        select(caret);
    }
    template<class T = QWidget>
    T *child(const QString &name)
    {
        return app->frame().findChild<T *>(name);
    }
    QWidget *documentArea() { return child<QMdiArea>(u"mdiArea"_s)->viewport(); }
    QTabBar *tabBar() { return child<QTabBar>(u"tabSelectBar"_s); }
    void clickTab(int i)
    {
        QTest::mouseClick(tabBar(), Qt::LeftButton, {}, tabBar()->tabRect(i).center());
    }
    static QMdiSubWindow *holder(frmEdit *w)
    {
        return qobject_cast<QMdiSubWindow *>(w->parentWidget());
    }
    // Lets a dialog that unloaded itself go.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    // Opens and closes a menu, so that it recomputes its items as it does when the user opens it.
    static void openMenu(QMenu *menu)
    {
        menu->popup(QPoint(0, 0));
        menu->hide();
    }
};

} // namespace scrivlet::test
