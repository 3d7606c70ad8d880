// The options' settings on their own: what a load accepts of "Use", and where a save stops.

#include "options/OptionSettings.h"
#include "files/Cp932.h"
#include "files/basINI.h"
#include "tests/common/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

using namespace options;

class OptionSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { basINI::SetIniFile(ini); }
    void TearDown() override { basINI::ResetForTests(); }
    void writeIni(const QString &text)
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(encodeCp932(text));
    }

    QTemporaryDir dir;
    QString ini = dir.filePath(u"Scrivlet.ini"_s);
};

TEST_F(OptionSettingsTest, UseMustNameOneOfTheThreeChoices)
{
    struct Case
    {
        const char *line; // the Template section's Use line, or none
        bool ok;
        int use;
    };
    const Case cases[] = {
        {nullptr, true, 0}, {"Use=0", true, 0},  {"Use=2", true, 2},  {"Use=1x", true, 1},
        {"Use=", true, 0},  {"Use=3", false, 3}, {"Use=5", false, 5},
    };
    for (const Case &c : cases) {
        writeIni(u"[Template]\r\n"_s +
                 (c.line ? QString::fromLatin1(c.line) + u"\r\n"_s : QString()) +
                 u"TemplatePass=/t\r\n"_s);
        const LoadedOptions loaded = LoadOptions();
        EXPECT_EQ(loaded.ok, c.ok) << (c.line ? c.line : "none");
        EXPECT_EQ(loaded.values.use, c.use) << (c.line ? c.line : "none");
        EXPECT_EQ(loaded.values.templatePass, c.ok ? u"/t"_s : QString());
    }
}

TEST_F(OptionSettingsTest, ASaveStopsAtTheFirstKeyItCannotWrite)
{
    EXPECT_TRUE(SaveOptions({u"/ie"_s, QString(), 7, u"/t"_s}));
    EXPECT_EQ(basINI::ReadIniString(u"Template"_s, u"Use"_s, QString()), u"2"_s);
    EXPECT_FALSE(SaveOptions({u"/ie2"_s, u"/😀"_s, 0, u"/u"_s}));
    EXPECT_EQ(basINI::ReadIniString(u"Browser"_s, u"Internet Explorer"_s, QString()), u"/ie2"_s);
    EXPECT_EQ(basINI::ReadIniString(u"Template"_s, u"Use"_s, QString()), u"2"_s)
        << "the keys after the failure keep their old values";
}

} // namespace
} // namespace scrivlet::test
