// The completion list driven through its key, mouse and drop handlers over the in-memory edit
// control: what is typed, what the list shows and where, and what ends up in the text.

#include "tests/html/LiteralAttributeTest.h"

#include "editor/SharedText.h"
#include "editor/clsRTF.h"
#include "html/Completion.h"
#include "platform/Globals.h"
#include "platform/IKeyboardState.h"
#include "tests/common/DataRows.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
#include "tests/common/TestSupport.h"

#include <QSet>

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

class FakePopupList final : public IPopupList
{
public:
    void Clear() override
    {
        rows.clear();
        index = -1;
    }
    void AddItem(const QString &item) override { rows.append(item); }
    QString List(int i) const override { return rows.value(i); }
    int ListCount() const override { return static_cast<int>(rows.size()); }
    int ListIndex() const override { return index; }
    void setListIndex(int i) override { index = i; }
    bool Visible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    int Width() const override { return 1935; }
    int Height() const override { return 1290; }
    int Top() const override { return top; }
    void Move(int l, int t) override
    {
        left = l;
        top = t;
        ++moves;
    }

    QStringList rows;
    int index = -1;
    bool visible = false;
    int left = 0;
    int top = 0;
    int moves = 0;
};

class FakeWindowMetrics final : public IWindowMetrics
{
public:
    int ScaleWidth() const override { return scaleWidth; }
    int ScaleHeight() const override { return scaleHeight; }
    double lineOffsetFactor() const override { return 1.5; }

    int scaleWidth = 12000;
    int scaleHeight = 9000;
};

class FakeKeyboard final : public IKeyboardState
{
public:
    bool IsKeyDown(int virtualKey) const override { return down.contains(virtualKey); }
    QSet<int> down;
};

// A document window's completion over the in-memory control, with callbacks that record what
// they were asked. The tag "div" has its own file naming one attribute, "br" one naming none;
// a loaded file's text is the end of its path.
class Completion : public ::testing::Test
{
public:
    Completion()
    {
        ResetGlobals();
        gTagList = kTags;
        gAttributeList = kAttributes;
        document.Init(&rtfEdit);
        completion.setDocument(&document);
        rtfEdit.setFontSize(9.0);
        rtfEdit.setTwipsPerPixel({15.0, 15.0});
        rtfEdit.setCaretPos({10, 20}); // 150, 300 twips: the list goes to 150, 300 + 270
        completion.setCallbacks({
            .attributeRows =
                [this](const QString &name) {
                    requests.append(name);
                    if (name == u"div")
                        return AttributeRows{{QStringLiteral("align=\"\"")}, true};
                    return name == u"br" ? AttributeRows{{}, true} : AttributeRows{gAttributeList};
                },
            .popupEditMenu = [this] { ++editMenus; },
            .newWindow = [this](const QString &path) { opened.append(path); },
            .loadTextFile = [](const QString &path) { return path.right(6); },
            .disableUndoRedo = [this] { ++undoRedoDisabled; },
        });
    }
    ~Completion() override { ResetGlobals(); }

    // Puts text in the control with the caret where "|" stands.
    void setText(const QString &marked)
    {
        rtfEdit.setText(QString(marked).remove(u'|'));
        rtfEdit.setSelStart(static_cast<int>(marked.indexOf(u'|')));
    }
    static QString qs(const char16_t *s) { return s ? QString::fromUtf16(s) : QString(); }
    QString marked() const { return rtfEdit.Text().insert(rtfEdit.SelStart(), u'|'); }

    // Characters as the keyboard types them, reaching the text only when the handler lets
    // them; "↑" and "↓" stand for the arrow keys.
    void type(const QString &input)
    {
        for (const QChar c : input) {
            if (c == u'↑' || c == u'↓') {
                keyDown(c == u'↑' ? keys::Up : keys::Down);
                continue;
            }
            int code = c.unicode();
            completion.rtfEdit_KeyPress(code);
            if (code == keys::Backspace)
                rtfEdit.pressBackspace();
            else if (code == keys::Enter)
                rtfEdit.pressEnter();
            else if (code != 0)
                rtfEdit.typeText(QString(c));
        }
    }
    // A key going down; true when the handler suppressed it.
    bool keyDown(int keyCode)
    {
        completion.rtfEdit_KeyDown(keyCode, 0);
        return keyCode == 0;
    }

    scrivlet::test::FakeClipboard clipboard;
    scrivlet::test::FakeMessageService messages;
    MemoryEditControl rtfEdit{clipboard};
    clsRTF document{messages, StringConverter{}};
    FakePopupList lstPopup;
    FakeWindowMetrics window;
    FakeKeyboard keyboard;
    CompletionController completion{rtfEdit, lstPopup, window, keyboard};
    QStringList requests; // the tag names the attribute list was asked for
    QStringList opened;
    int editMenus = 0;
    int undoRedoDisabled = 0;
};

// Rows of tests/data/completion-typing.txt: what typing leaves in the text and the list.
class TypingTest : public Completion, public ::testing::WithParamInterface<scrivlet::test::DataRow>
{};

TEST_P(TypingTest, LeavesTextAndList)
{
    const auto field = [this](int i) {
        return QString::fromStdString(GetParam()[i]);
    };
    setText(field(1));
    type(field(2));
    EXPECT_EQ(marked(), field(3));
    EXPECT_EQ(requests, field(5) == u"-" ? QStringList{} : QStringList{field(5)});
    ASSERT_EQ(lstPopup.visible, field(4) != u"-");
    if (lstPopup.visible) {
        EXPECT_EQ(lstPopup.rows, field(5) == u"-" ? kTags : kAttributes);
        EXPECT_EQ(lstPopup.rows.value(lstPopup.index), field(4));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TypingTest,
                         ::testing::ValuesIn(scrivlet::test::readDataRows(SCRIVLET_TEST_DATA
                                                                          "/completion-typing.txt",
                                                                          6)),
                         [](const auto &info) { return info.param[0]; });

TEST_F(Completion, DownThenSpaceAcceptsTheFirstRowAndOpensItsAttributes)
{
    setText(QStringLiteral("|\r\n<b>"));
    type(QStringLiteral("<"));
    rtfEdit.setHasFocus(false);
    EXPECT_TRUE(keyDown(keys::Down));
    EXPECT_TRUE(rtfEdit.hasFocus());
    type(QStringLiteral(" "));
    EXPECT_EQ(marked(), QStringLiteral("<div |>\r\n<b>"));
    EXPECT_EQ(lstPopup.rows, QStringList{QStringLiteral("align=\"\"")});
    type(QStringLiteral("<"));
    EXPECT_EQ(lstPopup.rows, kTags) << "refilled, not appended to";
}

TEST_F(Completion, AnEmptyGeneralAttributeListStillShows)
{
    gAttributeList.clear();
    setText(QStringLiteral("<p|>\r\n<b>"));
    type(QStringLiteral(" "));
    EXPECT_TRUE(lstPopup.visible && lstPopup.rows.isEmpty());
}

TEST_F(Completion, ArrowsAreSuppressedOnlyWhileShownAndMovingKeysHide)
{
    EXPECT_FALSE(keyDown(keys::Down));
    EXPECT_FALSE(keyDown(keys::Up));
    for (const int key : {keys::Left, keys::Right, keys::Home, keys::End, keys::PageUp,
                          keys::PageDown, keys::Escape}) {
        type(QStringLiteral("<"));
        EXPECT_FALSE(keyDown(keys::Enter));
        EXPECT_TRUE(lstPopup.visible);
        EXPECT_FALSE(keyDown(key)) << key;
        EXPECT_FALSE(lstPopup.visible) << key;
    }
}

TEST_F(Completion, AMousePressOnTheListAcceptsTheSelectedRowOnly)
{
    setText(QStringLiteral("|\r\n<p>"));
    type(QStringLiteral("<x"));
    completion.lstPopup_MouseDown(kLeftButton, 0);
    EXPECT_EQ(marked(), QStringLiteral("<x|\r\n<p>"));
    EXPECT_TRUE(lstPopup.visible);
    lstPopup.index = 1; // the press landed on <dl>
    completion.lstPopup_MouseDown(kLeftButton, 0);
    EXPECT_EQ(marked(), QStringLiteral("<dl>|\r\n<p>")) << "no step back, no attribute test";
    EXPECT_FALSE(lstPopup.visible);
    EXPECT_TRUE(requests.isEmpty());
}

TEST_F(Completion, AcceptingAfterAClickReplacesOnlyTextBeforeTheCaret)
{
    for (const auto &c : {std::pair{5, u"012<div>|56<d"}, std::pair{1, u"<div>|123456<d"}}) {
        setText(QStringLiteral("0123456|"));
        type(QStringLiteral("<d"));
        rtfEdit.setSelStart(c.first); // a click moves neither the list nor the word
        type(QStringLiteral(">"));
        EXPECT_EQ(marked(), qs(c.second)) << c.first;
    }
}

TEST_F(Completion, TheListFollowsTheCaretToAnotherLine)
{
    type(QStringLiteral("<"));
    EXPECT_EQ(lstPopup.left, 150);
    EXPECT_EQ(lstPopup.top, 300 + 270) << "9 pt x 1.5 x 20 twips below the caret's top";
    const int moves = lstPopup.moves;
    rtfEdit.setCaretPos({30, 20});
    type(QStringLiteral("d"));
    EXPECT_EQ(lstPopup.moves, moves) << "on the same line the list keeps its place";
    rtfEdit.setCaretPos({2, 40});
    type(QStringLiteral("i"));
    EXPECT_EQ(lstPopup.left, 30);
    EXPECT_EQ(lstPopup.top, 600 + 270);
    rtfEdit.setCaretPos({4, 60});
    type(QStringLiteral("\b"));
    EXPECT_EQ(lstPopup.top, 900 + 270) << "Backspace follows the caret too";
}

TEST_F(Completion, NearTheRightEdgeAndTheBottomTheListIsPulledInside)
{
    window.scaleWidth = 3000;
    window.scaleHeight = 2000;
    rtfEdit.setCaretPos({100, 80}); // 1500, 1200 twips
    type(QStringLiteral("<"));
    EXPECT_EQ(lstPopup.left, 3000 - 1935) << "right edge meets the window's";
    EXPECT_EQ(lstPopup.top, 1200 - 1290) << "above the caret's line, even off the top";
}

TEST_F(Completion, TheRightButtonShowsTheEditMenuAndCtrlLetsADragCopy)
{
    completion.rtfEdit_MouseDown(kLeftButton, 0);
    EXPECT_EQ(editMenus, 0);
    completion.rtfEdit_MouseDown(kRightButton, kShiftMask);
    EXPECT_EQ(editMenus, 1);
    int effects = 0;
    completion.rtfEdit_OLEStartDrag(effects);
    EXPECT_EQ(effects, kDropEffectMove);
    keyboard.down = {keys::Control};
    completion.rtfEdit_OLEStartDrag(effects);
    EXPECT_EQ(effects, kDropEffectCopy | kDropEffectMove);
    keyboard.down = {keys::RightMouseButton};
    completion.rtfEdit_OLEStartDrag(effects);
    EXPECT_EQ(editMenus, 2);
}

DropData drop(const QStringList &files, const QString &text = {})
{
    return {!files.isEmpty(), files, true, text.isNull() ? files.join(u'\n') : text};
}

const QStringList kDropped = {QStringLiteral("/web/README"), QStringLiteral("/web/a.html"),
                              QStringLiteral("/web/site/"), QStringLiteral("/web/b.html")};

TEST_F(Completion, DroppedFilesOpenFromTheLastToTheFirstSkippingNamesWithoutExtension)
{
    setText(QStringLiteral("x|y"));
    completion.rtfEdit_OLEDragDrop(drop(kDropped), 0);
    EXPECT_EQ(opened, (QStringList{QStringLiteral("/web/b.html"), QStringLiteral("/web/a.html")}));
    EXPECT_EQ(marked(), QStringLiteral("x|y")) << "the file list wins over its text";
    rtfEdit.setSelLength(1);
    completion.rtfEdit_OLEDragDrop(drop({}, QStringLiteral("T")), 0);
    EXPECT_EQ(marked(), QStringLiteral("xT|"));
}

TEST_F(Completion, DroppedFilesWithShiftCtrlOrAltInsertTheirTextsInReverseOrder)
{
    for (const int shift : {kShiftMask, kCtrlMask, kAltMask}) {
        setText(QStringLiteral("x|y"));
        completion.rtfEdit_OLEDragDrop(drop(kDropped), shift);
        EXPECT_EQ(marked(), QStringLiteral("xb.htmla.html|y")) << shift;
    }
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(Completion, ResetFlagEmptiesTheHistoryAndDisablesUndoAndRedo)
{
    QObject::connect(&rtfEdit, &IEditControl::Change, &document,
                     [this] { document.IsTextChange(); });
    document.IsTextChange();
    type(QStringLiteral("abc"));
    ASSERT_GT(document.GetClctUndoCount(), 1);
    completion.ResetFlag();
    EXPECT_EQ(document.GetClctUndoCount(), 1);
    EXPECT_FALSE(document.NeedSave());
    EXPECT_EQ(undoRedoDisabled, 1);
}

// The fast attribute test against the literal whole-text one (LiteralAttributeTest.h).
QString randomMarkup(std::mt19937 &engine, int length, int bracketPercent)
{
    static const QString plain = QStringLiteral("ab =/x\t\r\n日本");
    static const QString marks = QStringLiteral("<>\"");
    QString text;
    for (int k = 0; k < length; ++k) {
        const QString &pool = static_cast<int>(engine() % 100) < bracketPercent ? marks : plain;
        text.append(pool.at(engine() % pool.size()));
    }
    return text;
}

// Short texts at every caret, and long ones with brackets far apart, several chunks of the
// fast test's reading away.
TEST(AttributeTestDifferential, AgreesWithTheLiteralTestOnRandomMarkup)
{
    std::mt19937 engine(5);
    for (int round = 0; round < 3040; ++round) {
        const bool longText = round >= 3000;
        const QString text = longText ? randomMarkup(engine, 20000, static_cast<int>(engine() % 3))
                                      : randomMarkup(engine, static_cast<int>(engine() % 24), 40);
        const SharedText shared(text);
        const int carets = longText ? 50 : static_cast<int>(text.size()) + 1;
        for (int k = 0; k < carets; ++k) {
            const int caret = longText ? static_cast<int>(engine() % (text.size() + 1)) : k;
            ASSERT_EQ(tagNameForAttributes(shared, caret), literalTagNameForAttributes(text, caret))
                << scrivlet::test::visible(text.left(200)) << " at " << caret;
        }
    }
}

} // namespace
} // namespace scrivlet::html::test
