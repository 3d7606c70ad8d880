#include "tests/shell/AppDriver.h"

#include "document/SourceTextEdit.h"
#include "files/Cp932.h"
#include "files/basINI.h"
#include "files/basKanji.h"
#include "platform/Globals.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {

AppDriver::AppDriver() : m_platform{messages, clipboard, dialogs, shell, keyboard}
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

AppDriver::~AppDriver()
{
    // Windows left open are let go without their save prompts.
    messages.answers = QList<MessageAnswer>(16, MessageAnswer::No);
    m_frame.reset();
    basKanji::UnloadLibraryForTests();
    basINI::ResetForTests();
    ResetGlobals();
}

void AppDriver::start(const QStringList &arguments)
{
    m_frame = std::make_unique<frmMain>(m_platform);
    m_frame->show();
    m_frame->Form_Load(m_program.path(), arguments);
}

QStringList AppDriver::captions() const
{
    QStringList out;
    for (frmEdit *w : windows())
        out.append(w->windowTitle());
    return out;
}

QStringList AppDriver::tabs() const
{
    auto *bar = m_frame->findChild<QTabBar *>(u"tabSelectBar"_s);
    QStringList out;
    for (int i = 0; i < bar->count(); ++i)
        out.append(bar->tabText(i));
    return out;
}

QString AppDriver::writePage(const QString &name, const QString &text)
{
    QFile file(pagePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(encodeCp932(text));
    return pagePath(name);
}

QByteArray AppDriver::readPage(const QString &name) const
{
    QFile file(pagePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void AppDriver::type(const QString &text)
{
    QWidget *edit = active()->textEdit();
    for (const QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(edit, Qt::Key_Return);
        if (c == u'\n' || c == u'\r')
            continue;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &release);
    }
}

void AppDriver::click(QAction *item)
{
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
    item->trigger();
}

QString AppDriver::setting(const QString &section, const QString &key) const
{
    return basINI::ReadIniString(section, key, u"<missing>"_s);
}

} // namespace scrivlet::test
