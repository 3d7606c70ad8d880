// The common-dialog object at the level of its properties: scripted file dialogs, choosers and
// shell stand in for the real ones, so no box ever opens.

#include "dialogs/cCommonDlg.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <tuple>

using namespace scrivlet;
using scrivlet::test::FakeFileDialogs;
using scrivlet::test::FakeShell;

namespace {

using Pairs = QList<std::pair<QString, QString>>;

// "|" stands for NUL.
QString nul(const char16_t *text)
{
    return QString::fromUtf16(text).replace(u'|', QChar(u'\0'));
}

class CommonDialog : public ::testing::Test
{
protected:
    // The way the windows set the object up before an open or save dialog.
    void SetUp() override
    {
        dlg.setForm(&form);
        dlg.setDialogTitle(QStringLiteral("開く"));
        dlg.setFilter(QStringLiteral("HTML Files (*.htm,*.html,*.shtml)|*.htm;*.html;*.shtml|"
                                     "All Files (*.*)|*.*"));
        dlg.setFilterIndex(1);
        dlg.setFlags(2624004);
        dlg.setInitDir(QStringLiteral("/work/site"));
        dlg.setCancelError(true);
    }
    void open(const QStringList &chosen)
    {
        files.willChoose(chosen);
        dlg.ShowOpen();
    }

    FakeFileDialogs files;
    FakeShell shell;
    QWidget form;
    cCommonDlg dlg{files, shell};
};

// The platform's list ends at its first empty string; a description without a pattern is no
// entry.
TEST_F(CommonDialog, FilterBecomesNulSeparatedAndTheDialogGetsTheEntriesBeforeAnEmptyPart)
{
    const std::tuple<const char16_t *, const char16_t *, Pairs> cases[] = {
        {u"Exe Files (*.exe)|*.exe|",
         u"Exe Files (*.exe)|*.exe|",
         {{"Exe Files (*.exe)", "*.exe"}}},
        {u"A|*.a|B", u"A|*.a|B|", {{"A", "*.a"}}},
        {u"A|*.a||B|*.b", u"A|*.a||B|*.b|", {{"A", "*.a"}}},
        {u"|*.a|B|*.b", u"|*.a|B|*.b|", {}},
        {u"", u"|", {}},
    };
    for (const auto &[filter, converted, pairs] : cases) {
        dlg.setFilter(QString::fromUtf16(filter));
        dlg.ShowOpen();
        EXPECT_EQ(dlg.convertedFilter(), nul(converted));
        EXPECT_EQ(files.requests.last().filters, pairs) << dlg.Filter().toStdString();
    }
}

// The initial name is cut to the buffer and, after several files, to the folder.
TEST_F(CommonDialog, TheWindowsAskForAMultiSelectOpenOfExistingPaths)
{
    dlg.setFileName(nul(u"/work|a.html"));
    dlg.ShowOpen();
    const FileDialogRequest &r = files.requests.last();
    EXPECT_EQ(r.owner, &form);
    EXPECT_EQ(r.title, QStringLiteral("開く"));
    EXPECT_EQ(r.filters, (Pairs{{QStringLiteral("HTML Files (*.htm,*.html,*.shtml)"),
                                 QStringLiteral("*.htm;*.html;*.shtml")},
                                {QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")}}));
    EXPECT_EQ(r.filterIndex, 0);
    EXPECT_EQ(r.initialDirectory, QStringLiteral("/work/site"));
    EXPECT_EQ(r.fileName, QStringLiteral("/work"));
    EXPECT_TRUE(r.multiSelect && r.pathMustExist && !r.save && !r.promptOverwrite);

    dlg.setFlags(ofn::OverwritePrompt | ofn::FileMustExist);
    dlg.setFileName(QStringLiteral("/work/a.html")); // the cancelled open emptied it
    dlg.setMaxFileSize(4);
    dlg.ShowSave();
    const FileDialogRequest &s = files.requests.last();
    EXPECT_EQ(s.fileName, QStringLiteral("/wo"));
    EXPECT_TRUE(s.save && s.promptOverwrite && s.pathMustExist && !s.multiSelect);
}

TEST_F(CommonDialog, FilterIndexIsOneBasedAndFallsBackToTheFirst)
{
    for (const auto &[index, expected] : {std::pair{0, 0}, {1, 0}, {2, 1}, {3, 0}, {-1, 0}}) {
        dlg.setFilterIndex(qint16(index));
        dlg.ShowOpen();
        EXPECT_EQ(files.requests.last().filterIndex, expected) << "FilterIndex " << index;
    }
}

// With CancelError False a cancel changes nothing; a confirm always clears CancelButton.
TEST_F(CommonDialog, CancelErrorDecidesWhetherACancelReportsAndEmptiesTheName)
{
    for (const bool cancelError : {true, false}) {
        dlg.setCancelError(cancelError);
        open({QStringLiteral("/w/a.html")});
        EXPECT_FALSE(dlg.CancelButton());
        EXPECT_EQ(dlg.FileNames(), QStringList{QStringLiteral("/w/a.html")});
        EXPECT_EQ(dlg.FileTitle(), QStringLiteral("a.html"));
        open({});
        EXPECT_EQ(dlg.CancelButton(), cancelError);
        EXPECT_EQ(dlg.FileName(), cancelError ? QString() : QStringLiteral("/w/a.html"));
        open({QStringLiteral("/w/b.html")});
        EXPECT_FALSE(dlg.CancelButton());
        EXPECT_EQ(dlg.FileName(), QStringLiteral("/w/b.html"));
    }
}

// An answer that does not fit, or no dialog at all, is a cancel: the earlier answer must not
// pass for it.
TEST_F(CommonDialog, AnOverlongAnswerOrAClosedOwnerIsACancel)
{
    dlg.setMaxFileSize(10);
    open({QStringLiteral("/abcdefgh")}); // 9 characters and the NUL: fits
    EXPECT_EQ(dlg.FileName(), QStringLiteral("/abcdefgh"));
    open({QStringLiteral("/abcdefghi")});
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_TRUE(dlg.FileNames().isEmpty());

    open({QStringLiteral("/a.html")});
    auto *owner = new QWidget;
    dlg.setForm(owner);
    delete owner;
    dlg.ShowOpen();
    EXPECT_EQ(files.requests.size(), 3);
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_TRUE(dlg.FileName().isEmpty());
}

TEST_F(CommonDialog, SeveralFilesComeBackAsTheFolderAndTheNamesAfterNuls)
{
    const QStringList site{QStringLiteral("/work/site/a.html"), QStringLiteral("/work/site/b.htm")};
    open(site);
    EXPECT_EQ(dlg.FileName(), nul(u"/work/site|a.html|b.htm"));
    EXPECT_EQ(dlg.FileNames(), site);
    EXPECT_EQ(dlg.FileTitle(), QStringLiteral("a.html"));
    open({QStringLiteral("/a"), QStringLiteral("/b")});
    EXPECT_EQ(dlg.FileName(), nul(u"/|a|b"));
    EXPECT_EQ(dlg.FileNames(), (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));

    // "/w|a|b" takes 6 characters and two closing NULs.
    const QStringList chosen{QStringLiteral("/w/a"), QStringLiteral("/w/b")};
    dlg.setMaxFileSize(8);
    open(chosen);
    EXPECT_EQ(dlg.FileNames(), chosen);
    dlg.setMaxFileSize(7);
    open(chosen);
    EXPECT_TRUE(dlg.CancelButton());
}

TEST_F(CommonDialog, ErrDescriptionNamesTheLastError)
{
    const std::pair<qint32, const char16_t *> cases[] = {
        {0, u"未知のｴﾗｰです。"},
        {-32768, u"関数がダイアログ ボックスをロードできません。"},
        {28671, u"PDReturnDefault フラグが設定されていますが、hDevMode フィールドまたは "
                u"hDevNames フィールドが 0 ではありません。"},
        {32755, u"[キャンセル] ボタンが選択されました。"},
        {32756, u"未知のｴﾗｰです。"},
    };
    for (const auto &[number, text] : cases) {
        dlg.setColorChooser([number](auto) { return cCommonDlg::ColorAnswer{false, 0, number}; });
        dlg.ShowColor();
        EXPECT_EQ(dlg.ErrNumber(), number);
        EXPECT_EQ(dlg.ErrDescription(), QString::fromUtf16(text)) << number;
    }
    dlg.ShowOpen();
    EXPECT_EQ(dlg.ErrNumber(), 0) << "a file dialog starts without an error";
}

TEST_F(CommonDialog, ColorsAreBlueGreenRed)
{
    EXPECT_EQ(colorFromColorref(0x7F336699), QColor(0x99, 0x66, 0x33)); // top byte ignored
    EXPECT_EQ(colorrefFromColor(colorFromColorref(0x00010203)), 0x00010203);
    dlg.setColor(0x00336699);
    dlg.setColorChooser([](const cCommonDlg::ColorRequest &r) {
        return cCommonDlg::ColorAnswer{r.color == 0x00336699, 0x004080FF, 0};
    });
    dlg.ShowColor();
    EXPECT_EQ(dlg.Color(), 0x004080FF);
}

TEST_F(CommonDialog, FontSizeComesOutRoundedAndACancelResetsTheFont)
{
    cCommonDlg::FontAnswer answer{.accepted = true, .name = "IPA", .size = 10.6, .color = 0xFF};
    dlg.setFontChooser([&answer](auto) { return answer; });
    dlg.ShowFont();
    EXPECT_EQ(dlg.FontName(), QStringLiteral("IPA"));
    EXPECT_EQ(dlg.FontSize(), 11);
    EXPECT_EQ(dlg.Color(), 0xFF);

    answer = {};
    answer.error = 24574;
    dlg.setFontBold(true);
    dlg.setFontUnderline(true);
    dlg.ShowFont();
    EXPECT_TRUE(dlg.CancelButton());
    EXPECT_EQ(dlg.ErrNumber(), 24574);
    EXPECT_TRUE(dlg.FontName().isEmpty());
    EXPECT_EQ(dlg.FontSize(), 0);
    EXPECT_FALSE(dlg.FontBold() || dlg.FontItalic() || dlg.FontStrikethru() || dlg.FontUnderline());
    EXPECT_EQ(dlg.Color(), 0);
}

TEST_F(CommonDialog, HelpNeedsAFileAndACommandHtmlHelpOnlyAFile)
{
    const QString hlp = QStringLiteral("/h.hlp");
    for (const auto &[file, command, opens] :
         {std::tuple{hlp, 3, true}, {hlp, 0, false}, {QString(), 3, false}}) {
        shell.opened.clear();
        dlg.setHelpFile(file);
        dlg.setHelpCommand(command);
        dlg.ShowHelp();
        EXPECT_EQ(shell.opened.size(), opens ? 1 : 0) << file.toStdString() << command;
    }
    dlg.ShowHtmlHelp();
    EXPECT_TRUE(shell.opened.isEmpty());
    dlg.setHtmlHelpFile(QStringLiteral("/doc/index.html"));
    dlg.ShowHtmlHelp();
    EXPECT_EQ(shell.opened, QStringList{QStringLiteral("/doc/index.html")});
}

TEST_F(CommonDialog, ActionStoresTheValueAndShowsTheChooserItNames)
{
    dlg.setHelpFile(QStringLiteral("/h.hlp"));
    dlg.setHelpCommand(1);
    QString shown; // each chooser notes it was shown and cancels
    dlg.setColorChooser([&](auto) { return shown = "color", cCommonDlg::ColorAnswer{}; });
    dlg.setFontChooser([&](auto) { return shown = "font", cCommonDlg::FontAnswer{}; });
    dlg.setPrinterChooser([&](auto) { return shown = "printer", cCommonDlg::PrinterAnswer{}; });
    const std::pair<qint16, const char *> cases[] = {{1, "open"}, {2, "save"},    {3, "color"},
                                                     {4, "font"}, {5, "printer"}, {6, "help"},
                                                     {0, ""},     {7, ""},        {-1, ""}};
    for (const auto &[action, expected] : cases) {
        shown.clear();
        const auto requests = files.requests.size();
        const auto opened = shell.opened.size();
        dlg.setAction(CommonDialogAction(action));
        if (files.requests.size() > requests)
            shown = files.requests.last().save ? "save" : "open";
        if (shell.opened.size() > opened)
            shown = "help";
        EXPECT_EQ(shown, QString::fromLatin1(expected)) << action;
        EXPECT_EQ(qint16(dlg.Action()), action);
    }
}

} // namespace
