// The file-backed registry store and the "Scrivletで編集" verb kept in it: the registry class as
// the verbs rely on it, adding and removing the verb, the desktop entries that make it real, and
// what the shell helper does with a stored verb against a scripted instance channel.

#include "options/DesktopEntries.h"
#include "options/RegistryStore.h"
#include "options/ShellExec.h"
#include "options/ShellRegistration.h"
#include "options/clsRegEdit.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"
#include "tests/options/RegistrationMessages.h"

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

using Msg = RegistrationMessage;
using Reply = IInstanceChannel::Reply;
const QString kVerbKey = u"\\shell\\Scrivletで編集"_s;

class RegistryTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(u"sub/registry.json"_s);
    RegistryStore store{file}; // .htm .html .shtml .css seeded

    clsRegEdit key(const QString &path, quint32 root = hkey::CurrentUser, IRegistry *in = nullptr)
    {
        clsRegEdit reg(in ? *in : store);
        reg.setRegKey(root);
        reg.setSubKey(path);
        return reg;
    }
    clsRegEdit cls(const QString &path) { return key(path, hkey::ClassesRoot); }
    QString get(const QString &path) { return cls(path).GetString(QString(), u"<none>"_s); }
    std::string bytes() { return readFile(file.toStdString()); }
    void write(const QString &path, const char *bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeFile(path.toStdString(), bytes);
    }
    RegistrationResult add(int index, const QString &folder = u"/p/"_s)
    {
        return AddVerb(store, index, folder, u"scrivlet"_s);
    }
    // A result's text and whether it is critical, against the message for the extension.
    static void expectSaid(const RegistrationResult &r, const char *message, const char *extension)
    {
        EXPECT_EQ(std::pair(r.text, r.critical), registrationMessage(message, extension));
    }
};
using ShellRegistrationTest = RegistryTest;

// A missing key reads as the defaults; a bad root or path also refuses every write.
TEST_F(RegistryTest, ReadsBadKeysAndFilesThatAreNoStoreNeverCreateOrOverwriteAnything)
{
    for (const DataRow &row :
         readDataRows(SCRIVLET_OPTIONS_DATA "/missing-and-bad-registry-keys.txt", 3)) {
        SCOPED_TRACE(row[1]);
        auto reg = key(field(row, 1), quint32(std::stoul(row[0], nullptr, 0)));
        EXPECT_EQ(std::pair(reg.GetString(QString(), u"dflt"_s), reg.GetDWORD(u"n"_s, 7)),
                  std::pair(u"dflt"_s, 7));
        QByteArray bytes("keep");
        EXPECT_EQ(reg.GetBinary(u"b"_s, bytes), 0);
        EXPECT_EQ(bytes, QByteArray("keep")) << "a missing key leaves the array as it was";
        QStringList names{u"x"_s};
        EXPECT_EQ(std::pair(reg.EnumSubKey(names), reg.EnumValueName(names)), std::pair(0, 0));
        EXPECT_EQ(names, QStringList{u"x"_s});
        EXPECT_FALSE(reg.DeleteSubKey(u"a"_s) || reg.DeleteValueName(u"a"_s));
        EXPECT_FALSE(row[2] == "refused" &&
                     (reg.SetString(QString(), u"x"_s) || reg.SetDWORD(QString(), 1)));
    }
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(store.subKeyNames(hkey::CurrentUser, u"Software"_s));
    EXPECT_TRUE(key(QString()).SetString(u"v"_s, u"r"_s)) << "\"\" is the root itself";
    EXPECT_EQ(key(QString()).GetString(u"v"_s, QString()), u"r"_s);

    // A file that is no store is never overwritten.
    write(file, "{ not json");
    auto reg = key(u"a"_s);
    EXPECT_FALSE(reg.SetString(QString(), u"x"_s));
    EXPECT_EQ(reg.GetString(QString(), u"d"_s), u"d"_s);
    EXPECT_EQ(bytes(), "{ not json");
    writeFile(file.toStdString(), "[]");
    EXPECT_EQ(std::pair(add(1).message, RemoveVerb(store, 1).message),
              std::pair(Msg::AddFailed, Msg::RemoveFailed))
        << "a store that cannot be read is no proof the extension has no class";
    // A store whose folder cannot be made: its place is taken by a file.
    writeFile(dir.filePath(u"blocked"_s).toStdString(), "");
    RegistryStore blocked(dir.filePath(u"blocked/registry.json"_s));
    EXPECT_EQ(AddVerb(blocked, 1, u"/p/"_s, u"scrivlet"_s).message, Msg::AddFailed);
}

TEST_F(RegistryTest, WritesCreateTheKeysAbovePersistAndTheHookHearsEverySavedChange)
{
    auto reg = key(u"Software\\Scrivlet\\Deep"_s);
    EXPECT_TRUE(reg.SetString(QString(), u"既定"_s));
    EXPECT_TRUE(reg.SetString(u"Name"_s, u"値"_s));
    // Another store on the same file, as the shell helper is, sees the same tree.
    RegistryStore other(file, {});
    auto again = key(u"software\\SCRIVLET\\deep"_s, hkey::CurrentUser, &other);
    EXPECT_EQ(std::pair(again.GetString(QString(), QString()), again.GetString(u"NAME"_s, {})),
              std::pair(u"既定"_s, u"値"_s));
    EXPECT_EQ(other.subKeyNames(hkey::CurrentUser, u"Software"_s), QStringList{u"Scrivlet"_s})
        << "a key keeps the case it was first written with";
    EXPECT_EQ(QFile(file).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);

    // The hook hears every saved change, with its root.
    QList<quint32> roots;
    store.setChangeHook([&](quint32 root) {
        roots.append(root);
        return true;
    });
    cls(u"a"_s).SetString(QString(), u"x"_s);
    cls(u"a"_s).DeleteValueName(u"nothing"_s);
    cls(QString()).DeleteSubKey(u"a"_s);
    key(u"b"_s).SetDWORD(u"n"_s, 1);
    EXPECT_EQ(roots, (QList<quint32>{hkey::ClassesRoot, hkey::ClassesRoot, hkey::CurrentUser}));
}

TEST_F(RegistryTest, DeleteRefusesAKeyWithSubkeysAndListingsKeepTheirOrderAndNameLimit)
{
    ASSERT_TRUE(key(u"a\\b\\c"_s).SetString(QString(), u"x"_s));
    auto a = key(u"a"_s);
    EXPECT_FALSE(a.DeleteSubKey(u"b"_s));
    EXPECT_EQ(key(u"a\\b\\c"_s).GetString(QString(), QString()), u"x"_s);
    EXPECT_TRUE(key(u"a\\b"_s).DeleteSubKey(u"C"_s) && a.DeleteSubKey(u"b"_s));
    EXPECT_FALSE(a.DeleteSubKey(u"b"_s));
    QStringList names;
    EXPECT_EQ(a.EnumSubKey(names), 0);

    // Listings keep the creation order.
    auto reg = key(u"k"_s);
    for (const char *name : {"zeta", "Alpha", "mid"})
        ASSERT_TRUE(reg.SetString(QString::fromLatin1(name), u"1"_s));
    ASSERT_TRUE(reg.SetString(u"ALPHA"_s, u"2"_s));
    for (const char *sub : {"b", "C", "a"})
        ASSERT_TRUE(key(u"k\\"_s + QLatin1String(sub)).SetDWORD(QString(), 1));
    names = QStringList(5, u"old"_s);
    EXPECT_EQ(reg.EnumValueName(names), 3);
    EXPECT_EQ(names, (QStringList{u"zeta"_s, u"Alpha"_s, u"mid"_s}))
        << "creation order; an overwrite keeps its slot and its first name";
    EXPECT_EQ(reg.GetString(u"alpha"_s, QString()), u"2"_s);
    EXPECT_EQ(reg.EnumSubKey(names), 3);
    EXPECT_EQ(names, (QStringList{u"a"_s, u"b"_s, u"C"_s}));
    // A name of 79 characters fits the buffer; one of 80 ends the listing quietly.
    auto limits = key(u"limits"_s);
    for (const QString &name : {QString(79, u'x'), QString(80, u'y'), u"after"_s})
        limits.SetString(name, QString());
    EXPECT_EQ(limits.EnumValueName(names), 1);
    EXPECT_EQ(names, QStringList{QString(79, u'x')});
}

TEST_F(RegistryTest, ReadsDoNotLookAtTheStoredTypeAndStopAtTheBuffers)
{
    auto reg = key(u"types"_s);
    const QByteArray withNul("abc\0more", 8);
    ASSERT_TRUE(reg.SetBinary(u"bin"_s, withNul, 8));
    EXPECT_EQ(reg.GetString(u"bin"_s, QString()), u"abc"_s);
    ASSERT_TRUE(reg.SetDWORD(u"num"_s, 0x00434241));
    QByteArray bytes;
    EXPECT_EQ(std::pair(reg.GetString(u"num"_s, QString()), reg.GetBinary(u"num"_s, bytes)),
              std::pair(u"ABC"_s, 4));
    EXPECT_EQ(bytes, QByteArray("ABC\0", 4));
    ASSERT_TRUE(reg.SetString(u"s"_s, u"ab"_s));
    EXPECT_EQ(reg.GetDWORD(u"s"_s, int(0x11223344)), 0x11006261)
        << "three bytes land on the low bytes of the default";
    EXPECT_EQ(reg.GetDWORD(u"bin"_s, 9), 9) << "eight bytes do not fit";
    EXPECT_EQ(reg.GetBinary(u"missing"_s, bytes), 0);
    EXPECT_TRUE(bytes.isEmpty()) << "a missing value empties the array";
    EXPECT_FALSE(reg.SetBinary(u"x"_s, withNul, 9));
    // A string of 4095 UTF-8 bytes and its closing NUL fit; 4096 bytes of binary fit.
    for (const auto &[length, fits] : {std::pair{4095, true}, {4096, false}}) {
        reg.SetString(u"s"_s, QString(length, u'a'));
        EXPECT_EQ(reg.GetString(u"s"_s, u"d"_s), fits ? QString(length, u'a') : u"d"_s) << length;
        reg.SetBinary(u"b"_s, QByteArray(length + 1, 'b'), length + 1);
        EXPECT_EQ(reg.GetBinary(u"b"_s, bytes), fits ? 4096 : 0);
        EXPECT_EQ(bytes, fits ? QByteArray(4096, 'b') : QByteArray());
    }
}

TEST_F(ShellRegistrationTest, ANewStoreKnowsItsSeedAndAddWritesTheVerbForEachExtension)
{
    // A new store knows the classes of its seed; the verb goes to each of them.
    EXPECT_EQ(key(u".HTML"_s, hkey::ClassesRoot).GetString(QString(), QString()), u"text/html"_s);
    EXPECT_FALSE(QFile::exists(file)) << "the seed is written with the first change only";
    ASSERT_TRUE(key(u"x"_s, hkey::ClassesRoot).SetString(QString(), QString()));
    EXPECT_EQ(RegistryStore(file, {}).subKeyNames(hkey::ClassesRoot, QString()),
              (QStringList{u".css"_s, u".htm"_s, u".html"_s, u".shtml"_s, u"x"_s}));
    for (const auto &[index, ext, type] : {std::tuple{0, ".htm", u"text/html"_s},
                                           {1, ".html", u"text/html"_s},
                                           {2, ".shtml", u"text/html"_s},
                                           {3, ".css", u"text/css"_s}}) {
        // Twice: the second overwrites the same values and succeeds again.
        for (int round = 0; round < 2; ++round)
            expectSaid(add(index, u"/opt/my apps/Scrivlet/"_s), "Added", ext);
        const QString verb = type + kVerbKey;
        EXPECT_EQ(get(verb + u"\\command"_s), u"/opt/my apps/Scrivlet/scrivlet \"%1 /O\""_s);
        EXPECT_EQ(get(verb + u"\\ddeexec\\Application"_s), u"Scrivlet"_s);
        RemoveVerb(store, index); // so that the next extension's class is read afresh
    }
    // A renamed copy serves under its own name, as main() names the service.
    AddVerb(store, 1, u"/opt/s/"_s, u"scrivlet-1.2"_s);
    EXPECT_EQ(get(u"text/html"_s + kVerbKey + u"\\ddeexec\\Application"_s), u"scrivlet-1"_s);
}

// Refusals and removals of nothing write nothing; a removal leaves the other verbs and the shell
// key; .htm and .html share their class and so their verb; a removal stopped half-way says so.
TEST_F(ShellRegistrationTest, RemovingTakesOnlyTheVerbAndRefusalsWriteNothing)
{
    ASSERT_TRUE(cls(u"text/css\\shell\\open\\command"_s).SetString(QString(), u"other %f"_s));
    std::string before = bytes();
    expectSaid(RemoveVerb(store, 3), "NoVerb", ".css");
    EXPECT_EQ(bytes(), before);
    add(3);
    EXPECT_EQ(RemoveVerb(store, 3).message, Msg::Removed);
    EXPECT_EQ(get(u"text/css\\shell\\open\\command"_s), u"other %f"_s);
    EXPECT_EQ(store.subKeyNames(hkey::ClassesRoot, u"text/css\\shell"_s), QStringList{u"open"_s});

    ASSERT_TRUE(cls(u".css"_s).SetString(QString(), QString()));
    before = bytes();
    expectSaid(add(3), "NotAssociatedAdd", ".css");
    expectSaid(RemoveVerb(store, 3), "NotAssociatedRemove", ".css");
    EXPECT_EQ(bytes(), before);

    ASSERT_FALSE(add(0).critical);
    expectSaid(RemoveVerb(store, 1), "Removed", ".html");
    EXPECT_FALSE(store.subKeyNames(hkey::ClassesRoot, u"text/html"_s + kVerbKey));
    EXPECT_TRUE(store.subKeyNames(hkey::ClassesRoot, u"text/html\\shell"_s))
        << "the shell key stays";
    expectSaid(RemoveVerb(store, 0), "NoVerb", ".htm");

    // A removal that cannot finish says so and keeps what was deleted.
    add(1);
    const QString verb = u"text/html"_s + kVerbKey;
    ASSERT_TRUE(cls(verb + u"\\command\\extra"_s).SetString(QString(), u"x"_s));
    expectSaid(RemoveVerb(store, 1), "RemoveFailed", ".html");
    EXPECT_EQ(store.subKeyNames(hkey::ClassesRoot, verb + u"\\ddeexec"_s), QStringList());
    EXPECT_EQ(get(verb + u"\\command"_s), u"/p/scrivlet \"%1 /O\""_s);
    // A removal that finds "Application" already gone goes on.
    ASSERT_TRUE(cls(verb + u"\\command"_s).DeleteSubKey(u"extra"_s));
    EXPECT_EQ(RemoveVerb(store, 1).message, Msg::RemoveFailed)
        << "Topic is gone too, so its delete fails";
}

// Desktop entries, in temporary data and configuration folders; the system's folder holds
// another editor that already opens pages.
class DesktopEntriesTest : public RegistryTest
{
protected:
    DesktopPlaces places{dir.filePath(u"data/applications"_s),
                         dir.filePath(u"config/mimeapps.list"_s),
                         {dir.filePath(u"system/gnome-mimeapps.list"_s)},
                         {SCRIVLET_OPTIONS_DATA "/system-applications"},
                         {dir.filePath(u"config/gnome-mimeapps.list"_s)}};
    const QString otherDefault = u"[Default Applications]\ntext/html=other-editor.desktop;\n"_s;

    void SetUp() override
    {
        store.setChangeHook([this](quint32 root) {
            return root != hkey::ClassesRoot ||
                   ProjectShellVerbs(store, places, u"/opt/my apps/scrivlet"_s);
        });
    }
    static QString read(const QString &path)
    {
        return QString::fromStdString(readFile(path.toStdString()));
    }
    QString cache() { return read(places.applications + u"/mimeinfo.cache"_s); }
    QStringList entries() { return QDir(places.applications).entryList({u"*.desktop"_s}); }
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

    // The validator's complaints go to the test's output.
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    EXPECT_EQ(validator.isEmpty() ? 0 : QProcess::execute(validator, {entry}), 0);

    add(3); // the .css verb: its type has no default to pin
    EXPECT_EQ(entries().size(), 2);
    EXPECT_FALSE(read(places.mimeappsList).contains(u"text/css="_s));
    RemoveVerb(store, 0);
    RemoveVerb(store, 3);
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_FALSE(cache().contains(kEntryPrefix));
    EXPECT_EQ(read(places.mimeappsList), otherDefault);

    // A verb the file manager cannot be given is not reported added.
    ASSERT_TRUE(QDir(places.applications).removeRecursively());
    writeFile(places.applications.toStdString(), "");
    EXPECT_EQ(add(1).message, Msg::AddFailed);
}

// The default a desktop's own list names, the user's before the system's, is the one kept.
TEST_F(DesktopEntriesTest, TheDefaultOfTheDesktopsOwnListIsTheOneKept)
{
    write(places.applications + u"/browser.desktop"_s,
          "[Desktop Entry]\nType=Application\nName=B\nExec=b %u\nMimeType=text/html;\n");
    write(places.otherMimeapps.first(), "[Default Applications]\ntext/html=browser.desktop\n");
    add(1);
    EXPECT_EQ(read(places.mimeappsList), u"[Default Applications]\ntext/html=browser.desktop;\n"_s);
    RemoveVerb(store, 1);
    QFile::remove(places.mimeappsList);
    // One no longer installed is passed over.
    write(places.desktopMimeapps.first(),
          "[Default Applications]\ntext/html=gone.desktop;other-editor.desktop\n");
    add(1);
    EXPECT_EQ(read(places.mimeappsList), otherDefault);
}

// Each verb's entry runs the copy of the program that added the verb while that copy is there,
// whichever copy changes the verbs later.
TEST_F(DesktopEntriesTest, EachEntryRunsTheCopyThatAddedItsVerb)
{
    const QString copy = dir.filePath(u"copy a/"_s);
    write(copy + u"scrivlet"_s, "#!/bin/sh\n");
    QFile::setPermissions(copy + u"scrivlet"_s, QFile::ReadOwner | QFile::ExeOwner);
    add(1, copy);
    add(3); // from /p/, where no program is: the copy that projects the verbs
    const auto exec = [this](const QString &type) {
        const QString text = read(places.applications + u'/' + EntryFileName(type, kVerb));
        return text.section(u"\nExec="_s, 1).section(u'\n', 0, 0);
    };
    EXPECT_TRUE(exec(u"text/html"_s).startsWith(u'"' + copy + u"scrivlet\" "_s))
        << exec(u"text/html"_s).toStdString();
    EXPECT_TRUE(exec(u"text/css"_s).startsWith(u"\"/opt/my apps/scrivlet\" "_s))
        << exec(u"text/css"_s).toStdString();
}

// The association files in the order the desktop reads them, its own before the plain ones.
TEST(DesktopPlacesTest, EachFolderOffersTheCurrentDesktopsListsFirst)
{
    const std::pair<const char *, const char *> vars[] = {{"XDG_CONFIG_HOME", "/c"},
                                                          {"XDG_CONFIG_DIRS", "/s"},
                                                          {"XDG_DATA_HOME", "/d"},
                                                          {"XDG_DATA_DIRS", "/u"},
                                                          {"XDG_CURRENT_DESKTOP", "GNOME:X"}};
    QList<QByteArray> saved;
    for (const auto &[name, value] : vars) {
        saved.append(qgetenv(name));
        qputenv(name, value);
    }
    const DesktopPlaces places = DesktopPlaces::fromEnvironment();
    for (qsizetype i = 0; i < std::ssize(vars); ++i)
        qputenv(vars[i].first, saved[i]);
    EXPECT_EQ(places.desktopMimeapps,
              (QStringList{u"/c/gnome-mimeapps.list"_s, u"/c/x-mimeapps.list"_s}));
    EXPECT_EQ(places.mimeappsList, u"/c/mimeapps.list"_s);
    QStringList expected;
    for (const QString &dir : {u"/s"_s, u"/d/applications"_s, u"/u/applications"_s})
        for (const QString &name : {u"gnome-"_s, u"x-"_s, QString()})
            expected << dir + u'/' + name + u"mimeapps.list"_s;
    EXPECT_EQ(places.otherMimeapps, expected);
}

// A default the user chose is kept; without the desktop's tools the cache is written here.
TEST_F(DesktopEntriesTest, AChosenDefaultIsKeptAndWithoutTheDesktopToolsTheCacheIsWrittenHere)
{
    const char *chosen = "[Added Associations]\ntext/plain=x.desktop;\n\n[Default Applications]\n"
                         "text/html=mine.desktop;\n";
    write(places.mimeappsList, chosen);
    write(places.applications + u"/viewer.desktop"_s,
          "[Desktop Entry]\nType=Application\nName=V\nExec=v %f\nMimeType=text/css;text/html;\n");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath(u"empty"_s)));
    add(1);
    qputenv("PATH", path);
    EXPECT_EQ(read(places.mimeappsList), QString::fromUtf8(chosen));
    EXPECT_EQ(cache(), u"[MIME Cache]\ntext/css=viewer.desktop;\ntext/html="_s +
                           EntryFileName(u"text/html"_s, kVerb) + u";viewer.desktop;\n"_s);
}

// The desktop entry quotes what the desktop would split; a stored command splits as the verb
// means it.
TEST_F(RegistryTest, CommandLinesAreQuotedForTheDesktopAndSplitAsTheVerbMeansIt)
{
    for (const DataRow &row : readDataRows(SCRIVLET_OPTIONS_DATA "/desktop-exec-lines.txt", 2))
        EXPECT_EQ(ExecLine(field(row, 0), {u"a"_s}), field(row, 1));
    const QString program = dir.filePath(u"my apps/scrivlet"_s);
    write(program, "");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const DataRow &row : readDataRows(SCRIVLET_OPTIONS_DATA "/command-line-splits.txt", 2)) {
        const auto field = [&](int i) {
            return QString::fromStdString(row[i]).replace(u"$P"_s, program);
        };
        EXPECT_EQ(SplitCommandLine(field(0)), field(1).split(u'|')) << row[0];
    }
}

// The shell helper against a scripted instance channel: the replies it is to get, in order (no
// server when none is left), and what it sent and started.
class ShellExecTest : public RegistryTest, public IInstanceChannel
{
protected:
    void SetUp() override { ASSERT_EQ(add(1, u"/opt/S/"_s).message, Msg::Added); }
    Serving serve(const QString &, Execute) override { return Serving::Unavailable; }
    Reply send(const QString &application, const QString &topic, const QString &command,
               int) override
    {
        sent.append(QStringList{application, topic, command});
        return replies.isEmpty() ? Reply::NoServer : replies.takeFirst();
    }
    int run(int waitMs, bool startWorks, const QString &file = u"/w/a b.html"_s)
    {
        sent.clear();
        started.clear();
        const auto start = [&](const QString &program, const QStringList &arguments) {
            started.append(QStringList{program} + arguments);
            return startWorks;
        };
        return ShellExec(store, *this, start, u"text/html"_s, kVerb, file, waitMs);
    }
    QList<QStringList> sent, started;
    QList<Reply> replies;
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
        // No channel: the file goes on the new instance's command line.
        {{Reply::Unavailable}, true, 300, 0, {{u"/opt/S/scrivlet"_s, u"/w/a b.html"_s}}, 1},
    };
    for (const auto &[scripted, works, waitMs, code, programs, sends] : cases) {
        replies = scripted;
        EXPECT_EQ(run(waitMs, works), code);
        EXPECT_EQ(started, programs);
        EXPECT_EQ(sent, QList<QStringList>(sends, edit));
    }
    // The channel would split a name holding " " into two paths: a new instance's command line
    // carries it whole.
    replies = {Reply::Accepted};
    EXPECT_EQ(run(300, true, u"/w/a\" \"b.html"_s), 0);
    EXPECT_EQ(started, (QList<QStringList>{{u"/opt/S/scrivlet"_s, u"/w/a\" \"b.html"_s}}));
    EXPECT_TRUE(sent.isEmpty());
    // The file goes into the command's arguments whole, and never into the program's folder.
    replies.clear();
    AddVerb(store, 1, u"/opt/100%1/"_s, u"scrivlet"_s);
    run(0, false, u"/w/say \"hi\" now.html"_s);
    EXPECT_EQ(started,
              (QList<QStringList>{{u"/opt/100%1/scrivlet"_s, u"/w/say \"hi\" now.html /O"_s}}));
    AddVerb(store, 1, u"/opt/S/"_s, u"scrivlet"_s);
    EXPECT_EQ(run(300, true), 1) << "the new instance never served";
    EXPECT_GE(sent.size(), 2);
    EXPECT_EQ(ShellExec(store, *this, {}, u"text/css"_s, kVerb, u"/w/x.css"_s), 1)
        << "no such verb";
}

} // namespace
} // namespace scrivlet::test
