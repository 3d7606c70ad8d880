#pragma once
// What every edit control must do, whatever stores its text, with the undo history wired to it as
// a window wires it: positions that count a line break as CR LF, one change notification per real
// change, made and described exactly when raised. Instantiated with each control's kit. Where the
// caret and selection go, and the text after Undo and Redo, the differential run compares step by
// step (tests/common/Differential.cpp); here is what it cannot see.

#include "editor/clsRTF.h"
#include "tests/common/Differential.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace scrivlet::test {

using namespace Qt::StringLiterals;

template<class Kit>
class EditControlContract : public ::testing::Test
{
protected:
    Kit kit;
    IEditControl &c = kit.control;
    FakeMessageService messages;
    clsRTF doc{messages, {}};

    void SetUp() override
    {
        doc.Init(&c);
        QObject::connect(&c, &IEditControl::Change, &doc, [this] { doc.IsTextChange(); });
    }
    // Every Change raised while running action. Each must already be in the text when it is
    // raised, and turn the text before it into that text.
    QList<TextChange> changesDuring(const std::function<void()> &action)
    {
        QList<TextChange> changes;
        QString text = c.Text();
        auto connection = QObject::connect(&c, &IEditControl::Change, [&](const TextChange &ch) {
            changes.append(ch);
            text.replace(ch.position, ch.removedLength, ch.inserted);
            EXPECT_EQ(c.Text(), text) << "the change describes the edit already made";
        });
        action();
        QObject::disconnect(connection);
        EXPECT_EQ(c.Text(), text) << "every change was reported";
        EXPECT_EQ(c.TextSnapshot().toString(), text);
        return changes;
    }
};

TYPED_TEST_SUITE_P(EditControlContract);

TYPED_TEST_P(EditControlContract, LineBreaksCountAsCrLfAndOtherUnitsSurvive)
{
    auto &c = this->c;
    const QString odd = u"a\u00A0\u2028\t\U0001F600漢"_s;
    c.setText(odd);
    EXPECT_EQ(c.Text(), odd);
    c.setText(u"a\nb\rc\r\nd\u2029e"_s);
    EXPECT_EQ(c.Text(), u"a\r\nb\r\nc\r\nd\r\ne"_s);
    EXPECT_EQ(c.TextLength(), 13);
    EXPECT_EQ(c.TextRange(1, 4), u"\r\nb\r"_s);
    EXPECT_EQ(c.TextRange(2, 1), u"\n"_s);
    EXPECT_EQ(c.TextRange(11, 99), u"\ne"_s);
    c.setSelStart(4);
    c.setSelLength(3);
    EXPECT_EQ(c.SelText(), u"\r\nc"_s);
}

TYPED_TEST_P(EditControlContract, EditsReportOneChangeEachAndOnlyRealOnes)
{
    const struct
    {
        const char *what;
        QString text;
        int selStart, selLength;
        QString clip;
        std::function<void(IEditControl &, KeyDriver &)> op;
        QString after;
        int selStartAfter, selLengthAfter;
        QString clipAfter = {};
        QList<TextChange> changes = {};
    } rows[] = {
        // clang-format off
        {"the same text again", u"one\r\ntwo"_s, 0, 0, {},
         [](auto &c, auto &) { c.setText(u"one\r\ntwo"_s); }, u"one\r\ntwo"_s, 0, 0},
        {"the same selection again: the caret still moves", u"one\r\ntwo"_s, 5, 3, {},
         [](auto &c, auto &) { c.setSelText(u"two"_s); }, u"one\r\ntwo"_s, 8, 0},
        {"a new selection", u"one\r\ntwo"_s, 1, 5, {},
         [](auto &c, auto &) { c.setSelText(u"X\nY"_s); }, u"oX\r\nYwo"_s, 5, 0, {},
         {{1, 5, u"X\r\nY"_s}}},
        {"cutting nothing", u"one"_s, 2, 0, {}, [](auto &c, auto &) { c.cut(); }, u"one"_s, 2, 0},
        {"clearing nothing", u"one"_s, 2, 0, {}, [](auto &c, auto &) { c.clear(); },
         u"one"_s, 2, 0},
        {"an empty clipboard", u"one"_s, 2, 0, {}, [](auto &c, auto &) { c.paste(); },
         u"one"_s, 2, 0},
        {"backspace", u"ab\r\ncd"_s, 4, 0, {}, [](auto &, auto &k) { k.pressBackspace(); },
         u"abcd"_s, 2, 0, {}, {{2, 2, {}}}},
        {"enter", u"abcd"_s, 2, 0, {}, [](auto &, auto &k) { k.pressEnter(); },
         u"ab\r\ncd"_s, 4, 0, {}, {{2, 0, u"\r\n"_s}}},
        {"delete", u"ab\r\ncd"_s, 2, 0, {}, [](auto &, auto &k) { k.pressDelete(); },
         u"abcd"_s, 2, 0, {}, {{2, 2, {}}}},
        {"typing over a selection", u"abcd"_s, 1, 2, {}, [](auto &, auto &k) { k.typeText(u"か"_s); },
         u"aかd"_s, 2, 0, {}, {{1, 2, u"か"_s}}},
        {"copy", u"line1\r\nline2"_s, 3, 5, {}, [](auto &c, auto &) { c.copy(); },
         u"line1\r\nline2"_s, 3, 5, u"e1\r\nl"_s},
        {"cut", u"line1\r\nline2"_s, 3, 5, {}, [](auto &c, auto &) { c.cut(); },
         u"linine2"_s, 3, 0, u"e1\r\nl"_s, {{3, 5, {}}}},
        {"paste", u"linine2"_s, 3, 0, u"X\nY"_s, [](auto &c, auto &) { c.paste(); },
         u"linX\r\nYine2"_s, 7, 0, u"X\nY"_s, {{3, 0, u"X\r\nY"_s}}},
        {"select all", u"a\r\nb"_s, 1, 0, {}, [](auto &c, auto &) { c.selectAll(); },
         u"a\r\nb"_s, 0, 4},
        {"clear", u"a\r\nb"_s, 0, 4, {}, [](auto &c, auto &) { c.clear(); },
         {}, 0, 0, {}, {{0, 4, {}}}},
        // clang-format on
    };
    auto &c = this->c;
    for (const auto &r : rows) {
        SCOPED_TRACE(r.what);
        c.setText(r.text);
        c.setSelStart(r.selStart);
        c.setSelLength(r.selLength);
        this->kit.clipboard.content = r.clip;
        const auto changes = this->changesDuring([&] { r.op(c, this->kit.keys); });
        EXPECT_EQ(c.Text(), r.after);
        EXPECT_EQ(c.SelStart(), r.selStartAfter);
        EXPECT_EQ(c.SelLength(), r.selLengthAfter);
        EXPECT_EQ(this->kit.clipboard.content, r.clipAfter);
        ASSERT_EQ(changes.size(), r.changes.size());
        for (qsizetype i = 0; i < changes.size(); ++i) {
            EXPECT_EQ(changes[i].position, r.changes[i].position);
            EXPECT_EQ(changes[i].removedLength, r.changes[i].removedLength);
            EXPECT_EQ(changes[i].inserted, r.changes[i].inserted);
        }
    }
}

TYPED_TEST_P(EditControlContract, ReplaceEachIsOneChangeLikeWritingTheWholeText)
{
    const struct
    {
        const char *text;
        QList<int> positions;
        int length;
        const char *replacement;
        const char *expect; // nullptr: no change at all
    } cases[] = {
        {"ab\r\nab\r\nab", {0, 4, 8}, 2, "x", "x\r\nx\r\nx"},
        {"a\r\nb\r\nc", {1, 4}, 2, "<br>\r\n", "a<br>\r\nb<br>\r\nc"},
        {"a\r\nb\r\nc", {1}, 4, "", "a\r\nc"},
        {"abc", {1}, 1, "\n", "a\r\nc"},
        {"a\r\nbc", {2}, 2, "X", "a\r\nXc"},
        {"ab", {0}, 1, "a", nullptr},
        {"ab", {}, 1, "z", nullptr},
    };
    auto &c = this->c;
    for (const auto &t : cases) {
        SCOPED_TRACE(t.text);
        c.setText(QString::fromUtf8(t.text));
        c.setSelStart(1);
        const auto changes = this->changesDuring(
            [&] { c.replaceEach(t.positions, t.length, QString::fromUtf8(t.replacement)); });
        EXPECT_EQ(c.Text(), QString::fromUtf8(t.expect ? t.expect : t.text));
        EXPECT_EQ(changes.size(), t.expect ? 1 : 0);
        EXPECT_EQ(c.SelStart(), t.expect ? 0 : 1);
        EXPECT_EQ(c.SelLength(), 0);
    }
}

// The recording flag and the texts the steps hold.
TYPED_TEST_P(EditControlContract, HistoryHoldsEachStepsTextAndEndsWithRecordingOn)
{
    auto &doc = this->doc;
    doc.Undo();
    EXPECT_TRUE(doc.CanUndo());
    this->c.setText(u"0123456789"_s);
    doc.InitVariable();
    this->c.setSelStart(5);
    doc.Undo();
    EXPECT_EQ(this->c.Text(), u"0123456789"_s) << "no step to undo";
    EXPECT_EQ(this->c.SelStart(), 5);
    EXPECT_EQ(this->c.SelLength(), 0);
    this->kit.keys.typeText(u"a"_s);
    this->kit.keys.typeText(u"b"_s);
    this->c.setSelStart(0);
    this->kit.keys.pressDelete();
    ASSERT_EQ(doc.GetClctUndoCount(), 4);
    EXPECT_EQ(doc.undoSnapshot(0).Text.toString(), u"0123456789"_s);
    EXPECT_EQ(doc.undoSnapshot(1).Text.toString(), u"01234a56789"_s);
    EXPECT_EQ(doc.undoSnapshot(2).Text.toString(), u"01234ab56789"_s);
    EXPECT_EQ(doc.undoSnapshot(3).Text.toString(), u"1234ab56789"_s);
    EXPECT_EQ(doc.undoSnapshot(2).SelStart, 7);
    EXPECT_EQ(doc.undoSnapshot(2).TextLen, 12);
    doc.setCanUndo(false);
    doc.Undo();
    EXPECT_TRUE(doc.CanUndo()) << "every path ends with recording on";
    doc.setCanUndo(false);
    doc.InitVariable();
    EXPECT_TRUE(doc.CanUndo()) << "a new baseline records again";
}

REGISTER_TYPED_TEST_SUITE_P(EditControlContract, LineBreaksCountAsCrLfAndOtherUnitsSurvive,
                            EditsReportOneChangeEachAndOnlyRealOnes,
                            ReplaceEachIsOneChangeLikeWritingTheWholeText,
                            HistoryHoldsEachStepsTextAndEndsWithRecordingOn);

} // namespace scrivlet::test
