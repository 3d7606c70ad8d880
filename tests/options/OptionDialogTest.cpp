// The options dialog through its real widgets: loading, the tabs, the browse buttons, OK and
// Cancel against a temporary settings file, and the shell page against a temporary store.

#include "dialogs/frmOption.h"
#include "files/Cp932.h"
#include "files/basINI.h"
#include "options/RegistryStore.h"
#include "options/clsRegEdit.h"
#include "platform/Globals.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TempFiles.h"
#include "tests/common/TestSupport.h"
#include "tests/dialogs/CaptionTable.h"
#include "tests/options/RegistrationMessages.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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

    void open()
    {
        dialog = std::make_unique<frmOption>(platform);
        dialog->Form_Load();
        dialog->show();
    }
    // The pages that can be seen, then the template choices checked: "100 010".
    std::string state() const
    {
        std::string pages, checks;
        for (const QString &i : {u"0"_s, u"1"_s, u"2"_s}) {
            const auto *page = dialog->findChild<QWidget *>(u"fraOption_"_s + i);
            const auto *choice = dialog->findChild<QRadioButton *>(u"optTemplate_"_s + i);
            pages += char('0' + page->isVisibleTo(dialog.get()));
            checks += char('0' + choice->isChecked());
        }
        return pages + ' ' + checks;
    }
    QLineEdit *edit(const char *n) { return dialog->findChild<QLineEdit *>(QLatin1String(n)); }
    QPushButton *button(const char *n)
    {
        return dialog->findChild<QPushButton *>(QLatin1String(n));
    }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void clickTab(int index)
    {
        auto *tabs = dialog->findChild<QTabBar *>(u"tabOption"_s);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    static QString stored(const QString &section, const QString &key)
    {
        return basINI::ReadIniString(section, key, u"<none>"_s);
    }
    std::string iniBytes() const { return readFile(ini.toStdString()); }

    QTemporaryDir dir;
    QString ini = dir.filePath(u"Scrivlet.ini"_s);
    FakeMessageService messages;
    FakeClipboard clipboard;
    FakeFileDialogs dialogs;
    FakeShell shell;
    options::RegistryStore store{dir.filePath(u"registry.json"_s), {{u".html"_s, u"text/html"_s}}};
    Platform platform{messages, clipboard, dialogs, shell, &store};
    std::unique_ptr<frmOption> dialog;
};

// Without settings the first choice and the browser page show; a Use out of range is said to
// fail and checks no choice, and the folder after it still loads, for OK to keep.
TEST_F(OptionDialogTest, StoredValuesLoadAndAUseOutOfRangeChecksNoChoice)
{
    open();
    EXPECT_EQ(
        std::tuple(messages.texts(), edit("txtIE")->text(), edit("txtTemplate")->text(), state()),
        std::tuple(QStringList(), QString(), QString(), "100 100"));
    expectCaptions(dialog.get(), "option");
    const QPoint ok = button("cmdOK")->mapTo(dialog.get(), QPoint());
    clickTab(2);
    EXPECT_EQ(state(), "001 100");
    clickTab(1);
    EXPECT_EQ(state(), "010 100");
    EXPECT_EQ(button("cmdOK")->mapTo(dialog.get(), QPoint()), ok) << "the buttons stay put";
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages round.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    edit("txtTemplate")->setFocus();
    for (const auto &[modifiers, pages] :
         {std::pair{Qt::KeyboardModifiers(Qt::ControlModifier), "001"},
          {Qt::ControlModifier, "100"},
          {Qt::ControlModifier | Qt::ShiftModifier, "001"}}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        EXPECT_EQ(state(), std::string(pages) + " 100");
        const QString shown =
            u"fraOption_"_s + QString::number(QString::fromLatin1(pages).indexOf(u'1'));
        EXPECT_TRUE(dialog->findChild<QWidget *>(shown)->isAncestorOf(QApplication::focusWidget()))
            << "the keyboard on the new page";
    }
    for (const DataRow &row : readDataRows(SCRIVLET_OPTIONS_DATA "/template-use-values.txt", 3)) {
        SCOPED_TRACE(row[0]);
        const bool ok = row[1] == "loads";
        messages.shown.clear();
        writeFile(ini.toStdString(),
                  encodeCp932(u"[Browser]\r\nInternet Explorer=/usr/bin/ie\r\nNetscape=/opt/nn\r\n"
                              u"[Template]\r\nUse="_s +
                              field(row, 0) + u"\r\nTemplatePass=/home/u/雛形\r\n"_s)
                      .toStdString());
        open();
        EXPECT_EQ(std::tuple(edit("txtIE")->text(), edit("txtNN")->text(),
                             edit("txtTemplate")->text(), state()),
                  std::tuple(u"/usr/bin/ie"_s, u"/opt/nn"_s, u"/home/u/雛形"_s, row[2]));
        EXPECT_EQ(messages.texts(),
                  ok ? QStringList() : QStringList{u"設定ロードに失敗しました"_s});
        if (!ok) {
            EXPECT_EQ(messages.shown.value(0).icon, MessageIcon::Critical);
            click("cmdOK");
            EXPECT_EQ(std::pair(stored(u"Template"_s, u"Use"_s),
                                stored(u"Template"_s, u"TemplatePass"_s)),
                      std::pair(u"2"_s, u"/home/u/雛形"_s));
        }
    }
}

// A save that fails keeps the dialog open.
TEST_F(OptionDialogTest, OkWritesEveryKeyAndCancelNothing)
{
    open();
    click("cmdOK");
    EXPECT_EQ(std::pair(dialog->result(), dialog->isVisible()),
              std::pair(int(QDialog::Accepted), false));
    EXPECT_EQ(iniBytes(), "[Browser]\r\nInternet Explorer=\r\nNetscape=\r\n"
                          "[Template]\r\nUse=0\r\nTemplatePass=\r\n");
    const std::string before = iniBytes();
    for (bool byKey : {false, true}) {
        open();
        edit("txtIE")->setText(u"/a"_s);
        edit("txtNN")->setText(u"/b"_s);
        edit("txtTemplate")->setText(u"/c"_s);
        dialog->findChild<QRadioButton *>(u"optTemplate_2"_s)->setChecked(true);
        byKey ? QTest::keyClick(dialog.get(), Qt::Key_Escape) : click("cmdCancel");
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(iniBytes(), before) << byKey;
    }
    open();
    edit("txtIE")->setText(u"/usr/bin/firefox"_s);
    edit("txtTemplate")->setText(u"/home/u/My Templates"_s);
    dialog->findChild<QRadioButton *>(u"optTemplate_2"_s)->setChecked(true);
    QTest::keyClick(edit("txtIE"), Qt::Key_Return);
    EXPECT_EQ(std::tuple(stored(u"Browser"_s, u"Internet Explorer"_s),
                         stored(u"Template"_s, u"Use"_s), stored(u"Template"_s, u"TemplatePass"_s)),
              std::tuple(u"/usr/bin/firefox"_s, u"2"_s, u"/home/u/My Templates"_s));
    open();
    // A character Shift-JIS cannot hold cannot be written, and then no key is: Cancel after the
    // failed OK leaves every setting as it was.
    const std::string saved = iniBytes();
    edit("txtIE")->setText(u"/ie"_s);
    edit("txtNN")->setText(u"/opt/😀"_s);
    dialog->findChild<QRadioButton *>(u"optTemplate_0"_s)->setChecked(true);
    click("cmdOK");
    EXPECT_EQ(messages.texts(), QStringList{u"設定の保存に失敗しました"_s});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(iniBytes(), saved);
    click("cmdCancel");
    EXPECT_EQ(iniBytes(), saved);
}

TEST_F(OptionDialogTest, BrowsingFillsTheBoxesAndCancellingLeavesThem)
{
    open();
    edit("txtNN")->setText(u"/old"_s);
    dialogs.willChoose({u"/usr/bin/firefox"_s});
    const QString folder = QDir::currentPath();
    click("cmdIE");
    EXPECT_EQ(QDir::currentPath(), folder) << "Open and Save As do not start among the programs";
    click("cmdNN");
    EXPECT_EQ(std::pair(edit("txtIE")->text(), edit("txtNN")->text()),
              std::pair(u"/usr/bin/firefox"_s, u"/old"_s));
    dialogs.willChoose({u"/usr/bin/chromium"_s, u"/usr/bin/firefox"_s});
    click("cmdIE");
    EXPECT_EQ(edit("txtIE")->text(), u"/usr/bin/chromium"_s) << "of several programs, the first";
    ASSERT_EQ(dialogs.requests.size(), 3);
    const FileDialogRequest &ie = dialogs.requests[0];
    EXPECT_EQ(std::tuple(ie.title, dialogs.requests[1].title, ie.owner),
              std::tuple(u"Internet Exploprerを参照"_s, u"Netscapeを参照"_s, dialog.get()));
    EXPECT_EQ(ie.filters, (QList<std::pair<QString, QString>>{{u"Programs (*)"_s, u"*"_s}}));
    // The folder keeps its letter case: on this system another case is another folder.
    dialogs.folderAnswers = {u"/home/u/My Templates"_s, QString()};
    for (int i = 0; i < 2; ++i) {
        click("cmdTemplate");
        EXPECT_EQ(edit("txtTemplate")->text(), u"/home/u/My Templates"_s);
    }
    EXPECT_EQ(dialogs.folderPrompts, (QStringList(2, u"フォルダを選択してください"_s)));
    EXPECT_EQ(dialogs.folderStarts.value(1), u"/home/u/My Templates"_s)
        << "from the field's folder";
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(OptionDialogTest, TheShellPageActsAtOnceAndSaysWhatItDid)
{
    open();
    clickTab(2);
    // Each button and what it says; .css has no file class in this store.
    for (const auto &[name, message, extension] : {std::tuple{"cmdAdd_1", "Added", ".html"},
                                                   {"cmdAdd_3", "NotAssociatedAdd", ".css"},
                                                   {"cmdDel_1", "Removed", ".html"},
                                                   {"cmdDel_1", "NoVerb", ".html"}}) {
        messages.shown.clear();
        click(name);
        const auto [text, critical] = registrationMessage(message, extension);
        ASSERT_EQ(messages.shown.size(), 1) << name;
        const ShownMessage &shown = messages.shown[0];
        EXPECT_EQ(std::tuple(shown.text, shown.icon, shown.title),
                  std::tuple(text, critical ? MessageIcon::Critical : MessageIcon::Information,
                             u"Scrivlet"_s));
    }
    // Cancel does not take a registration back.
    click("cmdAdd_1");
    click("cmdCancel");
    clsRegEdit reg(store);
    reg.setRegKey(hkey::ClassesRoot);
    reg.setSubKey(u"text/html\\shell\\Scrivletで編集\\command"_s);
    EXPECT_EQ(reg.GetString(QString(), QString()),
              u"/opt/Scrivlet/"_s + QFileInfo(QCoreApplication::applicationFilePath()).fileName() +
                  u" \"%1 /O\""_s);
}

} // namespace
} // namespace scrivlet::test
