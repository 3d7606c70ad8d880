// Adding and removing the "Scrivletで編集" verb, and the desktop entries that make it real.

#include "options/ShellRegistration.h"
#include "options/DesktopEntries.h"
#include "options/RegistryStore.h"
#include "options/clsRegEdit.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

using namespace options;

const QString kVerbKey = u"\\shell\\Scrivletで編集"_s;

class ShellRegistrationTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    RegistryStore store{dir.filePath(u"registry.json"_s),
                        {{u".htm"_s, u"text/html"_s},
                         {u".html"_s, u"text/html"_s},
                         {u".shtml"_s, u"text/html"_s},
                         {u".css"_s, u"text/css"_s}}};

    QString get(const QString &path)
    {
        clsRegEdit reg(store);
        reg.setRegKey(hkey::ClassesRoot);
        reg.setSubKey(path);
        return reg.GetString(QString(), u"<none>"_s);
    }
    bool keyExists(const QString &path)
    {
        return store.subKeyNames(hkey::ClassesRoot, path).has_value();
    }
    QByteArray fileBytes()
    {
        QFile f(store.fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ShellRegistrationTest, AddWritesTheFourValuesForEachExtension)
{
    struct Case
    {
        int index;
        const char16_t *message;
        const char16_t *cls;
    };
    const Case cases[] = {
        {0, u".htmﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加しました。", u"text/html"},
        {1, u".htmlﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加しました。", u"text/html"},
        {2, u".shtmlﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加しました。", u"text/html"},
        {3, u".cssﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加しました。", u"text/css"},
    };
    for (const Case &c : cases) {
        // Twice: the second overwrites the same values and succeeds again.
        for (int round = 0; round < 2; ++round) {
            const auto r = AddVerb(store, c.index, u"/opt/my apps/Scrivlet/"_s, u"scrivlet"_s);
            EXPECT_EQ(r.text, QString::fromUtf16(c.message));
            EXPECT_FALSE(r.critical);
        }
        const QString verb = QString::fromUtf16(c.cls) + kVerbKey;
        EXPECT_EQ(get(verb + u"\\command"_s), u"/opt/my apps/Scrivlet/scrivlet \"%1 /O\""_s);
        EXPECT_EQ(get(verb + u"\\ddeexec"_s), u"Edit \"%1\""_s);
        EXPECT_EQ(get(verb + u"\\ddeexec\\Application"_s), u"Scrivlet"_s);
        EXPECT_EQ(get(verb + u"\\ddeexec\\Topic"_s), u"System"_s);
    }
}

TEST_F(ShellRegistrationTest, AnExtensionWithoutAClassIsRefusedAndNothingWritten)
{
    clsRegEdit reg(store);
    reg.setRegKey(hkey::ClassesRoot);
    reg.setSubKey(u".css"_s);
    ASSERT_TRUE(reg.SetString(QString(), QString()));
    const QByteArray before = fileBytes();

    const auto add = AddVerb(store, 3, u"/p/"_s, u"scrivlet"_s);
    EXPECT_EQ(add.text,
              QStringLiteral(".cssﾌｧｲﾙは関連付けされていません。\r\n"
                             "この機能は既に関連付けされているファイルにしか使用できません。"));
    EXPECT_TRUE(add.critical);
    const auto remove = RemoveVerb(store, 3);
    EXPECT_EQ(remove.text,
              QStringLiteral(".cssファイルは関連付けされていません。\r\n"
                             "この機能は既に関連付けされているファイルにしか使用できません。"));
    EXPECT_TRUE(remove.critical);
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(ShellRegistrationTest, HtmAndHtmlShareTheirVerb)
{
    ASSERT_FALSE(AddVerb(store, 0, u"/p/"_s, u"scrivlet"_s).critical);
    const auto first = RemoveVerb(store, 1);
    EXPECT_EQ(first.text, u".htmlﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除しました。"_s);
    EXPECT_FALSE(first.critical);
    EXPECT_FALSE(keyExists(u"text/html"_s + kVerbKey));
    EXPECT_TRUE(keyExists(u"text/html\\shell"_s)) << "the shell key stays";
    const auto second = RemoveVerb(store, 0);
    EXPECT_EQ(second.text, u".htmﾌｧｲﾙにはScrivletで編集はありませんでした"_s);
    EXPECT_TRUE(second.critical);
}

TEST_F(ShellRegistrationTest, RemovingLeavesOtherVerbsAndRemovingNothingDeletesNothing)
{
    clsRegEdit reg(store);
    reg.setRegKey(hkey::ClassesRoot);
    reg.setSubKey(u"text/css\\shell\\open\\command"_s);
    ASSERT_TRUE(reg.SetString(QString(), u"other %f"_s));
    const QByteArray before = fileBytes();
    EXPECT_EQ(RemoveVerb(store, 3).message, RegistrationMessage::NoVerb);
    EXPECT_EQ(fileBytes(), before);

    AddVerb(store, 3, u"/p/"_s, u"scrivlet"_s);
    EXPECT_EQ(RemoveVerb(store, 3).message, RegistrationMessage::Removed);
    EXPECT_EQ(get(u"text/css\\shell\\open\\command"_s), u"other %f"_s);
    EXPECT_EQ(store.subKeyNames(hkey::ClassesRoot, u"text/css\\shell"_s), QStringList{u"open"_s});
}

TEST_F(ShellRegistrationTest, ARemovalThatCannotFinishSaysSoAndKeepsWhatWasDeleted)
{
    AddVerb(store, 1, u"/p/"_s, u"scrivlet"_s);
    clsRegEdit reg(store);
    reg.setRegKey(hkey::ClassesRoot);
    reg.setSubKey(u"text/html"_s + kVerbKey + u"\\command\\extra"_s);
    ASSERT_TRUE(reg.SetString(QString(), u"x"_s));

    const auto r = RemoveVerb(store, 1);
    EXPECT_EQ(r.text, u".htmlﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰから[Scrivletで編集]を削除できませんでした。"_s);
    EXPECT_TRUE(r.critical);
    const QString dde = u"text/html"_s + kVerbKey + u"\\ddeexec"_s;
    EXPECT_EQ(store.subKeyNames(hkey::ClassesRoot, dde), QStringList());
    EXPECT_EQ(get(u"text/html"_s + kVerbKey + u"\\command"_s), u"/p/scrivlet \"%1 /O\""_s);

    // A removal that finds "Application" already gone goes on.
    reg.setSubKey(u"text/html"_s + kVerbKey + u"\\command"_s);
    ASSERT_TRUE(reg.DeleteSubKey(u"extra"_s));
    EXPECT_EQ(RemoveVerb(store, 1).message, RegistrationMessage::RemoveFailed)
        << "Topic is gone too, so its delete fails";
}

TEST_F(ShellRegistrationTest, AStoreThatCannotBeWrittenFailsTheAdd)
{
    QFile f(store.fileName());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[]");
    f.close();
    const auto r = AddVerb(store, 1, u"/p/"_s, u"scrivlet"_s);
    EXPECT_EQ(r.message, RegistrationMessage::NotAssociatedAdd) << "nothing can be read either";
    // A store whose folder cannot be made: its place is taken by a file.
    QFile blocker(dir.filePath(u"blocked"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RegistryStore blocked(dir.filePath(u"blocked/registry.json"_s), {{u".html"_s, u"text/html"_s}});
    EXPECT_EQ(AddVerb(blocked, 1, u"/p/"_s, u"scrivlet"_s).message, RegistrationMessage::AddFailed);
}

// Desktop entries, in temporary data and configuration folders.
class DesktopEntriesTest : public ShellRegistrationTest
{
protected:
    DesktopPlaces places{dir.filePath(u"data/applications"_s),
                         dir.filePath(u"config/mimeapps.list"_s),
                         {},
                         {dir.filePath(u"system/applications"_s)}};
    const QString program = u"/opt/my apps/scrivlet"_s;

    void SetUp() override
    {
        store.setChangeHook([this](quint32 root) {
            if (root == hkey::ClassesRoot)
                ProjectShellVerbs(store, places, program);
        });
        // Another editor the system already opens pages with.
        write(u"system/applications/other-editor.desktop"_s,
              "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n"
              "MimeType=text/html;text/css;\n");
        write(u"system/applications/mimeinfo.cache"_s,
              "[MIME Cache]\ntext/html=other-editor.desktop;\n");
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(dir.filePath(name)).absolutePath());
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QStringList entries()
    {
        return QDir(places.applications).entryList({u"*.desktop"_s}, QDir::Files);
    }
};

TEST_F(DesktopEntriesTest, AnAddedVerbBecomesAHiddenEntryAndGoesAgain)
{
    ASSERT_EQ(AddVerb(store, 1, u"/p/"_s, u"scrivlet"_s).message, RegistrationMessage::Added);
    ASSERT_EQ(entries(), QStringList{EntryFileName(u"text/html"_s, kVerb)});
    const QString entry = places.applications + u'/' + entries().first();
    const QString text = read(entry);
    for (const char16_t *line :
         {u"Name=Scrivletで編集\n", u"NoDisplay=true\n", u"MimeType=text/html;\n",
          u"Exec=\"/opt/my apps/scrivlet\" --shell-exec text/html Scrivletで編集 %f\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf16(line))) << visible(text);
    EXPECT_TRUE(read(places.applications + u"/mimeinfo.cache"_s)
                    .contains(u"text/html="_s + entries().first()));
    // A double-click keeps opening the editor it opened before.
    EXPECT_EQ(read(places.mimeappsList),
              u"[Default Applications]\ntext/html=other-editor.desktop;\n"_s);

    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (!validator.isEmpty()) {
        QProcess check;
        check.start(validator, {entry});
        ASSERT_TRUE(check.waitForFinished(10000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();
    }

    // The .css verb: its type has no default to pin.
    AddVerb(store, 3, u"/p/"_s, u"scrivlet"_s);
    EXPECT_EQ(entries().size(), 2);
    EXPECT_FALSE(read(places.mimeappsList).contains(u"text/css="_s));

    RemoveVerb(store, 0);
    RemoveVerb(store, 3);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(read(places.applications + u"/mimeinfo.cache"_s).contains(kEntryPrefix));
    EXPECT_EQ(read(places.mimeappsList),
              u"[Default Applications]\ntext/html=other-editor.desktop;\n"_s);
}

TEST_F(DesktopEntriesTest, AChosenDefaultIsKept)
{
    write(u"config/mimeapps.list"_s,
          "[Added Associations]\ntext/plain=x.desktop;\n\n[Default Applications]\n"
          "text/html=mine.desktop;\n");
    AddVerb(store, 1, u"/p/"_s, u"scrivlet"_s);
    EXPECT_EQ(read(places.mimeappsList),
              QStringLiteral("[Added Associations]\ntext/plain=x.desktop;\n\n"
                             "[Default Applications]\ntext/html=mine.desktop;\n"));
}

TEST_F(DesktopEntriesTest, WithoutTheDesktopToolsTheCacheIsWrittenHere)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath(u"empty"_s)));
    write(u"data/applications/viewer.desktop"_s,
          "[Desktop Entry]\nType=Application\nName=V\nExec=v %f\nMimeType=text/css;text/html;\n");
    AddVerb(store, 1, u"/p/"_s, u"scrivlet"_s);
    qputenv("PATH", path);
    const QString ours = EntryFileName(u"text/html"_s, kVerb);
    EXPECT_EQ(read(places.applications + u"/mimeinfo.cache"_s),
              u"[MIME Cache]\ntext/css=viewer.desktop;\ntext/html="_s + ours +
                  u";viewer.desktop;\n"_s);
}

TEST(DesktopExecLine, QuotesWhatTheDesktopWouldSplit)
{
    struct Case
    {
        const char16_t *program;
        const char16_t *exec;
    };
    const Case cases[] = {
        {u"/usr/bin/scrivlet", u"/usr/bin/scrivlet a %f"},
        {u"/opt/a b/scrivlet", u"\"/opt/a b/scrivlet\" a %f"},
        // Inside quotes " ` $ \ take a backslash; the entry's own escaping doubles backslashes.
        {u"/opt/$x\\y/s", u"\"/opt/\\\\$x\\\\\\\\y/s\" a %f"},
        {u"/opt/100%/s", u"/opt/100%%/s a %f"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ExecLine(QString::fromUtf16(c.program), {u"a"_s}), QString::fromUtf16(c.exec));
}

} // namespace
} // namespace scrivlet::test
