// What only the widget adapter does (its position translation is checked through the contracts):
// keep the widget's own undo out of the way, and report edits made by keys, the mouse or the input
// method.

#include "tests/document/WidgetKit.h"

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

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

TEST(Adapter, CaretPositionFollowsTheLinesAndColumns)
{
    WidgetKit kit;
    kit.control.setText(u"ab\r\nb\r\nc"_s);
    const auto caretAt = [&kit](int pos) {
        kit.control.setSelStart(pos);
        return kit.control.caretPos();
    };
    const QPoint first = caretAt(0), afterA = caretAt(1), second = caretAt(4), third = caretAt(7);
    EXPECT_EQ(second.x(), first.x()) << "a line starts at the left margin";
    EXPECT_EQ(third.x(), first.x());
    EXPECT_GT(afterA.x(), first.x());
    EXPECT_EQ(afterA.y(), first.y());
    EXPECT_GT(second.y(), first.y());
    EXPECT_EQ(third.y() - second.y(), second.y() - first.y()) << "lines are evenly spaced";
}

TEST(Adapter, FontSizeAndTwipsAreTheWidgets)
{
    WidgetKit kit;
    QFont font = kit.widget.font();
    font.setPointSizeF(10.5);
    kit.widget.setFont(font);
    EXPECT_DOUBLE_EQ(kit.control.FontSize(), 10.5);
    // 1440 twips to the inch: 15 to a pixel at 96 dots per inch.
    ASSERT_EQ(kit.widget.logicalDpiX(), 96);
    EXPECT_DOUBLE_EQ(kit.control.twipsPerPixel().x(), 15.0);
    EXPECT_DOUBLE_EQ(kit.control.twipsPerPixel().y(), 1440.0 / kit.widget.logicalDpiY());
}

} // namespace
} // namespace scrivlet::test
