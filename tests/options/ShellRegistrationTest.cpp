// Adding and removing the "Scrivletで編集" verb, the desktop entries that make it real, and what
// the shell helper does with a stored verb against a scripted instance channel.

#include "options/ShellRegistration.h"
#include "options/DesktopEntries.h"
#include "options/RegistryStore.h"
#include "options/ShellExec.h"
#include "options/clsRegEdit.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

using namespace options;
using Msg = RegistrationMessage;
using Said = std::pair<QString, bool>; // a result's text and whether it is critical

const QString kVerbKey = u"\\shell\\Scrivletで編集"_s;
const QString kAdded = u"ﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加しました。"_s;
const QString kNotAssociated = u"は関連付けされていません。\r\n"
                               u"この機能は既に関連付けされているファイルにしか使用できません。"_s;

Said said(const RegistrationResult &r)
{
    return {r.text, r.critical};
}

class ShellRegistrationTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    RegistryStore store{dir.filePath(u"registry.json"_s)}; // .htm .html .shtml .css seeded

    clsRegEdit key(const QString &path)
    {
        clsRegEdit reg(store);
        reg.setRegKey(hkey::ClassesRoot);
        reg.setSubKey(path);
        return reg;
    }
    QString get(const QString &path) { return key(path).GetString(QString(), u"<none>"_s); }
    bool keyExists(const QString &path)
    {
        return store.subKeyNames(hkey::ClassesRoot, path).has_value();
    }
    std::string bytes() { return readFile(store.fileName().toStdString()); }
    RegistrationResult add(int index) { return AddVerb(store, index, u"/p/"_s, u"scrivlet"_s); }
};

TEST_F(ShellRegistrationTest, AddWritesTheFourValuesForEachExtension)
{
    for (const auto &[index, ext, cls] : {std::tuple{0, u".htm"_s, u"text/html"_s},
                                          {1, u".html"_s, u"text/html"_s},
                                          {2, u".shtml"_s, u"text/html"_s},
                                          {3, u".css"_s, u"text/css"_s}}) {
        // Twice: the second overwrites the same values and succeeds again.
        for (int round = 0; round < 2; ++round)
            EXPECT_EQ(said(AddVerb(store, index, u"/opt/my apps/Scrivlet/"_s, u"scrivlet"_s)),
                      Said(ext + kAdded, false));
        const QString verb = cls + kVerbKey;
        EXPECT_EQ(get(verb + u"\\command"_s), u"/opt/my apps/Scrivlet/scrivlet \"%1 /O\""_s);
        EXPECT_EQ(get(verb + u"\\ddeexec"_s), u"Edit \"%1\""_s);
        EXPECT_EQ(get(verb + u"\\ddeexec\\Application"_s), u"Scrivlet"_s);
        EXPECT_EQ(get(verb + u"\\ddeexec\\Topic"_s), u"System"_s);
    }
}

TEST_F(ShellRegistrationTest, AnExtensionWithoutAClassIsRefusedAndNothingWritten)
{
    ASSERT_TRUE(key(u".css"_s).SetString(QString(), QString()));
    const std::string before = bytes();
    EXPECT_EQ(said(add(3)), Said(u".cssﾌｧｲﾙ"_s + kNotAssociated, true));
    EXPECT_EQ(said(RemoveVerb(store, 3)), Said(u".cssファイル"_s + kNotAssociated, true));
    EXPECT_EQ(bytes(), before);
}

TEST_F(ShellRegistrationTest, HtmAndHtmlShareTheirVerb)
{
    ASSERT_FALSE(add(0).critical);
    EXPECT_EQ(said(RemoveVerb(store, 1)),
              Said(u".htmlﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除しました。"_s, false));
    EXPECT_FALSE(keyExists(u"text/html"_s + kVerbKey));
    EXPECT_TRUE(keyExists(u"text/html\\shell"_s)) << "the shell key stays";
    EXPECT_EQ(said(RemoveVerb(store, 0)),
              Said(u".htmﾌｧｲﾙにはScrivletで編集はありませんでした"_s, true));
}

TEST_F(ShellRegistrationTest, RemovingLeavesOtherVerbsAndRemovingNothingDeletesNothing)
{
    ASSERT_TRUE(key(u"text/css\\shell\\open\\command"_s).SetString(QString(), u"other %f"_s));
    const std::string before = bytes();
    EXPECT_EQ(RemoveVerb(store, 3).message, Msg::NoVerb);
    EXPECT_EQ(bytes(), before);
    add(3);
    EXPECT_EQ(RemoveVerb(store, 3).message, Msg::Removed);
    EXPECT_EQ(get(u"text/css\\shell\\open\\command"_s), u"other %f"_s);
    EXPECT_EQ(store.subKeyNames(hkey::ClassesRoot, u"text/css\\shell"_s), QStringList{u"open"_s});
}

TEST_F(ShellRegistrationTest, ARemovalThatCannotFinishSaysSoAndKeepsWhatWasDeleted)
{
    add(1);
    const QString verb = u"text/html"_s + kVerbKey;
    ASSERT_TRUE(key(verb + u"\\command\\extra"_s).SetString(QString(), u"x"_s));
    EXPECT_EQ(said(RemoveVerb(store, 1)),
              Said(u".htmlﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除できませんでした。"_s, true));
    EXPECT_EQ(store.subKeyNames(hkey::ClassesRoot, verb + u"\\ddeexec"_s), QStringList());
    EXPECT_EQ(get(verb + u"\\command"_s), u"/p/scrivlet \"%1 /O\""_s);
    // A removal that finds "Application" already gone goes on.
    ASSERT_TRUE(key(verb + u"\\command"_s).DeleteSubKey(u"extra"_s));
    EXPECT_EQ(RemoveVerb(store, 1).message, Msg::RemoveFailed)
        << "Topic is gone too, so its delete fails";
}

TEST_F(ShellRegistrationTest, AStoreThatCannotBeWrittenFailsTheAdd)
{
    writeFile(store.fileName().toStdString(), "[]");
    EXPECT_EQ(add(1).message, Msg::NotAssociatedAdd) << "nothing can be read either";
    // A store whose folder cannot be made: its place is taken by a file.
    writeFile(dir.filePath(u"blocked"_s).toStdString(), "");
    RegistryStore blocked(dir.filePath(u"blocked/registry.json"_s));
    EXPECT_EQ(AddVerb(blocked, 1, u"/p/"_s, u"scrivlet"_s).message, Msg::AddFailed);
}

// Desktop entries, in temporary data and configuration folders.
class DesktopEntriesTest : public ShellRegistrationTest
{
protected:
    DesktopPlaces places{dir.filePath(u"data/applications"_s),
                         dir.filePath(u"config/mimeapps.list"_s),
                         {},
                         {dir.filePath(u"system/applications"_s)}};
    const QString otherDefault = u"[Default Applications]\ntext/html=other-editor.desktop;\n"_s;

    void SetUp() override
    {
        store.setChangeHook([this](quint32 root) {
            if (root == hkey::ClassesRoot)
                ProjectShellVerbs(store, places, u"/opt/my apps/scrivlet"_s);
        });
        // Another editor the system already opens pages with.
        write(u"system/applications/other-editor.desktop"_s,
              "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n"
              "MimeType=text/html;text/css;\n");
        write(u"system/applications/mimeinfo.cache"_s,
              "[MIME Cache]\ntext/html=other-editor.desktop;\n");
    }
    void write(const QString &name, const char *bytes)
    {
        QDir().mkpath(QFileInfo(dir.filePath(name)).absolutePath());
        writeFile(dir.filePath(name).toStdString(), bytes);
    }
    static QString read(const QString &path)
    {
        return QString::fromStdString(readFile(path.toStdString()));
    }
    QString cache() { return read(places.applications + u"/mimeinfo.cache"_s); }
    QStringList entries()
    {
        return QDir(places.applications).entryList({u"*.desktop"_s}, QDir::Files);
    }
};

TEST_F(DesktopEntriesTest, AnAddedVerbBecomesAHiddenEntryAndGoesAgain)
{
    ASSERT_EQ(add(1).message, Msg::Added);
    ASSERT_EQ(entries(), QStringList{EntryFileName(u"text/html"_s, kVerb)});
    const QString entry = places.applications + u'/' + entries().first();
    const QString text = read(entry);
    for (const char16_t *line :
         {u"Name=Scrivletで編集\n", u"NoDisplay=true\n", u"MimeType=text/html;\n",
          u"Exec=\"/opt/my apps/scrivlet\" --shell-exec text/html Scrivletで編集 %f\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf16(line))) << visible(text);
    EXPECT_TRUE(cache().contains(u"text/html="_s + entries().first()));
    // A double-click keeps opening the editor it opened before.
    EXPECT_EQ(read(places.mimeappsList), otherDefault);

    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (!validator.isEmpty()) {
        QProcess check;
        check.start(validator, {entry});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    }

    add(3); // the .css verb: its type has no default to pin
    EXPECT_EQ(entries().size(), 2);
    EXPECT_FALSE(read(places.mimeappsList).contains(u"text/css="_s));
    RemoveVerb(store, 0);
    RemoveVerb(store, 3);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(cache().contains(kEntryPrefix));
    EXPECT_EQ(read(places.mimeappsList), otherDefault);
}

TEST_F(DesktopEntriesTest, AChosenDefaultIsKept)
{
    const char *chosen = "[Added Associations]\ntext/plain=x.desktop;\n\n[Default Applications]\n"
                         "text/html=mine.desktop;\n";
    write(u"config/mimeapps.list"_s, chosen);
    add(1);
    EXPECT_EQ(read(places.mimeappsList), QString::fromUtf8(chosen));
}

TEST_F(DesktopEntriesTest, WithoutTheDesktopToolsTheCacheIsWrittenHere)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath(u"empty"_s)));
    write(u"data/applications/viewer.desktop"_s,
          "[Desktop Entry]\nType=Application\nName=V\nExec=v %f\nMimeType=text/css;text/html;\n");
    add(1);
    qputenv("PATH", path);
    EXPECT_EQ(cache(), u"[MIME Cache]\ntext/css=viewer.desktop;\ntext/html="_s +
                           EntryFileName(u"text/html"_s, kVerb) + u";viewer.desktop;\n"_s);
}

TEST(DesktopExecLine, QuotesWhatTheDesktopWouldSplit)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"/usr/bin/scrivlet", u"/usr/bin/scrivlet a %f"},
        {u"/opt/a b/scrivlet", u"\"/opt/a b/scrivlet\" a %f"},
        // Inside quotes " ` $ \ take a backslash; the entry's own escaping doubles backslashes.
        {u"/opt/$x\\y/s", u"\"/opt/\\\\$x\\\\\\\\y/s\" a %f"},
        {u"/opt/100%/s", u"/opt/100%%/s a %f"},
    };
    for (const auto &[program, exec] : cases)
        EXPECT_EQ(ExecLine(QString::fromUtf16(program), {u"a"_s}), QString::fromUtf16(exec));
}

TEST(CommandLine, SplitsAsTheVerbMeansIt)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(u"my apps/scrivlet"_s);
    QDir().mkpath(QFileInfo(program).absolutePath());
    writeFile(program.toStdString(), "");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const std::pair<QString, QStringList> cases[] = {
        {program + u" \"/w/a b.html /O\""_s, {program, u"/w/a b.html /O"_s}},
        {u'"' + program + u"\" -x \"y z\""_s, {program, u"-x"_s, u"y z"_s}},
        {program, {program}},
        {u"/no/such prog arg"_s, {u"/no/such"_s, u"prog"_s, u"arg"_s}},
    };
    for (const auto &[line, expected] : cases)
        EXPECT_EQ(SplitCommandLine(line), expected) << visible(line);
}

using Reply = IInstanceChannel::Reply;

class ScriptedChannel final : public IInstanceChannel
{
public:
    bool serve(const QString &, Execute) override { return false; }
    Reply send(const QString &application, const QString &topic, const QString &command,
               int) override
    {
        sent.append(QStringList{application, topic, command});
        return replies.isEmpty() ? Reply::NoServer : replies.takeFirst();
    }
    QList<QStringList> sent;
    QList<Reply> replies; // in order; no server when none is left
};

class ShellExecTest : public ShellRegistrationTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(AddVerb(store, 1, u"/opt/S/"_s, u"scrivlet"_s).message, Msg::Added);
    }
    int run(int waitMs = 300)
    {
        const auto start = [this](const QString &program, const QStringList &arguments) {
            started.append(QStringList{program} + arguments);
            return startWorks;
        };
        return ShellExec(store, channel, start, u"text/html"_s, kVerb, u"/w/a b.html"_s, waitMs);
    }

    ScriptedChannel channel;
    QList<QStringList> started;
    bool startWorks = true;
};

TEST_F(ShellExecTest, ARunningInstanceOrANewOneGetsTheFileAndFailuresEndWithAnError)
{
    const QStringList edit{u"Scrivlet"_s, u"System"_s, u"Edit \"/w/a b.html\""_s};
    const QStringList newInstance{u"/opt/S/scrivlet"_s, u"/w/a b.html /O"_s};
    // replies, start works, wait, exit code, programs started, messages sent
    const std::tuple<QList<Reply>, bool, int, int, QList<QStringList>, qsizetype> cases[] = {
        {{Reply::Accepted}, true, 300, 0, {}, 1},
        {{Reply::NoServer, Reply::NoServer, Reply::Accepted}, true, 5000, 0, {newInstance}, 3},
        {{Reply::Refused}, true, 300, 1, {}, 1},
        {{}, false, 300, 1, {newInstance}, 1}, // no waiting for a program that did not start
    };
    for (const auto &[replies, works, waitMs, code, programs, sends] : cases) {
        channel.sent.clear();
        channel.replies = replies;
        started.clear();
        startWorks = works;
        EXPECT_EQ(run(waitMs), code);
        EXPECT_EQ(started, programs);
        EXPECT_EQ(channel.sent, QList<QStringList>(sends, edit));
    }
    started.clear();
    channel.sent.clear();
    startWorks = true;
    EXPECT_EQ(run(300), 1) << "the new instance never served";
    EXPECT_GE(channel.sent.size(), 2);
    EXPECT_EQ(ShellExec(store, channel, {}, u"text/css"_s, kVerb, u"/w/x.css"_s), 1)
        << "no such verb";
}

} // namespace
} // namespace scrivlet::test
