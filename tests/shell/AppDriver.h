#pragma once
// The program as a user drives it, headless: a frame started on a temporary program directory
// with fake platform services, and small verbs for what the user does.

#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "editor/clsRTF.h"
#include "files/Cp932.h"
#include "files/basFile.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/Globals.h"
#include "platform/Platform.h"
#include "shell/frmMain.h"
#include "tests/common/DataRows.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace scrivlet::test {

class AppDriver
{
public:
    AppDriver() : m_platform{messages, clipboard, dialogs, shell}
    {
        ResetGlobals();
        basINI::ResetForTests();
        basKanji::UnloadLibraryForTests();
        // The program directory: the data tree and the converter of the build, shared read-only.
        const QString built = QStringLiteral(SCRIVLET_PROGRAM_DIR "/");
        for (const QString &entry : {u"HTML"_s, u"Template"_s, u"doc"_s})
            QFile::link(built + entry, m_program.filePath(entry));
        QFile::copy(built + u"UNKANJ.DLL"_s, m_program.filePath(u"UNKANJ.DLL"_s));
    }
    ~AppDriver()
    {
        // Windows left open are let go without their save prompts.
        messages.answers = QList<MessageAnswer>(16, MessageAnswer::No);
        m_frame.reset();
        basKanji::UnloadLibraryForTests();
        basINI::ResetForTests();
        ResetGlobals();
    }

    // Starts the program with these command-line arguments.
    void start(const QStringList &arguments = {}) { start(mapped(arguments, &QFile::encodeName)); }
    // ... given as bytes, as the system gives them.
    void start(const QList<QByteArray> &given)
    {
        m_frame = std::make_unique<frmMain>(m_platform);
        m_frame->show();
        QStringList unreadable;
        const QStringList arguments = basFile::PathsFromArguments(given, &unreadable);
        m_frame->Form_Load(m_program.path(), arguments, unreadable);
    }
    frmMain &frame() const { return *m_frame; }
    // The services the frame is started with; set the optional ones before start().
    Platform &platform() { return m_platform; }
    QList<frmEdit *> windows() const { return m_frame->documentWindows(); }
    frmEdit *active() const { return m_frame->activeDocument(); }
    QStringList captions() const { return mapped(windows(), &QWidget::windowTitle); }
    QStringList tabs() const
    {
        auto *bar = m_frame->findChild<QTabBar *>(u"tabSelectBar"_s);
        return mapped(std::views::iota(0, bar->count()), [bar](int i) { return bar->tabText(i); });
    }

    // A page in a folder of its own, written as Shift-JIS.
    QString writePage(const QString &name, const QString &text)
    {
        QFile file(pagePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(encodeCp932(text)) >= 0);
        return pagePath(name);
    }
    QString pagePath(const QString &name) const { return m_pages.filePath(name); }
    QByteArray readPage(const QString &name) const
    {
        QFile file(pagePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What the user does in the active document window: keys that give each character, Japanese
    // ones included, and Return for a line break; a menu item, which must be enabled.
    void type(const QString &text)
    {
        for (const QChar c : text) {
            if (c == u'\n')
                QTest::keyClick(active()->textEdit(), Qt::Key_Return);
            else
                QTest::sendKeyEvent(QTest::Click, active()->textEdit(), Qt::Key(0), QString(c), {});
        }
    }
    void click(QAction *item)
    {
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
        item->trigger();
    }
    void closeActive() { active()->closeWindow(); }
    // Closes the frame as its close box does; true when it closed.
    bool closeFrame() { return m_frame->close(); }

    // The settings file, read directly from disk.
    QString setting(const QString &section, const QString &key) const
    {
        return basINI::ReadIniString(section, key, u"<missing>"_s);
    }
    QString programDirectory() const { return m_program.path() + u'/'; }

    FakeMessageService messages;
    FakeClipboard clipboard;
    FakeFileDialogs dialogs;
    FakeShell shell;

private:
    QTemporaryDir m_program, m_pages;
    Platform m_platform;
    std::unique_ptr<frmMain> m_frame;
};

// A field of a data row that joins several values with "|".
inline QStringList joined(const std::string &field)
{
    return QString::fromStdString(field).split(u'|', Qt::SkipEmptyParts);
}

// What the suites that drive the real frame and its document windows share: a started frame
// with some untitled windows, and the controls a user reaches, found by name.
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
