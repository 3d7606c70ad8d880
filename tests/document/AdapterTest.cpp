// The edit control over a real text widget, typed into with key events as a user types: the
// edit-control contract and the differential run against the literal history on it; what only the
// adapter does (its caret position, twips and font size are checked through the completion list in
// DocumentViewTest): keep the widget's own undo out of the way; and the system clipboard as the
// Edit menu and the control use it. Edits the widget makes itself (keys) must come out as changes
// with CR LF positions: the contract's key rows and the differential check them.

#include "document/PlainTextEditAdapter.h"
#include "document/SourceTextEdit.h"
#include "editor/clsRTF.h"
#include "platform/qt/QtClipboard.h"
#include "tests/common/DataRows.h"
#include "tests/common/Differential.h"
#include "tests/common/TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <tuple>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

class WidgetKeyDriver final : public KeyDriver
{
public:
    explicit WidgetKeyDriver(QWidget &widget) : m_widget(widget) {}
    // QTest::keyClicks narrows to Latin-1; one key carrying the whole text reaches the widget as
    // an input method would.
    void typeText(const QString &text) override
    {
        QTest::sendKeyEvent(QTest::Click, &m_widget, Qt::Key(0), text, {});
    }
    void pressEnter() override { QTest::keyClick(&m_widget, Qt::Key_Return); }
    void pressBackspace() override { QTest::keyClick(&m_widget, Qt::Key_Backspace); }
    void pressDelete() override { QTest::keyClick(&m_widget, Qt::Key_Delete); }

private:
    QWidget &m_widget;
};

struct WidgetKit
{
    FakeClipboard clipboard;
    SourceTextEdit widget;
    PlainTextEditAdapter control{&widget, clipboard};
    WidgetKeyDriver keys{widget};
    WidgetKit()
    {
        widget.resize(400, 300);
        widget.show();
    }
    Subject subject() { return {control, keys, clipboard}; }
};

// What every edit control must do, with the undo history wired to it as a window wires it:
// positions that count a line break as CR LF, one change notification per real change, made and
// described exactly when raised. Where the caret and selection go, and the text after Undo and
// Redo, the differential run compares step by step; here is what it cannot see.
class EditControlContract : public ::testing::Test
{
protected:
    WidgetKit kit;
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

TEST_F(EditControlContract, LineBreaksCountAsCrLfAndOtherUnitsSurvive)
{
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

TEST_F(EditControlContract, EditsReportOneChangeEachAndOnlyRealOnes)
{
    // clang-format off
    const std::map<std::string, std::function<void(const QString &)>> edits = {
        {"setText", [&](const QString &a) { c.setText(a); }},
        {"setSelText", [&](const QString &a) { c.setSelText(a); }},
        {"type", [&](const QString &a) { kit.keys.typeText(a); }},
        {"enter", [&](const QString &) { kit.keys.pressEnter(); }},
        {"backspace", [&](const QString &) { kit.keys.pressBackspace(); }},
        {"delete", [&](const QString &) { kit.keys.pressDelete(); }},
        {"cut", [&](const QString &) { c.cut(); }},
        {"copy", [&](const QString &) { c.copy(); }},
        {"paste", [&](const QString &) { c.paste(); }},
        {"clear", [&](const QString &) { c.clear(); }},
        {"selectAll", [&](const QString &) { c.selectAll(); }},
    };
    // clang-format on
    for (const auto &r : readDataRows(SCRIVLET_TEST_DATA "/edit-control-edits.txt", 14)) {
        SCOPED_TRACE(r[0]);
        c.setText(field(r, 1));
        c.setSelStart(std::stoi(r[2]));
        c.setSelLength(std::stoi(r[3]));
        kit.clipboard.content = field(r, 4);
        const auto changes = changesDuring([&] { edits.at(r[5])(field(r, 6)); });
        EXPECT_EQ(c.Text(), field(r, 7));
        EXPECT_EQ(c.SelStart(), std::stoi(r[8]));
        EXPECT_EQ(c.SelLength(), std::stoi(r[9]));
        EXPECT_EQ(kit.clipboard.content, field(r, 10));
        ASSERT_EQ(changes.size(), r[11].empty() ? 0 : 1);
        if (!changes.isEmpty()) {
            EXPECT_EQ(changes[0].position, std::stoi(r[11]));
            EXPECT_EQ(changes[0].removedLength, std::stoi(r[12]));
            EXPECT_EQ(changes[0].inserted, field(r, 13));
        }
    }
}

TEST_F(EditControlContract, ReplaceEachIsOneChangeLikeWritingTheWholeText)
{
    for (const auto &r : readDataRows(SCRIVLET_TEST_DATA "/edit-control-replace-each.txt", 5)) {
        SCOPED_TRACE(visible(field(r, 0)));
        QList<TextSpan> spans;
        for (const QString &p : field(r, 1).split(u' ', Qt::SkipEmptyParts))
            spans.append({p.toInt(), std::stoi(r[2])});
        const bool changes = !r[4].empty();
        c.setText(field(r, 0));
        c.setSelStart(1);
        const auto seen = changesDuring([&] { c.replaceEach(spans, field(r, 3)); });
        EXPECT_EQ(c.Text(), QString::fromStdString(changes ? r[4] : r[0]));
        EXPECT_EQ(seen.size(), changes ? 1 : 0);
        EXPECT_EQ(c.SelStart(), changes ? 0 : 1);
        EXPECT_EQ(c.SelLength(), 0);
    }
}

// 😀 and 😃 share their first half, 😀 and 🨀 their second: the stretch Undo and Redo put
// back must still hold whole characters, or the next key splits one in two.
TEST_F(EditControlContract, UndoAndRedoLeaveTheCaretBetweenCharacters)
{
    // The text, the selection typed over and what was typed, whether Undo was redone; the text,
    // selection start and length after it, then the text after a Q is typed.
    const std::tuple<QString, int, int, QString, bool, QString, int, int, QString> cases[] = {
        {u"A😀B"_s, 1, 2, u"😃😀"_s, false, u"A😀B"_s, 1, 0, u"AQ😀B"_s},
        {u"A😀B"_s, 1, 2, u"😃😀"_s, true, u"A😃😀B"_s, 3, 0, u"A😃Q😀B"_s},
        {u"A😀B"_s, 1, 2, u"🨀"_s, false, u"A😀B"_s, 3, 0, u"A😀QB"_s},
        {u"A😀😃BC"_s, 1, 4, u"😃😀"_s, false, u"A😀😃BC"_s, 1, 4, u"AQBC"_s},
    };
    for (const auto &[text, at, length, written, redo, after, start, selected, thenTyped] : cases) {
        SCOPED_TRACE(visible(written) + (redo ? " redone" : " undone"));
        c.setText(text);
        doc.InitVariable();
        c.setSelStart(at);
        c.setSelLength(length);
        kit.keys.typeText(written);
        doc.Undo();
        if (redo)
            doc.Redo();
        EXPECT_EQ(std::tuple(c.Text(), c.SelStart(), c.SelLength()),
                  std::tuple(after, start, selected));
        kit.keys.typeText(u"Q"_s);
        EXPECT_EQ(c.Text(), thenTyped);
    }
}

// Every path ends with recording on; the differential run never turns it off. (The texts, carets
// and lengths the steps hold, and Undo without a step, it checks after every step.)
TEST_F(EditControlContract, HistoryEndsWithRecordingOn)
{
    kit.keys.typeText(u"ab"_s);
    doc.setCanUndo(false);
    doc.Undo();
    EXPECT_TRUE(doc.CanUndo()) << "Undo turns it on";
    doc.setCanUndo(false);
    doc.InitVariable();
    EXPECT_TRUE(doc.CanUndo()) << "a new baseline records again";
}

// 2000 sequences, about 2 ms each. Faults planted by hand in Undo and Redo (a quick-rule check
// dropped, an off-by-one in the restored range, the start no longer clamped at 0) fail here
// within the first 680 sequences of this seed. Over other seeds each shows up at least once
// in 230 sequences, except the unclamped start (once in about 1500), which the same history
// also meets in the 10000 cheap sequences on the in-memory control.
TEST(UndoHistoryDifferential, MatchesTheLiteralHistoryOnTheTextWidget)
{
    WidgetKit kit;
    EXPECT_EQ(runDifferential(kit.subject(), 2000, 20261207).failure, "");
}

TEST(Adapter, NoUndoOfItsOwnAndShiftEnterMakesAnOrdinaryLineBreak)
{
    WidgetKit kit;
    kit.keys.typeText(u"a"_s);
    EXPECT_FALSE(kit.widget.document()->isUndoRedoEnabled());
    EXPECT_FALSE(kit.widget.document()->isUndoAvailable());
    kit.control.setText(u"ab"_s);
    EXPECT_FALSE(kit.widget.document()->isUndoRedoEnabled()) << "also after a new text";
    kit.control.setSelStart(1);
    QTest::keyClick(&kit.widget, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(kit.control.Text(), u"a\r\nb"_s);
}

TEST(Adapter, HiddenSelectionIsNeverPaintedAndComesBack)
{
    WidgetKit kit;
    kit.control.hideSelection(true);
    EXPECT_FALSE(kit.widget.viewport()->updatesEnabled());
    kit.control.hideSelection(true);
    kit.control.hideSelection(false);
    EXPECT_TRUE(kit.widget.viewport()->updatesEnabled());
}

// Paste is enabled from an answer cached at each change of the clipboard; the text goes out with LF
// line ends as other programs here expect, and comes back into the document with CR LF.
TEST(QtClipboardTest, TheCachedAnswerFollowsEveryChangeOfTheClipboard)
{
    QClipboard *system = QGuiApplication::clipboard();
    system->setText(u"before"_s);
    QtClipboard clipboard;
    EXPECT_TRUE(clipboard.hasText()) << "the answer is taken when the program starts";

    auto *image = new QMimeData; // the clipboard takes it over
    image->setData(u"image/png"_s, QByteArray("\x89PNG", 4));
    const std::tuple<const char *, std::function<void()>, bool> steps[] = {
        {"cleared by another program", [system] { system->clear(); }, false},
        {"text from another program", [system] { system->setText(u"x"_s); }, true},
        {"an image only", [system, image] { system->setMimeData(image); }, false},
        {"an empty text", [system] { system->setText(QString()); }, false},
        {"copied here", [&clipboard] { clipboard.setText(u"y"_s); }, true},
    };
    for (const auto &[what, change, hasText] : steps) {
        change();
        EXPECT_EQ(clipboard.hasText(), hasText) << what;
        EXPECT_EQ(clipboard.hasText(), !system->text().isEmpty()) << what;
    }
}

TEST(QtClipboardTest, LinesComeBackWithCrLf)
{
    QtClipboard clipboard;
    SourceTextEdit widget;
    PlainTextEditAdapter control(&widget, clipboard);
    QGuiApplication::clipboard()->setText(u"p\nq\r\nr"_s);
    control.paste();
    EXPECT_EQ(control.Text(), u"p\r\nq\r\nr"_s);
    EXPECT_EQ(control.SelStart(), 7) << "positions count each line end as two";
}

} // namespace
} // namespace scrivlet::test
