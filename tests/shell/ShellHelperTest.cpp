// The file manager's "Scrivletで編集" end to end: the built program's shell helper, run as the
// desktop entry runs it, hands a file to the running program or starts a new one for it.

#include "options/RegistryStore.h"
#include "options/ShellRegistration.h"
#include "platform/qt/LocalSocketChannel.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

using Reply = IInstanceChannel::Reply;

class ShellHelperTest : public ::testing::Test
{
protected:
    QTemporaryDir home;
    QString runtime = home.filePath(u"run"_s);
    QString program = QStringLiteral(SCRIVLET_PROGRAM_DIR "/scrivlet");

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        options::RegistryStore store(home.filePath(u"config/Scrivlet/registry.json"_s));
        ASSERT_EQ(
            options::AddVerb(store, 1, QStringLiteral(SCRIVLET_PROGRAM_DIR "/"), u"scrivlet"_s)
                .message,
            options::RegistrationMessage::Added);
    }

    // Runs the helper as the desktop entry does, serving meanwhile; its exit code.
    int runHelper(const QString &file)
    {
        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        env.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
        env.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        helper.setProcessEnvironment(env);
        helper.start(program, {u"--shell-exec"_s, u"text/html"_s, options::kVerb, file});
        const QDeadlineTimer deadline(60000);
        while (helper.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            helper.waitForFinished(20);
        }
        return helper.state() == QProcess::NotRunning && helper.exitStatus() == QProcess::NormalExit
                   ? helper.exitCode()
                   : -1;
    }
};

TEST_F(ShellHelperTest, TheRunningProgramOpensTheFile)
{
    AppDriver app;
    LocalSocketChannel channel(u"Scrivlet"_s, runtime);
    app.platform().instances = &channel;
    app.start({u"/O"_s});
    const QString page = app.writePage(u"a b.html"_s, u"<P>A</P>"_s);
    EXPECT_EQ(runHelper(page), 0);
    EXPECT_EQ(app.captions(), QStringList{page});
}

TEST_F(ShellHelperTest, WithoutOneANewInstanceStartsAndAKilledOneLeavesNoObstacle)
{
    QTemporaryDir pages;
    const QString page = pages.filePath(u"p.html"_s);
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<P>x</P>");
    f.close();
    ASSERT_EQ(runHelper(page), 0) << "the new instance took the file";

    // The new instance still serves; it is found through its lock and killed.
    LocalSocketChannel client(QString(), runtime);
    EXPECT_EQ(client.send(u"Scrivlet"_s, u"System"_s, u"edit"_s, 10000), Reply::Accepted);
    const QString socket = LocalSocketChannel::socketPath(runtime, u"Scrivlet"_s, u"System"_s);
    qint64 pid = 0;
    QString host, appName;
    ASSERT_TRUE(QLockFile(socket + u".lock"_s).getLockInfo(&pid, &host, &appName));
    ASSERT_GT(pid, 0);
    ::kill(pid_t(pid), SIGKILL);
    const QDeadlineTimer deadline(10000);
    while (::kill(pid_t(pid), 0) == 0 && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(QFile::exists(socket)) << "a killed instance leaves its socket";
    EXPECT_EQ(client.send(u"Scrivlet"_s, u"System"_s, u"edit"_s, 2000), Reply::NoServer);

    LocalSocketChannel next(u"Scrivlet"_s, runtime);
    EXPECT_TRUE(next.serve(u"System"_s, [](const QString &) { return false; }));
}

} // namespace
} // namespace scrivlet::test
