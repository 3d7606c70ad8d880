// The Find and Replace dialogs as a user meets them: opened from the Edit menu of a real
// document window, driven through their own controls, acting on the active document.

#include "dialogs/Messages.h"
#include "dialogs/frmFind.h"
#include "dialogs/frmReplace.h"
#include "document/SourceTextEdit.h"
#include "document/frmEdit.h"
#include "editor/IEditControl.h"
#include "editor/Messages.h"
#include "editor/clsRTF.h"
#include "platform/Globals.h"
#include "shell/frmMain.h"
#include "tests/dialogs/CaptionTable.h"
#include "tests/shell/AppDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

QStringList items(const QComboBox *combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out.append(combo->itemText(i));
    return out;
}

QStringList tenSlots(const QStringList &entries)
{
    QStringList out = entries;
    out.resize(10);
    return out;
}

class SearchDialogs : public ::testing::Test
{
protected:
    AppDriver app;
    void SetUp() override
    {
        app.start();
        // Only what the dialogs say counts here; the converter may have spoken while the
        // template loaded.
        app.messages.shown.clear();
    }
    frmEdit *win() { return app.active(); }
    IEditControl &control() { return win()->control(); }

    void setText(const QString &text, int caret = 0)
    {
        control().setText(text);
        control().setSelStart(caret);
    }
    frmFind *openFind()
    {
        app.click(win()->mnuEdit[9]);
        return app.frame().findChild<frmFind *>(u"frmFind"_s);
    }
    frmReplace *openReplace()
    {
        app.click(win()->mnuEdit[12]);
        return app.frame().findChild<frmReplace *>(u"frmReplace"_s);
    }
    static void press(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Lets a dialog that unloaded itself go.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QString selection() { return control().SelText(); }
};

TEST_F(SearchDialogs, FindRotatesTheHistoryAndRefillsItsList)
{
    setText(u"a b c d"_s);
    gFindHistory = tenSlots({u"a"_s, u"b"_s, u"c"_s});
    frmFind *find = openFind();
    EXPECT_EQ(items(find->cboFindStr), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(find->cboFindStr->currentText(), QString()) << "the field starts empty";
    const struct
    {
        const char *search;
        QStringList history;
    } steps[] = {
        {"c", {"c", "a", "b"}},
        {"b", {"b", "c", "a"}},
        {"d", {"d", "b", "c", "a"}},
        {"d", {"d", "b", "c", "a"}},
    };
    for (const auto &step : steps) {
        control().setSelStart(0);
        // Somewhere else in the frame, as after a click on a tab.
        app.frame().findChild<QWidget *>(u"tabSelectBar"_s)->setFocus();
        find->cboFindStr->setEditText(QString::fromUtf8(step.search));
        press(find->cmdFindDown);
        EXPECT_EQ(app.frame().focusWidget(), win()->textEdit()) << "the document gets the focus";
        EXPECT_EQ(selection(), QString::fromUtf8(step.search));
        EXPECT_EQ(gFindHistory, tenSlots(step.history)) << step.search;
        EXPECT_EQ(items(find->cboFindStr), step.history) << step.search;
        EXPECT_EQ(find->cboFindStr->currentText(), QString::fromUtf8(step.search));
    }
    EXPECT_TRUE(app.messages.shown.isEmpty());
}

TEST_F(SearchDialogs, FindComparesLooselyButTheHistoryExactly)
{
    setText(u"xx abc ＡＢＣ ABC"_s);
    gFindHistory = tenSlots({u"abc"_s});
    frmFind *find = openFind();
    find->cboFindStr->setEditText(u"ABC"_s);
    press(find->cmdFindDown);
    EXPECT_EQ(control().SelStart(), 3) << "check box clear: abc matches ABC";
    EXPECT_EQ(gFindHistory, tenSlots({u"ABC"_s, u"abc"_s}));

    control().setSelStart(0);
    find->chkBinary->setChecked(true);
    press(find->cmdFindDown);
    EXPECT_EQ(control().SelStart(), 11) << "ticked: only the exact form";
    press(find->cmdFindUp);
    EXPECT_EQ(control().SelStart(), 11) << "nothing exact above";
    EXPECT_EQ(app.messages.texts(), QStringList{editor::msg::kSearchFinished});
    find->chkBinary->setCheckState(Qt::PartiallyChecked);
    press(find->cmdFindUp);
    EXPECT_EQ(control().SelStart(), 7) << "grey compares like clear";
}

TEST_F(SearchDialogs, AFailedSearchStillEntersTheHistory)
{
    setText(u"abc"_s, 1);
    gFindHistory =
        tenSlots({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"10"_s});
    frmFind *find = openFind();
    find->cboFindStr->setEditText(u"zz"_s);
    press(find->cmdFindDown);
    ASSERT_EQ(app.messages.shown.size(), 1);
    EXPECT_EQ(app.messages.shown[0].text, editor::msg::kSearchFinished);
    EXPECT_EQ(app.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(control().SelStart(), 1) << "the caret stays";
    EXPECT_EQ(gFindHistory.first(), u"zz"_s);
    EXPECT_EQ(gFindHistory.last(), u"9"_s) << "slot 10 dropped";
    EXPECT_EQ(find->cboFindStr->count(), 10);

    find->cboFindStr->setEditText(QString());
    press(find->cmdFindDown);
    EXPECT_EQ(gFindHistory.first(), u"zz"_s) << "an empty field does nothing";
    EXPECT_EQ(app.messages.shown.size(), 1);
}

TEST_F(SearchDialogs, ReplaceDownWalksOnAndReplaceUpFindsWhatItInserted)
{
    struct Step
    {
        bool down;
        const char *text;
        int caret;
    };
    const struct
    {
        const char *start;
        int caret;
        std::vector<Step> steps;
    } runs[] = {
        {"a-a-a", 0, {{true, "aa-a-a", 2}, {true, "aa-aa-a", 5}, {true, "aa-aa-aa", 8}}},
        {"xa-", 3, {{false, "xaa-", 3}, {false, "xaaa-", 4}, {true, "xaaa-", 4}}},
    };
    frmReplace *replace = openReplace();
    for (const auto &run : runs) {
        setText(QString::fromUtf8(run.start), run.caret);
        replace->cboFindStr->setEditText(u"a"_s);
        replace->cboReplaceStr->setEditText(u"aa"_s);
        for (const Step &step : run.steps) {
            press(step.down ? replace->cmdFindDown : replace->cmdFindUp);
            EXPECT_EQ(control().Text(), QString::fromUtf8(step.text)) << run.start;
            EXPECT_EQ(control().SelStart(), step.caret) << step.text;
            EXPECT_EQ(control().SelLength(), 0);
        }
    }
    EXPECT_EQ(app.messages.texts(), QStringList{editor::msg::kSearchFinished})
        << "only the last step, with nothing left below, finds nothing";
    EXPECT_EQ(gFindHistory.first(), u"a"_s);
    EXPECT_EQ(gReplaceHistory.first(), u"aa"_s);
}

TEST_F(SearchDialogs, AnEmptyReplacementDeletesAndMovesAnEmptySlotUp)
{
    setText(u"<b>x</b>"_s);
    gReplaceHistory = tenSlots({u"r"_s});
    frmReplace *replace = openReplace();
    EXPECT_EQ(items(replace->cboReplaceStr), QStringList{"r"});
    replace->cboFindStr->setEditText(u"<B>"_s);
    replace->cboReplaceStr->setEditText(QString());
    press(replace->cmdFindDown);
    EXPECT_EQ(control().Text(), u"x</b>"_s);
    EXPECT_EQ(gReplaceHistory, tenSlots({QString(), u"r"_s}));
    EXPECT_EQ(items(replace->cboReplaceStr), QStringList{"r"}) << "empty entries never show";
    EXPECT_EQ(items(replace->cboFindStr), QStringList{"<B>"});
}

TEST_F(SearchDialogs, ReplaceAllIsOneUndoStepInEitherComparison)
{
    const QString start = u"Abc aBC\r\nabc ＡＢＣ ab"_s;
    const struct
    {
        bool exact;
        const char *expect;
    } cases[] = {
        {false, "x x\r\nx x ab"},
        {true, "Abc aBC\r\nx ＡＢＣ ab"},
    };
    frmReplace *replace = openReplace();
    for (const auto &c : cases) {
        setText(start, 5);
        const int steps = win()->document()->GetClctUndoCount();
        replace->chkBinary->setChecked(c.exact);
        replace->cboFindStr->setEditText(u"abc"_s);
        replace->cboReplaceStr->setEditText(u"x"_s);
        press(replace->cmdAllReplace);
        EXPECT_EQ(control().Text(), QString::fromUtf8(c.expect));
        clsRTF &doc = *win()->document();
        ASSERT_EQ(doc.GetClctUndoCount(), steps + 1) << "one step for every replacement";
        EXPECT_EQ(doc.undoSnapshot(steps).Text.toString(), QString::fromUtf8(c.expect));
        EXPECT_EQ(doc.undoSnapshot(steps - 1).Text.toString(), start);
        EXPECT_TRUE(win()->mnuEdit[0]->isEnabled());
    }
    EXPECT_TRUE(app.messages.shown.isEmpty());
    EXPECT_EQ(gFindHistory, tenSlots({})) << "Replace all leaves the histories alone";
    EXPECT_EQ(gReplaceHistory, tenSlots({}));
    EXPECT_EQ(items(replace->cboFindStr), QStringList());

    const int steps = win()->document()->GetClctUndoCount();
    replace->cboFindStr->setEditText(QString());
    press(replace->cmdAllReplace);
    EXPECT_EQ(win()->document()->GetClctUndoCount(), steps) << "an empty search changes nothing";
}

TEST_F(SearchDialogs, WithoutADocumentFindFailsAndUnloadsButReplaceAllStays)
{
    QPointer<frmFind> find = openFind();
    QPointer<frmReplace> replace = openReplace();
    app.closeActive();
    ASSERT_EQ(app.active(), nullptr);
    find->cboFindStr->setEditText(u"a"_s);
    press(find->cmdFindDown);
    replace->cboFindStr->setEditText(u"a"_s);
    press(replace->cmdAllReplace);
    settle();
    EXPECT_TRUE(find.isNull()) << "the failed search unloads its dialog";
    ASSERT_FALSE(replace.isNull());
    EXPECT_TRUE(replace->isVisible());
    ASSERT_EQ(app.messages.shown.size(), 2);
    EXPECT_EQ(app.messages.shown[0].text, editor::msg::kSearchFailed);
    EXPECT_EQ(app.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(app.messages.shown[0].title, u"Scrivlet"_s);
    EXPECT_EQ(app.messages.shown[1].text, dialogs::msg::kReplaceFailed);
    EXPECT_EQ(app.messages.shown[1].icon, MessageIcon::Critical);
    EXPECT_EQ(gFindHistory, tenSlots({})) << "a failure enters nothing";

    press(replace->cmdFindUp);
    settle();
    EXPECT_TRUE(replace.isNull());
    EXPECT_EQ(app.messages.shown.last().text, editor::msg::kSearchFailed);
}

TEST_F(SearchDialogs, EachButtonActsOnTheWindowActiveAtThatMoment)
{
    setText(u"one"_s);
    frmEdit *first = win();
    frmFind *find = openFind();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_FALSE(find->isModal()) << "the document stays in reach";
    EXPECT_EQ(find->parentWidget(), &app.frame());
    expectCaptions(find, "find");
    expectCaptions(openReplace(), "replace");
    app.frame().NewWindow(QString());
    ASSERT_NE(win(), first);
    setText(u"two one"_s);
    find->cboFindStr->setEditText(u"one"_s);
    press(find->cmdFindDown);
    EXPECT_EQ(control().SelStart(), 4);
    EXPECT_EQ(first->control().SelLength(), 0);
    EXPECT_EQ(openFind(), find) << "showing it again reuses the loaded dialog";
}

TEST_F(SearchDialogs, ALoadedDialogKeepsItsListsUntilItsOwnButtonRefillsThem)
{
    setText(u"abc"_s);
    gFindHistory = tenSlots({u"old"_s});
    frmFind *find = openFind();
    frmReplace *replace = openReplace();
    replace->cboFindStr->setEditText(u"b"_s);
    press(replace->cmdFindDown);
    openFind();
    EXPECT_EQ(items(find->cboFindStr), QStringList{"old"});
    find->cboFindStr->setEditText(u"c"_s);
    press(find->cmdFindDown);
    EXPECT_EQ(items(find->cboFindStr), (QStringList{"c", "b", "old"}));
}

TEST_F(SearchDialogs, EnterSearchesDownAndEscapeUnloads)
{
    setText(u"find Me here"_s);
    gFindHistory = tenSlots({u"ME"_s});
    QPointer<frmFind> find = openFind();
    QTest::keyClicks(find->cboFindStr->lineEdit(), u"me"_s);
    QTest::keyClick(find->cboFindStr->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(control().SelStart(), 5);
    EXPECT_EQ(selection(), u"Me"_s);
    EXPECT_EQ(gFindHistory, tenSlots({u"me"_s, u"ME"_s}))
        << "what was typed, not a list entry that differs in letter case";

    QPointer<frmReplace> replace = openReplace();
    replace->cboFindStr->setEditText(u"here"_s);
    QTest::keyClicks(replace->cboReplaceStr->lineEdit(), u"there"_s);
    QTest::keyClick(replace->cboReplaceStr->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(control().Text(), u"find Me there"_s);

    for (QWidget *dialog : {static_cast<QWidget *>(find), static_cast<QWidget *>(replace)})
        QTest::keyClick(dialog, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(find.isNull());
    EXPECT_TRUE(replace.isNull());
}

TEST_F(SearchDialogs, ExitUnloadsBothDialogsAndTheHistoriesAreWritten)
{
    setText(u"abc"_s);
    QPointer<frmFind> find = openFind();
    find->cboFindStr->setEditText(u"b"_s);
    press(find->cmdFindDown);
    QPointer<frmReplace> replace = openReplace();
    replace->cboFindStr->setEditText(u"c"_s);
    replace->cboReplaceStr->setEditText(u"C"_s);
    press(replace->cmdFindDown);

    // A cancelled save prompt keeps the program, but the dialogs go all the same.
    app.messages.answers = {MessageAnswer::Cancel};
    app.click(win()->mnuFileExit);
    settle();
    EXPECT_TRUE(find.isNull());
    EXPECT_TRUE(replace.isNull());
    EXPECT_TRUE(app.frame().isVisible());

    openFind();
    app.messages.answers = {MessageAnswer::No};
    app.click(win()->mnuFileExit);
    EXPECT_FALSE(app.frame().isVisible()) << "an open dialog does not keep the program";
    EXPECT_EQ(app.setting(u"FindHistory"_s, u"1"_s), u"c"_s);
    EXPECT_EQ(app.setting(u"FindHistory"_s, u"2"_s), u"b"_s);
    EXPECT_EQ(app.setting(u"FindHistory"_s, u"3"_s), QString());
    EXPECT_EQ(app.setting(u"ReplaceHistory"_s, u"1"_s), u"C"_s);
}

} // namespace
} // namespace scrivlet::test
