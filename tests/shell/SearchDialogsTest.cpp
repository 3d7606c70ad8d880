// The Find and Replace dialogs as a user meets them: opened from the Edit menu of a real
// document window, driven through their own controls, acting on the active document.

#include "dialogs/Messages.h"
#include "dialogs/frmFind.h"
#include "dialogs/frmReplace.h"
#include "editor/Messages.h"
#include "platform/qt/QtClipboard.h"
#include "tests/dialogs/CaptionTable.h"
#include "tests/shell/AppDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace scrivlet::test {
namespace {

QStringList items(const QComboBox *combo)
{
    return mapped(std::views::iota(0, combo->count()),
                  [combo](int i) { return combo->itemText(i); });
}
// Types the text into the field and clicks the button.
void search(QComboBox *field, const QString &text, QPushButton *button)
{
    field->setEditText(text);
    QTest::mouseClick(button, Qt::LeftButton);
}
QStringList tenSlots(const QStringList &e)
{
    return e + QStringList(10 - e.size());
}

class SearchDialogs : public Frame
{
protected:
    // Only what the dialogs say counts here; the converter may have spoken while the template
    // loaded.
    void SetUp() override
    {
        start();
        app->messages.shown.clear();
    }
    // The Edit menu's Find (9) and Replace (12) items.
    template<class Dialog>
    Dialog *open(int item)
    {
        app->click(win()->mnuEdit[item]);
        return app->frame().findChild<Dialog *>();
    }
    const ShownMessage &message(int i) { return app->messages.shown.at(i); }
};

// How the history rotates is the history's own business; here the dialog hands it what was
// searched, failed or not, and shows it again.
TEST_F(SearchDialogs, FindComparesAsTheCheckBoxSaysAndEntersWhatWasSearched)
{
    setText(u"xx abc ＡＢＣ ABC"_s);
    gFindHistory = QStringList{"abc", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    frmFind *find = open<frmFind>(9);
    EXPECT_EQ(find->cboFindStr->currentText(), QString()) << "the field starts empty";
    child(u"tabSelectBar"_s)->setFocus(); // elsewhere, as after a click on a tab
    search(find->cboFindStr, u"ABC"_s, find->cmdFindDown);
    EXPECT_EQ(app->frame().focusWidget(), win()->textEdit()) << "the document gets the focus";
    EXPECT_EQ(control().SelText(), u"abc"_s) << "check box clear: abc matches ABC";
    control().setSelStart(0);
    find->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(find));
    find->cboFindStr->setFocus();
    QTest::keyClick(find->cboFindStr, Qt::Key_B, Qt::AltModifier); // the box's key
    ASSERT_TRUE(find->chkBinary->isChecked());
    EXPECT_EQ(find->cboFindStr->currentText(), u"ABC"_s);
    QTest::mouseClick(find->cmdFindDown, Qt::LeftButton);
    EXPECT_EQ(control().SelStart(), 11) << "ticked: only the exact form";
    search(find->cboFindStr, u"aBC"_s, find->cmdFindUp);
    EXPECT_EQ(control().SelStart(), 11) << "nothing exact above: the caret stays";
    ASSERT_EQ(app->messages.texts(), QStringList{editor::msg::kSearchFinished});
    EXPECT_EQ(message(0).icon, MessageIcon::Information);
    find->chkBinary->setCheckState(Qt::PartiallyChecked);
    search(find->cboFindStr, u"ABC"_s, find->cmdFindUp);
    EXPECT_EQ(control().SelStart(), 7) << "grey compares like clear";
    EXPECT_EQ(gFindHistory, (QStringList{"ABC", "aBC", "abc", "2", "3", "4", "5", "6", "7", "8"}))
        << "each search entered, the failed one too";
    search(find->cboFindStr, QString(), find->cmdFindDown);
    EXPECT_EQ(gFindHistory.first(), u"ABC"_s) << "an empty field does nothing";
}

// Each direction goes on past what it inserted, even when that matches again: the caret ends
// after the new text going down and before it going up.
TEST_F(SearchDialogs, ReplaceWalksOnInEitherDirectionPastWhatItInserted)
{
    // The text with | at the caret, what to find and put instead, then each step: down or up,
    // the text and the caret after it.
    using Steps = std::vector<std::tuple<bool, const char *, int>>;
    const std::tuple<const char *, const char *, const char *, Steps> runs[] = {
        {"|a-a-a", "a", "aa", {{true, "aa-a-a", 2}, {true, "aa-aa-a", 5}, {true, "aa-aa-aa", 8}}},
        {"abc abc|", "abc", "ABC", {{false, "abc ABC", 4}, {false, "ABC ABC", 0}}},
        {"a-a-|", "a", "aa", {{false, "a-aa-", 2}, {false, "aa-aa-", 0}, {false, "aa-aa-", 0}}},
        {"|<b>x</b>", "<B>", "", {{true, "x</b>", 0}}}, // an empty replacement deletes
    };
    gReplaceHistory = tenSlots({u"r"_s});
    frmReplace *replace = open<frmReplace>(12);
    EXPECT_EQ(items(replace->cboReplaceStr), QStringList{"r"});
    for (const auto &[start, find, replacement, steps] : runs) {
        const QString text = QString::fromUtf8(start);
        setText(QString(text).remove(u'|'), text.indexOf(u'|'));
        replace->cboReplaceStr->setEditText(QString::fromUtf8(replacement));
        for (const auto &[down, after, caret] : steps) {
            search(replace->cboFindStr, QString::fromUtf8(find),
                   down ? replace->cmdFindDown : replace->cmdFindUp);
            EXPECT_EQ(control().Text(), QString::fromUtf8(after)) << start;
            EXPECT_EQ(control().SelStart(), caret) << after;
            EXPECT_EQ(control().SelLength(), 0);
        }
    }
    EXPECT_EQ(app->messages.texts(), QStringList{editor::msg::kSearchFinished})
        << "only the last step of the third run, with nothing left above, finds nothing";
    EXPECT_EQ(gFindHistory, tenSlots({u"<B>"_s, u"a"_s, u"abc"_s}));
    EXPECT_EQ(gReplaceHistory, tenSlots({QString(), u"aa"_s, u"ABC"_s, u"r"_s}));
    EXPECT_EQ(items(replace->cboReplaceStr), (QStringList{"aa", "ABC", "r"}))
        << "empty entries never show";
    EXPECT_EQ(items(replace->cboFindStr), (QStringList{"<B>", "a", "abc"}));
}

// Ignoring case and width, Replace all and its single undo step go end to end
// (replace_all_save_undo_save); the ticked box and the two forms of a voiced kana are checked
// here.
TEST_F(SearchDialogs, ReplaceAllReplacesEachMatchWholeInOneUndoStep)
{
    setText(u"Abc aBC\r\nabc ＡＢＣ ab"_s, 5);
    frmReplace *replace = open<frmReplace>(12);
    clsRTF &doc = *win()->document();
    const int steps = doc.GetClctUndoCount();
    replace->chkBinary->setChecked(true);
    replace->cboReplaceStr->setEditText(u"x"_s);
    search(replace->cboFindStr, u"abc"_s, replace->cmdAllReplace);
    EXPECT_EQ(control().Text(), u"Abc aBC\r\nx ＡＢＣ ab"_s);
    EXPECT_EQ(doc.GetClctUndoCount(), steps + 1) << "one step for every replacement";
    EXPECT_TRUE(app->messages.shown.isEmpty());
    EXPECT_EQ(gFindHistory, tenSlots({})) << "Replace all leaves the histories alone";
    EXPECT_EQ(gReplaceHistory, tenSlots({}));

    // Unticked, a voiced kana matches in either of its forms, and each match goes whole.
    replace->chkBinary->setChecked(false);
    setText(u"ﾃﾞｰﾀ\r\nデータ ﾃｰﾀ"_s);
    replace->cboReplaceStr->setEditText(u"DATA"_s);
    search(replace->cboFindStr, u"データ"_s, replace->cmdAllReplace);
    EXPECT_EQ(control().Text(), u"DATA\r\nDATA ﾃｰﾀ"_s);

    // A pasted block longer than a line edit's usual limit is searched and put in whole.
    const QString block = QString(40000, u'a') + u"b"_s;
    setText(block + u"|"_s + block);
    replace->cboReplaceStr->setEditText(block + block);
    search(replace->cboFindStr, block, replace->cmdAllReplace);
    EXPECT_TRUE(control().Text() == block.repeated(2) + u"|"_s + block.repeated(2))
        << control().TextLength();
}

// Text copied out of the document reaches the fields with LF line breaks; each still stands for
// the document's whole CR LF (for a search down or up, and for Find next: the LF and CR rows of
// tests/data/search-selections.txt).
TEST_F(SearchDialogs, ALineBreakCopiedFromTheDocumentMatchesItsWholeLineBreak)
{
    setText(u"<p>one</p>\r\n<p>two</p>\r\n<p>one</p>\r\n<p>two</p>"_s);
    control().setSelLength(22);
    control().copy();
    frmReplace *replace = open<frmReplace>(12);
    // The copy goes on to the desktop's clipboard as the program puts it there.
    QtClipboard().setText(app->clipboard.text());
    QTest::keyClick(replace->cboFindStr->lineEdit(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(replace->cboFindStr->currentText(), u"<p>one</p>\n<p>two</p>"_s);
    replace->cboReplaceStr->setEditText(u"X"_s);
    QTest::mouseClick(replace->cmdAllReplace, Qt::LeftButton);
    EXPECT_EQ(control().Text(), u"X\r\nX"_s);
    EXPECT_TRUE(app->messages.shown.isEmpty());
}

TEST_F(SearchDialogs, WithoutADocumentFindFailsAndUnloadsButReplaceAllStays)
{
    QPointer<frmFind> find = open<frmFind>(9);
    QPointer<frmReplace> replace = open<frmReplace>(12);
    app->closeActive();
    ASSERT_EQ(app->active(), nullptr);
    search(find->cboFindStr, u"a"_s, find->cmdFindDown);
    search(replace->cboFindStr, u"a"_s, replace->cmdAllReplace);
    settle();
    EXPECT_TRUE(find.isNull()) << "the failed search unloads its dialog";
    ASSERT_FALSE(replace.isNull());
    EXPECT_TRUE(replace->isVisible());
    ASSERT_EQ(app->messages.texts(),
              (QStringList{editor::msg::kSearchFailed, dialogs::msg::kReplaceFailed}));
    EXPECT_EQ(message(0).title, u"Scrivlet"_s);
    for (int i : {0, 1})
        EXPECT_EQ(message(i).icon, MessageIcon::Critical);
    EXPECT_EQ(gFindHistory, tenSlots({})) << "a failure enters nothing";
    QTest::mouseClick(replace->cmdFindUp, Qt::LeftButton);
    settle();
    EXPECT_TRUE(replace.isNull());
    EXPECT_EQ(app->messages.shown.last().text, editor::msg::kSearchFailed);
}

TEST_F(SearchDialogs, EachButtonActsOnTheWindowActiveAtThatMoment)
{
    setText(u"one"_s);
    gFindHistory = tenSlots({u"old"_s});
    frmEdit *first = win();
    frmFind *find = open<frmFind>(9);
    ASSERT_NE(find, nullptr);
    EXPECT_FALSE(find->isModal()) << "the document stays in reach";
    EXPECT_EQ(find->parentWidget(), &app->frame());
    expectCaptions(find, "find");
    frmReplace *replace = open<frmReplace>(12);
    expectCaptions(replace, "replace");
    app->frame().NewWindow(QString());
    ASSERT_NE(win(), first);
    setText(u"two one"_s);
    search(replace->cboFindStr, u"tw"_s, replace->cmdFindDown);
    EXPECT_EQ(open<frmFind>(9), find) << "showing it again reuses the loaded dialog";
    EXPECT_EQ(items(find->cboFindStr), QStringList{"old"}) << "until its own button refills it";
    control().setSelStart(0);
    search(find->cboFindStr, u"one"_s, find->cmdFindDown);
    EXPECT_EQ(control().SelStart(), 2) << "in \"o one\", after the replacement of tw by nothing";
    EXPECT_EQ(items(find->cboFindStr), (QStringList{"one", "tw", "old"}));
}

TEST_F(SearchDialogs, EnterSearchesEscapeAndExitUnloadAndTheHistoriesAreWritten)
{
    setText(u"find Me here"_s);
    gFindHistory = tenSlots({u"ME"_s});
    QPointer<frmFind> find = open<frmFind>(9);
    QTest::keyClicks(find->cboFindStr->lineEdit(), u"me"_s);
    QTest::keyClick(find->cboFindStr->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(control().SelStart(), 5);
    EXPECT_EQ(control().SelText(), u"Me"_s);
    EXPECT_EQ(gFindHistory, tenSlots({u"me"_s, u"ME"_s}))
        << "what was typed, not a list entry that differs in letter case";
    QPointer<frmReplace> replace = open<frmReplace>(12);
    replace->cboFindStr->setEditText(u"here"_s);
    QTest::keyClicks(replace->cboReplaceStr->lineEdit(), u"there"_s);
    QTest::keyClick(replace->cboReplaceStr->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(control().Text(), u"find Me there"_s);
    // Called up again, each dialog offers its search string to be typed over.
    for (SearchDialog *dialog :
         std::initializer_list<SearchDialog *>{open<frmReplace>(12), open<frmFind>(9)}) {
        ASSERT_NE(dialog->focusWidget(), nullptr);
        QTest::keyClicks(dialog->focusWidget(), u"Me"_s);
        EXPECT_EQ(dialog->cboFindStr->currentText(), u"Me"_s) << dialog->objectName().toStdString();
    }
    // The same keys pressed in a dialog.
    replace->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(replace));
    replace->cboReplaceStr->setFocus();
    QTest::keyClick(replace->cboReplaceStr, Qt::Key_H, Qt::ControlModifier);
    QTest::keyClicks(replace->focusWidget(), u"here"_s);
    EXPECT_EQ(std::pair(replace->cboFindStr->currentText(), replace->cboReplaceStr->currentText()),
              std::pair(u"here"_s, u"there"_s));
    QTest::keyClick(replace->focusWidget(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find && find->focusWidget());
    QTest::keyClicks(find->focusWidget(), u"me"_s);
    EXPECT_EQ(find->cboFindStr->currentText(), u"me"_s);
    QTest::keyClick(find, Qt::Key_Escape);
    QTest::keyClick(replace, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(find.isNull() && replace.isNull());

    // A cancelled save prompt keeps the program, but the dialogs go all the same.
    find = open<frmFind>(9);
    replace = open<frmReplace>(12);
    app->messages.answers = {MessageAnswer::Cancel};
    app->click(win()->mnuFileExit);
    settle();
    EXPECT_TRUE(find.isNull() && replace.isNull());
    EXPECT_TRUE(app->frame().isVisible());
    open<frmFind>(9);
    app->messages.answers = {MessageAnswer::No};
    app->click(win()->mnuFileExit);
    EXPECT_FALSE(app->frame().isVisible()) << "an open dialog does not keep the program";
    const QStringList written = {u"here"_s, u"me"_s, u"ME"_s, QString()};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(app->setting(u"FindHistory"_s, QString::number(i + 1)), written[i]);
    EXPECT_EQ(app->setting(u"ReplaceHistory"_s, u"1"_s), u"there"_s);
}

} // namespace
} // namespace scrivlet::test
