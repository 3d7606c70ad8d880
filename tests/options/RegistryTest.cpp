// The registry class over the file-backed store: what the shell verbs rely on of a registry.

#include "options/RegistryStore.h"
#include "options/clsRegEdit.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

using options::RegistryStore;

class RegistryTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(u"sub/registry.json"_s);
    RegistryStore store{file, {{u".html"_s, u"text/html"_s}}};

    clsRegEdit key(const QString &path, quint32 root = hkey::CurrentUser, IRegistry *in = nullptr)
    {
        clsRegEdit reg(in ? *in : store);
        reg.setRegKey(root);
        reg.setSubKey(path);
        return reg;
    }
};

// A missing key reads as the defaults; a bad root or path also refuses every write.
TEST_F(RegistryTest, ReadsAndBadKeysNeverCreateAnything)
{
    for (const auto &[root, path, bad] : {std::tuple{hkey::CurrentUser, "Software\\Missing", false},
                                          {0x80000004u, "a", true},
                                          {0u, "", true},
                                          {hkey::CurrentUser, "\\a", true},
                                          {hkey::CurrentUser, "a\\\\b", true}}) {
        SCOPED_TRACE(path);
        auto reg = key(QString::fromLatin1(path), root);
        EXPECT_EQ(reg.GetString(QString(), u"dflt"_s), u"dflt"_s);
        EXPECT_EQ(reg.GetDWORD(u"n"_s, 7), 7);
        QByteArray bytes("keep");
        EXPECT_EQ(reg.GetBinary(u"b"_s, bytes), 0);
        EXPECT_EQ(bytes, QByteArray("keep")) << "a missing key leaves the array as it was";
        QStringList names{u"x"_s};
        EXPECT_EQ(reg.EnumSubKey(names), 0);
        EXPECT_EQ(reg.EnumValueName(names), 0);
        EXPECT_EQ(names, QStringList{u"x"_s});
        EXPECT_FALSE(reg.DeleteSubKey(u"a"_s));
        EXPECT_FALSE(reg.DeleteValueName(u"a"_s));
        if (bad) {
            EXPECT_FALSE(reg.SetString(QString(), u"x"_s));
            EXPECT_FALSE(reg.SetDWORD(QString(), 1));
        }
    }
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(store.subKeyNames(hkey::CurrentUser, u"Software"_s));
    EXPECT_TRUE(key(QString()).SetString(u"v"_s, u"r"_s)) << "\"\" is the root itself";
    EXPECT_EQ(key(QString()).GetString(u"v"_s, QString()), u"r"_s);
}

TEST_F(RegistryTest, WritesCreateTheKeysAboveAndPersist)
{
    auto reg = key(u"Software\\Scrivlet\\Deep"_s);
    EXPECT_TRUE(reg.SetString(QString(), u"既定"_s));
    EXPECT_TRUE(reg.SetString(u"Name"_s, u"値"_s));
    // Another store on the same file, as the shell helper is, sees the same tree.
    RegistryStore other(file, {});
    auto again = key(u"software\\SCRIVLET\\deep"_s, hkey::CurrentUser, &other);
    EXPECT_EQ(again.GetString(QString(), QString()), u"既定"_s);
    EXPECT_EQ(again.GetString(u"NAME"_s, QString()), u"値"_s);
    EXPECT_EQ(other.subKeyNames(hkey::CurrentUser, u"Software"_s), QStringList{u"Scrivlet"_s})
        << "a key keeps the case it was first written with";
    EXPECT_EQ(QFile(file).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
}

TEST_F(RegistryTest, DeleteRefusesAKeyWithSubkeys)
{
    ASSERT_TRUE(key(u"a\\b\\c"_s).SetString(QString(), u"x"_s));
    auto a = key(u"a"_s);
    EXPECT_FALSE(a.DeleteSubKey(u"b"_s));
    EXPECT_EQ(key(u"a\\b\\c"_s).GetString(QString(), QString()), u"x"_s);
    EXPECT_TRUE(key(u"a\\b"_s).DeleteSubKey(u"C"_s));
    EXPECT_TRUE(a.DeleteSubKey(u"b"_s));
    EXPECT_FALSE(a.DeleteSubKey(u"b"_s));
    QStringList names;
    EXPECT_EQ(a.EnumSubKey(names), 0);
}

TEST_F(RegistryTest, EnumerationOrderAndNameLimit)
{
    auto reg = key(u"k"_s);
    for (const char *name : {"zeta", "Alpha", "mid"})
        ASSERT_TRUE(reg.SetString(QString::fromLatin1(name), u"1"_s));
    ASSERT_TRUE(reg.SetString(u"ALPHA"_s, u"2"_s));
    for (const char *sub : {"b", "C", "a"})
        ASSERT_TRUE(key(u"k\\"_s + QLatin1String(sub)).SetDWORD(QString(), 1));
    QStringList names(5, u"old"_s);
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
    EXPECT_EQ(reg.GetString(u"num"_s, QString()), u"ABC"_s);
    QByteArray bytes;
    EXPECT_EQ(reg.GetBinary(u"num"_s, bytes), 4);
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

TEST_F(RegistryTest, ANewStoreKnowsTheClassesOfItsSeed)
{
    EXPECT_EQ(key(u".HTML"_s, hkey::ClassesRoot).GetString(QString(), QString()), u"text/html"_s);
    EXPECT_FALSE(QFile::exists(file)) << "the seed is written with the first change only";
    ASSERT_TRUE(key(u"x"_s, hkey::ClassesRoot).SetString(QString(), QString()));
    EXPECT_EQ(RegistryStore(file, {}).subKeyNames(hkey::ClassesRoot, QString()),
              (QStringList{u".html"_s, u"x"_s}));
    EXPECT_EQ(RegistryStore::DefaultSeed(), (RegistryStore::Seed{{u".htm"_s, u"text/html"_s},
                                                                 {u".html"_s, u"text/html"_s},
                                                                 {u".shtml"_s, u"text/html"_s},
                                                                 {u".css"_s, u"text/css"_s}}));
}

TEST_F(RegistryTest, AFileThatIsNoStoreIsNeverOverwritten)
{
    QDir().mkpath(dir.filePath(u"sub"_s));
    writeFile(file.toStdString(), "{ not json");
    auto reg = key(u"a"_s);
    EXPECT_FALSE(reg.SetString(QString(), u"x"_s));
    EXPECT_EQ(reg.GetString(QString(), u"d"_s), u"d"_s);
    EXPECT_EQ(readFile(file.toStdString()), "{ not json");
}

TEST_F(RegistryTest, TheHookHearsEverySavedChange)
{
    QList<quint32> roots;
    store.setChangeHook([&](quint32 root) { roots.append(root); });
    key(u"a"_s, hkey::ClassesRoot).SetString(QString(), u"x"_s);
    key(u"a"_s, hkey::ClassesRoot).DeleteValueName(u"nothing"_s);
    key(QString(), hkey::ClassesRoot).DeleteSubKey(u"a"_s);
    key(u"b"_s).SetDWORD(u"n"_s, 1);
    EXPECT_EQ(roots, (QList<quint32>{hkey::ClassesRoot, hkey::ClassesRoot, hkey::CurrentUser}));
}

} // namespace
} // namespace scrivlet::test
