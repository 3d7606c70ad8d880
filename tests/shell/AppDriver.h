#pragma once
// The program as a user drives it, headless: a frame started on a temporary program directory
// with fake platform services, and small verbs for what the user does.

#include "document/frmEdit.h"
#include "platform/Platform.h"
#include "shell/frmMain.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace scrivlet::test {

class AppDriver
{
public:
    AppDriver();
    ~AppDriver();

    // Starts the program with these command-line arguments.
    void start(const QStringList &arguments = {});
    frmMain &frame() const { return *m_frame; }
    // The services the frame is started with; set the optional ones before start().
    Platform &platform() { return m_platform; }
    QList<frmEdit *> windows() const { return m_frame->documentWindows(); }
    frmEdit *active() const { return m_frame->activeDocument(); }
    QStringList captions() const;
    QStringList tabs() const;

    // A page in a folder of its own, written as Shift-JIS with CR LF.
    QString writePage(const QString &name, const QString &text);
    QString pagePath(const QString &name) const { return m_pages.filePath(name); }
    QByteArray readPage(const QString &name) const;

    // What the user does in the active document window.
    void type(const QString &text);
    void click(QAction *item);
    void closeActive() { active()->closeWindow(); }
    // Closes the frame as its close box does; true when it closed.
    bool closeFrame() { return m_frame->close(); }

    // The settings file, read directly from disk.
    QString setting(const QString &section, const QString &key) const;
    QString programDirectory() const { return m_program.path() + u'/'; }

    FakeMessageService messages;
    FakeClipboard clipboard;
    FakeFileDialogs dialogs;
    FakeShell shell;
    FakeKeyboardState keyboard;

private:
    QTemporaryDir m_program, m_pages;
    Platform m_platform;
    std::unique_ptr<frmMain> m_frame;
};

} // namespace scrivlet::test
