#pragma once
// The undo history as a user meets it, through the window's wiring (every change notification
// goes to IsTextChange), on every kind of edit control: what the differential run cannot see
// (the recording flag, the texts the steps hold). Text, caret and selection after Undo and Redo,
// the step counts and the save flag are the differential's (tests/common/Differential.cpp).

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

    IEditControl &control() { return kit.control; }
    KeyDriver &keys() { return kit.keys; }

    void SetUp() override
    {
        doc.Init(&control());
        QObject::connect(&control(), &IEditControl::Change, &doc, [this] { doc.IsTextChange(); });
    }

    // A window's load: the text becomes the baseline, then the history is reset.
    void load(const QString &text)
    {
        control().setText(text);
        doc.InitVariable();
    }
};

TYPED_TEST_SUITE_P(UndoHistoryContract);

TYPED_TEST_P(UndoHistoryContract, UndoWithoutAStepChangesNothing)
{
    this->doc.Undo();
    EXPECT_TRUE(this->doc.CanUndo());
    this->load(QStringLiteral("abc"));
    this->control().setSelStart(1);
    this->doc.Undo();
    EXPECT_EQ(this->control().Text(), QStringLiteral("abc"));
    EXPECT_EQ(this->control().SelStart(), 1);
    EXPECT_EQ(this->control().SelLength(), 0);
    EXPECT_TRUE(this->doc.CanUndo());
    this->doc.setCanUndo(false);
    this->doc.Undo();
    EXPECT_TRUE(this->doc.CanUndo()) << "every path ends with recording on";
    this->doc.setCanUndo(false);
    this->doc.InitVariable();
    EXPECT_TRUE(this->doc.CanUndo()) << "a new baseline records again";
}

TYPED_TEST_P(UndoHistoryContract, SnapshotsHoldTheTextOfTheirStep)
{
    this->load(QStringLiteral("0123456789"));
    this->control().setSelStart(5);
    this->keys().type(u'a');
    this->keys().type(u'b');
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

REGISTER_TYPED_TEST_SUITE_P(UndoHistoryContract, UndoWithoutAStepChangesNothing,
                            SnapshotsHoldTheTextOfTheirStep);

} // namespace scrivlet::test
