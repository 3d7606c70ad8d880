// The completion list driven through its key, mouse and drop handlers over the in-memory edit
// control: what is typed, what the list shows and where, and what ends up in the text.

#include "html/Completion.h"
#include "editor/SharedText.h"
#include "editor/clsRTF.h"
#include "platform/Globals.h"
#include "tests/common/DataRows.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace scrivlet::html::test {
namespace {

using scrivlet::test::readDataRows;

const QStringList kTags =
    QStringLiteral("<div>|<dl>|<a href=\"\">|</div>|<TABLE>|<!--|<カタカナ>|<br />|<b>")
        .split(u'|');
const QStringList kAttributes = QStringLiteral("id=\"\"|class=\"\"| style|").split(u'|');

// The list and the window it floats in.
struct FakeList final : IPopupList, IWindowMetrics
{
    void Clear() override { rows.clear(), index = -1; }
    void AddItem(const QString &item) override { rows.append(item); }
    QString List(int i) const override { return rows.value(i); }
    int ListCount() const override { return static_cast<int>(rows.size()); }
    int ListIndex() const override { return index; }
    void setListIndex(int i) override { index = i; }
    bool Visible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    int Width() const override { return 1935; }
    int Height() const override { return 1290; }
    int Top() const override { return pos.y(); }
    void Move(int l, int t) override { pos = {l, t}; }
    int ScaleWidth() const override { return scale.x(); }
    int ScaleHeight() const override { return scale.y(); }
    double lineOffsetFactor() const override { return 1.5; }

    QStringList rows;
    bool visible = false;
    int index = -1;
    QPoint pos, scale{12000, 9000}; // where the list is; the window's inside width and height
};

// The tag "div" has its own file naming one attribute, "br" one naming none; for "em" the
// general list is empty; the others get the general list.
AttributeRows rowsFor(const QString &name)
{
    if (name == u"div" || name == u"br")
        return {name == u"br" ? QStringList{} : QStringList{QStringLiteral("align=\"\"")}, true};
    return {name == u"em" ? QStringList{} : gAttributeList};
}

// A document window's completion over the in-memory control, with callbacks that record what
// they were asked; a loaded file's text is the end of its path.
class Completion : public ::testing::TestWithParam<scrivlet::test::DataRow>
{
public:
    Completion()
    {
        ResetGlobals();
        gTagList = kTags;
        gAttributeList = kAttributes;
        document.Init(&rtfEdit);
        completion.setDocument(&document);
        rtfEdit.caretPixels = {10, 20}; // 9 pt, 15 twips a pixel: the list goes to 150, 300 + 270
        completion.setCallbacks({
            .attributeRows =
                [this](const QString &name) { return requests << name, rowsFor(name); },
            .popupEditMenu = {},
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
    QString marked() const { return rtfEdit.Text().insert(rtfEdit.SelStart(), u'|'); }

    // Characters as the keyboard types them, reaching the text only when the handler lets
    // them; "↑" and "↓" stand for the arrow keys, "●" for a left press on the list, "◀" for a
    // click in the text one character to the left of the caret, "▶" for a drag that selects the
    // character after the caret. "⌫" and "⎘" change the text
    // without the list hearing of it, as Ctrl+Backspace and Shift+Insert do: the first takes the
    // character before the caret, the second pastes "ペースト".
    void type(const QString &input)
    {
        for (const QChar c : input) {
            int code = QStringView(u"●↑↓◀▶⌫⎘").contains(c) ? 0 : c.unicode();
            if (c == u'⌫')
                rtfEdit.pressBackspace();
            else if (c == u'⎘')
                rtfEdit.typeText(QStringLiteral("ペースト"));
            else if (c == u'●')
                completion.lstPopup_MouseDown(kLeftButton, 0);
            else if (c == u'◀')
                clickBack();
            else if (c == u'▶')
                rtfEdit.setSelLength(1);
            else if (code == 0)
                keyDown(c == u'↑' ? keys::Up : keys::Down);
            else if (completion.rtfEdit_KeyPress(code), code == keys::Backspace)
                rtfEdit.pressBackspace();
            else if (code == keys::Enter)
                rtfEdit.pressEnter();
            else if (code != 0)
                rtfEdit.typeText(QString(c));
        }
    }
    // A press in the text, then the caret where it was pressed.
    void clickBack()
    {
        completion.rtfEdit_MouseDown(kLeftButton, 0);
        rtfEdit.setSelStart(rtfEdit.SelStart() - 1);
    }
    // A key going down; true when the handler suppressed it.
    bool keyDown(int keyCode) { return completion.rtfEdit_KeyDown(keyCode, 0), keyCode == 0; }

    scrivlet::test::FakeClipboard clipboard;
    scrivlet::test::FakeMessageService messages;
    MemoryEditControl rtfEdit{clipboard};
    clsRTF document{messages, StringConverter{}};
    FakeList list;
    CompletionController completion{rtfEdit, list, list};
    QStringList requests, opened; // the tag names the attribute list was asked for; files opened
    int undoRedoDisabled = 0;
    QString field(int i) const { return QString::fromStdString(GetParam()[i]); }
};

// Rows of tests/data/completion-typing.txt: what typing leaves in the text and the list.
TEST_P(Completion, TypingLeavesTextAndList)
{
    const bool asked = field(5) != u"-";
    setText(field(1));
    type(field(2));
    EXPECT_EQ(marked(), field(3));
    EXPECT_EQ(requests, asked ? QStringList{field(5)} : QStringList{});
    EXPECT_EQ(list.visible ? list.rows.value(list.index) : QStringLiteral("-"), field(4));
    if (list.visible) {
        EXPECT_EQ(list.rows, asked ? rowsFor(field(5)).rows : kTags);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Completion,
    ::testing::ValuesIn(readDataRows(SCRIVLET_TEST_DATA "/completion-typing.txt", 6)),
    [](const auto &info) { return info.param[0]; });

// Down gives the text the focus back; the keys that move the caret hide the list.
TEST_F(Completion, ArrowsAreSuppressedOnlyWhileShownAndMovingKeysHide)
{
    EXPECT_FALSE(keyDown(keys::Down) || keyDown(keys::Up)) << "while hidden";
    for (const int key : {keys::Left, keys::Right, keys::Home, keys::End, keys::PageUp,
                          keys::PageDown, keys::Escape}) {
        type(QStringLiteral("<"));
        rtfEdit.hasFocus = false;
        EXPECT_TRUE(keyDown(keys::Down) && rtfEdit.hasFocus);
        EXPECT_FALSE(keyDown(keys::Enter));
        EXPECT_TRUE(list.visible);
        EXPECT_FALSE(keyDown(key) || list.visible) << key;
    }
}

// Rows of tests/data/completion-placement.txt, in order on one list.
TEST_F(Completion, TheListFollowsTheCaretAndStaysInsideTheWindow)
{
    for (const auto &row : readDataRows(SCRIVLET_TEST_DATA "/completion-placement.txt", 8)) {
        const auto at = [&](int i) {
            return QPoint(std::stoi(row[i]), std::stoi(row[i + 1]));
        };
        list.scale = at(1);
        rtfEdit.caretPixels = at(3);
        type(scrivlet::test::field(row, 5));
        EXPECT_EQ(list.pos, at(6)) << row[0];
    }
}

// Without Shift, Ctrl or Alt the files open from the last to the first, names without an
// extension skipped; with one their texts go in, in the order dropped. The file list wins over
// its text.
TEST_F(Completion, DroppedFilesOpenOrInsertTheirTexts)
{
    setText(QStringLiteral("x|y"));
    rtfEdit.setSelLength(1);
    completion.rtfEdit_OLEDragDrop({false, {}, true, QStringLiteral("T")}, 0);
    EXPECT_EQ(marked(), QStringLiteral("xT|"));
    const QStringList files =
        QStringLiteral("/web/README|/web/a.html|/web/site/|/web/b.html").split(u'|');
    for (const int shift : {kShiftMask, kCtrlMask, kAltMask, 0}) {
        setText(QStringLiteral("x|y"));
        completion.rtfEdit_OLEDragDrop({true, files, true, files.join(u'\n')}, shift);
        EXPECT_EQ(marked(), QString::fromUtf16(shift ? u"xa.htmlb.html|y" : u"x|y")) << shift;
        EXPECT_EQ(opened, (shift ? QStringList{} : QStringList{files[3], files[1]})) << shift;
    }
}

TEST_F(Completion, ResetFlagEmptiesTheHistoryAndDisablesUndoAndRedo)
{
    document.IsTextChange();
    rtfEdit.typeText(QStringLiteral("abc"));
    document.IsTextChange();
    ASSERT_GT(document.GetClctUndoCount(), 1);
    completion.ResetFlag();
    EXPECT_EQ(document.GetClctUndoCount(), 1);
    EXPECT_FALSE(document.NeedSave());
    EXPECT_EQ(undoRedoDisabled, 1);
}

// The reading kept from one space to the next, against a fresh one from the page's start, while
// a page of markup pieces is edited at random places: a checkpoint kept past a change, or one
// taken where the scan was not in the page's text, would read the caret's place wrong.
TEST(CaretMarkupDifferential, AKeptReadingAgreesWithAFreshOneThroughEdits)
{
    std::mt19937 engine(5);
    const QStringList pieces =
        QStringLiteral(
            "<p>|<a href=\"x\">|<img alt='it\"s'|title=\"a<b\"|<!-- c "
            "-->|<!--|-->|<script>|</script>|"
            "i<n|<style>|</style >|<textarea>|</textarea>|\"|'|=|>|<|</p>|<br/>|日本語|\r\n| ")
            .split(u'|');
    for (int round = 0; round < 40; ++round) {
        SharedText text;
        CaretMarkup kept;
        for (int edit = 0; edit < 300; ++edit) {
            QString insert;
            for (int n = 1 + int(engine() % (edit == 0 ? 3000 : 3)); n > 0; --n)
                insert += pieces.at(engine() % pieces.size());
            const qsizetype at = engine() % (text.length() + 1);
            const qsizetype removed = std::min<qsizetype>(engine() % 4, text.length() - at);
            text = text.replaced(at, removed, insert);
            const qsizetype caret = engine() % (text.length() + 1);
            ASSERT_EQ(kept.startTagNameAt(text, caret), CaretMarkup().startTagNameAt(text, caret))
                << round << " " << edit << " at " << caret << ": "
                << scrivlet::test::visible(text.mid(std::max<qsizetype>(0, caret - 60), 80));
        }
    }
    // Read to a place inside a value, the tag seems to end at the value's ">" and tags seem to
    // follow; the rest of the page closes the value, and the tag goes on.
    const QString value = QStringLiteral("<a title=\"x>y ") + QStringLiteral("<b>").repeated(3000);
    const SharedText page(QString(5000, u'x') + value + QStringLiteral("z\" >"));
    CaretMarkup kept;
    EXPECT_EQ(kept.startTagNameAt(page, 5000 + value.size()), std::nullopt);
    EXPECT_EQ(kept.startTagNameAt(page, page.length() - 1), QStringLiteral("a"));
    // Read to just after "</script", the script seems to end there; the "x" after it says not.
    const QString script =
        QStringLiteral("<script>") + QString(5000, u'x') + QStringLiteral("</script");
    const SharedText code(script + QStringLiteral("x>\r\n<div >"));
    CaretMarkup inCode;
    EXPECT_EQ(inCode.startTagNameAt(code, script.size()), std::nullopt);
    EXPECT_EQ(inCode.startTagNameAt(code, code.length() - 1), std::nullopt);
    // A reading kept past a script's end, whose closing tag is then edited into none.
    const QString closed =
        script + QStringLiteral(">\r\n") + QString(20, u'y') + QStringLiteral("<p >");
    CaretMarkup keptPastCode;
    EXPECT_EQ(keptPastCode.startTagNameAt(SharedText(closed), closed.size() - 1),
              QStringLiteral("p"));
    const SharedText edited(
        QString(closed).replace(QStringLiteral("</script>"), QStringLiteral("</scxipt>")));
    EXPECT_EQ(keptPastCode.startTagNameAt(edited, edited.length() - 1), std::nullopt);
}

} // namespace
} // namespace scrivlet::html::test
