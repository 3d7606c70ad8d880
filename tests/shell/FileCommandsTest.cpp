// The File menu of a document window, its recent files and the ways out of the program, as a
// user meets them.

#include "document/Messages.h"
#include "files/Messages.h"
#include "files/ProgramPaths.h"
#include "tests/shell/AppDriver.h"

#include <chrono>
#include <thread>

namespace scrivlet::test {

using enum MessageAnswer;

class FileCommands : public Frame
{
protected:
    void SetUp() override { start(); }
    QString text() { return control().Text(); }
    // An item of the File menu, with the answers to the message boxes it shows.
    void file(int item, const QList<MessageAnswer> &answers = {})
    {
        app->messages.answers = answers;
        app->click(win()->mnuFile[item]);
    }
    void undo() { app->click(win()->mnuEdit[0]); }
    // Save, with the name the dialog answers if one is asked for.
    void save(const QString &name) { app->dialogs.willChoose({app->pagePath(name)}), file(5); }
    static QString prompt(const QString &caption)
    {
        return caption + u"\r\nは変更されています。\r\n変更を保存しますか?"_s;
    }

public:
    // The checked items of a family, or the captions of recent files 1 to 5 ("-" where hidden).
    static QList<int> checked(const QList<QAction *> &items)
    {
        QList<int> out;
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked())
                out.append(i);
        return out;
    }
    static QStringList recent(const QList<QAction *> &items)
    {
        return mapped(items.mid(1, 5),
                      [](QAction *item) { return item->isVisible() ? item->text() : u"-"_s; });
    }
};

// The Save dialog's title and its question before replacing a file, the Save As journey checks.
TEST_F(FileCommands, SaveAsksForANameOnceSaveAsEveryTimeAndOpenShowsItsDialog)
{
    const QString a = app->pagePath(u"a.html"_s), b = app->pagePath(u"b.html"_s);
    app->type(u"はじめ"_s);
    save(u"a.html"_s);
    ASSERT_EQ(app->dialogs.requests.size(), 1);
    EXPECT_EQ(win()->windowTitle(), a);
    EXPECT_EQ(app->tabs(), QStringList{u"無題1"_s}) << "the tab keeps its text";
    EXPECT_EQ(gHistory.first(), a);
    EXPECT_FALSE(win()->document()->NeedSave());
    EXPECT_TRUE(decodeCp932(app->readPage(u"a.html"_s)).contains(u"はじめ"));
    app->dialogs.willChoose({b, app->pagePath(u"c.html"_s)});
    file(6);
    EXPECT_EQ(win()->windowTitle(), b) << "the first of several chosen names";
    EXPECT_FALSE(QFileInfo::exists(app->pagePath(u"c.html"_s)));
    file(6);
    EXPECT_EQ(win()->windowTitle(), b) << "a cancelled dialog changes nothing";
    // A name the page could not be saved under is neither its name nor a recent file.
    const QStringList recentBefore = gHistory;
    app->type(u"?"_s);
    app->dialogs.willChoose({app->pagePath(u"no such folder/x.html"_s)});
    file(6);
    EXPECT_EQ(app->messages.texts().value(0), files::msg::kSaveFailed);
    EXPECT_EQ(std::pair(win()->windowTitle(), gHistory), std::pair(b, recentBefore));
    EXPECT_TRUE(win()->document()->NeedSave());
    app->messages.shown.clear();
    file(5);
    EXPECT_TRUE(app->readPage(u"b.html"_s).contains("?")) << "Save writes the page's own file";

    app->writePage(u"o.html"_s, u"O"_s);
    app->dialogs.willChoose({a, app->pagePath(u"o.html"_s)});
    file(1);
    const FileDialogRequest &open = app->dialogs.requests.last();
    EXPECT_EQ(open.title, u"開く"_s);
    EXPECT_TRUE(open.multiSelect && open.pathMustExist);
    EXPECT_FALSE(open.promptOverwrite);
    EXPECT_EQ(open.filterIndex, 0);
    EXPECT_EQ(app->captions(), (QStringList{b, a, app->pagePath(u"o.html"_s)}));
    file(1);
    EXPECT_EQ(app->windows().size(), 3);
    // Names that together do not fit the dialog's answer open nothing, and the user is told.
    QStringList many;
    for (int i = 0; i < 200; ++i)
        many << app->pagePath(QString(190, u'n') + QString::number(i) + u".html"_s);
    app->dialogs.willChoose(many);
    file(1);
    app->dialogs.willChoose(many);
    app->frame().mnuFile_Click(1);
    EXPECT_EQ(app->windows().size(), 3);
    EXPECT_EQ(app->messages.texts(), QStringList(2, document::msg::kTooManyFiles));
    app->messages.shown.clear();
    // Save As proposes the page's own name, never what its window last opened.
    app->windows().first()->mnuFile_Click(6);
    EXPECT_EQ(app->dialogs.requests.last().fileName, b);
}

// That undoing past a save asks, the journey closing after such an undo guards; that a page
// that could not be read is saved under a chosen name, the unreadable-page journeys.
TEST_F(FileCommands, AFullyUndoneDocumentClosesWithoutAsking)
{
    app->type(u"ab"_s);
    undo();
    undo();
    file(2);
    EXPECT_TRUE(app->windows().isEmpty());
    EXPECT_TRUE(app->messages.shown.isEmpty());
}

TEST_F(FileCommands, ClosingAsksAboutChangesAndHonoursEachAnswerAndExitWritesTheLists)
{
    app->frame().mnuFile_Click(0);
    app->frame().mnuFile_Click(0);
    for (frmEdit *w : app->windows())
        w->control().setText(u"changed"_s);
    // Close all asks newest first: 無題3 No, 無題2 Cancel, 無題1 No; each with its text in view,
    // though the first window was the active one.
    app->frame().showDocument(app->windows()[0]->Tag());
    QStringList inView;
    app->messages.whileShown = [&] {
        inView << app->active()->windowTitle();
    };
    app->messages.answers = {No, Cancel, No};
    app->click(app->windows()[0]->mnuFile[3]);
    app->messages.whileShown = nullptr;
    EXPECT_EQ(app->messages.texts(),
              (QStringList{prompt(u"無題3"_s), prompt(u"無題2"_s), prompt(u"無題1"_s)}));
    EXPECT_EQ(inView, (QStringList{u"無題3"_s, u"無題2"_s, u"無題1"_s}));
    EXPECT_EQ(app->messages.shown[1].icon, MessageIcon::Warning);
    EXPECT_EQ(app->messages.shown[1].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(app->captions(), QStringList{u"無題2"_s});
    EXPECT_EQ(app->tabs(), QStringList{u"無題2"_s});
    EXPECT_TRUE(app->dialogs.requests.isEmpty()) << "nothing but the questions";
    // Closing would lose the text that the user just asked to keep.
    file(2, {Yes});
    ASSERT_EQ(app->windows().size(), 1);
    EXPECT_EQ(text(), u"changed"_s);
    app->frame().NewWindow(app->writePage(u"y.html"_s, u"old"_s));
    app->type(u"new "_s);
    file(2, {Yes});
    EXPECT_EQ(app->windows().size(), 1);
    EXPECT_EQ(app->readPage(u"y.html"_s), QByteArray("new old"));

    app->messages.answers = {Cancel};
    app->click(win()->mnuFileExit);
    EXPECT_TRUE(app->frame().isVisible());
    EXPECT_EQ(app->windows().size(), 1);
    EXPECT_EQ(app->setting(u"History"_s, u"1"_s), u"<missing>"_s) << "nothing written";
    app->messages.answers = {No};
    EXPECT_TRUE(app->closeFrame());
    EXPECT_TRUE(app->windows().isEmpty());
    EXPECT_EQ(app->setting(u"History"_s, u"1"_s), app->pagePath(u"y.html"_s));
    EXPECT_EQ(app->setting(u"History"_s, u"5"_s), QString());
    EXPECT_EQ(app->setting(u"FindHistory"_s, u"10"_s), QString());
}

// What another program wrote into the page since this window read it is not overwritten
// unasked; a No keeps both that file and the window's changes.
TEST_F(FileCommands, SavingOverAPageAnotherProgramChangedAsksFirst)
{
    const QString page = app->writePage(u"shared.html"_s, u"mine"_s);
    app->frame().NewWindow(page);
    app->type(u"+"_s);
    app->writePage(u"shared.html"_s, u"they"_s); // as long as "mine": the time tells
    QFile other(page);
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    other.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    other.close();
    file(5, {No});
    EXPECT_EQ(app->messages.texts(),
              QStringList{page + u"\r\nは開いた後で他のﾌﾟﾛｸﾞﾗﾑによって変更されています。\r\n"
                                 u"上書き保存しますか?"_s});
    EXPECT_EQ(app->readPage(u"shared.html"_s), QByteArray("they"));
    EXPECT_EQ(app->messages.shown[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_TRUE(win()->document()->NeedSave());
    file(5, {Yes});
    EXPECT_TRUE(app->readPage(u"shared.html"_s).contains("mine"));
    app->messages.shown.clear();
    app->type(u"!"_s);
    file(5);
    EXPECT_TRUE(app->messages.shown.isEmpty()) << "its own save is no change by another program";

    // Closing, the save asked for and the overwrite refused: the window stays with its text.
    app->type(u"?"_s);
    app->writePage(u"shared.html"_s, u"they again"_s);
    file(2, {Yes, No});
    EXPECT_EQ(app->messages.shown.size(), 2);
    ASSERT_EQ(app->captions(), (QStringList{u"無題1"_s, page}));
    EXPECT_EQ(app->readPage(u"shared.html"_s), QByteArray("they again"));
    EXPECT_TRUE(text().contains(u"!?"_s));
    app->messages.shown.clear();

    // Save As onto the window's own file asks the same; the dialog asked only about replacing.
    app->writePage(u"shared.html"_s, u"they, at length"_s);
    app->dialogs.willChoose({page});
    file(6, {No});
    EXPECT_EQ(app->readPage(u"shared.html"_s), QByteArray("they, at length"));
    EXPECT_EQ(app->messages.shown.size(), 1);

    // A page opened under a name nothing had yet: what appears there since is asked about too.
    app->messages.shown.clear();
    app->frame().NewWindow(app->pagePath(u"new.html"_s));
    app->messages.shown.clear(); // the converter's word on the missing file
    app->type(u"mine"_s);
    app->writePage(u"new.html"_s, u"theirs"_s);
    file(5, {No});
    EXPECT_EQ(app->readPage(u"new.html"_s), QByteArray("theirs"));
    EXPECT_EQ(app->messages.shown.size(), 1);

    // What another program writes while a large page is still loading, as soon as the converter
    // has read it, is a change since the window read the file.
    const QString big = app->writePage(u"big.html"_s, u"<p>x</p>\r\n"_s.repeated(300000));
    const QString work = files::workFilePath();
    QFile::remove(work);
    std::thread rewriter([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!QFile::exists(work) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        app->writePage(u"big.html"_s, u"they"_s);
    });
    app->frame().NewWindow(big);
    rewriter.join();
    app->messages.shown.clear();
    app->type(u"+"_s);
    file(5, {No});
    EXPECT_EQ(app->readPage(u"big.html"_s), QByteArray("they"));
    EXPECT_EQ(app->messages.shown.size(), 1);
}

// A window whose file has been deleted holds the only copy of its text: closing it asks.
TEST_F(FileCommands, ClosingAWindowWhoseFileWasDeletedAsks)
{
    const QString page = app->writePage(u"gone.html"_s, u"only copy"_s);
    app->frame().NewWindow(page);
    const QPointer<frmEdit> window = win();
    QFile::remove(page);
    file(2, {Cancel});
    ASSERT_EQ(app->messages.texts(), QStringList{prompt(page)});
    file(2, {Yes});
    EXPECT_EQ(app->readPage(u"gone.html"_s), QByteArray("only copy"));
    settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FileCommands, KanjiCodeAndLineEndsAreCheckedFromTheSettingsAndUsedBySaves)
{
    win()->mnuFileMenu_Click();
    EXPECT_EQ(checked(win()->mnuFileKanji), QList<int>{2});
    EXPECT_EQ(checked(win()->mnuFileReturn), QList<int>{0});
    EXPECT_EQ(win()->mnuFileKanji[3]->text(), u"UTF-8(&U)"_s);
    // Every value of the setting checks its item; any other value counts as Shift-JIS.
    const std::pair<const char *, int> values[] = {
        {"JIS", 0}, {"EUC", 1}, {"Shift-JIS", 2}, {"UTF-8", 3}, {"utf-8", 2}, {"UTF8", 2}, {"", 2}};
    for (const auto &[value, index] : values) {
        ASSERT_TRUE(
            basINI::WriteIniString(u"Convert"_s, u"KanjiCode"_s, QString::fromLatin1(value)));
        win()->mnuFileMenu_Click();
        EXPECT_EQ(checked(win()->mnuFileKanji), QList<int>{index}) << value;
    }
    // A choice is stored and checked in every window; saves read it from the settings (the file
    // layer's tests), and the UTF-8 journey saves through the menu.
    app->click(win()->mnuFileKanji[1]);
    app->click(win()->mnuFileReturn[2]);
    EXPECT_EQ(app->setting(u"Convert"_s, u"KanjiCode"_s), u"EUC"_s);
    app->frame().mnuFile_Click(0);
    win()->mnuFileMenu_Click();
    EXPECT_EQ(checked(win()->mnuFileKanji), QList<int>{1}) << "in every window";
    EXPECT_EQ(checked(win()->mnuFileReturn), QList<int>{2});

    // A settings file that cannot be written (a folder in its place, which stops root as well)
    // says so, for a choice and for the lists at exit, rather than keep the old code silently.
    const QString ini = app->programDirectory() + u"Scrivlet.ini"_s;
    ASSERT_TRUE(QFile::remove(ini) && QDir().mkdir(ini));
    app->click(win()->mnuFileKanji[3]);
    app->click(win()->mnuFileReturn[0]);
    EXPECT_EQ(app->messages.texts(), QStringList(2, u"設定の保存に失敗しました"_s));
    app->messages.shown.clear();
    app->messages.answers = {No, No};
    EXPECT_TRUE(app->closeFrame());
    EXPECT_TRUE(app->messages.texts().contains(u"設定の保存に失敗しました"_s));
}

TEST_F(FileCommands, StringConversionAndACharsetDeclarationThatDiffersOncePerWindow)
{
    app->type(u"abc"_s);
    select(0, 2);
    app->click(win()->mnuEditStrConv[1]);
    EXPECT_TRUE(text().contains(u"ABc"_s));
    // A selection begun in a script's code: the code around it tells the tag conversion so.
    setText(u"<SCRIPT>\r\nif (a<B) x();\r\n</SCRIPT><P>"_s);
    select(15, 22);
    app->click(win()->mnuEditTagConv[0]);
    EXPECT_EQ(text(), u"<SCRIPT>\r\nif (a<B) x();\r\n</script><p>"_s);
    // A conversion rewrites what an open list follows: each closes it, and ">" is then typed.
    const QWidget *list = win()->findChild<QWidget *>(u"lstPopup"_s);
    for (QAction *item :
         {win()->mnuEditStrConv[0], win()->mnuEditTagConv[0], win()->mnuEditTagInsert[0]}) {
        setText(u"x"_s, 1);
        app->type(u"<b"_s);
        ASSERT_TRUE(list->isVisible());
        app->click(item);
        EXPECT_FALSE(list->isVisible()) << item->text().toStdString();
        app->type(u">"_s);
        EXPECT_TRUE(text().endsWith(u">"_s) && !text().startsWith(u"<"_s)) << visible(text());
    }

    const QString declared = u"<meta charset=\"Shift_JIS\">\r\n"_s;
    const QString mismatch = u"ﾌｧｲﾙはEUCで保存しましたが、ﾍﾟｰｼﾞの文字ｺｰﾄﾞ宣言はShift_JISです。\r\n"
                             u"ﾍﾟｰｼﾞの宣言をEUC-JPに書き直してください。"_s;
    control().setText(declared);
    save(u"declared.html"_s); // saved as Shift-JIS: they agree
    EXPECT_TRUE(app->messages.shown.isEmpty());
    app->click(win()->mnuFileKanji[1]);
    file(5);
    file(5);
    EXPECT_EQ(app->messages.texts(), QStringList{mismatch}) << "once per window";
    EXPECT_EQ(app->messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(app->readPage(u"declared.html"_s), declared.toUtf8()) << "the page is not rewritten";
    app->frame().mnuFile_Click(0); // another window tells its own author
    control().setText(declared);
    save(u"other.html"_s);
    EXPECT_EQ(app->messages.texts(), (QStringList{mismatch, mismatch}));
}

TEST(RecentFiles, TheLastFiveNewestFirstInEveryFileMenu)
{
    AppDriver app;
    app.start({u"/O"_s});
    const auto recent = &FileCommands::recent;
    // An empty list hides every item and disables the separator.
    EXPECT_EQ(recent(app.frame().mnuFileHistory), QStringList(5, u"-"_s));
    EXPECT_FALSE(app.frame().mnuFileHistory[6]->isEnabled());
    EXPECT_TRUE(app.frame().mnuFileHistory[6]->isVisible());
    for (const QString &name : {u"p1.html"_s, u"p2.html"_s})
        app.frame().NewWindow(app.writePage(name, u"x"_s));
    for (frmEdit *w : app.windows())
        EXPECT_EQ(recent(w->mnuFileHistory), recent(app.frame().mnuFileHistory)) << "every window";
    for (const DataRow &row : readDataRows(SCRIVLET_TEST_DATA "/recent-files-moves.txt", 4)) {
        const auto list = [&row](int i) {
            return QString::fromStdString(row[i]).split(u'|');
        };
        gHistory = list(0);
        app.frame().AddHistory(field(row, 1));
        EXPECT_EQ(gHistory, list(2)) << row[1];
        EXPECT_EQ(recent(app.frame().mnuFileHistory), list(3)) << row[1];
    }
}

TEST(RecentFiles, AnEntryReopensItsFileOrSaysItIsGone)
{
    AppDriver app;
    const QString path = app.writePage(u"keep.html"_s, u"<P>kept</P>"_s);
    app.start({path});
    app.closeActive();
    app.click(app.frame().mnuFileHistory[1]);
    ASSERT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.active()->control().Text(), u"<P>kept</P>"_s);
    app.closeActive();
    QFile::remove(path);
    app.click(app.frame().mnuFileHistory[1]);
    EXPECT_TRUE(app.windows().isEmpty());
    EXPECT_EQ(app.messages.texts(), QStringList{path + u"は存在しません。"_s});
    EXPECT_EQ(app.messages.shown.last().icon, MessageIcon::Critical);
    EXPECT_EQ(gHistory.first(), path) << "it stays";
}

} // namespace scrivlet::test
