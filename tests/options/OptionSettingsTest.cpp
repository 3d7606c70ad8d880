// The options' settings on their own: what a load accepts of "Use", and where a save stops.

#include "options/OptionSettings.h"
#include "files/basINI.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"

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
    QTemporaryDir dir;
    QString ini = dir.filePath(u"Scrivlet.ini"_s);
};

TEST_F(OptionSettingsTest, UseMustNameOneOfTheThreeChoices)
{
    // The Template section's Use line ("" for none), whether the load succeeds, the Use it gives
    for (const auto &[line, ok, use] : {std::tuple{"", true, 0},
                                        {"Use=0\r\n", true, 0},
                                        {"Use=2\r\n", true, 2},
                                        {"Use=1x\r\n", true, 1},
                                        {"Use=\r\n", true, 0},
                                        {"Use=3\r\n", false, 3},
                                        {"Use=5\r\n", false, 5}}) {
        writeFile(ini.toStdString(), std::string("[Template]\r\n") + line + "TemplatePass=/t\r\n");
        const LoadedOptions loaded = LoadOptions();
        EXPECT_EQ(loaded.ok, ok) << line;
        EXPECT_EQ(loaded.values.use, use) << line;
        EXPECT_EQ(loaded.values.templatePass, ok ? u"/t"_s : QString()) << line;
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
