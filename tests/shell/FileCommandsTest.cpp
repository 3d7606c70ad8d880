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

namespace scrivlet::test {
namespace {

QString prompt(const QString &caption)
{
    return caption + QStringLiteral("\r\nは変更されています。\r\n変更を保存しますか?");
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
    app.type(QStringLiteral("はじめ"));
    const QString target = app.pagePath(QStringLiteral("a.html"));
    app.dialogs.willChoose({target});
    app.click(win()->mnuFile[5]);
    ASSERT_EQ(app.dialogs.requests.size(), 1);
    EXPECT_EQ(app.dialogs.requests[0].title, QStringLiteral("保存"));
    EXPECT_TRUE(app.dialogs.requests[0].save);
    EXPECT_EQ(win()->windowTitle(), target);
    EXPECT_EQ(app.tabs(), QStringList{QStringLiteral("無題1")}) << "the tab keeps its text";
    EXPECT_EQ(gHistory.first(), target);
    EXPECT_FALSE(win()->document()->NeedSave());
    EXPECT_TRUE(decodeCp932(app.readPage(QStringLiteral("a.html"))).contains(u"はじめ"));

    app.type(QStringLiteral("!"));
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.dialogs.requests.size(), 1) << "a named document saves without a dialog";
    EXPECT_TRUE(app.readPage(QStringLiteral("a.html")).contains("!"));
}

TEST_F(FileCommands, SaveAsRenamesTheWindowButNotItsTab)
{
    const QString target = app.pagePath(QStringLiteral("b.html"));
    app.dialogs.willChoose({target, app.pagePath(QStringLiteral("c.html"))});
    app.click(win()->mnuFile[6]);
    EXPECT_TRUE(app.dialogs.requests.at(0).promptOverwrite) << "only Save As asks before replacing";
    EXPECT_EQ(win()->windowTitle(), target) << "the first of several chosen names";
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(QFileInfo::exists(app.pagePath(QStringLiteral("c.html"))));
    app.dialogs.willCancel();
    app.click(win()->mnuFile[6]);
    EXPECT_EQ(win()->windowTitle(), target) << "a cancelled dialog changes nothing";
}

TEST_F(FileCommands, OpenShowsTheDialogAndOpensEveryChosenFile)
{
    const QString a = app.writePage(QStringLiteral("a.html"), QStringLiteral("A"));
    const QString b = app.writePage(QStringLiteral("b.html"), QStringLiteral("B"));
    app.dialogs.willChoose({a, b});
    app.click(win()->mnuFile[1]);
    const FileDialogRequest &request = app.dialogs.requests.at(0);
    EXPECT_EQ(request.title, QStringLiteral("開く"));
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.pathMustExist);
    EXPECT_FALSE(request.promptOverwrite);
    EXPECT_EQ(request.filterIndex, 0);
    EXPECT_EQ(app.captions(), (QStringList{QStringLiteral("無題1"), a, b}));
    app.dialogs.willCancel();
    app.click(app.active()->mnuFile[1]);
    EXPECT_EQ(app.windows().size(), 3);
}

TEST_F(FileCommands, CloseAsksAboutChangesAndHonoursEachAnswer)
{
    app.type(QStringLiteral("x"));
    app.messages.answers = {MessageAnswer::Cancel};
    app.click(win()->mnuFile[2]);
    ASSERT_EQ(app.windows().size(), 1) << "Cancel keeps the window";
    EXPECT_EQ(app.messages.shown.last().text, prompt(QStringLiteral("無題1")));
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
    app.type(QStringLiteral("keep me"));
    app.messages.answers = {MessageAnswer::Yes};
    app.dialogs.willCancel();
    app.click(win()->mnuFile[2]);
    ASSERT_EQ(app.windows().size(), 1);
    EXPECT_TRUE(win()->control().Text().contains(QStringLiteral("keep me")));

    const QString path = app.writePage(QStringLiteral("y.html"), QStringLiteral("old"));
    app.frame().NewWindow(path);
    app.type(QStringLiteral("new "));
    app.messages.answers = {MessageAnswer::Yes};
    app.click(win()->mnuFile[2]);
    EXPECT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.readPage(QStringLiteral("y.html")), QByteArray("new old"));
}

TEST_F(FileCommands, AnUntouchedOrFullyUndoneDocumentClosesWithoutAsking)
{
    app.click(win()->mnuFile[2]);
    EXPECT_TRUE(app.windows().isEmpty());
    app.frame().mnuFile_Click(0);
    app.type(QStringLiteral("ab"));
    app.click(win()->mnuEdit[0]);
    app.click(win()->mnuEdit[0]);
    app.click(win()->mnuFile[2]);
    EXPECT_TRUE(app.windows().isEmpty());
    EXPECT_TRUE(app.messages.shown.isEmpty());
}

TEST_F(FileCommands, CloseAsksWhenTheTextDiffersFromTheFile)
{
    const QString path = app.writePage(QStringLiteral("p.html"), QStringLiteral("<p>HTML</p>"));
    app.frame().NewWindow(path);
    // Undoing past a save leaves the text unlike the file: that must ask.
    app.type(QStringLiteral("x"));
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
    app.type(QStringLiteral("Z"));
    app.click(win()->mnuEdit[0]);
    EXPECT_EQ(win()->control().Text(), QStringLiteral("<p>HTML</p>"));
    app.messages.shown.clear();
    app.click(win()->mnuFile[2]);
    EXPECT_TRUE(app.messages.shown.isEmpty());
    EXPECT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.readPage(QStringLiteral("p.html")), QByteArray("<p>HTML</p>"));
}

TEST_F(FileCommands, APageThatCouldNotBeReadIsNeverSavedOverUnasked)
{
    // A folder in a page's place cannot be read, even by root.
    const QString path = app.pagePath(QStringLiteral("locked.html"));
    ASSERT_TRUE(QDir().mkpath(path));
    app.frame().NewWindow(path);
    EXPECT_EQ(app.messages.texts().last(), path + QStringLiteral("を開けませんでした。"));
    EXPECT_FALSE(gHistory.contains(path)) << "a page that failed to open is no recent file";
    app.type(QStringLiteral("x"));
    app.dialogs.willCancel();
    app.click(win()->mnuFile[5]);
    ASSERT_EQ(app.dialogs.requests.size(), 1) << "the first save asks for a name";
    EXPECT_TRUE(app.dialogs.requests[0].save);
    EXPECT_TRUE(QFileInfo(path).isDir());

    const QString other = app.pagePath(QStringLiteral("saved.html"));
    app.dialogs.willChoose({other});
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.readPage(QStringLiteral("saved.html")), QByteArray("x"));
    app.type(QStringLiteral("y"));
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.dialogs.requests.size(), 2) << "once named, Save writes without a dialog";
    EXPECT_EQ(app.readPage(QStringLiteral("saved.html")), QByteArray("xy"));
}

TEST_F(FileCommands, CloseAllGoesOnPastARefusal)
{
    app.frame().mnuFile_Click(0);
    app.frame().mnuFile_Click(0);
    for (frmEdit *w : app.windows())
        w->control().setText(QStringLiteral("changed"));
    // Newest first: 無題3 No, 無題2 Cancel, 無題1 No.
    app.messages.answers = {MessageAnswer::No, MessageAnswer::Cancel, MessageAnswer::No};
    app.click(app.windows()[0]->mnuFile[3]);
    EXPECT_EQ(app.messages.texts(),
              (QStringList{prompt(QStringLiteral("無題3")), prompt(QStringLiteral("無題2")),
                           prompt(QStringLiteral("無題1"))}));
    EXPECT_EQ(app.captions(), QStringList{QStringLiteral("無題2")});
}

TEST_F(FileCommands, ExitWithACancelledPromptKeepsTheProgramAndWritesNothing)
{
    app.frame().mnuFile_Click(0);
    for (frmEdit *w : app.windows())
        w->control().setText(QStringLiteral("changed"));
    app.messages.answers = {MessageAnswer::Cancel};
    app.click(app.active()->mnuFileExit);
    EXPECT_TRUE(app.frame().isVisible());
    EXPECT_EQ(app.windows().size(), 2);
    EXPECT_EQ(app.setting(QStringLiteral("History"), QStringLiteral("1")),
              QStringLiteral("<missing>"));

    app.messages.answers = {MessageAnswer::No, MessageAnswer::No};
    EXPECT_TRUE(app.closeFrame());
    EXPECT_TRUE(app.windows().isEmpty());
    for (const char *key : {"1", "5"})
        EXPECT_EQ(app.setting(QStringLiteral("History"), QString::fromLatin1(key)), QString());
    EXPECT_EQ(app.setting(QStringLiteral("FindHistory"), QStringLiteral("10")), QString());
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
    EXPECT_EQ(app.setting(QStringLiteral("Convert"), QStringLiteral("KanjiCode")),
              QStringLiteral("EUC"));
    app.frame().mnuFile_Click(0);
    app.active()->mnuFileMenu_Click();
    EXPECT_EQ(checked(app.active()->mnuFileKanji), QList<int>{1}) << "in every window";
    EXPECT_EQ(checked(app.active()->mnuFileReturn), QList<int>{2});

    // The next save of any window writes EUC with LF.
    const QString target = app.pagePath(QStringLiteral("euc.html"));
    app.active()->control().setText(QStringLiteral("日本\r\n"));
    app.dialogs.willChoose({target});
    app.click(app.active()->mnuFile[5]);
    EXPECT_EQ(app.readPage(QStringLiteral("euc.html")), QByteArray("\xc6\xfc\xcb\xdc\n"));
}

TEST_F(FileCommands, Utf8IsAFourthKanjiCode)
{
    // Every value of the setting checks its item; any other value counts as Shift-JIS.
    const std::pair<const char *, int> values[] = {
        {"JIS", 0}, {"EUC", 1}, {"Shift-JIS", 2}, {"UTF-8", 3}, {"utf-8", 2}, {"UTF8", 2}, {"", 2}};
    for (const auto &[value, index] : values) {
        ASSERT_TRUE(basINI::WriteIniString(QStringLiteral("Convert"), QStringLiteral("KanjiCode"),
                                           QString::fromLatin1(value)));
        win()->mnuFileMenu_Click();
        for (int i = 0; i < win()->mnuFileKanji.size(); ++i)
            EXPECT_EQ(win()->mnuFileKanji[i]->isChecked(), i == index) << value << " " << i;
    }
    EXPECT_EQ(win()->mnuFileKanji[3]->text(), QStringLiteral("UTF-8(&U)"));
    app.click(win()->mnuFileKanji[3]);
    EXPECT_EQ(app.setting(QStringLiteral("Convert"), QStringLiteral("KanjiCode")),
              QStringLiteral("UTF-8"));

    // The next save writes every character as itself.
    const QString target = app.pagePath(QStringLiteral("utf8.html"));
    win()->control().setText(QStringLiteral("日本😀\r\n"));
    app.dialogs.willChoose({target});
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.readPage(QStringLiteral("utf8.html")),
              QByteArray("\xE6\x97\xA5\xE6\x9C\xAC\xF0\x9F\x98\x80\r\n"));
}

TEST_F(FileCommands, EditCommandsWorkThroughTheMenu)
{
    const QString before = win()->control().Text();
    const int at = win()->control().SelStart();
    app.type(QStringLiteral("abc"));
    EXPECT_TRUE(win()->mnuEdit[0]->isEnabled());
    app.click(win()->mnuEdit[0]);
    EXPECT_EQ(win()->control().Text(), before.left(at) + QStringLiteral("ab") + before.mid(at))
        << "Undo takes the last key back";
    EXPECT_TRUE(win()->mnuEdit[1]->isEnabled());
    app.click(win()->mnuEdit[1]);
    EXPECT_EQ(win()->control().Text(), before.left(at) + QStringLiteral("abc") + before.mid(at));
    win()->control().setSelStart(0);
    win()->control().setSelLength(2);
    app.click(win()->mnuEditStrConv[1]);
    EXPECT_TRUE(win()->control().Text().contains(QStringLiteral("ABc")));
}

TEST_F(FileCommands, ACharsetDeclarationThatDiffersIsReportedOncePerWindow)
{
    const QString declared = QStringLiteral("<meta charset=\"Shift_JIS\">\r\n");
    const QString mismatch =
        document::msg::kCharsetMismatch.arg(QStringLiteral("UTF-8"), QStringLiteral("Shift_JIS"));
    const QString target = app.pagePath(QStringLiteral("declared.html"));
    win()->control().setText(declared);
    app.dialogs.willChoose({target});
    app.click(win()->mnuFile[5]); // saved as Shift-JIS: they agree
    EXPECT_TRUE(app.messages.shown.isEmpty());

    app.click(win()->mnuFileKanji[3]);
    app.click(win()->mnuFile[5]);
    app.click(win()->mnuFile[5]);
    EXPECT_EQ(app.messages.texts(), QStringList{mismatch}) << "once per window";
    EXPECT_EQ(app.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(app.readPage(QStringLiteral("declared.html")), declared.toUtf8())
        << "the page is not rewritten";

    // Another window tells its own author.
    app.frame().mnuFile_Click(0);
    app.active()->control().setText(declared);
    app.dialogs.willChoose({app.pagePath(QStringLiteral("other.html"))});
    app.click(app.active()->mnuFile[5]);
    EXPECT_EQ(app.messages.texts(), (QStringList{mismatch, mismatch}));
}

} // namespace
} // namespace scrivlet::test
