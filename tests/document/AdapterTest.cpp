// The edit control over a real text widget, typed into with key events as a user types: the
// edit-control contract and the differential run against the literal history on it; what only the
// adapter does (its caret position, twips and font size are checked through the completion list in
// DocumentViewTest): keep the widget's own undo out of the way and report edits made by keys, the
// mouse or the input method; and the system clipboard as the Edit menu and the control use it.

#include "document/PlainTextEditAdapter.h"
#include "document/SourceTextEdit.h"
#include "platform/qt/QtClipboard.h"
#include "tests/common/EditControlContract.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

class WidgetKeyDriver final : public KeyDriver
{
public:
    explicit WidgetKeyDriver(QWidget &widget) : m_widget(widget) {}
    // QTest::keyClicks narrows to Latin-1; an event carrying the text reaches the widget as an
    // input method would.
    void typeText(const QString &text) override
    {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(&m_widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
        QApplication::sendEvent(&m_widget, &release);
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

INSTANTIATE_TYPED_TEST_SUITE_P(Widget, EditControlContract, ::testing::Types<WidgetKit>);

// 2000 sequences, about 2 ms each. Faults planted by hand in Undo and Redo (a quick-rule check
// dropped, an off-by-one in the restored range, the start no longer clamped at 0) fail here
// within the first 680 sequences of this seed. Over other seeds each shows up at least once
// in 230 sequences, except the unclamped start (once in about 1500), which the same history
// also meets in the 10000 cheap sequences on the in-memory control.
TEST(UndoHistoryDifferential, MatchesTheLiteralHistoryOnTheTextWidget)
{
    WidgetKit kit;
    const DifferentialResult result = runDifferential(kit.subject(), 2000, 20261207);
    EXPECT_EQ(result.failure, "");
    EXPECT_EQ(result.sequences, 2000);
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

TEST(Adapter, WidgetEditsOfItsOwnAreReportedAsChanges)
{
    WidgetKit kit;
    kit.control.setText(u"one\r\ntwo"_s);
    QList<TextChange> changes;
    QObject::connect(&kit.control, &IEditControl::Change,
                     [&](const TextChange &c) { changes.append(c); });
    // An edit the adapter did not make: as drag and drop or an input method would do it.
    QTextCursor cursor(kit.widget.document());
    cursor.setPosition(4);
    cursor.setPosition(6, QTextCursor::KeepAnchor);
    cursor.insertText(u"T\nW"_s);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0].position, 5);
    EXPECT_EQ(changes[0].removedLength, 2);
    EXPECT_EQ(changes[0].inserted, u"T\r\nW"_s);
    EXPECT_EQ(kit.control.Text(), u"one\r\nT\r\nWo"_s);
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

    struct Step
    {
        const char *what;
        std::function<void()> change;
        bool hasText;
    };
    const Step steps[] = {
        {"cleared by another program", [system] { system->clear(); }, false},
        {"text from another program", [system] { system->setText(u"x"_s); }, true},
        {"an image only",
         [system] {
             auto *mime = new QMimeData;
             mime->setData(u"image/png"_s, QByteArray("\x89PNG", 4));
             system->setMimeData(mime);
         },
         false},
        {"an empty text", [system] { system->setText(QString()); }, false},
        {"copied here", [&clipboard] { clipboard.setText(u"y"_s); }, true},
    };
    for (const Step &step : steps) {
        step.change();
        EXPECT_EQ(clipboard.hasText(), step.hasText) << step.what;
        EXPECT_EQ(clipboard.hasText(), !system->text().isEmpty()) << step.what;
    }
}

TEST(QtClipboardTest, LinesLeaveWithLfAndComeBackWithCrLf)
{
    QtClipboard clipboard;
    SourceTextEdit widget;
    PlainTextEditAdapter control(&widget, clipboard);
    control.setText(u"a\r\nb\r\nc"_s);
    control.setSelStart(0);
    control.setSelLength(4); // "a", CR LF, "b"
    control.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"a\nb"_s);
    EXPECT_TRUE(clipboard.hasText());

    control.setSelStart(control.Text().size());
    control.paste();
    EXPECT_EQ(control.Text(), u"a\r\nb\r\nca\r\nb"_s);

    QGuiApplication::clipboard()->setText(u"p\nq\r\nr"_s);
    control.setSelStart(0);
    control.setSelLength(0);
    control.paste();
    EXPECT_EQ(control.Text().left(7), u"p\r\nq\r\nr"_s);
    EXPECT_EQ(control.SelStart(), 7) << "positions count each line end as two";
}

} // namespace
} // namespace scrivlet::test
