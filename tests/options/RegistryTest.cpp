// The registry class over the file-backed store: what the shell verbs rely on of a registry.

#include "options/RegistryStore.h"
#include "options/clsRegEdit.h"
#include "tests/common/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace scrivlet::test {
namespace {

using options::RegistryStore;

class RegistryTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("sub/registry.json"));
    RegistryStore store{file, {{QStringLiteral(".html"), QStringLiteral("text/html")}}};

    clsRegEdit key(const QString &path, quint32 root = hkey::CurrentUser)
    {
        clsRegEdit reg(store);
        reg.setRegKey(root);
        reg.setSubKey(path);
        return reg;
    }
};

TEST_F(RegistryTest, ReadsNeverCreateAnything)
{
    auto reg = key(QStringLiteral("Software\\Missing"));
    EXPECT_EQ(reg.GetString(QString(), QStringLiteral("dflt")), QStringLiteral("dflt"));
    EXPECT_EQ(reg.GetDWORD(QStringLiteral("n"), 7), 7);
    QByteArray bytes("keep");
    EXPECT_EQ(reg.GetBinary(QStringLiteral("b"), bytes), 0);
    EXPECT_EQ(bytes, QByteArray("keep")) << "a missing key leaves the array as it was";
    QStringList names{QStringLiteral("x")};
    EXPECT_EQ(reg.EnumSubKey(names), 0);
    EXPECT_EQ(reg.EnumValueName(names), 0);
    EXPECT_EQ(names, QStringList{QStringLiteral("x")});
    EXPECT_FALSE(reg.DeleteSubKey(QStringLiteral("a")));
    EXPECT_FALSE(reg.DeleteValueName(QStringLiteral("a")));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(store.subKeyNames(hkey::CurrentUser, QStringLiteral("Software")));
}

TEST_F(RegistryTest, WritesCreateTheKeysAboveAndPersist)
{
    auto reg = key(QStringLiteral("Software\\Scrivlet\\Deep"));
    EXPECT_TRUE(reg.SetString(QString(), QStringLiteral("既定")));
    EXPECT_TRUE(reg.SetString(QStringLiteral("Name"), QStringLiteral("値")));
    // Another store on the same file, as the shell helper is, sees the same tree.
    RegistryStore other(file, {});
    clsRegEdit again(other);
    again.setRegKey(hkey::CurrentUser);
    again.setSubKey(QStringLiteral("software\\SCRIVLET\\deep"));
    EXPECT_EQ(again.GetString(QString(), QString()), QStringLiteral("既定"));
    EXPECT_EQ(again.GetString(QStringLiteral("NAME"), QString()), QStringLiteral("値"));
    EXPECT_EQ(other.subKeyNames(hkey::CurrentUser, QStringLiteral("Software")),
              QStringList{QStringLiteral("Scrivlet")})
        << "a key keeps the case it was first written with";
    EXPECT_EQ(QFile(file).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
}

TEST_F(RegistryTest, DeleteRefusesAKeyWithSubkeys)
{
    ASSERT_TRUE(key(QStringLiteral("a\\b\\c")).SetString(QString(), QStringLiteral("x")));
    auto a = key(QStringLiteral("a"));
    EXPECT_FALSE(a.DeleteSubKey(QStringLiteral("b")));
    EXPECT_EQ(key(QStringLiteral("a\\b\\c")).GetString(QString(), QString()), QStringLiteral("x"));
    EXPECT_TRUE(key(QStringLiteral("a\\b")).DeleteSubKey(QStringLiteral("C")));
    EXPECT_TRUE(a.DeleteSubKey(QStringLiteral("b")));
    EXPECT_FALSE(a.DeleteSubKey(QStringLiteral("b")));
    QStringList names;
    EXPECT_EQ(a.EnumSubKey(names), 0);
}

TEST_F(RegistryTest, EnumerationOrderAndNameLimit)
{
    auto reg = key(QStringLiteral("k"));
    for (const char *name : {"zeta", "Alpha", "mid"})
        ASSERT_TRUE(reg.SetString(QString::fromLatin1(name), QStringLiteral("1")));
    ASSERT_TRUE(reg.SetString(QStringLiteral("ALPHA"), QStringLiteral("2")));
    for (const char *sub : {"b", "C", "a"})
        ASSERT_TRUE(key(QStringLiteral("k\\") + QLatin1String(sub)).SetDWORD(QString(), 1));

    QStringList names(5, QStringLiteral("old"));
    EXPECT_EQ(reg.EnumValueName(names), 3);
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("zeta"), QStringLiteral("Alpha"), QStringLiteral("mid")}))
        << "creation order; an overwrite keeps its slot and its first name";
    EXPECT_EQ(reg.GetString(QStringLiteral("alpha"), QString()), QStringLiteral("2"));
    EXPECT_EQ(reg.EnumSubKey(names), 3);
    EXPECT_EQ(names, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("C")}));

    // A name of 79 characters fits the buffer; one of 80 ends the listing quietly.
    auto limits = key(QStringLiteral("limits"));
    limits.SetString(QString(79, u'x'), QString());
    limits.SetString(QString(80, u'y'), QString());
    limits.SetString(QStringLiteral("after"), QString());
    EXPECT_EQ(limits.EnumValueName(names), 1);
    EXPECT_EQ(names, QStringList{QString(79, u'x')});
}

TEST_F(RegistryTest, ReadsDoNotLookAtTheStoredType)
{
    auto reg = key(QStringLiteral("types"));
    const QByteArray withNul("abc\0more", 8);
    ASSERT_TRUE(reg.SetBinary(QStringLiteral("bin"), withNul, 8));
    EXPECT_EQ(reg.GetString(QStringLiteral("bin"), QString()), QStringLiteral("abc"));
    ASSERT_TRUE(reg.SetDWORD(QStringLiteral("num"), 0x00434241));
    EXPECT_EQ(reg.GetString(QStringLiteral("num"), QString()), QStringLiteral("ABC"));
    QByteArray bytes;
    EXPECT_EQ(reg.GetBinary(QStringLiteral("num"), bytes), 4);
    EXPECT_EQ(bytes, QByteArray("ABC\0", 4));
    ASSERT_TRUE(reg.SetString(QStringLiteral("s"), QStringLiteral("ab")));
    EXPECT_EQ(reg.GetDWORD(QStringLiteral("s"), int(0x11223344)), 0x11006261)
        << "three bytes land on the low bytes of the default";
    EXPECT_EQ(reg.GetDWORD(QStringLiteral("bin"), 9), 9) << "eight bytes do not fit";
    EXPECT_EQ(reg.GetBinary(QStringLiteral("missing"), bytes), 0);
    EXPECT_TRUE(bytes.isEmpty()) << "a missing value empties the array";
    EXPECT_FALSE(reg.SetBinary(QStringLiteral("x"), withNul, 9));
}

TEST_F(RegistryTest, BufferLimits)
{
    auto reg = key(QStringLiteral("big"));
    struct Case
    {
        qsizetype stringLength; // UTF-8 bytes before the closing NUL
        bool fits;
    };
    for (const Case c : {Case{4095, true}, Case{4096, false}}) {
        reg.SetString(QStringLiteral("s"), QString(c.stringLength, u'a'));
        EXPECT_EQ(reg.GetString(QStringLiteral("s"), QStringLiteral("d")).size(),
                  c.fits ? c.stringLength : 1)
            << c.stringLength;
    }
    QByteArray bytes;
    reg.SetBinary(QStringLiteral("b"), QByteArray(4096, 'b'), 4096);
    EXPECT_EQ(reg.GetBinary(QStringLiteral("b"), bytes), 4096);
    reg.SetBinary(QStringLiteral("b"), QByteArray(4097, 'b'), 4097);
    EXPECT_EQ(reg.GetBinary(QStringLiteral("b"), bytes), 0);
    EXPECT_TRUE(bytes.isEmpty());
}

TEST_F(RegistryTest, BadRootsAndPathsFailEverything)
{
    struct Case
    {
        quint32 root;
        const char *path;
    };
    for (const Case c : {Case{0x80000004u, "a"}, Case{0, ""}, Case{hkey::CurrentUser, "\\a"},
                         Case{hkey::CurrentUser, "a\\\\b"}}) {
        auto reg = key(QString::fromLatin1(c.path), c.root);
        EXPECT_FALSE(reg.SetString(QString(), QStringLiteral("x"))) << c.path;
        EXPECT_FALSE(reg.SetDWORD(QString(), 1)) << c.path;
        EXPECT_EQ(reg.GetString(QString(), QStringLiteral("d")), QStringLiteral("d"));
        QStringList names;
        EXPECT_EQ(reg.EnumSubKey(names), 0);
    }
    EXPECT_FALSE(QFile::exists(file));
    // "" is the root itself.
    auto root = key(QString());
    EXPECT_TRUE(root.SetString(QStringLiteral("v"), QStringLiteral("r")));
    EXPECT_EQ(key(QString()).GetString(QStringLiteral("v"), QString()), QStringLiteral("r"));
}

TEST_F(RegistryTest, ANewStoreKnowsTheClassesOfItsSeed)
{
    auto reg = key(QStringLiteral(".HTML"), hkey::ClassesRoot);
    EXPECT_EQ(reg.GetString(QString(), QString()), QStringLiteral("text/html"));
    EXPECT_FALSE(QFile::exists(file)) << "the seed is written with the first change only";
    ASSERT_TRUE(key(QStringLiteral("x"), hkey::ClassesRoot).SetString(QString(), QString()));
    EXPECT_EQ(RegistryStore(file, {}).subKeyNames(hkey::ClassesRoot, QString()),
              (QStringList{QStringLiteral(".html"), QStringLiteral("x")}));

    const auto seed = RegistryStore::DefaultSeed();
    EXPECT_EQ(seed, (RegistryStore::Seed{{QStringLiteral(".htm"), QStringLiteral("text/html")},
                                         {QStringLiteral(".html"), QStringLiteral("text/html")},
                                         {QStringLiteral(".shtml"), QStringLiteral("text/html")},
                                         {QStringLiteral(".css"), QStringLiteral("text/css")}}));
}

TEST_F(RegistryTest, AFileThatIsNoStoreIsNeverOverwritten)
{
    QDir().mkpath(dir.filePath(QStringLiteral("sub")));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{ not json");
    f.close();
    auto reg = key(QStringLiteral("a"));
    EXPECT_FALSE(reg.SetString(QString(), QStringLiteral("x")));
    EXPECT_EQ(reg.GetString(QString(), QStringLiteral("d")), QStringLiteral("d"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("{ not json"));
}

TEST_F(RegistryTest, TheHookHearsEverySavedChange)
{
    QList<quint32> roots;
    store.setChangeHook([&](quint32 root) { roots.append(root); });
    auto reg = key(QStringLiteral("a"), hkey::ClassesRoot);
    reg.SetString(QString(), QStringLiteral("x"));
    reg.DeleteValueName(QStringLiteral("nothing"));
    key(QString(), hkey::ClassesRoot).DeleteSubKey(QStringLiteral("a"));
    key(QStringLiteral("b")).SetDWORD(QStringLiteral("n"), 1);
    EXPECT_EQ(roots, (QList<quint32>{hkey::ClassesRoot, hkey::ClassesRoot, hkey::CurrentUser}));
}

} // namespace
} // namespace scrivlet::test
