// The completion list driven through its key, mouse and drop handlers over the in-memory edit
// control: what is typed, what the list shows and where, and what ends up in the text.

#include "tests/html/CompletionFakes.h"
#include "tests/html/LiteralAttributeTest.h"

#include "editor/SharedText.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::html::test {
namespace {

const QStringList kTags = {
    QStringLiteral("<div>"),  QStringLiteral("<dl>"),    QStringLiteral("<a href=\"\">"),
    QStringLiteral("</div>"), QStringLiteral("<TABLE>"), QStringLiteral("<カタカナ>"),
    QStringLiteral("<b>"),
};
const QStringList kAttributes = {QStringLiteral("id=\"\""), QStringLiteral("class=\"\""),
                                 QStringLiteral(" style"), QString()};

class Completion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gTagList = kTags;
        gAttributeList = kAttributes;
        w.rtfEdit.setCaretPos({10, 20}); // 150, 300 twips
    }
    CompletionWindow w;
};

// Typing "<" and the tag list.

TEST_F(Completion, LessThanOpensTheTagListUnderTheCaret)
{
    w.setText(QStringLiteral("ab|"));
    EXPECT_TRUE(w.press(u'<'));
    EXPECT_EQ(w.marked(), QStringLiteral("ab<|"));
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_EQ(w.lstPopup.rows, kTags);
    EXPECT_EQ(w.lstPopup.index, -1);
    EXPECT_EQ(w.completion.popupWord(), QStringLiteral("<"));
    EXPECT_EQ(w.lstPopup.left, 150);
    EXPECT_EQ(w.lstPopup.top, 300 + 270) << "9 pt x 1.5 x 20 twips below the caret's top";
}

TEST_F(Completion, LessThanRefillsAnOpenList)
{
    w.setText(QStringLiteral("<p|>\r\n<b>"));
    w.press(u' ');
    ASSERT_EQ(w.lstPopup.rows, kAttributes);
    w.press(u'<');
    EXPECT_EQ(w.lstPopup.rows, kTags);
    EXPECT_EQ(w.completion.popupWord(), QStringLiteral("<"));
}

TEST_F(Completion, AnEmptyTagListOpensAnEmptyList)
{
    gTagList.clear();
    w.type(QStringLiteral("<"));
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_EQ(w.lstPopup.ListCount(), 0);
}

TEST_F(Completion, LessThanThenSpaceReplacesNothingAndOpensNoListBeforeATag)
{
    w.setText(QStringLiteral("|\r\n<p>x</p>"));
    w.type(QStringLiteral("< "));
    EXPECT_EQ(w.marked(), QStringLiteral("< |\r\n<p>x</p>"));
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_TRUE(w.attributeRequests.isEmpty());
}

TEST_F(Completion, LessThanThenSpaceWithNoBracketAfterItOpensTheGeneralList)
{
    w.setText(QStringLiteral("x|"));
    w.type(QStringLiteral("< "));
    EXPECT_EQ(w.marked(), QStringLiteral("x< |"));
    EXPECT_EQ(w.attributeRequests, QStringList{QString()}) << "the name is empty";
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_EQ(w.lstPopup.rows, kAttributes);
}

TEST_F(Completion, DownThenSpaceAcceptsTheFirstRowAndOpensItsAttributes)
{
    w.tagFiles.insert(QStringLiteral("div"), {{QStringLiteral("align=\"\"")}, true});
    w.setText(QStringLiteral("|\r\n</body>"));
    w.type(QStringLiteral("<"));
    w.rtfEdit.setHasFocus(false);
    EXPECT_TRUE(w.keyDown(keys::Down));
    EXPECT_EQ(w.lstPopup.index, 0);
    EXPECT_TRUE(w.rtfEdit.hasFocus());
    EXPECT_TRUE(w.press(u' '));
    EXPECT_EQ(w.marked(), QStringLiteral("<div |>\r\n</body>"));
    EXPECT_EQ(w.attributeRequests, QStringList{QStringLiteral("div")});
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_EQ(w.lstPopup.rows, QStringList{QStringLiteral("align=\"\"")});
    EXPECT_EQ(w.lstPopup.index, -1);
    EXPECT_EQ(w.completion.popupWord(), QString());
}

TEST_F(Completion, TypedLettersAndSpaceAcceptTheMatchingRow)
{
    w.setText(QStringLiteral("|\r\n</body>"));
    w.type(QStringLiteral("<dl "));
    EXPECT_EQ(w.marked(), QStringLiteral("<dl |>\r\n</body>"));
    EXPECT_EQ(w.attributeRequests, QStringList{QStringLiteral("dl")});
}

TEST_F(Completion, NoAttributeListInsideATagAtTheEndOfTheDocument)
{
    w.setText(QStringLiteral("<p>\r\n|"));
    w.type(QStringLiteral("<di "));
    EXPECT_EQ(w.marked(), QStringLiteral("<p>\r\n<div |>"));
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_TRUE(w.attributeRequests.isEmpty());
}

TEST_F(Completion, TheNameEndsAtTheFirstSpace)
{
    w.setText(QStringLiteral("<img src=\"a.gif\"| alt=\"\">\r\n<br>"));
    w.press(u' ');
    EXPECT_EQ(w.attributeRequests, QStringList{QStringLiteral("img")});
}

// Attribute rows and quoted values.

TEST_F(Completion, AnAttributeRowEndingInQuotesLeavesTheCaretBetweenThem)
{
    w.setText(QStringLiteral("<a|>\r\n</a>"));
    w.press(u' ');
    ASSERT_TRUE(w.lstPopup.visible);
    w.type(QStringLiteral("C"));
    EXPECT_EQ(w.selectedRow(), QStringLiteral("class=\"\""));
    EXPECT_FALSE(w.press(u' ')) << "the space is not typed";
    EXPECT_EQ(w.marked(), QStringLiteral("<a class=\"|\">\r\n</a>"));
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_EQ(w.attributeRequests.size(), 1) << "no list between the quotes of an empty value";
}

TEST_F(Completion, ASpaceAfterAClosingQuoteOpensTheListAgain)
{
    w.setText(QStringLiteral("<a href=\"x\"|>\r\n<b>"));
    EXPECT_TRUE(w.press(u' '));
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_EQ(w.attributeRequests, QStringList{QStringLiteral("a")});
}

TEST_F(Completion, NoListInsideAQuotedValue)
{
    w.setText(QStringLiteral("<a title=\"x|y\">\r\n<b>"));
    EXPECT_TRUE(w.press(u' '));
    EXPECT_EQ(w.marked(), QStringLiteral("<a title=\"x |y\">\r\n<b>"));
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_TRUE(w.attributeRequests.isEmpty());
}

TEST_F(Completion, NoListInsideAQuotedValueRightAfterItsOpeningQuote)
{
    w.setText(QStringLiteral("<a title=\"|x\">\r\n<b>"));
    w.press(u' ');
    EXPECT_FALSE(w.lstPopup.visible);
}

TEST_F(Completion, NoListInsideAClosingTag)
{
    w.setText(QStringLiteral("</p|>\r\n<b>"));
    EXPECT_TRUE(w.press(u' '));
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_TRUE(w.attributeRequests.isEmpty());
}

TEST_F(Completion, NoListOutsideATag)
{
    w.setText(QStringLiteral("<p>text|</p>"));
    w.press(u' ');
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_TRUE(w.attributeRequests.isEmpty());
}

TEST_F(Completion, ATagFileNamingNoAttributesKeepsTheListHidden)
{
    w.tagFiles.insert(QStringLiteral("br"), {{}, true});
    w.setText(QStringLiteral("<br|>\r\n<p>"));
    w.press(u' ');
    EXPECT_EQ(w.attributeRequests, QStringList{QStringLiteral("br")});
    EXPECT_FALSE(w.lstPopup.visible);
}

TEST_F(Completion, AnEmptyGeneralListShowsAsAnEmptyList)
{
    gAttributeList.clear();
    w.setText(QStringLiteral("<p|>\r\n<b>"));
    w.press(u' ');
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_EQ(w.lstPopup.ListCount(), 0);
}

// Backspace, Enter, ">".

TEST_F(Completion, BackspaceWithOneTypedCharacterHidesTheAttributeList)
{
    w.setText(QStringLiteral("<a|>\r\n<b>"));
    w.type(QStringLiteral(" c"));
    ASSERT_TRUE(w.lstPopup.visible);
    w.press(u'\b');
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_EQ(w.marked(), QStringLiteral("<a |>\r\n<b>"));
}

TEST_F(Completion, BackspaceAfterLessThanAndALetterKeepsTheTagListOpen)
{
    w.type(QStringLiteral("<b"));
    ASSERT_EQ(w.selectedRow(), QStringLiteral("<b>"));
    w.press(u'\b');
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_EQ(w.completion.popupWord(), QStringLiteral("<"));
    EXPECT_EQ(w.lstPopup.index, 0) << "the first row beginning with <";
    EXPECT_EQ(w.marked(), QStringLiteral("<|"));
}

TEST_F(Completion, BackspaceOnTheLessThanAloneHidesTheList)
{
    w.type(QStringLiteral("<\b"));
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_EQ(w.marked(), QStringLiteral("|"));
}

TEST_F(Completion, EnterHidesTheListAndNeverAccepts)
{
    w.type(QStringLiteral("<di\r"));
    EXPECT_EQ(w.marked(), QStringLiteral("<di\r\n|"));
    EXPECT_FALSE(w.lstPopup.visible);
}

TEST_F(Completion, GreaterThanAcceptsTheRowAndIsNotTyped)
{
    w.type(QStringLiteral("<di"));
    EXPECT_FALSE(w.press(u'>'));
    EXPECT_EQ(w.marked(), QStringLiteral("<div>|"));
    EXPECT_FALSE(w.lstPopup.visible);
}

TEST_F(Completion, GreaterThanAcceptsAnAttributeRowAndIsNotTyped)
{
    w.setText(QStringLiteral("<a|>\r\n<b>"));
    w.type(QStringLiteral(" i"));
    EXPECT_FALSE(w.press(u'>'));
    EXPECT_EQ(w.marked(), QStringLiteral("<a id=\"\"|>\r\n<b>"));
    EXPECT_FALSE(w.lstPopup.visible);
}

TEST_F(Completion, GreaterThanWithNoRowSelectedIsTypedAndHides)
{
    w.type(QStringLiteral("<zz"));
    EXPECT_TRUE(w.press(u'>'));
    EXPECT_EQ(w.marked(), QStringLiteral("<zz>|"));
    EXPECT_FALSE(w.lstPopup.visible);
}

TEST_F(Completion, KeysTypedWhileTheListIsHiddenLeaveTheWordAlone)
{
    w.type(QStringLiteral("<d>"));
    ASSERT_EQ(w.marked(), QStringLiteral("<div>|"));
    w.type(QStringLiteral("x\b>"));
    EXPECT_EQ(w.marked(), QStringLiteral("<div>>|"));
    EXPECT_EQ(w.completion.popupWord(), QStringLiteral("<d")) << "kept after hiding";
}

TEST_F(Completion, ALetterWithoutAMatchSelectsNothingAndASpaceThenAcceptsNothing)
{
    w.type(QStringLiteral("<x"));
    EXPECT_EQ(w.lstPopup.index, -1);
    EXPECT_TRUE(w.press(u' '));
    EXPECT_EQ(w.marked(), QStringLiteral("<x |"));
    EXPECT_FALSE(w.lstPopup.visible);
}

TEST_F(Completion, ControlCodesAreAppendedLikeLetters)
{
    w.type(QStringLiteral("<d\t"));
    EXPECT_EQ(w.completion.popupWord(), QStringLiteral("<d\t"));
    EXPECT_EQ(w.lstPopup.index, -1);
}

// Matching.

TEST_F(Completion, MatchingIgnoresLetterCaseWidthAndKana)
{
    w.type(QStringLiteral("<ta"));
    EXPECT_EQ(w.selectedRow(), QStringLiteral("<TABLE>"));
    w.type(QStringLiteral("<DI"));
    EXPECT_EQ(w.selectedRow(), QStringLiteral("<div>"));
    w.type(QStringLiteral("<ＤＬ"));
    EXPECT_EQ(w.selectedRow(), QStringLiteral("<dl>"));
    w.type(QStringLiteral("<かた"));
    EXPECT_EQ(w.selectedRow(), QStringLiteral("<カタカナ>"));
}

TEST_F(Completion, TheFirstMatchingRowWins)
{
    gTagList = {QStringLiteral("<b>"), QStringLiteral("<dd>"), QStringLiteral("<dd>"),
                QStringLiteral("<d>")};
    w.type(QStringLiteral("<d"));
    EXPECT_EQ(w.lstPopup.index, 1);
}

TEST_F(Completion, RowsShorterThanTheTypedWordNeverMatch)
{
    gTagList = {QStringLiteral("<b"), QStringLiteral("<br>")};
    w.type(QStringLiteral("<br"));
    EXPECT_EQ(w.lstPopup.index, 1);
}

// Up, Down and the keys that hide.

TEST_F(Completion, UpAndDownStopAtTheEndsAndAreSuppressedWhileShown)
{
    w.type(QStringLiteral("<"));
    EXPECT_TRUE(w.keyDown(keys::Up));
    EXPECT_EQ(w.lstPopup.index, -1) << "Up from no selection selects nothing";
    EXPECT_TRUE(w.keyDown(keys::Down));
    EXPECT_EQ(w.lstPopup.index, 0);
    EXPECT_TRUE(w.keyDown(keys::Up));
    EXPECT_EQ(w.lstPopup.index, 0);
    for (int k = 0; k < 10; ++k)
        EXPECT_TRUE(w.keyDown(keys::Down));
    EXPECT_EQ(w.lstPopup.index, kTags.size() - 1);
    EXPECT_TRUE(w.keyDown(keys::Up));
    EXPECT_EQ(w.lstPopup.index, kTags.size() - 2);
}

TEST_F(Completion, UpAndDownActAsUsualWhileHidden)
{
    EXPECT_FALSE(w.keyDown(keys::Down));
    EXPECT_FALSE(w.keyDown(keys::Up));
    EXPECT_EQ(w.lstPopup.index, -1);
}

TEST_F(Completion, MovingKeysAndEscapeHideTheListAndStillAct)
{
    for (const int key : {keys::Left, keys::Right, keys::Home, keys::End, keys::PageUp,
                          keys::PageDown, keys::Escape}) {
        w.type(QStringLiteral("<"));
        ASSERT_TRUE(w.lstPopup.visible);
        EXPECT_FALSE(w.keyDown(key)) << key;
        EXPECT_FALSE(w.lstPopup.visible) << key;
    }
}

TEST_F(Completion, OtherKeysLeaveTheListOpen)
{
    w.type(QStringLiteral("<"));
    EXPECT_FALSE(w.keyDown(46));
    EXPECT_FALSE(w.keyDown(keys::Enter));
    EXPECT_TRUE(w.lstPopup.visible);
}

// The mouse on the list.

TEST_F(Completion, AMousePressOnTheListAcceptsTheSelectedRow)
{
    w.setText(QStringLiteral("|\r\n<p>"));
    w.type(QStringLiteral("<d"));
    w.lstPopup.index = 1; // the press landed on <dl>
    w.completion.lstPopup_MouseDown(kLeftButton, 0);
    EXPECT_EQ(w.marked(), QStringLiteral("<dl>|\r\n<p>")) << "no step back, no attribute test";
    EXPECT_FALSE(w.lstPopup.visible);
    EXPECT_TRUE(w.attributeRequests.isEmpty());
}

TEST_F(Completion, AMousePressWithNoRowSelectedDoesNothing)
{
    w.type(QStringLiteral("<x"));
    w.completion.lstPopup_MouseDown(kRightButton, 0);
    EXPECT_EQ(w.marked(), QStringLiteral("<x|"));
    EXPECT_TRUE(w.lstPopup.visible);
}

// Accepting after the caret moved.

TEST_F(Completion, AcceptingAfterAClickReplacesTheWordsLengthBeforeTheNewCaret)
{
    w.setText(QStringLiteral("0123456789|"));
    w.type(QStringLiteral("<d"));
    const int moves = w.lstPopup.moves;
    w.rtfEdit.setSelStart(5); // a click does not move or hide the list
    EXPECT_TRUE(w.lstPopup.visible);
    EXPECT_FALSE(w.press(u'>'));
    EXPECT_EQ(w.marked(), QStringLiteral("012<div>|56789<d"));
    EXPECT_EQ(w.lstPopup.moves, moves);
}

TEST_F(Completion, AcceptingNearTheStartNeverReplacesTextAfterTheCaret)
{
    w.setText(QStringLiteral("|abc"));
    w.type(QStringLiteral("<d"));
    w.rtfEdit.setSelStart(1); // only "<" stands before the caret now
    EXPECT_FALSE(w.press(u'>'));
    EXPECT_EQ(w.marked(), QStringLiteral("<div>|dabc"));
}

// Where the list stands.

TEST_F(Completion, TheListFollowsTheCaretToAnotherLine)
{
    w.type(QStringLiteral("<"));
    ASSERT_EQ(w.lstPopup.left, 150);
    ASSERT_EQ(w.lstPopup.top, 570);
    const int moves = w.lstPopup.moves;
    w.rtfEdit.setCaretPos({30, 20});
    w.type(QStringLiteral("d"));
    EXPECT_EQ(w.lstPopup.moves, moves) << "on the same line the list keeps its place";
    EXPECT_EQ(w.lstPopup.left, 150);
    w.rtfEdit.setCaretPos({2, 40});
    w.type(QStringLiteral("i"));
    EXPECT_EQ(w.lstPopup.left, 30);
    EXPECT_EQ(w.lstPopup.top, 600 + 270);
    w.rtfEdit.setCaretPos({4, 60});
    w.press(u'\b');
    EXPECT_EQ(w.lstPopup.top, 900 + 270) << "Backspace follows the caret too";
}

TEST_F(Completion, NearTheRightEdgeAndTheBottomTheListIsPulledInside)
{
    w.window.scaleWidth = 3000;
    w.window.scaleHeight = 2000;
    w.rtfEdit.setCaretPos({100, 80}); // 1500, 1200 twips
    w.type(QStringLiteral("<"));
    EXPECT_EQ(w.lstPopup.left, 3000 - 1935) << "right edge meets the window's";
    EXPECT_EQ(w.lstPopup.top, 1200 - 1290) << "above the caret's line, even off the top";
}

TEST_F(Completion, AWindowNarrowerThanTheListGivesANegativeLeft)
{
    w.window.scaleWidth = 1000;
    w.type(QStringLiteral("<"));
    EXPECT_EQ(w.lstPopup.left, 1000 - 1935);
    EXPECT_EQ(w.lstPopup.top, 570);
}

TEST_F(Completion, TheLineOffsetIsRoundedToWholeTwips)
{
    w.rtfEdit.setFontSize(9.25);
    w.window.factor = 1.5; // 277.5 twips
    w.type(QStringLiteral("<"));
    EXPECT_EQ(w.lstPopup.top, 578);
}

TEST_F(Completion, PlacingTheListGivesTheEditControlTheFocus)
{
    w.rtfEdit.setHasFocus(false);
    w.type(QStringLiteral("<"));
    EXPECT_TRUE(w.rtfEdit.hasFocus());
}

// The rest of the edit area: mouse, drag and drop, ResetFlag.

TEST_F(Completion, TheRightButtonInTheTextShowsTheEditMenu)
{
    w.type(QStringLiteral("<"));
    w.completion.rtfEdit_MouseDown(kLeftButton, 0);
    EXPECT_EQ(w.editMenus, 0);
    EXPECT_TRUE(w.lstPopup.visible) << "a click does not hide the list";
    w.completion.rtfEdit_MouseDown(kRightButton, kShiftMask);
    EXPECT_EQ(w.editMenus, 1);
}

TEST_F(Completion, ADragAllowsMoveAndWithCtrlCopyToo)
{
    int effects = 0;
    w.completion.rtfEdit_OLEStartDrag(effects);
    EXPECT_EQ(effects, kDropEffectMove);
    w.keyboard.down = {keys::Control};
    w.completion.rtfEdit_OLEStartDrag(effects);
    EXPECT_EQ(effects, kDropEffectCopy | kDropEffectMove);
    EXPECT_EQ(w.editMenus, 0);
}

TEST_F(Completion, ARightButtonDragShowsTheEditMenuAndKeepsTheEffects)
{
    w.keyboard.down = {keys::RightMouseButton, keys::Control};
    int effects = 7;
    w.completion.rtfEdit_OLEStartDrag(effects);
    EXPECT_EQ(effects, 7);
    EXPECT_EQ(w.editMenus, 1);
}

DropData files(const QStringList &paths)
{
    DropData data;
    data.offersFiles = true;
    data.files = paths;
    data.offersText = true;
    data.text = paths.join(u'\n');
    return data;
}

TEST_F(Completion, DroppedFilesOpenFromTheLastToTheFirst)
{
    w.setText(QStringLiteral("x|y"));
    w.completion.rtfEdit_OLEDragDrop(
        files({QStringLiteral("/web/a.html"), QStringLiteral("/web/b.html")}), 0);
    EXPECT_EQ(w.opened,
              (QStringList{QStringLiteral("/web/b.html"), QStringLiteral("/web/a.html")}));
    EXPECT_EQ(w.marked(), QStringLiteral("x|y")) << "the file list wins over its text";
}

TEST_F(Completion, DroppedFilesWithShiftCtrlOrAltInsertTheirTextsInReverseOrder)
{
    w.fileTexts.insert(QStringLiteral("/web/a.html"), QStringLiteral("A"));
    w.fileTexts.insert(QStringLiteral("/web/b.html"), QStringLiteral("B"));
    for (const int shift : {kShiftMask, kCtrlMask, kAltMask, kShiftMask | kAltMask}) {
        w.setText(QStringLiteral("x|y"));
        w.rtfEdit.setSelLength(1);
        w.loaded.clear();
        w.completion.rtfEdit_OLEDragDrop(
            files({QStringLiteral("/web/a.html"), QStringLiteral("/web/b.html")}), shift);
        EXPECT_EQ(w.marked(), QStringLiteral("xBA|")) << shift;
        EXPECT_EQ(w.loaded,
                  (QStringList{QStringLiteral("/web/b.html"), QStringLiteral("/web/a.html")}));
        EXPECT_TRUE(w.opened.isEmpty());
    }
}

TEST_F(Completion, DroppedFilesWithoutANameOrExtensionAreSkipped)
{
    w.completion.rtfEdit_OLEDragDrop(
        files({QStringLiteral("/web/README"), QStringLiteral("/web/site/"),
               QStringLiteral("/web/c.htm")}),
        0);
    EXPECT_EQ(w.opened, QStringList{QStringLiteral("/web/c.htm")});
    w.completion.rtfEdit_OLEDragDrop(files({QStringLiteral("/web/README")}), kShiftMask);
    EXPECT_TRUE(w.loaded.isEmpty());
    EXPECT_EQ(w.rtfEdit.Text(), QString());
}

TEST_F(Completion, DroppedTextReplacesTheSelection)
{
    w.setText(QStringLiteral("a|bc"));
    w.rtfEdit.setSelLength(1);
    DropData data;
    data.offersText = true;
    data.text = QStringLiteral("XY");
    w.completion.rtfEdit_OLEDragDrop(data, 0);
    EXPECT_EQ(w.marked(), QStringLiteral("aXY|c"));
    EXPECT_TRUE(w.opened.isEmpty());
}

TEST_F(Completion, ResetFlagEmptiesTheHistoryAndDisablesUndoAndRedo)
{
    QObject::connect(&w.rtfEdit, &IEditControl::Change, &w.document,
                     [this] { w.document.IsTextChange(); });
    w.document.IsTextChange();
    w.type(QStringLiteral("abc"));
    ASSERT_GT(w.document.GetClctUndoCount(), 1);
    w.completion.ResetFlag();
    EXPECT_EQ(w.document.GetClctUndoCount(), 1);
    EXPECT_FALSE(w.document.NeedSave());
    EXPECT_EQ(w.undoRedoDisabled, 1);
}

// The attribute test against its literal reading.

struct AttributeCase
{
    const char *name;
    const char16_t *marked; // "|" at the caret
    bool opens;
    const char16_t *tagName;
};

class AttributeTest : public ::testing::TestWithParam<AttributeCase>
{};

TEST_P(AttributeTest, FindsTheTagName)
{
    const AttributeCase &row = GetParam();
    QString text = QString::fromUtf16(row.marked);
    const int caret = static_cast<int>(text.indexOf(u'|'));
    text.remove(caret, 1);
    const std::optional<QString> name = tagNameForAttributes(SharedText(text), caret);
    EXPECT_EQ(name.has_value(), row.opens);
    if (name && row.opens) {
        EXPECT_EQ(*name, QString::fromUtf16(row.tagName));
    }
    EXPECT_EQ(name, literalTagNameForAttributes(text, caret));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AttributeTest,
    ::testing::Values(AttributeCase{"AtTheStart", u"|<a>", false, u""},
                      AttributeCase{"AfterTheName", u"<a|><b>", true, u"a"},
                      AttributeCase{"InTheName", u"<ta|ble><b>", true, u"table"},
                      AttributeCase{"NameCutAtTheSpace", u"<a |href=\"x\"><b>", true, u"a"},
                      AttributeCase{"RightAfterTheLessThan", u"<|a><b>", false, u""},
                      AttributeCase{"LessThanWithNoGreaterThanAfter", u"<|", true, u""},
                      AttributeCase{"LessThanWithAGreaterThanLater", u"<|\r\n<p>", false, u""},
                      AttributeCase{"NoLessThanLater", u"<a|>", false, u""},
                      AttributeCase{"OutsideTags", u"<a>x|</a>", false, u""},
                      AttributeCase{"AfterAGreaterThan", u"<a>|<b>", false, u""},
                      AttributeCase{"InsideAValue", u"<a b=\"x|\"><c>", false, u""},
                      AttributeCase{"AfterAValue", u"<a b=\"x\"|><c>", true, u"a"},
                      AttributeCase{"BetweenEmptyQuotes", u"<a b=\"|\"><c>", false, u""},
                      AttributeCase{"ClosingTag", u"</p|><b>", true, u"/p"},
                      AttributeCase{"TagOverLines", u"<img\r\nsrc=\"a\"|><b>", true,
                                    u"img\r\nsrc=\"a\""},
                      AttributeCase{"TabIsNoSpace", u"<td\tclass=x|><b>", true, u"td\tclass=x"},
                      AttributeCase{"UnclosedTagBeforeATag", u"<a |<b>", false, u""},
                      AttributeCase{"CaretAtTheVeryEnd", u"<a b|", false, u""},
                      AttributeCase{"RightAfterAnOpeningQuote", u"<a b=\"|x\"><c>", false, u""},
                      AttributeCase{"UnclosedQuote", u"<a b=\"x|><c>", true, u"a"}),
    [](const auto &info) { return std::string(info.param.name); });

QString randomMarkup(std::mt19937 &engine, int length, int bracketPercent)
{
    static const QString plain = QStringLiteral("ab =/x\r\n日本");
    static const QString marks = QStringLiteral("<>\"");
    QString text;
    for (int k = 0; k < length; ++k) {
        const bool mark = static_cast<int>(engine() % 100) < bracketPercent;
        const QString &pool = mark ? marks : plain;
        text.append(pool.at(engine() % pool.size()));
    }
    return text;
}

TEST(AttributeTestDifferential, AgreesWithTheLiteralTestOnRandomMarkup)
{
    std::mt19937 engine(5);
    for (int round = 0; round < 3000; ++round) {
        const QString text = randomMarkup(engine, static_cast<int>(engine() % 24), 40);
        const SharedText shared(text);
        for (int caret = 0; caret <= text.size(); ++caret) {
            ASSERT_EQ(tagNameForAttributes(shared, caret), literalTagNameForAttributes(text, caret))
                << scrivlet::test::visible(text) << " at " << caret;
        }
    }
}

TEST(AttributeTestDifferential, AgreesWhereTheBracketsAreChunksAway)
{
    std::mt19937 engine(7);
    for (int round = 0; round < 40; ++round) {
        const QString text = randomMarkup(engine, 20000, static_cast<int>(engine() % 3));
        const SharedText shared(text);
        for (int k = 0; k < 50; ++k) {
            const int caret = static_cast<int>(engine() % (text.size() + 1));
            ASSERT_EQ(tagNameForAttributes(shared, caret), literalTagNameForAttributes(text, caret))
                << "round " << round << " at " << caret;
        }
    }
}

} // namespace
} // namespace scrivlet::html::test
