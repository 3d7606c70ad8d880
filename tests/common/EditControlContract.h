#pragma once
// What every edit control must do, whatever stores its text: positions that count a line break
// as CR LF, one change notification per real change, and what each change reports. Instantiated
// with each control's kit. Where the caret and selection go (clamped, never between CR and LF,
// at the start after a new text) the differential run compares step by step against the
// in-memory control.

#include "editor/IEditControl.h"
#include "tests/common/Differential.h"
#include "tests/common/TestSupport.h"

#include <QList>

#include <gtest/gtest.h>

namespace scrivlet::test {

template<class Kit>
class EditControlContract : public ::testing::Test
{
protected:
    Kit kit;
    IEditControl &control() { return kit.control; }
    KeyDriver &keys() { return kit.keys; }

    // Every Change raised while running action.
    QList<TextChange> changesDuring(auto action)
    {
        QList<TextChange> changes;
        auto connection = QObject::connect(&control(), &IEditControl::Change,
                                           [&](const TextChange &c) { changes.append(c); });
        action();
        QObject::disconnect(connection);
        return changes;
    }
};

TYPED_TEST_SUITE_P(EditControlContract);

TYPED_TEST_P(EditControlContract, LineBreaksCountAsCrLfWhateverTheirKind)
{
    auto &c = this->control();
    c.setText(QStringLiteral("a\nb\rc\r\nd") + QChar(0x2029) + QStringLiteral("e"));
    EXPECT_EQ(c.Text(), QStringLiteral("a\r\nb\r\nc\r\nd\r\ne"));
    EXPECT_EQ(c.TextLength(), 13);
    EXPECT_EQ(c.TextRange(1, 4), QStringLiteral("\r\nb\r"));
    EXPECT_EQ(c.TextRange(2, 1), QStringLiteral("\n"));
    EXPECT_EQ(c.TextRange(11, 99), QStringLiteral("\ne"));
    c.setSelStart(4);
    c.setSelLength(3);
    EXPECT_EQ(c.SelText(), QStringLiteral("\r\nc"));
}

TYPED_TEST_P(EditControlContract, UnitsTheWidgetMightAlterSurvive)
{
    auto &c = this->control();
    const QString text = QStringLiteral("a") + QChar(0x00A0) + QChar(0x2028) +
                         QStringLiteral("\t") + QChar(0xD83D) + QChar(0xDE00) +
                         QStringLiteral("漢");
    c.setText(text);
    EXPECT_EQ(c.Text(), text);
}

TYPED_TEST_P(EditControlContract, ChangeIsRaisedOncePerRealChange)
{
    auto &c = this->control();
    c.setText(QStringLiteral("one\r\ntwo"));

    auto changes = this->changesDuring([&] { c.setText(QStringLiteral("one\r\ntwo")); });
    EXPECT_TRUE(changes.isEmpty()) << "the same text again";

    c.setSelStart(5);
    c.setSelLength(3);
    changes = this->changesDuring([&] { c.setSelText(QStringLiteral("two")); });
    EXPECT_TRUE(changes.isEmpty()) << "the same selection again";
    EXPECT_EQ(c.SelStart(), 8) << "the caret still moves after it";
    EXPECT_EQ(c.SelLength(), 0);

    c.setSelStart(2);
    changes = this->changesDuring([&] { c.cut(); });
    EXPECT_TRUE(changes.isEmpty()) << "cutting nothing";
    changes = this->changesDuring([&] { c.clear(); });
    EXPECT_TRUE(changes.isEmpty()) << "clearing nothing";

    c.setSelStart(1);
    c.setSelLength(5);
    changes = this->changesDuring([&] { c.setSelText(QStringLiteral("X\nY")); });
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].position, 1);
    EXPECT_EQ(changes[0].removedLength, 5);
    EXPECT_EQ(changes[0].inserted, QStringLiteral("X\r\nY"));
    EXPECT_EQ(c.Text(), QStringLiteral("oX\r\nYwo"));
    EXPECT_EQ(c.SelStart(), 5);
}

TYPED_TEST_P(EditControlContract, ChangeDescribesTheEditWithinTheNotification)
{
    // The notification arrives inside the call, and the text it reports is already there.
    auto &c = this->control();
    c.setText(QStringLiteral("ab\r\ncd"));
    QString seen;
    auto connection =
        QObject::connect(&c, &IEditControl::Change, [&](const TextChange &) { seen = c.Text(); });
    c.setSelStart(4);
    this->keys().backspace();
    QObject::disconnect(connection);
    EXPECT_EQ(seen, QStringLiteral("abcd"));
}

TYPED_TEST_P(EditControlContract, KeysEditAtTheCaret)
{
    auto &c = this->control();
    c.setText(QStringLiteral("ab\r\ncd"));
    c.setSelStart(4);
    auto changes = this->changesDuring([&] { this->keys().backspace(); });
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].position, 2);
    EXPECT_EQ(changes[0].removedLength, 2);
    EXPECT_TRUE(changes[0].inserted.isEmpty());

    changes = this->changesDuring([&] { this->keys().enter(); });
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].inserted, QStringLiteral("\r\n"));
    EXPECT_EQ(c.SelStart(), 4);

    c.setSelStart(2);
    changes = this->changesDuring([&] { this->keys().del(); });
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].removedLength, 2);
    EXPECT_EQ(c.Text(), QStringLiteral("abcd"));

    c.setSelStart(1);
    c.setSelLength(2);
    changes = this->changesDuring([&] { this->keys().type(u'か'); });
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].position, 1);
    EXPECT_EQ(changes[0].removedLength, 2);
    EXPECT_EQ(changes[0].inserted, QStringLiteral("か"));
    EXPECT_EQ(c.Text(), QStringLiteral("aかd"));
}

TYPED_TEST_P(EditControlContract, ClipboardMessagesActOnTheSelection)
{
    auto &c = this->control();
    auto &clipboard = this->kit.clipboard;
    c.setText(QStringLiteral("line1\r\nline2"));
    c.setSelStart(3);
    c.setSelLength(5);
    c.copy();
    EXPECT_EQ(clipboard.content, QStringLiteral("e1\r\nl"));
    EXPECT_EQ(c.Text(), QStringLiteral("line1\r\nline2"));
    c.cut();
    EXPECT_EQ(c.Text(), QStringLiteral("linine2"));
    EXPECT_EQ(c.SelStart(), 3);
    clipboard.content = QStringLiteral("X\nY");
    c.paste();
    EXPECT_EQ(c.Text(), QStringLiteral("linX\r\nYine2"));
    EXPECT_EQ(c.SelStart(), 7);
    c.selectAll();
    EXPECT_EQ(c.SelStart(), 0);
    EXPECT_EQ(c.SelLength(), c.TextLength());
    c.clear();
    EXPECT_EQ(c.Text(), QString());
    clipboard.content.clear();
    auto changes = this->changesDuring([&] { c.paste(); });
    EXPECT_TRUE(changes.isEmpty()) << "an empty clipboard pastes nothing";
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
    auto &c = this->control();
    for (const auto &t : cases) {
        c.setText(QString::fromUtf8(t.text));
        c.setSelStart(1);
        const QString before = c.Text();
        const auto changes = this->changesDuring(
            [&] { c.replaceEach(t.positions, t.length, QString::fromUtf8(t.replacement)); });
        const QString after = t.expect ? QString::fromUtf8(t.expect) : before;
        EXPECT_EQ(c.Text(), after) << t.text;
        EXPECT_EQ(c.TextSnapshot().toString(), after) << t.text;
        if (!t.expect) {
            EXPECT_TRUE(changes.isEmpty()) << t.text;
            EXPECT_EQ(c.SelStart(), 1) << t.text;
            continue;
        }
        ASSERT_EQ(changes.size(), 1) << t.text;
        EXPECT_EQ(QString(before).replace(changes[0].position, changes[0].removedLength,
                                          changes[0].inserted),
                  after)
            << "the change describes the edit: " << t.text;
        EXPECT_EQ(c.SelStart(), 0) << t.text;
        EXPECT_EQ(c.SelLength(), 0) << t.text;
    }
}

REGISTER_TYPED_TEST_SUITE_P(EditControlContract, LineBreaksCountAsCrLfWhateverTheirKind,
                            UnitsTheWidgetMightAlterSurvive, ChangeIsRaisedOncePerRealChange,
                            ChangeDescribesTheEditWithinTheNotification, KeysEditAtTheCaret,
                            ClipboardMessagesActOnTheSelection,
                            ReplaceEachIsOneChangeLikeWritingTheWholeText);

} // namespace scrivlet::test
