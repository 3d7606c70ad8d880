#pragma once
// What every edit control must do, whatever stores its text, with the undo history wired to it as
// a window wires it: positions that count a line break as CR LF, one change notification per real
// change, made and described exactly when raised. Instantiated with each control's kit. Where the
// caret and selection go, and the text after Undo and Redo, the differential run compares step by
// step (tests/common/Differential.cpp); here is what it cannot see.

#include "editor/clsRTF.h"
#include "tests/common/DataRows.h"
#include "tests/common/Differential.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

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
    auto &c = this->c;
    auto &keys = this->kit.keys;
    // clang-format off
    const std::map<std::string, std::function<void(const QString &)>> edits = {
        {"setText", [&](const QString &a) { c.setText(a); }},
        {"setSelText", [&](const QString &a) { c.setSelText(a); }},
        {"type", [&](const QString &a) { keys.typeText(a); }},
        {"enter", [&](const QString &) { keys.pressEnter(); }},
        {"backspace", [&](const QString &) { keys.pressBackspace(); }},
        {"delete", [&](const QString &) { keys.pressDelete(); }},
        {"cut", [&](const QString &) { c.cut(); }},
        {"copy", [&](const QString &) { c.copy(); }},
        {"paste", [&](const QString &) { c.paste(); }},
        {"clear", [&](const QString &) { c.clear(); }},
        {"selectAll", [&](const QString &) { c.selectAll(); }},
    };
    // clang-format on
    for (const auto &r : readDataRows(SCRIVLET_TEST_DATA "/edit-control-edits.txt", 14)) {
        SCOPED_TRACE(r[0]);
        const auto q = [&r](std::size_t i) {
            return QString::fromStdString(r[i]);
        };
        c.setText(q(1));
        c.setSelStart(std::stoi(r[2]));
        c.setSelLength(std::stoi(r[3]));
        this->kit.clipboard.content = q(4);
        const auto changes = this->changesDuring([&] { edits.at(r[5])(q(6)); });
        EXPECT_EQ(c.Text(), q(7));
        EXPECT_EQ(c.SelStart(), std::stoi(r[8]));
        EXPECT_EQ(c.SelLength(), std::stoi(r[9]));
        EXPECT_EQ(this->kit.clipboard.content, q(10));
        ASSERT_EQ(changes.size(), r[11].empty() ? 0 : 1);
        if (!changes.isEmpty()) {
            EXPECT_EQ(changes[0].position, std::stoi(r[11]));
            EXPECT_EQ(changes[0].removedLength, std::stoi(r[12]));
            EXPECT_EQ(changes[0].inserted, q(13));
        }
    }
}

TYPED_TEST_P(EditControlContract, ReplaceEachIsOneChangeLikeWritingTheWholeText)
{
    auto &c = this->c;
    for (const auto &r : readDataRows(SCRIVLET_TEST_DATA "/edit-control-replace-each.txt", 5)) {
        SCOPED_TRACE(visible(QString::fromStdString(r[0])));
        QList<int> positions;
        for (const QString &p : QString::fromStdString(r[1]).split(u' ', Qt::SkipEmptyParts))
            positions.append(p.toInt());
        const bool changes = !r[4].empty();
        c.setText(QString::fromStdString(r[0]));
        c.setSelStart(1);
        const auto seen = this->changesDuring(
            [&] { c.replaceEach(positions, std::stoi(r[2]), QString::fromStdString(r[3])); });
        EXPECT_EQ(c.Text(), QString::fromStdString(changes ? r[4] : r[0]));
        EXPECT_EQ(seen.size(), changes ? 1 : 0);
        EXPECT_EQ(c.SelStart(), changes ? 0 : 1);
        EXPECT_EQ(c.SelLength(), 0);
    }
}

// Every path ends with recording on; the differential run never turns it off. (The texts, carets
// and lengths the steps hold, and Undo without a step, it checks after every step.)
TYPED_TEST_P(EditControlContract, HistoryEndsWithRecordingOn)
{
    auto &doc = this->doc;
    doc.Undo();
    EXPECT_TRUE(doc.CanUndo());
    this->kit.keys.typeText(u"ab"_s);
    doc.setCanUndo(false);
    doc.Undo();
    EXPECT_TRUE(doc.CanUndo()) << "Undo turns it on";
    doc.setCanUndo(false);
    doc.InitVariable();
    EXPECT_TRUE(doc.CanUndo()) << "a new baseline records again";
}

REGISTER_TYPED_TEST_SUITE_P(EditControlContract, LineBreaksCountAsCrLfAndOtherUnitsSurvive,
                            EditsReportOneChangeEachAndOnlyRealOnes,
                            ReplaceEachIsOneChangeLikeWritingTheWholeText,
                            HistoryEndsWithRecordingOn);

} // namespace scrivlet::test
