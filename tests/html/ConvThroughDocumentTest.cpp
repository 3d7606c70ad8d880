// The conversions as the Edit menu applies them, through the editor document: a conversion that
// changes nothing is no step. How Undo and Redo give a converted text back is the differential
// run's (tests/common/Differential.cpp), whatever the conversion.

#include "editor/clsRTF.h"
#include "html/ConvString.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

TEST(ConvThroughDocument, AConversionThatChangesNothingRecordsNothing)
{
    test::FakeClipboard clipboard;
    MemoryEditControl control{clipboard};
    test::FakeMessageService messages;
    clsRTF doc{messages, html::ConvString};
    doc.Init(&control);
    QObject::connect(&control, &IEditControl::Change, &doc, [&] { doc.IsTextChange(); });
    control.setText(QStringLiteral("漢字だけ"));
    doc.InitVariable();
    doc.Conv(ConvType::UpperCase);
    EXPECT_EQ(doc.GetClctUndoCount(), 1);
    EXPECT_FALSE(doc.NeedSave());
}

} // namespace
} // namespace scrivlet
