// What the shell helper does with a stored verb, against a scripted instance channel.

#include "options/ShellExec.h"
#include "options/RegistryStore.h"
#include "options/ShellRegistration.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    const QString program = dir.filePath(u"my apps/scrivlet"_s);
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
        {program + u" \"/w/a b.html /O\""_s, {program, u"/w/a b.html /O"_s}},
        {u'"' + program + u"\" -x \"y z\""_s, {program, u"-x"_s, u"y z"_s}},
        {program, {program}},
        {u"/no/such prog arg"_s, {u"/no/such"_s, u"prog"_s, u"arg"_s}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.expected) << visible(c.line);
}

class ShellExecTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(AddVerb(store, 1, u"/opt/S/"_s, u"scrivlet"_s).message,
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
            u"text/html"_s, kVerb, u"/w/a b.html"_s, waitMs);
    }

    QTemporaryDir dir;
    RegistryStore store{dir.filePath(u"r.json"_s), {{u".html"_s, u"text/html"_s}}};
    ScriptedChannel channel;
    QList<QStringList> started;
    bool startWorks = true;
};

TEST_F(ShellExecTest, ARunningInstanceGetsTheFile)
{
    channel.replies = {Reply::Accepted};
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(channel.sent.size(), 1);
    EXPECT_EQ(channel.sent[0].application, u"Scrivlet"_s);
    EXPECT_EQ(channel.sent[0].topic, u"System"_s);
    EXPECT_EQ(channel.sent[0].command, u"Edit \"/w/a b.html\""_s);
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(ShellExecTest, WithoutOneANewInstanceStartsWaitingAndThenGetsIt)
{
    channel.replies = {Reply::NoServer, Reply::NoServer, Reply::Accepted};
    EXPECT_EQ(run(5000), 0);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0], (QStringList{u"/opt/S/scrivlet"_s, u"/w/a b.html /O"_s}));
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

    EXPECT_EQ(ShellExec(store, channel, {}, u"text/css"_s, kVerb, u"/w/x.css"_s), 1)
        << "no such verb";
}

} // namespace
} // namespace scrivlet::test
