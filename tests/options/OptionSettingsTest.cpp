// The options' settings on their own: what a load accepts of "Use", and where a save stops.

#include "options/OptionSettings.h"
#include "files/Cp932.h"
#include "files/basINI.h"
#include "tests/common/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    QString ini = dir.filePath(QStringLiteral("Scrivlet.ini"));
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
        writeIni(QStringLiteral("[Template]\r\n") +
                 (c.line ? QString::fromLatin1(c.line) + QStringLiteral("\r\n") : QString()) +
                 QStringLiteral("TemplatePass=/t\r\n"));
        const LoadedOptions loaded = LoadOptions();
        EXPECT_EQ(loaded.ok, c.ok) << (c.line ? c.line : "none");
        EXPECT_EQ(loaded.values.use, c.use) << (c.line ? c.line : "none");
        EXPECT_EQ(loaded.values.templatePass, c.ok ? QStringLiteral("/t") : QString());
    }
}

TEST_F(OptionSettingsTest, ASaveStopsAtTheFirstKeyItCannotWrite)
{
    EXPECT_TRUE(SaveOptions({QStringLiteral("/ie"), QString(), 7, QStringLiteral("/t")}));
    EXPECT_EQ(basINI::ReadIniString(QStringLiteral("Template"), QStringLiteral("Use"), QString()),
              QStringLiteral("2"));
    EXPECT_FALSE(
        SaveOptions({QStringLiteral("/ie2"), QStringLiteral("/😀"), 0, QStringLiteral("/u")}));
    EXPECT_EQ(basINI::ReadIniString(QStringLiteral("Browser"), QStringLiteral("Internet Explorer"),
                                    QString()),
              QStringLiteral("/ie2"));
    EXPECT_EQ(basINI::ReadIniString(QStringLiteral("Template"), QStringLiteral("Use"), QString()),
              QStringLiteral("2"))
        << "the keys after the failure keep their old values";
}

} // namespace
} // namespace scrivlet::test
