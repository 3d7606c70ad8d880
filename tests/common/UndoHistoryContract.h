#pragma once
// The undo history as a user meets it, through the window's wiring (every change notification
// goes to IsTextChange), on every kind of edit control.

#include "editor/clsRTF.h"
#include "tests/common/Differential.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

namespace scrivlet::test {

inline QString upperAscii(const QString &text, ConvType)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

template<class Kit>
class UndoHistoryContract : public ::testing::Test
{
protected:
    Kit kit;
    FakeMessageService messages;
    clsRTF doc{messages, upperAscii};
    int recorded = 0;
    int refused = 0;

    IEditControl &control() { return kit.control; }
    KeyDriver &keys() { return kit.keys; }

    void SetUp() override
    {
        doc.Init(&control());
        QObject::connect(&control(), &IEditControl::Change, &doc, [this] {
            if (doc.IsTextChange())
                ++recorded;
            else
                ++refused;
        });
    }

    // A window's load: the text becomes the baseline, then the history is reset.
    void load(const QString &text)
    {
        control().setText(text);
        doc.InitVariable();
    }
    void typeKeys(const QString &text)
    {
        for (QChar c : text)
            keys().type(c);
    }
    void expectCaret(int start, int length = 0)
    {
        EXPECT_EQ(control().SelStart(), start);
        EXPECT_EQ(control().SelLength(), length);
    }
};

TYPED_TEST_SUITE_P(UndoHistoryContract);

TYPED_TEST_P(UndoHistoryContract, TypedCharactersUndoAndRedoOneByOne)
{
    this->load(QString());
    this->keys().type(u'x'); // the first change after an empty load is the baseline
    this->doc.InitVariable();
    this->typeKeys(QStringLiteral("abc"));
    EXPECT_EQ(this->doc.GetClctUndoCount(), 4);
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("xab"));
    this->expectCaret(3);
    this->doc.Undo();
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("x"));
    this->expectCaret(1);
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("x")) << "the baseline is never undone";
    this->doc.Redo();
    this->expectCaret(2);
    this->doc.Redo();
    this->doc.Redo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("xabc"));
    this->expectCaret(4);
    EXPECT_EQ(this->doc.GetClctRedoCount(), 0);
    EXPECT_EQ(this->refused, 6) << "Undo and Redo edits are not recorded";
}

TYPED_TEST_P(UndoHistoryContract, PastedTextComesBackSelected)
{
    this->load(QStringLiteral("ab"));
    this->control().setSelStart(1);
    this->kit.clipboard.content = QStringLiteral("XYZ");
    this->doc.Paste();
    EXPECT_EQ(this->doc.GetClctUndoCount(), 2);
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("ab"));
    this->expectCaret(1);
    this->doc.Redo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("aXYZb"));
    this->expectCaret(1, 3);
}

TYPED_TEST_P(UndoHistoryContract, DeletedTextComesBackByItsKind)
{
    this->load(QStringLiteral("one two\r\nthree"));
    this->control().setSelStart(4);
    this->control().setSelLength(3);
    this->keys().del();
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("one two\r\nthree"));
    this->expectCaret(4, 3); // a word comes back selected

    this->control().setSelStart(3);
    this->keys().backspace();
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("one two\r\nthree"));
    this->expectCaret(3); // one character: the caret after it

    this->control().setSelStart(9);
    this->keys().backspace();
    EXPECT_EQ(this->control().Text(), QStringLiteral("one twothree"));
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("one two\r\nthree"));
    this->expectCaret(9); // a line break: not selected
}

TYPED_TEST_P(UndoHistoryContract, StepsThatReplacedTextUndoAndRedoExactly)
{
    // Steps that are no single insertion or removal at the caret: Undo and Redo give back the
    // exact text, with the stretch that differs selected (a single character: caret after it).
    using namespace Qt::Literals::StringLiterals;
    struct Case
    {
        const char *what;
        QString loaded;
        int selStart, selLength;
        QString typed; // typed over the selection; empty: the action below
        enum { None, Upper, Rewrite } action;
        QString after;
        int undoStart, undoLength, redoStart, redoLength;
    };
    const Case cases[] = {
        {"type over a word", u"<p>HTML</p>"_s, 3, 4, u"Z"_s, Case::None, u"<p>Z</p>"_s, 3, 4, 4, 0},
        {"type over all", u"<!DOCTYPE>"_s, 0, 10, u"b"_s, Case::None, u"b"_s, 0, 10, 1, 0},
        {"same-length conversion", u"abc def"_s, 4, 3, {}, Case::Upper, u"abc DEF"_s, 4, 3, 4, 3},
        {"rewrite that grew", u"ab"_s, 0, 0, {}, Case::Rewrite, u"abcdef"_s, 2, 0, 2, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        this->load(c.loaded);
        this->control().setSelStart(c.selStart);
        this->control().setSelLength(c.selLength);
        if (c.action == Case::Upper)
            this->doc.Conv(ConvType::UpperCase);
        else if (c.action == Case::Rewrite)
            this->control().setText(c.after);
        else
            this->typeKeys(c.typed);
        ASSERT_EQ(this->control().Text(), c.after);
        this->doc.Undo();
        EXPECT_EQ(this->control().Text(), c.loaded);
        this->expectCaret(c.undoStart, c.undoLength);
        this->doc.Redo();
        EXPECT_EQ(this->control().Text(), c.after);
        this->expectCaret(c.redoStart, c.redoLength);
        EXPECT_EQ(this->doc.GetClctUndoCount(), 2);
    }
}

TYPED_TEST_P(UndoHistoryContract, UndoWithoutAStepChangesNothing)
{
    this->doc.Undo();
    EXPECT_TRUE(this->doc.CanUndo());
    this->load(QStringLiteral("abc"));
    this->control().setSelStart(1);
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("abc"));
    this->expectCaret(1);
    EXPECT_TRUE(this->doc.CanUndo());
    this->doc.setCanUndo(false);
    this->doc.Undo();
    EXPECT_TRUE(this->doc.CanUndo()) << "every path ends with recording on";
}

TYPED_TEST_P(UndoHistoryContract, InitVariableKeepsOnlyTheNewestStep)
{
    this->load(QString());
    this->typeKeys(QStringLiteral("abcde"));
    this->doc.Undo();
    this->doc.setCanUndo(false);
    this->doc.InitVariable();
    EXPECT_TRUE(this->doc.CanUndo()) << "a new baseline records again";
    EXPECT_EQ(this->doc.GetClctUndoCount(), 1);
    EXPECT_EQ(this->doc.GetClctRedoCount(), 0);
    EXPECT_FALSE(this->doc.NeedSave());
    EXPECT_EQ(this->doc.undoSnapshot(0).Text.toString(), QStringLiteral("abcd"));
}

TYPED_TEST_P(UndoHistoryContract, NeedSaveFollowsRecordedStepsOnly)
{
    this->load(QStringLiteral("abc"));
    EXPECT_FALSE(this->doc.NeedSave());
    this->doc.AllSelect();
    this->doc.Copy();
    EXPECT_FALSE(this->doc.NeedSave());
    EXPECT_EQ(this->doc.GetClctUndoCount(), 1);
    this->control().setSelStart(3);
    this->keys().type(u'd');
    EXPECT_TRUE(this->doc.NeedSave());
    this->doc.setNeedSave(false);
    this->doc.Undo();
    EXPECT_FALSE(this->doc.NeedSave()) << "Undo leaves the flag alone";
    this->doc.Redo();
    EXPECT_FALSE(this->doc.NeedSave());
}

TYPED_TEST_P(UndoHistoryContract, SnapshotsHoldTheTextOfTheirStep)
{
    this->load(QStringLiteral("0123456789"));
    this->control().setSelStart(5);
    this->typeKeys(QStringLiteral("ab"));
    this->control().setSelStart(0);
    this->keys().del();
    const auto &d = this->doc;
    ASSERT_EQ(d.GetClctUndoCount(), 4);
    EXPECT_EQ(d.undoSnapshot(0).Text.toString(), QStringLiteral("0123456789"));
    EXPECT_EQ(d.undoSnapshot(1).Text.toString(), QStringLiteral("01234a56789"));
    EXPECT_EQ(d.undoSnapshot(2).Text.toString(), QStringLiteral("01234ab56789"));
    EXPECT_EQ(d.undoSnapshot(3).Text.toString(), QStringLiteral("1234ab56789"));
    EXPECT_EQ(d.undoSnapshot(2).SelStart, 7);
    EXPECT_EQ(d.undoSnapshot(2).TextLen, 12);
}

REGISTER_TYPED_TEST_SUITE_P(UndoHistoryContract, TypedCharactersUndoAndRedoOneByOne,
                            PastedTextComesBackSelected, DeletedTextComesBackByItsKind,
                            StepsThatReplacedTextUndoAndRedoExactly, UndoWithoutAStepChangesNothing,
                            InitVariableKeepsOnlyTheNewestStep, NeedSaveFollowsRecordedStepsOnly,
                            SnapshotsHoldTheTextOfTheirStep);

} // namespace scrivlet::test
