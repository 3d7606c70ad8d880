// The options dialog through its real widgets: loading, the tabs, the browse buttons, OK and
// Cancel against a temporary settings file, and the shell page against a temporary store.

#include "dialogs/frmOption.h"
#include "files/Cp932.h"
#include "files/basINI.h"
#include "options/RegistryStore.h"
#include "options/clsRegEdit.h"
#include "platform/Globals.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"
#include "tests/dialogs/CaptionTable.h"

#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

class OptionDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        gProgramDirectory = u"/opt/Scrivlet/"_s;
        basINI::ResetForTests();
        basINI::SetIniFile(ini);
    }
    void TearDown() override { basINI::ResetForTests(); }

    void writeIni(const QString &text)
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(encodeCp932(text));
    }
    QByteArray iniBytes() const
    {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    std::unique_ptr<frmOption> open()
    {
        auto dialog = std::make_unique<frmOption>(platform);
        dialog->Form_Load();
        dialog->show();
        return dialog;
    }
    // Which of the three pages can be seen.
    static QList<bool> pagesShown(frmOption &dialog)
    {
        QList<bool> out;
        for (int i = 0; i < 3; ++i)
            out.append(dialog.findChild<QFrame *>(u"fraOption_%1"_s.arg(i))->isVisibleTo(&dialog));
        return out;
    }
    static QList<bool> optionsChecked(frmOption &dialog)
    {
        QList<bool> out;
        for (int i = 0; i < 3; ++i)
            out.append(dialog.findChild<QRadioButton *>(u"optTemplate_%1"_s.arg(i))->isChecked());
        return out;
    }
    static QLineEdit *edit(frmOption &dialog, const char *name)
    {
        return dialog.findChild<QLineEdit *>(QLatin1String(name));
    }
    static QPushButton *button(frmOption &dialog, const char *name)
    {
        return dialog.findChild<QPushButton *>(QLatin1String(name));
    }
    void clickTab(frmOption &dialog, int index)
    {
        auto *tabs = dialog.findChild<QTabBar *>(u"tabOption"_s);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }

    QTemporaryDir dir;
    QString ini = dir.filePath(u"Scrivlet.ini"_s);
    FakeMessageService messages;
    FakeClipboard clipboard;
    FakeFileDialogs dialogs;
    FakeShell shell;
    FakeKeyboardState keyboard;
    options::RegistryStore store{dir.filePath(u"registry.json"_s), {{u".html"_s, u"text/html"_s}}};
    Platform platform{messages, clipboard, dialogs, shell, keyboard, &store};
};

TEST_F(OptionDialogTest, WithoutSettingsTheFirstChoiceAndTheBrowserPageShow)
{
    auto dialog = open();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(edit(*dialog, "txtIE")->text(), QString());
    EXPECT_EQ(edit(*dialog, "txtTemplate")->text(), QString());
    EXPECT_EQ(optionsChecked(*dialog), (QList<bool>{true, false, false}));
    EXPECT_EQ(pagesShown(*dialog), (QList<bool>{true, false, false}));
    EXPECT_TRUE(button(*dialog, "cmdOK")->isDefault());
    EXPECT_EQ(dialog->findChild<QTabBar *>(u"tabOption"_s)->count(), 3);
    expectCaptions(dialog.get(), "option");
    clickTab(*dialog, 2);
    EXPECT_EQ(pagesShown(*dialog), (QList<bool>{false, false, true}));
    clickTab(*dialog, 1);
    EXPECT_EQ(pagesShown(*dialog), (QList<bool>{false, true, false}));
}

TEST_F(OptionDialogTest, StoredValuesLoad)
{
    writeIni(QStringLiteral("[Browser]\r\nInternet Explorer=/usr/bin/ie\r\nNetscape=/opt/nn\r\n"
                            "[Template]\r\nUse=1\r\nTemplatePass=/home/u/雛形\r\n"));
    auto dialog = open();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(edit(*dialog, "txtIE")->text(), u"/usr/bin/ie"_s);
    EXPECT_EQ(edit(*dialog, "txtNN")->text(), u"/opt/nn"_s);
    EXPECT_EQ(optionsChecked(*dialog), (QList<bool>{false, true, false}));
    EXPECT_EQ(edit(*dialog, "txtTemplate")->text(), u"/home/u/雛形"_s);
}

TEST_F(OptionDialogTest, AUseOutOfRangeStopsTheLoad)
{
    for (const char *use : {"5", "3"}) {
        messages.shown.clear();
        writeIni(u"[Browser]\r\nNetscape=/opt/nn\r\n[Template]\r\nUse="_s + QLatin1String(use) +
                 u"\r\nTemplatePass=/t\r\n"_s);
        auto dialog = open();
        EXPECT_EQ(messages.texts(), QStringList{u"設定ロードに失敗しました"_s});
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(edit(*dialog, "txtNN")->text(), u"/opt/nn"_s);
        EXPECT_EQ(edit(*dialog, "txtTemplate")->text(), QString());
        EXPECT_EQ(optionsChecked(*dialog), (QList<bool>{false, false, false}));
        EXPECT_EQ(pagesShown(*dialog), (QList<bool>{true, true, true}));
        clickTab(*dialog, 0);
        EXPECT_EQ(pagesShown(*dialog), (QList<bool>{true, false, false}));
    }
}

TEST_F(OptionDialogTest, OkWritesEveryKeyAndCancelNothing)
{
    {
        auto dialog = open();
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(iniBytes().toStdString(),
              std::string("[Browser]\r\nInternet Explorer=\r\nNetscape=\r\n"
                          "[Template]\r\nUse=0\r\nTemplatePass=\r\n"));

    const QByteArray before = iniBytes();
    for (bool byKey : {false, true}) {
        auto dialog = open();
        edit(*dialog, "txtIE")->setText(u"/a"_s);
        edit(*dialog, "txtNN")->setText(u"/b"_s);
        edit(*dialog, "txtTemplate")->setText(u"/c"_s);
        dialog->findChild<QRadioButton *>(u"optTemplate_2"_s)->setChecked(true);
        if (byKey)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            QTest::mouseClick(button(*dialog, "cmdCancel"), Qt::LeftButton);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(iniBytes(), before) << byKey;
    }

    auto dialog = open();
    edit(*dialog, "txtIE")->setText(u"/usr/bin/firefox"_s);
    edit(*dialog, "txtTemplate")->setText(u"/home/u/My Templates"_s);
    dialog->findChild<QRadioButton *>(u"optTemplate_2"_s)->setChecked(true);
    QTest::keyClick(edit(*dialog, "txtIE"), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted) << "Enter is OK";
    EXPECT_EQ(basINI::ReadIniString(u"Browser"_s, u"Internet Explorer"_s, QString()),
              u"/usr/bin/firefox"_s);
    EXPECT_EQ(basINI::ReadIniString(u"Template"_s, u"Use"_s, QString()), u"2"_s);
    EXPECT_EQ(basINI::ReadIniString(u"Template"_s, u"TemplatePass"_s, QString()),
              u"/home/u/My Templates"_s);
}

TEST_F(OptionDialogTest, AFailedSaveKeepsTheDialogOpen)
{
    auto dialog = open();
    // A character Shift-JIS cannot hold cannot be written: the first two keys are.
    edit(*dialog, "txtIE")->setText(u"/ie"_s);
    edit(*dialog, "txtNN")->setText(u"/opt/😀"_s);
    QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), QStringList{u"設定の保存に失敗しました"_s});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(basINI::ReadIniString(u"Browser"_s, u"Internet Explorer"_s, QString()), u"/ie"_s);
    EXPECT_EQ(basINI::ReadIniString(u"Template"_s, u"Use"_s, u"<none>"_s), u"<none>"_s);
}

TEST_F(OptionDialogTest, BrowsingFillsTheBoxesAndCancellingLeavesThem)
{
    auto dialog = open();
    edit(*dialog, "txtNN")->setText(u"/old"_s);
    dialogs.willChoose({u"/usr/bin/firefox"_s});
    QTest::mouseClick(button(*dialog, "cmdIE"), Qt::LeftButton);
    dialogs.willCancel();
    QTest::mouseClick(button(*dialog, "cmdNN"), Qt::LeftButton);
    EXPECT_EQ(edit(*dialog, "txtIE")->text(), u"/usr/bin/firefox"_s);
    EXPECT_EQ(edit(*dialog, "txtNN")->text(), u"/old"_s);
    ASSERT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(dialogs.requests[0].title, u"Internet Exploprerを参照"_s);
    EXPECT_EQ(dialogs.requests[1].title, u"Netscapeを参照"_s);
    EXPECT_EQ(dialogs.requests[0].filters,
              (QList<std::pair<QString, QString>>{{u"Programs (*)"_s, u"*"_s}}));
    EXPECT_EQ(dialogs.requests[0].owner, dialog.get());

    // The folder keeps its letter case: on this system another case is another folder.
    dialogs.folderAnswers = {u"/home/u/My Templates"_s, QString()};
    QTest::mouseClick(button(*dialog, "cmdTemplate"), Qt::LeftButton);
    EXPECT_EQ(edit(*dialog, "txtTemplate")->text(), u"/home/u/My Templates"_s);
    QTest::mouseClick(button(*dialog, "cmdTemplate"), Qt::LeftButton);
    EXPECT_EQ(edit(*dialog, "txtTemplate")->text(), u"/home/u/My Templates"_s);
    EXPECT_EQ(dialogs.folderPrompts, (QStringList(2, u"フォルダを選択してください"_s)));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(OptionDialogTest, TheShellPageActsAtOnceAndSaysWhatItDid)
{
    auto dialog = open();
    clickTab(*dialog, 2);
    QTest::mouseClick(button(*dialog, "cmdAdd_1"), Qt::LeftButton);
    QTest::mouseClick(button(*dialog, "cmdAdd_3"), Qt::LeftButton);
    QTest::mouseClick(button(*dialog, "cmdDel_1"), Qt::LeftButton);
    QTest::mouseClick(button(*dialog, "cmdDel_1"), Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 4);
    EXPECT_EQ(messages.shown[0].text, u".htmlﾌｧｲﾙの右ｸﾘｯｸﾒﾆｭｰに[Scrivletで編集]を追加しました。"_s);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].title, u"Scrivlet"_s);
    EXPECT_TRUE(messages.shown[1].text.startsWith(u".cssﾌｧｲﾙは関連付け"_s));
    EXPECT_EQ(messages.shown[1].icon, MessageIcon::Critical);
    EXPECT_EQ(messages.shown[2].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[3].text, u".htmlﾌｧｲﾙにはScrivletで編集はありませんでした"_s);

    // Cancel does not take a registration back.
    QTest::mouseClick(button(*dialog, "cmdAdd_1"), Qt::LeftButton);
    QTest::mouseClick(button(*dialog, "cmdCancel"), Qt::LeftButton);
    clsRegEdit reg(store);
    reg.setRegKey(hkey::ClassesRoot);
    reg.setSubKey(u"text/html\\shell\\Scrivletで編集\\command"_s);
    EXPECT_TRUE(reg.GetString(QString(), QString()).startsWith(u"/opt/Scrivlet/"_s));
    EXPECT_TRUE(reg.GetString(QString(), QString()).endsWith(u" \"%1 /O\""_s));
}

} // namespace
} // namespace scrivlet::test
