// The About box through its real widgets: the lines from the build, the two links and their
// failures, and its looks. Opening from the Help menu and closing with Enter: ToolHelpMenusTest.

#include "dialogs/frmAbout.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"
#include "tests/dialogs/CaptionTable.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

class AboutBox : public ::testing::Test
{
protected:
    FakeShell shell;
    FakeMessageService messages;
    QWidget owner;
    frmAbout *box = nullptr;

    void SetUp() override
    {
        owner.show();
        box = frmAbout::ShowModal(shell, messages, &owner);
    }
    QLabel *control(const char *name) { return box->findChild<QLabel *>(QLatin1String(name)); }
};

// Opening modally from the Help menus, on the frame, and closing: ToolHelpMenusTest.
TEST_F(AboutBox, ShowsTheBuildAndItsLinksOpenTheHomePageAndAMailOrSayWhyNot)
{
    expectCaptions(box, "about");
    EXPECT_EQ(control("lblVersion")->text(), QStringLiteral(SCRIVLET_EXPECTED_VERSION_LINE));
    EXPECT_EQ(control("lblCopyright")->text(), QStringLiteral(SCRIVLET_EXPECTED_COPYRIGHT));
    // Minor and revision run together.
    EXPECT_EQ(frmAbout::VersionLine(2, 1, 1), u"Scrivlet Version2.11"_s);
    EXPECT_EQ(frmAbout::VersionLine(0, 1, 0), u"Scrivlet Version0.10"_s);
    EXPECT_EQ(frmAbout::VersionLine(10, 0, 12), u"Scrivlet Version10.012"_s);
    EXPECT_FALSE(control("Image1")->pixmap().isNull());
    for (const char *name : {"lblHomePage", "lblMail"}) {
        const QLabel *link = control(name);
        EXPECT_EQ(std::tuple(link->font().underline(), link->font().pointSize(),
                             link->font().families().value(0),
                             link->palette().color(QPalette::WindowText)),
                  std::tuple(true, 9, u"ＭＳ Ｐゴシック"_s, QColor(Qt::blue)))
            << name;
    }

    // Clicked links open the home page and a mail, or say why not.
    QTest::mouseClick(control("lblHomePage"), Qt::LeftButton);
    QTest::mouseClick(control("lblMail"), Qt::LeftButton);
    QTest::mouseClick(control("lblMail"), Qt::RightButton);
    EXPECT_EQ(shell.opened, (QStringList{u"https://www.example.org/scrivlet/"_s,
                                         u"mailto:scrivlet@example.org"_s}));
    EXPECT_TRUE(messages.shown.isEmpty());

    shell.succeeds = false;
    QTest::mouseClick(control("lblHomePage"), Qt::LeftButton);
    QTest::mouseClick(control("lblMail"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), (QStringList{u"Webサイトを表示できませんでした"_s,
                                             u"メーラーを起動できませんでした。"_s}));
    for (const auto &shown : messages.shown)
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
    EXPECT_TRUE(box->isVisible()) << "a failed link leaves the box open";
}

} // namespace
} // namespace scrivlet::test
