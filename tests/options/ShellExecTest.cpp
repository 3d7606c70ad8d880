// What the shell helper does with a stored verb, against a scripted instance channel.

#include "options/ShellExec.h"
#include "options/RegistryStore.h"
#include "options/ShellRegistration.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace scrivlet::test {
namespace {

using namespace options;
using Reply = IInstanceChannel::Reply;

struct Sent
{
    QString application, topic, command;
};

class ScriptedChannel final : public IInstanceChannel
{
public:
    bool serve(const QString &, Execute) override { return false; }
    Reply send(const QString &application, const QString &topic, const QString &command,
               int) override
    {
        sent.append({application, topic, command});
        return replies.isEmpty() ? Reply::NoServer : replies.takeFirst();
    }
    QList<Sent> sent;
    QList<Reply> replies; // in order; no server when none is left
};

TEST(CommandLine, SplitsAsTheVerbMeansIt)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("my apps/scrivlet"));
    QDir().mkpath(QFileInfo(program).absolutePath());
    QFile f(program);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    struct Case
    {
        QString line;
        QStringList expected;
    };
    const Case cases[] = {
        {program + QStringLiteral(" \"/w/a b.html /O\""),
         {program, QStringLiteral("/w/a b.html /O")}},
        {u'"' + program + QStringLiteral("\" -x \"y z\""),
         {program, QStringLiteral("-x"), QStringLiteral("y z")}},
        {program, {program}},
        {QStringLiteral("/no/such prog arg"),
         {QStringLiteral("/no/such"), QStringLiteral("prog"), QStringLiteral("arg")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.expected) << visible(c.line);
}

class ShellExecTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(AddVerb(store, 1, QStringLiteral("/opt/S/"), QStringLiteral("scrivlet")).message,
                  RegistrationMessage::Added);
    }
    int run(int waitMs = 300)
    {
        return ShellExec(
            store, channel,
            [this](const QString &program, const QStringList &arguments) {
                started.append(QStringList{program} + arguments);
                return startWorks;
            },
            QStringLiteral("text/html"), kVerb, QStringLiteral("/w/a b.html"), waitMs);
    }

    QTemporaryDir dir;
    RegistryStore store{dir.filePath(QStringLiteral("r.json")),
                        {{QStringLiteral(".html"), QStringLiteral("text/html")}}};
    ScriptedChannel channel;
    QList<QStringList> started;
    bool startWorks = true;
};

TEST_F(ShellExecTest, ARunningInstanceGetsTheFile)
{
    channel.replies = {Reply::Accepted};
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(channel.sent.size(), 1);
    EXPECT_EQ(channel.sent[0].application, QStringLiteral("Scrivlet"));
    EXPECT_EQ(channel.sent[0].topic, QStringLiteral("System"));
    EXPECT_EQ(channel.sent[0].command, QStringLiteral("Edit \"/w/a b.html\""));
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(ShellExecTest, WithoutOneANewInstanceStartsWaitingAndThenGetsIt)
{
    channel.replies = {Reply::NoServer, Reply::NoServer, Reply::Accepted};
    EXPECT_EQ(run(5000), 0);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0],
              (QStringList{QStringLiteral("/opt/S/scrivlet"), QStringLiteral("/w/a b.html /O")}));
    EXPECT_EQ(channel.sent.size(), 3);
}

TEST_F(ShellExecTest, FailuresEndTheHelperWithAnError)
{
    channel.replies = {Reply::Refused};
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(started.isEmpty());

    startWorks = false;
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(channel.sent.size(), 2) << "no waiting for a program that did not start";

    startWorks = true;
    channel.sent.clear();
    EXPECT_EQ(run(300), 1) << "the new instance never served";
    EXPECT_GE(channel.sent.size(), 2);

    EXPECT_EQ(ShellExec(store, channel, {}, QStringLiteral("text/css"), kVerb,
                        QStringLiteral("/w/x.css")),
              1)
        << "no such verb";
}

} // namespace
} // namespace scrivlet::test
