// What only the widget adapter does (its position translation is checked through the contracts, its
// caret position, twips and font size through the completion list in DocumentViewTest): keep the
// widget's own undo out of the way, and report edits made by keys, the mouse or the input method.

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

} // namespace
} // namespace scrivlet::test
