// The File menu of a document window and the ways out of the program, as a user meets them.

#include "document/Messages.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "editor/clsRTF.h"
#include "files/Cp932.h"
#include "files/basINI.h"
#include "platform/Globals.h"
#include "shell/frmMain.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

QString prompt(const QString &caption)
{
    return caption + u"\r\nは変更されています。\r\n変更を保存しますか?"_s;
}

class FileCommands : public ::testing::Test
{
protected:
    AppDriver app;
    void SetUp() override { app.start(); }
    frmEdit *win() { return app.active(); }
};

TEST_F(FileCommands, SavingAnUntitledDocumentAsksForAName)
{
    app.type(u"はじめ"_s);
    const QString target = app.pagePath(u"a.html"_s);
    app.dialogs.willChoose({target});
    app.click(win()->mnuFile[5]);
    ASSERT_EQ(app.dialogs.requests.size(), 1);
    EXPECT_EQ(app.dialogs.requests[0].title, u"保存"_s);
    EXPECT_TRUE(app.dialogs.requests[0].save);
    EXPECT_EQ(win()->windowTitle(), target);
    EXPECT_EQ(app.tabs(), QStringList{u"無題1"_s}) << "the tab keeps its text";
    EXPECT_EQ(gHistory.first(), target);
    EXPECT_FALSE(win()->document()->NeedSave());
    EXPECT_TRUE(decodeCp932(app.readPage(u"a.html"_s)).contains(u"はじめ"));

    app.type(u"!"_s);
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.dialogs.requests.size(), 1) << "a named document saves without a dialog";
    EXPECT_TRUE(app.readPage(u"a.html"_s).contains("!"));
}

TEST_F(FileCommands, SaveAsRenamesTheWindowButNotItsTab)
{
    const QString target = app.pagePath(u"b.html"_s);
    app.dialogs.willChoose({target, app.pagePath(u"c.html"_s)});
    app.click(win()->mnuFile[6]);
    EXPECT_TRUE(app.dialogs.requests.at(0).promptOverwrite) << "only Save As asks before replacing";
    EXPECT_EQ(win()->windowTitle(), target) << "the first of several chosen names";
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(app.pagePath(u"c.html"_s)));
    app.dialogs.willCancel();
    app.click(win()->mnuFile[6]);
    EXPECT_EQ(win()->windowTitle(), target) << "a cancelled dialog changes nothing";
}

TEST_F(FileCommands, OpenShowsTheDialogAndOpensEveryChosenFile)
{
    const QString a = app.writePage(u"a.html"_s, u"A"_s);
    const QString b = app.writePage(u"b.html"_s, u"B"_s);
    app.dialogs.willChoose({a, b});
    app.click(win()->mnuFile[1]);
    const FileDialogRequest &request = app.dialogs.requests.at(0);
    EXPECT_EQ(request.title, u"開く"_s);
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.pathMustExist);
    EXPECT_FALSE(request.promptOverwrite);
    EXPECT_EQ(request.filterIndex, 0);
    EXPECT_EQ(app.captions(), (QStringList{u"無題1"_s, a, b}));
    app.dialogs.willCancel();
    app.click(app.active()->mnuFile[1]);
    EXPECT_EQ(app.windows().size(), 3);
}

TEST_F(FileCommands, CloseAsksAboutChangesAndHonoursEachAnswer)
{
    app.type(u"x"_s);
    app.messages.answers = {MessageAnswer::Cancel};
    app.click(win()->mnuFile[2]);
    ASSERT_EQ(app.windows().size(), 1) << "Cancel keeps the window";
    EXPECT_EQ(app.messages.shown.last().text, prompt(u"無題1"_s));
    EXPECT_EQ(app.messages.shown.last().icon, MessageIcon::Warning);
    EXPECT_EQ(app.messages.shown.last().buttons, MessageButtons::YesNoCancel);
    EXPECT_TRUE(win()->control().Text().contains(u'x'));
    EXPECT_EQ(app.tabs().size(), 1);

    app.messages.answers = {MessageAnswer::No};
    app.click(win()->mnuFile[2]);
    EXPECT_TRUE(app.windows().isEmpty()) << "No closes without saving";
}

TEST_F(FileCommands, YesSavesBeforeClosingAndACancelledSaveDialogKeepsTheText)
{
    // Closing would lose the text that the user just asked to keep.
    app.type(u"keep me"_s);
    app.messages.answers = {MessageAnswer::Yes};
    app.dialogs.willCancel();
    app.click(win()->mnuFile[2]);
    ASSERT_EQ(app.windows().size(), 1);
    EXPECT_TRUE(win()->control().Text().contains(u"keep me"_s));

    const QString path = app.writePage(u"y.html"_s, u"old"_s);
    app.frame().NewWindow(path);
    app.type(u"new "_s);
    app.messages.answers = {MessageAnswer::Yes};
    app.click(win()->mnuFile[2]);
    EXPECT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.readPage(u"y.html"_s), QByteArray("new old"));
}

TEST_F(FileCommands, AnUntouchedOrFullyUndoneDocumentClosesWithoutAsking)
{
    app.click(win()->mnuFile[2]);
    EXPECT_TRUE(app.windows().isEmpty());
    app.frame().mnuFile_Click(0);
    app.type(u"ab"_s);
    app.click(win()->mnuEdit[0]);
    app.click(win()->mnuEdit[0]);
    app.click(win()->mnuFile[2]);
    EXPECT_TRUE(app.windows().isEmpty());
    EXPECT_TRUE(app.messages.shown.isEmpty());
}

TEST_F(FileCommands, CloseAsksWhenTheTextDiffersFromTheFile)
{
    const QString path = app.writePage(u"p.html"_s, u"<p>HTML</p>"_s);
    app.frame().NewWindow(path);
    // Undoing past a save leaves the text unlike the file: that must ask.
    app.type(u"x"_s);
    app.click(win()->mnuFile[5]);
    app.click(win()->mnuEdit[0]);
    app.messages.answers = {MessageAnswer::Cancel};
    app.click(win()->mnuFile[2]);
    EXPECT_EQ(app.messages.texts(), QStringList{prompt(path)});
    ASSERT_EQ(app.windows().size(), 2);

    // Saved again, then typed over a selection and undone: the text is the file's, so no
    // question, and the file keeps its bytes.
    app.click(win()->mnuFile[5]);
    win()->control().setSelStart(3);
    win()->control().setSelLength(4);
    app.type(u"Z"_s);
    app.click(win()->mnuEdit[0]);
    EXPECT_EQ(win()->control().Text(), u"<p>HTML</p>"_s);
    app.messages.shown.clear();
    app.click(win()->mnuFile[2]);
    EXPECT_TRUE(app.messages.shown.isEmpty());
    EXPECT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.readPage(u"p.html"_s), QByteArray("<p>HTML</p>"));
}

TEST_F(FileCommands, APageThatCouldNotBeReadIsNeverSavedOverUnasked)
{
    // A folder in a page's place cannot be read, even by root.
    const QString path = app.pagePath(u"locked.html"_s);
    ASSERT_TRUE(QDir().mkpath(path));
    app.frame().NewWindow(path);
    EXPECT_EQ(app.messages.texts().last(), path + u"を開けませんでした。"_s);
    EXPECT_FALSE(gHistory.contains(path)) << "a page that failed to open is no recent file";
    app.type(u"x"_s);
    app.dialogs.willCancel();
    app.click(win()->mnuFile[5]);
    ASSERT_EQ(app.dialogs.requests.size(), 1) << "the first save asks for a name";
    EXPECT_TRUE(app.dialogs.requests[0].save);
    EXPECT_TRUE(QFileInfo(path).isDir());

    const QString other = app.pagePath(u"saved.html"_s);
    app.dialogs.willChoose({other});
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.readPage(u"saved.html"_s), QByteArray("x"));
    app.type(u"y"_s);
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.dialogs.requests.size(), 2) << "once named, Save writes without a dialog";
    EXPECT_EQ(app.readPage(u"saved.html"_s), QByteArray("xy"));
}

TEST_F(FileCommands, CloseAllGoesOnPastARefusal)
{
    app.frame().mnuFile_Click(0);
    app.frame().mnuFile_Click(0);
    for (frmEdit *w : app.windows())
        w->control().setText(u"changed"_s);
    // Newest first: 無題3 No, 無題2 Cancel, 無題1 No.
    app.messages.answers = {MessageAnswer::No, MessageAnswer::Cancel, MessageAnswer::No};
    app.click(app.windows()[0]->mnuFile[3]);
    EXPECT_EQ(app.messages.texts(),
              (QStringList{prompt(u"無題3"_s), prompt(u"無題2"_s), prompt(u"無題1"_s)}));
    EXPECT_EQ(app.captions(), QStringList{u"無題2"_s});
}

TEST_F(FileCommands, ExitWithACancelledPromptKeepsTheProgramAndWritesNothing)
{
    app.frame().mnuFile_Click(0);
    for (frmEdit *w : app.windows())
        w->control().setText(u"changed"_s);
    app.messages.answers = {MessageAnswer::Cancel};
    app.click(app.active()->mnuFileExit);
    EXPECT_TRUE(app.frame().isVisible());
    EXPECT_EQ(app.windows().size(), 2);
    EXPECT_EQ(app.setting(u"History"_s, u"1"_s), u"<missing>"_s);

    app.messages.answers = {MessageAnswer::No, MessageAnswer::No};
    EXPECT_TRUE(app.closeFrame());
    EXPECT_TRUE(app.windows().isEmpty());
    for (const char *key : {"1", "5"})
        EXPECT_EQ(app.setting(u"History"_s, QString::fromLatin1(key)), QString());
    EXPECT_EQ(app.setting(u"FindHistory"_s, u"10"_s), QString());
}

TEST_F(FileCommands, KanjiCodeAndLineEndsAreCheckedFromTheSettings)
{
    auto checked = [&](const QList<QAction *> &items) {
        QList<int> out;
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked())
                out.append(i);
        return out;
    };
    win()->mnuFileMenu_Click();
    EXPECT_EQ(checked(win()->mnuFileKanji), QList<int>{2});
    EXPECT_EQ(checked(win()->mnuFileReturn), QList<int>{0});
    app.click(win()->mnuFileKanji[1]);
    app.click(win()->mnuFileReturn[2]);
    EXPECT_EQ(app.setting(u"Convert"_s, u"KanjiCode"_s), u"EUC"_s);
    app.frame().mnuFile_Click(0);
    app.active()->mnuFileMenu_Click();
    EXPECT_EQ(checked(app.active()->mnuFileKanji), QList<int>{1}) << "in every window";
    EXPECT_EQ(checked(app.active()->mnuFileReturn), QList<int>{2});

    // The next save of any window writes EUC with LF.
    const QString target = app.pagePath(u"euc.html"_s);
    app.active()->control().setText(u"日本\r\n"_s);
    app.dialogs.willChoose({target});
    app.click(app.active()->mnuFile[5]);
    EXPECT_EQ(app.readPage(u"euc.html"_s), QByteArray("\xc6\xfc\xcb\xdc\n"));
}

TEST_F(FileCommands, Utf8IsAFourthKanjiCode)
{
    // Every value of the setting checks its item; any other value counts as Shift-JIS.
    const std::pair<const char *, int> values[] = {
        {"JIS", 0}, {"EUC", 1}, {"Shift-JIS", 2}, {"UTF-8", 3}, {"utf-8", 2}, {"UTF8", 2}, {"", 2}};
    for (const auto &[value, index] : values) {
        ASSERT_TRUE(
            basINI::WriteIniString(u"Convert"_s, u"KanjiCode"_s, QString::fromLatin1(value)));
        win()->mnuFileMenu_Click();
        for (int i = 0; i < win()->mnuFileKanji.size(); ++i)
            EXPECT_EQ(win()->mnuFileKanji[i]->isChecked(), i == index) << value << " " << i;
    }
    EXPECT_EQ(win()->mnuFileKanji[3]->text(), u"UTF-8(&U)"_s);
    app.click(win()->mnuFileKanji[3]);
    EXPECT_EQ(app.setting(u"Convert"_s, u"KanjiCode"_s), u"UTF-8"_s);

    // The next save writes every character as itself.
    const QString target = app.pagePath(u"utf8.html"_s);
    win()->control().setText(u"日本😀\r\n"_s);
    app.dialogs.willChoose({target});
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.readPage(u"utf8.html"_s),
              QByteArray("\xE6\x97\xA5\xE6\x9C\xAC\xF0\x9F\x98\x80\r\n"));
}

TEST_F(FileCommands, StringConversionWorksThroughTheEditMenu)
{
    app.type(u"abc"_s);
    win()->control().setSelStart(0);
    win()->control().setSelLength(2);
    app.click(win()->mnuEditStrConv[1]);
    EXPECT_TRUE(win()->control().Text().contains(u"ABc"_s));
}

TEST_F(FileCommands, ACharsetDeclarationThatDiffersIsReportedOncePerWindow)
{
    const QString declared = u"<meta charset=\"Shift_JIS\">\r\n"_s;
    const QString mismatch = document::msg::kCharsetMismatch.arg(u"UTF-8"_s, u"Shift_JIS"_s);
    const QString target = app.pagePath(u"declared.html"_s);
    win()->control().setText(declared);
    app.dialogs.willChoose({target});
    app.click(win()->mnuFile[5]); // saved as Shift-JIS: they agree
    EXPECT_TRUE(app.messages.shown.isEmpty());

    app.click(win()->mnuFileKanji[3]);
    app.click(win()->mnuFile[5]);
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.messages.texts(), QStringList{mismatch}) << "once per window";
    EXPECT_EQ(app.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(app.readPage(u"declared.html"_s), declared.toUtf8()) << "the page is not rewritten";

    // Another window tells its own author.
    app.frame().mnuFile_Click(0);
    app.active()->control().setText(declared);
    app.dialogs.willChoose({app.pagePath(u"other.html"_s)});
    app.click(app.active()->mnuFile[5]);
    EXPECT_EQ(app.messages.texts(), (QStringList{mismatch, mismatch}));
}

} // namespace
} // namespace scrivlet::test
